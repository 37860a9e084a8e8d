// The device launcher: prepares a device root (the embedded default one at
// /tmp/zorvane-device unless a root is given as the first argument),
// installs both deliverables into it, starts the device's bus and its
// processes, restarts SpringBoard when it relaunches, and connects the
// terminal to the processes' control protocol.
//
// At the terminal, a line "<process> <json>" sends the JSON request to that
// process ("springboard", "app" or "settings"); every line a process writes
// is printed prefixed with its name. "quit" or end of input stops the device.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "DeviceRoot.h"
#include "SimulatedProcess.h"
#include "foundation/MainQueue.h"
#include "notifications/DeviceBus.h"

namespace {

using zv::device::ProcessSetup;
using zv::device::SimulatedProcess;

constexpr int kRelaunchExitStatus = 75;

std::string executableFolder() {
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

std::map<std::string, std::unique_ptr<SimulatedProcess>>& processes() {
    static std::map<std::string, std::unique_ptr<SimulatedProcess>> all;
    return all;
}

gboolean onTerminal(GIOChannel* channel, GIOCondition condition, gpointer) {
    gchar* raw = nullptr;
    gsize length = 0;
    if (!(condition & G_IO_IN) ||
        g_io_channel_read_line(channel, &raw, &length, nullptr, nullptr) != G_IO_STATUS_NORMAL || !raw) {
        g_free(raw);
        stopMainLoop();
        return G_SOURCE_REMOVE;
    }
    std::string line(raw, length);
    g_free(raw);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) return G_SOURCE_CONTINUE;
    if (line == "quit") {
        stopMainLoop();
        return G_SOURCE_REMOVE;
    }
    const auto space = line.find(' ');
    const std::string target = line.substr(0, space);
    auto it = processes().find(target);
    if (it == processes().end() || space == std::string::npos) {
        std::cout << "launcher: usage: <process> <json>, processes:";
        for (const auto& [name, process] : processes()) std::cout << ' ' << name;
        std::cout << std::endl;
        return G_SOURCE_CONTINUE;
    }
    it->second->send(line.substr(space + 1));
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : zv::device::kDefaultDeviceRoot;
    const std::string bin = executableFolder();
    if (auto error = zv::device::prepareDeviceRoot(root, bin + "/../stage"); !error.empty()) {
        std::cerr << "launcher: " << error << std::endl;
        return 1;
    }
    ::setenv("ZV_DEVICE_ROOT", root.c_str(), 1);

    std::unique_ptr<DeviceBus> bus;
    try {
        bus = std::make_unique<DeviceBus>(root);
    } catch (const DeviceBusError& e) {
        std::cerr << "launcher: cannot start the device's bus: " << e.what() << std::endl;
        return 1;
    }
    std::cout << "launcher: device root " << root << ", bus " << bus->address() << std::endl;

    auto print = [](const std::string& name, const std::string& line) {
        std::cout << name << ": " << line << std::endl;
    };
    auto exited = [](const std::string& name, int status, bool restarted) {
        std::cout << "launcher: " << name << " exited with status " << status
                  << (restarted ? ", relaunching" : "") << std::endl;
    };
    const std::string rootEnv = "ZV_DEVICE_ROOT=" + root;
    std::vector<ProcessSetup> setups{
        {"springboard", bin + "/zv-host", "/System/Library/CoreServices/SpringBoard.app/SpringBoard",
         {rootEnv, "ZV_HOST_ROLE=springboard"}, {kRelaunchExitStatus}},
        {"app", bin + "/zv-host", "/Applications/Notes.app/Notes", {rootEnv, "ZV_HOST_ROLE=app"}, {}},
    };
    if (::access((bin + "/zv-settings-app").c_str(), X_OK) == 0)
        setups.push_back({"settings", bin + "/zv-settings-app", "/Applications/Preferences.app/Preferences", {rootEnv}, {}});
    for (auto& setup : setups) {
        const std::string name = setup.name;
        auto process = std::make_unique<SimulatedProcess>(std::move(setup), print, exited);
        process->start();
        processes()[name] = std::move(process);
    }

    GIOChannel* terminal = g_io_channel_unix_new(0);
    g_io_add_watch(terminal, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onTerminal, nullptr);
    g_io_channel_unref(terminal);
    runMainLoop();
    processes().clear();
    return 0;
}
