// The launcher as a program: its command line, its terminal relay while
// processes end and relaunch under it, and a clean stop.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "TempDeviceRoot.h"
#include "control/DevicePaths.h"

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

ChildProcess startLauncherWith(const std::vector<std::string>& arguments,
                               std::vector<std::pair<std::string, std::string>> environment) {
    std::vector<std::string> argv{kLauncher};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return ChildProcess({.executable = kLauncher, .arguments = argv, .environment = std::move(environment)});
}

// A running launcher's next line that starts with `prefix`.
std::optional<std::string> lineStartingWith(ChildProcess& launcher, const std::string& prefix,
                                            std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        auto line = launcher.readLine(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()));
        if (!line) return std::nullopt;
        if (line->rfind(prefix, 0) == 0) return line;
    }
    return std::nullopt;
}

// Every file under `root` but the bus's log, with its inode, size and
// modification time.
std::map<std::string, std::tuple<ino_t, off_t, long long>> filesOf(const std::string& root) {
    std::map<std::string, std::tuple<ino_t, off_t, long long>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        struct stat info {};
        if (entry.path().filename() == "device_bus.log" || ::lstat(entry.path().c_str(), &info) != 0) continue;
        files[entry.path().string()] = {info.st_ino, info.st_size,
                                        static_cast<long long>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }
    return files;
}

std::string commandOf(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// The launcher's peak resident memory, in KiB.
long peakMemoryKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
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

// A device root, or a folder in it on the way to what the processes load
// or read, that another user owns or may write (or that is a symbolic
// link) is refused before anything is installed or started.
TEST(Launcher, RefusesADeviceRootThatIsNotThePersonsOwn) {
    const std::string injection = "/Library/MobileSubstrate/DynamicLibraries";
    const std::vector<std::pair<std::string, std::function<void(const TempDeviceRoot&)>>> cases{
        {"a root others may write", [](const TempDeviceRoot& root) { ::chmod(root.path().c_str(), 0777); }},
        {"an injection folder others may write",
         [&](const TempDeviceRoot& root) {
             std::filesystem::create_directories(root.hostPath(injection));
             std::ofstream(root.hostPath(injection + "/Theirs.dylib")) << "not ours";
             ::chmod(root.hostPath(injection).c_str(), 0757);
         }},
        {"an injection folder of another user",
         [&](const TempDeviceRoot& root) {
             std::filesystem::create_directories(root.hostPath(injection));
             ASSERT_EQ(::chown(root.hostPath(injection).c_str(), 65534, 65534), 0);
         }},
        {"a library of another user in the injection folder",
         [&](const TempDeviceRoot& root) {
             std::filesystem::create_directories(root.hostPath(injection));
             std::ofstream(root.hostPath(injection + "/Theirs.dylib")) << "not ours";
             ASSERT_EQ(::chown(root.hostPath(injection + "/Theirs.dylib").c_str(), 65534, 65534), 0);
         }},
        {"a preferences folder of another user",
         [](const TempDeviceRoot& root) {
             std::filesystem::create_directories(root.hostPath(zv::control::kPreferencesFolder));
             ASSERT_EQ(::chown(root.hostPath("/var/mobile").c_str(), 65534, 65534), 0);
         }},
        {"a symbolic link on the way",
         [](const TempDeviceRoot& root) {
             std::filesystem::create_directories(root.hostPath("/elsewhere/MobileSubstrate/DynamicLibraries"));
             std::filesystem::create_directory_symlink(root.hostPath("/elsewhere"), root.hostPath("/Library"));
         }},
    };
    for (const auto& [what, make] : cases) {
        TempDeviceRoot root;
        make(root);
        ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()}, true);
        auto status = launcher.wait(15s);
        ASSERT_TRUE(status) << what;
        EXPECT_TRUE(status->exitedWith(2)) << what << ": " << status->describe();
        auto line = launcher.readErrorLine(1s);
        ASSERT_TRUE(line) << what;
        EXPECT_NE(line->find("refusing the device root"), std::string::npos) << what << ": " << *line;
        EXPECT_EQ(launcher.readErrorLine(200ms), std::nullopt) << what << ": more than one line";
        EXPECT_FALSE(std::filesystem::exists(root.hostPath(injection + "/Zorvane.dylib"))) << what << ": installed";
        EXPECT_FALSE(std::filesystem::exists(root.hostPath("/var/run/dbus/device_bus_socket"))) << what << ": started";
    }
}

// Without --root the device lives in the person's state folder, made 0700.
TEST(Launcher, KeepsTheDefaultDeviceInThePersonsStateFolder) {
    TempDeviceRoot home;
    ChildProcess launcher = startLauncherWith({"--no-screen"}, {{"HOME", home.path()}, {"XDG_STATE_HOME", "relative"}});
    const std::string root = home.path() + "/.local/state/zorvane/device";
    auto announced = lineStartingWith(launcher, "launcher: device root ", 30s);
    ASSERT_TRUE(announced);
    EXPECT_EQ(announced->rfind("launcher: device root " + root + ",", 0), 0u) << *announced;
    ASSERT_TRUE(launcher.waitForLine("ready", 30s));
    struct stat info {};
    ASSERT_EQ(::stat(root.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_TRUE(launcher.writeLine("quit"));
    EXPECT_TRUE(launcher.wait(15s));
}

// A second launcher on a running device's root, whatever its options, is
// refused before it changes a file, and the running device goes on; of two
// started together, one runs the device.
TEST(Launcher, OneLauncherPerDeviceRoot) {
    TempDeviceRoot root;
    ChildProcess first = startLauncher({"--no-screen", "--root", root.path()});
    ASSERT_TRUE(first.waitForLine("ready", 30s));
    const auto before = filesOf(root.path());
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>>{{"--root", root.path(), "--port", "0"}, {"--no-screen", "--root", root.path()}}) {
        ChildProcess second = startLauncher(options, true);
        auto status = second.wait(15s);
        ASSERT_TRUE(status);
        EXPECT_TRUE(status->exitedWith(2)) << status->describe();
        auto line = second.readErrorLine(1s);
        ASSERT_TRUE(line);
        EXPECT_NE(line->find("in use by another launcher (process " + std::to_string(first.pid()) + ")"),
                  std::string::npos)
            << *line;
        EXPECT_EQ(second.readErrorLine(200ms), std::nullopt) << "more than one line";
    }
    EXPECT_EQ(filesOf(root.path()), before) << "the second launcher changed the root";
    ASSERT_TRUE(first.writeLine(R"(springboard {"cmd":"ping","id":"still there"})"));
    auto answer = replyWithId(first, "springboard", "still there");
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)["ok"], true);
    first.signal(SIGTERM);
    EXPECT_TRUE(first.wait(15s));

    TempDeviceRoot shared;
    ChildProcess one = startLauncher({"--no-screen", "--root", shared.path()}, true);
    ChildProcess other = startLauncher({"--no-screen", "--root", shared.path()}, true);
    std::optional<ExitStatus> oneEnded, otherEnded;
    for (auto deadline = std::chrono::steady_clock::now() + 15s;
         !oneEnded && !otherEnded && std::chrono::steady_clock::now() < deadline;) {
        oneEnded = one.wait(50ms);
        otherEnded = other.wait(50ms);
    }
    if (oneEnded) std::swap(one, other), std::swap(oneEnded, otherEnded);
    ASSERT_TRUE(otherEnded) << "both launchers run on one root";
    EXPECT_FALSE(oneEnded) << "neither launcher runs the device";
    EXPECT_TRUE(otherEnded->exitedWith(2)) << otherEnded->describe();
    EXPECT_TRUE(one.waitForLine("ready", 30s));
    one.signal(SIGTERM);
    EXPECT_TRUE(one.wait(15s));
}

// A bus that dies is replaced at once, said in one line, and SpringBoard
// hears posts again.
TEST(Launcher, StartsAKilledBusAgain) {
    TempDeviceRoot root;
    ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()});
    ASSERT_TRUE(launcher.waitForLine("ready", 30s));
    ASSERT_TRUE(launcher.writeLine(R"(springboard {"cmd":"listen","name":"net.quellit.test/again","id":1})"));
    ASSERT_TRUE(replyWithId(launcher, "springboard", 1));
    pid_t daemon = -1;
    for (pid_t child : childrenOf(launcher.pid()))
        if (commandOf(child) == "dbus-daemon") daemon = child;
    ASSERT_GT(daemon, 0);
    ::kill(daemon, SIGKILL);
    auto said = lineStartingWith(launcher, "launcher: the device's bus ", 15s);
    ASSERT_TRUE(said) << "the launcher said nothing of the bus";
    EXPECT_NE(said->find("started again on unix:path=" + root.path() + "/var/run/dbus/device_bus_socket"),
              std::string::npos)
        << *said;

    bool heard = false;
    for (int attempt = 0; attempt < 40 && !heard; ++attempt) {
        ChildProcess poster({.executable = ZV_BIN_DIR "/zv-notifyutil",
                             .arguments = {"zv-notifyutil", "-p", "net.quellit.test/again"},
                             .environment = {{"ZV_DEVICE_ROOT", root.path()}}});
        poster.wait(10s);
        ASSERT_TRUE(launcher.writeLine(R"(springboard {"cmd":"received","name":"net.quellit.test/again","id":2})"));
        auto count = replyWithId(launcher, "springboard", 2);
        heard = count && count->value("count", 0) >= 1;
        if (!heard) std::this_thread::sleep_for(250ms);
    }
    EXPECT_TRUE(heard) << "SpringBoard never heard a post on the new bus";
    launcher.signal(SIGTERM);
    EXPECT_TRUE(launcher.wait(15s));
}

// The terminal holds no line longer than a process takes: a huge one is
// dropped as it streams, said so, and the next line is served.
TEST(Launcher, TerminalDropsAnOverlongLineWithoutHoldingIt) {
    TempDeviceRoot root;
    ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()});
    ASSERT_TRUE(launcher.waitForLine("ready", 30s));
    const long peakBefore = peakMemoryKiB(launcher.pid());
    const std::string huge =
        R"(springboard {"cmd":"ping","id":"huge","pad":")" + std::string(64 << 20, 'x') + R"("})";
    bool written = false;
    std::thread writer([&] { written = launcher.writeLine(huge); });
    auto said = lineStartingWith(launcher, "launcher: a line longer than ", 60s);
    writer.join();
    ASSERT_TRUE(written);
    EXPECT_TRUE(said) << "the overlong line was not answered";
    EXPECT_LT(peakMemoryKiB(launcher.pid()) - peakBefore, 16 * 1024) << "the launcher held the line";
    ASSERT_TRUE(launcher.writeLine(R"(springboard {"cmd":"ping","id":"next"})"));
    auto next = replyWithId(launcher, "springboard", "next");
    ASSERT_TRUE(next);
    EXPECT_EQ((*next)["ok"], true);
    launcher.signal(SIGTERM);
    EXPECT_TRUE(launcher.wait(15s));
}

// Every line for SpringBoard gets an answer while it relaunches: those it
// took and did not answer before it ended are answered for it.
TEST(Launcher, AnswersEveryLineSentWhileSpringBoardRelaunches) {
    TempDeviceRoot root;
    ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()});
    ASSERT_TRUE(launcher.waitForLine("ready", 30s));
    constexpr int kPings = 3000;
    for (int round = 0; round < 2; ++round) {
        std::string burst = R"(springboard {"cmd":"relaunch"})";
        for (int i = 0; i < kPings; ++i)
            burst += "\nspringboard {\"cmd\":\"ping\",\"id\":" + std::to_string(round * kPings + i) + "}";
        std::thread writer([&launcher, burst] { launcher.writeLine(burst); });
        std::set<int> answered;
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (answered.size() < kPings && std::chrono::steady_clock::now() < deadline) {
            auto line = launcher.readLine(5s);
            if (!line) break;
            if (line->rfind("springboard: ", 0) != 0) continue;
            const json reply = json::parse(line->substr(13), nullptr, false);
            if (reply.is_object() && reply.contains("ok") && reply.contains("id") && reply["id"].is_number_integer())
                answered.insert(reply["id"].get<int>());
        }
        writer.join();
        EXPECT_EQ(answered.size(), static_cast<size_t>(kPings)) << "round " << round << ": lines went unanswered";
    }
    launcher.signal(SIGTERM);
    EXPECT_TRUE(launcher.wait(15s));
}

// A launcher's lines as the device's controls are worked: counts
// SpringBoard's charger posts and the hosts' replies to the launcher's own
// requests that reached the terminal, and keeps each host's last battery.
struct DeviceLines {
    explicit DeviceLines(ChildProcess& launcher) : launcher(launcher) {}

    ChildProcess& launcher;
    int posts = 0, leaked = 0;
    std::map<std::string, json> battery;
    std::vector<json> replies;  // the device's, as they came

    // Reads the launcher's lines until `process` replies with `id`.
    std::optional<json> reply(const std::string& process, const json& id) {
        for (const auto& earlier : replies)
            if (process == "device" && earlier["id"] == id) return earlier;
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        while (std::chrono::steady_clock::now() < deadline) {
            auto line = launcher.readLine(5s);
            if (!line) break;
            const auto colon = line->find(": ");
            if (colon == std::string::npos) continue;
            const std::string from = line->substr(0, colon);
            json message = json::parse(line->substr(colon + 2), nullptr, false);
            if (!message.is_object()) continue;
            if (message.value("event", "") == "posted" && message.value("name", "") == "com.apple.springboard.pluggedin")
                ++posts;
            if (message.value("event", "") == "layout") battery[from] = message["battery"];
            const json seen = message.value("id", json());
            if (seen.is_string() && seen.get<std::string>().starts_with("device:")) ++leaked;
            if (from == "device") replies.push_back(message);
            if (from == process && message.contains("ok") && seen == id) return message;
        }
        return std::nullopt;
    }

    // Each host has answered what it was sent before.
    void settle(const std::vector<std::string>& hosts) {
        for (const auto& host : hosts) {
            launcher.writeLine(host + R"( {"cmd":"ping","id":"settled"})");
            ASSERT_TRUE(reply(host, "settled")) << host;
        }
    }
};

// The device's own charger control reaches every host, SpringBoard posts
// the power-source notification once, and only when the charger changed;
// the hosts' replies to the launcher's own requests stay inside it.
TEST(Launcher, DeviceChargerGoesToEveryHostAndPostsOnce) {
    TempDeviceRoot root;
    ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()});
    ASSERT_TRUE(launcher.waitForLine("ready", 30s));
    const std::vector<std::string> hosts{"springboard", "app", "settings"};
    DeviceLines lines{launcher};
    int& posts = lines.posts;
    auto reply = [&](const std::string& process, const json& id) { return lines.reply(process, id); };
    auto settle = [&] { lines.settle(hosts); };
    settle();

    launcher.writeLine(R"(device {"cmd":"charger","in":true,"id":1})");
    auto in = reply("device", 1);
    ASSERT_TRUE(in);
    EXPECT_EQ((*in)["ok"], true) << in->dump();
    EXPECT_EQ((*in)["charger"], "in");
    EXPECT_EQ((*in)["posted"], true);
    EXPECT_EQ((*in)["hosts"], json(hosts)) << in->dump();
    EXPECT_EQ(posts, 1);
    settle();
    for (const auto& host : hosts) EXPECT_EQ(lines.battery[host].value("charger", ""), "in") << host;

    // The charger stays in: nothing to post.
    posts = 0;
    launcher.writeLine(R"(device {"cmd":"charger","in":true,"id":2})");
    auto again = reply("device", 2);
    ASSERT_TRUE(again);
    EXPECT_EQ((*again)["ok"], true);
    EXPECT_EQ((*again)["posted"], false);
    EXPECT_EQ(posts, 0);

    // A battery change sent before the hosts have reported the charger's
    // going out starts from it: the charger stays out.
    launcher.writeLine("device {\"cmd\":\"charger\",\"in\":false,\"id\":3}\n"
                       "device {\"cmd\":\"battery\",\"capacity\":40,\"id\":4}");
    auto out = reply("device", 3);
    auto level = reply("device", 4);
    ASSERT_TRUE(out && level);
    EXPECT_EQ((*level)["charger"], "out") << level->dump();
    EXPECT_EQ((*level)["capacity"], 40);
    EXPECT_EQ(posts, 1);
    settle();
    for (const auto& host : hosts) EXPECT_EQ(lines.battery[host].value("charger", ""), "out") << host;
    EXPECT_EQ(lines.leaked, 0) << "a host's reply to the launcher's own request reached the terminal";
    launcher.signal(SIGTERM);
    EXPECT_TRUE(launcher.wait(15s));
}

// The device keeps what its controls set: a width sent before any host is
// up is kept for them, and SpringBoard relaunching comes back with the
// width, Bluetooth and battery the other hosts show, without a second
// charger post (for the device nothing changed).
TEST(Launcher, DeviceStateOutlivesAHostsRelaunch) {
    TempDeviceRoot root;
    ChildProcess launcher = startLauncher({"--no-screen", "--root", root.path()});
    const std::vector<std::string> hosts{"springboard", "app", "settings"};
    DeviceLines lines{launcher};
    ASSERT_TRUE(launcher.writeLine(R"(device {"cmd":"width","points":375,"id":"early"})"));
    auto early = lines.reply("device", "early");
    ASSERT_TRUE(early);
    EXPECT_EQ((*early)["ok"], true) << early->dump();
    lines.settle(hosts);

    for (const char* request : {R"(device {"cmd":"bluetooth","state":"connected","id":"bluetooth"})",
                                R"(device {"cmd":"charger","in":true,"id":"charger"})"}) {
        ASSERT_TRUE(launcher.writeLine(request));
        auto answer = lines.reply("device", json::parse(std::string(request).substr(7))["id"]);
        ASSERT_TRUE(answer) << request;
        EXPECT_EQ((*answer)["ok"], true) << answer->dump();
    }
    EXPECT_EQ(lines.posts, 1);

    ASSERT_TRUE(launcher.writeLine(R"(springboard {"cmd":"relaunch"})"));
    ASSERT_TRUE(launcher.waitForLine("launcher: springboard exited with status 75, relaunching", 20s));
    lines.posts = 0;
    lines.settle(hosts);  // SpringBoard answers once it is up again

    // What each host shows of the device, as its layout says it.
    std::map<std::string, json> shown;
    for (const auto& host : hosts) {
        ASSERT_TRUE(launcher.writeLine(host + R"( {"cmd":"layout","event":true,"id":"shown"})"));
        auto layout = lines.reply(host, "shown");
        ASSERT_TRUE(layout) << host;
        shown[host] = {{"width", (*layout)["width"]}, {"bluetooth", (*layout)["bluetooth"]}, {"battery", (*layout)["battery"]}};
    }
    EXPECT_EQ(shown["springboard"]["width"], 375);
    EXPECT_EQ(shown["springboard"]["bluetooth"], "connected");
    EXPECT_EQ(shown["springboard"]["battery"].value("charger", ""), "in") << shown["springboard"].dump();
    for (const auto& host : hosts) EXPECT_EQ(shown[host], shown["springboard"]) << host;
    EXPECT_EQ(lines.posts, 0) << "SpringBoard posted a charger change when it came back";
    EXPECT_EQ(lines.leaked, 0) << "a host's reply to the launcher's own request reached the terminal";
    launcher.signal(SIGTERM);
    EXPECT_TRUE(launcher.wait(15s));
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
