// A simulated status-bar host: SpringBoard or an application.
//
// Started with argv[0] set to the device path of the executable it stands
// for, the device root in ZV_DEVICE_ROOT, and ZV_HOST_ROLE=springboard for
// SpringBoard (anything else, or nothing, is an application). It registers
// its classes, injects the device's dynamic libraries, launches its shared
// application (whose status bar lays out its items, asking the injected
// libraries' replacements), then runs its main loop and answers the control
// protocol on stdin/stdout. SpringBoard asked to relaunch prints
// {"event":"relaunch"} and ends with kRelaunchExitStatus, for its starter to
// start it again. Each new arrangement of its status bar is pushed as a
// layout event (LayoutEvent.h); the first one comes just before "ready".
// Given --version alone, it prints its version and ends.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "HostCommands.h"
#include "HookableMethods.h"
#include "LayoutEvent.h"
#include "control/ActivityEvents.h"
#include "control/ControlChannel.h"
#include "foundation/MainQueue.h"
#include "self/ProgramVersion.h"
#include "springboard/SpringBoardClasses.h"
#include "substrate/Injection.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKitClasses.h"

#include <nlohmann/json.hpp>

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("%s\n", zv::versionLine("zv-host").c_str());
        return 0;
    }
    const char* role = std::getenv("ZV_HOST_ROLE");
    const bool isSpringBoard = role && std::strcmp(role, "springboard") == 0;
    zv::control::writeActivityEvents();

    registerUIKitClasses();
    if (isSpringBoard) {
        registerSpringBoardClasses();
        setSpringBoardRelaunchHandler([] {
            zv::control::ControlChannel::writeLine({{"event", "relaunch"}});
            std::fflush(stdout);
            std::_Exit(zv::device::kRelaunchExitStatus);
        });
    }
    zv::device::HostContext context;
    context.isSpringBoard = isSpringBoard;
    context.hookable = zv::device::recordHookableMethods();
    context.injection = injectDynamicLibraries();
    UIApplication& application = launchSharedApplication(isSpringBoard ? "SpringBoard" : "UIApplication");
    // From the first arrangement on, every new one is pushed as a layout event.
    application.statusBar->onLayout = [&context] { zv::device::announceLayout(context); };

    zv::control::ControlChannel channel;
    zv::device::registerHostCommands(channel, context);
    channel.start();
    zv::device::writeLayoutEvent(context);
    zv::control::ControlChannel::writeLine(
        {{"event", "ready"}, {"springboard", isSpringBoard}, {"commands", channel.commands()}});
    runMainLoop();
    return 0;
}
