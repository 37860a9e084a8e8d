// The device launcher: prepares a device root (the embedded default one in
// the person's state folder unless --root names one), installs both
// deliverables into it, starts the device's bus (again whenever it ends) and
// its processes, restarts SpringBoard when it relaunches, serves the screen
// (the phone in the browser) on 127.0.0.1, and relays the terminal to the
// processes' control protocol.
//
// A root that is not the person's own (DeviceRoot.h), or one another
// launcher runs (DeviceRootLock.h), is refused with one line on standard
// error and exit status 2, before anything in it changes.
//
// It prints the screen's address, then "ready" once every process answers.
// Ctrl-C or SIGTERM (or "quit" at the terminal) stops every process it
// started and the bus. See docs/control-protocol.md, "Launcher".
#include <glib-unix.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "AccessTokenFile.h"
#include "BusKeeper.h"
#include "Device.h"
#include "control/DevicePaths.h"
#include "control/DeviceRoot.h"
#include "DeviceRootLock.h"
#include "LauncherOptions.h"
#include "ScreenServer.h"
#include "Terminal.h"
#include "foundation/MainQueue.h"
#include "notifications/DeviceBus.h"
#include "self/ProgramLocations.h"

namespace {

using zv::device::Device;
using zv::device::ProcessSetup;

constexpr int kRelaunchExitStatus = 75;
// A device root that is not the person's own, or is in use.
constexpr int kRefusedExitStatus = 2;

std::vector<ProcessSetup> deviceProcesses(const std::string& bin, const std::string& root) {
    const std::string rootEnv = "ZV_DEVICE_ROOT=" + root;
    std::vector<ProcessSetup> setups{
        {"springboard", bin + "/zv-host", zv::control::kSpringBoardPath,
         {rootEnv, "ZV_HOST_ROLE=springboard"}, {kRelaunchExitStatus}},
        {"app", bin + "/zv-host", zv::control::kAppPath, {rootEnv, "ZV_HOST_ROLE=app"}, {}},
    };
    if (::access((bin + "/zv-settings-app").c_str(), X_OK) == 0)
        setups.push_back({"settings", bin + "/zv-settings-app", zv::control::kSettingsAppPath, {rootEnv}, {}});
    return setups;
}

// Every descriptor the person's limit allows: the screen's connections are
// bounded by them (ScreenListener.h).
void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

gboolean onStopSignal(gpointer) {
    stopMainLoop();
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    // A process that ends while the launcher writes to it must not end the
    // launcher: a failed write is an error of that request only.
    ::signal(SIGPIPE, SIG_IGN);
    raiseOpenFileLimit();

    const auto parsed = zv::device::parseLauncherCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cout << parsed.output << std::flush;
        if (!parsed.error.empty()) std::cerr << parsed.error << std::endl;
        return parsed.exitStatus;
    }
    const zv::device::LauncherOptions& options = *parsed.options;

    std::string root = options.root.empty() ? zv::device::defaultDeviceRoot() : options.root;
    if (root.empty()) {
        std::cerr << "launcher: no place for the device root (HOME is not set); name one with --root" << std::endl;
        return kRefusedExitStatus;
    }
    std::error_code absoluteError;
    root = std::filesystem::absolute(root, absoluteError).lexically_normal().string();
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    const zv::ProgramLocations locations = zv::currentProgramLocations();
    const std::string& stage = locations.stage;
    // Only the root itself and its lock file may be made before the lock is held.
    if (auto error = zv::device::createDeviceRoot(root); !error.empty()) {
        std::cerr << "launcher: " << error << std::endl;
        return 1;
    }
    if (auto why = zv::device::untrustedFolder(root); !why.empty()) {
        std::cerr << "launcher: refusing the device root: " << why
                  << " (it must be a folder of yours that only you can write)" << std::endl;
        return kRefusedExitStatus;
    }
    zv::device::DeviceRootLock lock(root);
    if (!lock.held()) {
        std::cerr << "launcher: " << lock.refusal() << std::endl;
        return kRefusedExitStatus;
    }
    if (auto why = zv::device::untrustedDeviceRoot(root, stage); !why.empty()) {
        std::cerr << "launcher: refusing the device root " << root << ": " << why
                  << " (its folders must be yours, and only you may write them)" << std::endl;
        return kRefusedExitStatus;
    }
    if (auto error = zv::device::prepareDeviceRoot(root, stage); !error.empty()) {
        std::cerr << "launcher: " << error << std::endl;
        return 1;
    }
    ::setenv("ZV_DEVICE_ROOT", root.c_str(), 1);

    Device device(deviceProcesses(locations.programs, root));
    // The screen listens before anything starts, so a taken port ends the launcher at once.
    std::unique_ptr<zv::screen::ScreenServer> screen;
    if (options.screen) {
        try {
            screen = std::make_unique<zv::screen::ScreenServer>(device, options.port, locations.page,
                                                                root + zv::control::kPreferencesFolder,
                                                                zv::screen::keptAccessToken(root));
        } catch (const std::exception& e) {
            std::cerr << "launcher: cannot serve the screen: " << e.what() << std::endl;
            return 1;
        }
    }

    std::unique_ptr<zv::device::BusKeeper> bus;
    try {
        bus = std::make_unique<zv::device::BusKeeper>(root);
    } catch (const DeviceBusError& e) {
        std::cerr << "launcher: cannot start the device's bus: " << e.what() << std::endl;
        return 1;
    }
    std::cout << "launcher: device root " << root << ", bus " << bus->bus().address() << std::endl;
    if (screen) std::cout << "launcher: the screen is at " << screen->address() << std::endl;

    bool announcedReady = false;
    device.onLine([](const std::string& process, const std::string& line, const nlohmann::json&) {
        zv::device::Terminal::print(process, line);
    });
    device.onExit([](const std::string& process, int status, bool restarting) {
        std::cout << "launcher: " << process << " exited with status " << status
                  << (restarting ? ", relaunching" : "") << std::endl;
    });
    device.onChange([&device, &announcedReady] {
        if (announcedReady || !device.allReady()) return;
        announcedReady = true;
        std::cout << "ready" << std::endl;
    });

    g_unix_signal_add(SIGINT, onStopSignal, nullptr);
    g_unix_signal_add(SIGTERM, onStopSignal, nullptr);
    const bool screenOn = options.screen;
    zv::device::Terminal terminal(
        device, [] { stopMainLoop(); },
        [screenOn] {
            // With a screen, the device goes on without a terminal (started in
            // the background, say) until Ctrl-C or SIGTERM.
            if (!screenOn) stopMainLoop();
        });

    device.startAll();
    runMainLoop();

    screen.reset();
    device.stopAll();
    bus->stop();
    std::cout << "launcher: stopped" << std::endl;
    return 0;
}
