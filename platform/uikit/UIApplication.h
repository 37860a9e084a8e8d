// UIApplication: the process's shared application and its status bar.
//   +sharedApplication   the shared application, nil before launch
//   -statusBar           its status bar, nil when it has none
// Both are recorded in the host trace. In SpringBoard the shared
// application is an instance of the subclass SpringBoard
// (platform/springboard/SpringBoard.h).
#pragma once

#include <memory>

#include "runtime/Runtime.h"
#include "uikit/statusbar/UIStatusBar.h"

struct UIApplication : objc_object {
    std::unique_ptr<UIStatusBar> statusBar;
};

// Creates the shared application as an instance of the registered class
// `className` (UIApplication or a subclass), with a status bar of the
// default items, laid out; as UIApplicationMain does once the process's
// libraries are loaded. A second launch replaces the first.
UIApplication& launchSharedApplication(const char* className);
// The shared application, null before launch.
UIApplication* sharedApplicationObject();

void registerApplicationClass();
