// The launcher as a program: its command line, its terminal relay while
// processes end and relaunch under it, and a clean stop.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "TempDeviceRoot.h"

namespace zv::test {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

const std::string kLauncher = std::string(ZV_BIN_DIR) + "/zv-launcher";

ChildProcess startLauncher(const std::vector<std::string>& arguments, bool captureStderr = false) {
    std::vector<std::string> argv{kLauncher};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return ChildProcess({.executable = kLauncher, .arguments = argv, .captureStderr = captureStderr});
}

// Reads the launcher's lines until `process` prints a reply with this id.
std::optional<json> replyWithId(ChildProcess& launcher, const std::string& process, const json& id,
                                std::chrono::milliseconds timeout = 15s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::string prefix = process + ": ";
    while (std::chrono::steady_clock::now() < deadline) {
        auto line = launcher.readLine(std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()));
        if (!line) return std::nullopt;
        if (line->rfind(prefix, 0) != 0) continue;
        json message = json::parse(line->substr(prefix.size()), nullptr, false);
        if (message.is_object() && message.contains("id") && message["id"] == id) return message;
    }
    return std::nullopt;
}

// The processes whose parent is `parent`.
std::set<pid_t> childrenOf(pid_t parent) {
    std::set<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent)
            children.insert(static_cast<pid_t>(std::stoi(name)));
    }
    return children;
}

TEST(Launcher, CommandLineRefusesWhatItDoesNotKnowWithStatusTwo) {
    TempDeviceRoot scratch;
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    {
        ChildProcess help = startLauncher({"--help"});
        EXPECT_TRUE(help.wait(10s)->exitedWith(0));
        EXPECT_FALSE(std::filesystem::exists(scratch.path() + "/--help")) << "--help was taken for a device root";
    }
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--port", "x"}, {"--port", "65536"}, {"some-folder"}, {"--root"}}) {
        ChildProcess launcher = startLauncher(bad, true);
        auto status = launcher.wait(10s);
        ASSERT_TRUE(status) << bad[0];
        EXPECT_TRUE(status->exitedWith(2)) << bad[0] << ": " << status->describe();
        auto line = launcher.readErrorLine(1s);
        ASSERT_TRUE(line) << bad[0];
        EXPECT_EQ(launcher.readErrorLine(200ms), std::nullopt) << bad[0] << ": more than one line";
    }
    std::filesystem::current_path(here);
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path())) << "a refused command line created files";
}

// Lines for SpringBoard while it relaunches, and for an application after it
// quit: the launcher answers for a process that is not running, never dies
// of a write to a process that has gone, and stops everything on SIGTERM.
TEST(Launcher, OutlivesItsProcessesAndStopsThemAll) {
    TempDeviceRoot root;
    ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()});
    ASSERT_TRUE(launcher.waitForLine("ready", 30s));

    ASSERT_TRUE(launcher.writeLine(R"(app {"cmd":"quit"})"));
    ASSERT_TRUE(launcher.waitForLine("launcher: app exited with status 0", 10s));
    ASSERT_TRUE(launcher.writeLine(R"(app {"cmd":"ping","id":7})"));
    auto refused = replyWithId(launcher, "app", 7);
    ASSERT_TRUE(refused) << "no answer for a process that is not running";
    EXPECT_EQ((*refused)["ok"], false);
    EXPECT_EQ((*refused)["error"], "app is not running");

    // A relaunch, and a stream of requests written while SpringBoard ends
    // and comes back (written from a second thread while this one reads the
    // launcher's output, which it must not leave to fill up).
    for (int round = 0; round < 3; ++round) {
        std::string burst = R"(springboard {"cmd":"relaunch"})";
        for (int i = 0; i < 3000; ++i) burst += "\nspringboard {\"cmd\":\"ping\",\"id\":" + std::to_string(i) + "}";
        std::thread writer([&launcher, burst] { launcher.writeLine(burst); });
        const bool relaunched = launcher.waitForLine("launcher: springboard exited with status 75, relaunching", 20s);
        std::vector<std::string> rest;
        launcher.waitForLine("(drain)", 2s, &rest);
        writer.join();
        ASSERT_TRUE(relaunched) << "round " << round;
    }
    const json last = "after the relaunches";
    auto answered = std::optional<json>{};
    for (int attempt = 0; attempt < 100 && !answered; ++attempt) {
        ASSERT_TRUE(launcher.writeLine(R"(springboard {"cmd":"ping","id":"after the relaunches"})"))
            << "the launcher ended";
        answered = replyWithId(launcher, "springboard", last, 200ms);
        if (answered && !answered->value("ok", false)) answered.reset();  // still relaunching
    }
    ASSERT_TRUE(answered) << "SpringBoard did not answer after its relaunches";
    EXPECT_TRUE(launcher.running());

    const std::set<pid_t> started = childrenOf(launcher.pid());
    EXPECT_GE(started.size(), 3u) << "the bus and the processes";
    launcher.signal(SIGTERM);
    auto status = launcher.wait(15s);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->exitedWith(0)) << status->describe();
    for (pid_t child : started)
        EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(child))) << "process " << child << " outlived the launcher";
    EXPECT_FALSE(std::filesystem::exists(root.path() + "/var/run/dbus/device_bus_socket")) << "a stale bus socket";
}

TEST(Launcher, SaysWhenThePortIsTaken) {
    TempDeviceRoot first, second;
    ChildProcess holder = startLauncher({"--root", first.path(), "--port", "0"});
    std::optional<std::string> address;
    while (auto line = holder.readLine(20s)) {
        if (line->rfind("launcher: the screen is at ", 0) == 0) {
            address = line->substr(std::string("launcher: the screen is at ").size());
            break;
        }
    }
    ASSERT_TRUE(address);
    const std::string port = address->substr(std::string("http://127.0.0.1:").size(),
                                             address->find('/', 7) - std::string("http://127.0.0.1:").size());
    ChildProcess second_launcher = startLauncher({"--root", second.path(), "--port", port}, true);
    auto status = second_launcher.wait(15s);
    ASSERT_TRUE(status);
    EXPECT_FALSE(status->exitedWith(0));
    auto line = second_launcher.readErrorLine(1s);
    ASSERT_TRUE(line);
    EXPECT_NE(line->find("port " + port + " on 127.0.0.1 is in use"), std::string::npos) << *line;
}

}  // namespace
}  // namespace zv::test
