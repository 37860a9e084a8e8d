// The Settings application of the simulated device.
//
// Started with argv[0] "/Applications/Preferences.app/Preferences" and the
// device root in ZV_DEVICE_ROOT. It is an application, so it registers the
// UIKit classes and injects the device's dynamic libraries like any other;
// then it loads the bundle of its PreferenceLoader entry, shows the bundle's
// root page, runs its main loop and answers the control protocol on
// stdin/stdout until "quit" or the end of its input.
#include "SettingsApp.h"
#include "SettingsCommands.h"
#include "control/ControlChannel.h"
#include "foundation/MainQueue.h"
#include "substrate/Injection.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKitClasses.h"

#include <nlohmann/json.hpp>

int main() {
    registerUIKitClasses();
    zv::device::SettingsApp app;
    app.injection = injectDynamicLibraries();
    // Like every application, it has a shared application with a status bar.
    launchSharedApplication("UIApplication");
    const bool started = app.start();

    zv::control::ControlChannel channel;
    zv::device::registerSettingsCommands(channel, app);
    channel.start();
    zv::control::ControlChannel::writeLine(
        {{"event", "ready"}, {"settings", true}, {"loaded", started}, {"loadError", app.loadError()},
         {"commands", channel.commands()}});
    runMainLoop();
    return 0;
}
