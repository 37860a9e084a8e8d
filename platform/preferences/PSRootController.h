// The Settings application's navigation stack (Preferences.framework's
// PSRootController): the pages the user has opened, the last one on screen.
// It owns its pages.
//
// Pushing: the page on screen gets viewWillDisappear(YES), the new one loads
// its view and gets viewWillAppear(YES), then viewDidAppear(YES); popping
// does the same the other way round. The root page is never popped.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "uikit/CGGeometry.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSViewController.h"

class PSRootController {
public:
    explicit PSRootController(CGSize contentSize) : contentSize_(contentSize) {}
    PSRootController(const PSRootController&) = delete;
    PSRootController& operator=(const PSRootController&) = delete;

    // The size every page is initialised for.
    CGSize contentSize() const { return contentSize_; }

    // Creates the page registered under the class name and initialises it
    // (initForContentSize); it knows this stack and the specifier that opened
    // it. Null, with *error set when given, when the class is not registered
    // or the page does not initialise.
    std::shared_ptr<PSViewController> controllerForClassName(std::string_view className,
                                                             const PSSpecifier& specifier,
                                                             std::string* error = nullptr);

    void pushController(std::shared_ptr<PSViewController> controller);
    // False, and nothing happens, when only the root page is left (or none).
    bool popController();

    std::shared_ptr<PSViewController> topController() const;
    const std::vector<std::shared_ptr<PSViewController>>& controllers() const { return controllers_; }

private:
    CGSize contentSize_;
    std::vector<std::shared_ptr<PSViewController>> controllers_;
};
