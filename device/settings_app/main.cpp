// The Settings application of the simulated device.
//
// Started with argv[0] "/Applications/Preferences.app/Preferences" and the
// device root in ZV_DEVICE_ROOT. It is an application, so it registers the
// UIKit classes and injects the device's dynamic libraries like any other;
// then it loads the bundle of its PreferenceLoader entry, shows the bundle's
// root page, runs its main loop and answers the control protocol on
// stdin/stdout until "quit" or the end of its input. Like a host it pushes a
// layout event each time its status bar lays out, and a page event each
// time its screen changes (PageEvent.h); the platform's file writes and
// posts are reported as activity events (control/ActivityEvents.h). Given
// --version alone, it prints its version and ends.
#include <cstdio>
#include <string_view>

#include "LayoutEvent.h"
#include "PageEvent.h"
#include "SettingsApp.h"
#include "SettingsCommands.h"
#include "StatusBarCommands.h"
#include "control/ActivityEvents.h"
#include "control/ControlChannel.h"
#include "foundation/MainQueue.h"
#include "self/ProgramVersion.h"
#include "substrate/Injection.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKitClasses.h"

#include <nlohmann/json.hpp>

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("%s\n", zv::versionLine("zv-settings-app").c_str());
        return 0;
    }
    zv::control::writeActivityEvents();
    registerUIKitClasses();
    zv::device::SettingsApp app;
    app.injection = injectDynamicLibraries();
    // Like every application, it has a shared application with a status bar.
    zv::device::HostContext statusBarContext;
    UIApplication& application = launchSharedApplication("UIApplication");
    application.statusBar->onLayout = [&statusBarContext] { zv::device::announceLayout(statusBarContext); };
    const bool started = app.start();
    zv::device::PageOnScreen screen(app);
    zv::device::PageEvent pageEvent(screen);
    UITableView::anyReloadObserver = [&pageEvent] { pageEvent.announce(); };

    zv::control::ControlChannel channel;
    zv::device::registerSettingsCommands(channel, app, screen, pageEvent);
    zv::device::registerStatusBarCommands(channel, statusBarContext);
    channel.start();
    zv::device::writeLayoutEvent(statusBarContext);
    pageEvent.write();
    zv::control::ControlChannel::writeLine(
        {{"event", "ready"}, {"settings", true}, {"loaded", started}, {"loadError", app.loadError()},
         {"commands", channel.commands()}});
    runMainLoop();
    return 0;
}
