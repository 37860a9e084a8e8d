// Starting and stopping the device's own bus.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <utility>

#include "ChildProcess.h"
#include "TempDeviceRoot.h"
#include "notifications/DeviceBus.h"
#include "notifications/NotificationCenter.h"

namespace {

using namespace std::chrono_literals;
using zv::test::ChildProcess;
using zv::test::TempDeviceRoot;

bool isSocket(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// A round trip through the bus with the tool: a waiter hears a post.
bool carriesPosts(const std::string& root) {
    auto tool = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "zv-notifyutil");
        return ChildProcess({.executable = ZV_BIN_DIR "/zv-notifyutil",
                             .arguments = std::move(arguments),
                             .environment = {{"ZV_DEVICE_ROOT", root}}});
    };
    ChildProcess waiter = tool({"-w", "ping", "-t", "10"});
    if (waiter.readLine(10s) != "ready") return false;
    ChildProcess poster = tool({"-p", "ping"});
    poster.wait(10s);
    return waiter.readLine(10s) == "ping";
}

TEST(DeviceBus, ListensInsideTheRootAndStopsWithItsOwner) {
    TempDeviceRoot root;
    const std::string socket = root.hostPath(kDeviceBusSocket);
    pid_t pid = -1;
    {
        DeviceBus started(root.path());
        DeviceBus bus = std::move(started);  // the moved-from object must not stop it
        EXPECT_EQ(started.pid(), -1);
        pid = bus.pid();
        EXPECT_EQ(bus.socketPath(), socket);
        EXPECT_EQ(bus.address().rfind("unix:path=" + socket, 0), 0u) << bus.address();
        EXPECT_TRUE(isSocket(socket));
        EXPECT_TRUE(carriesPosts(root.path()));
    }
    EXPECT_NE(::kill(pid, 0), 0) << "the daemon outlived its DeviceBus";
}

TEST(DeviceBus, RefusesASecondBusOnTheSameRoot) {
    TempDeviceRoot root;
    DeviceBus first(root.path());
    try {
        DeviceBus second(root.path());
        FAIL() << "a second bus started on the same socket";
    } catch (const DeviceBusError& error) {
        EXPECT_NE(std::string(error.what()).find("already listens"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(carriesPosts(root.path())) << "the first bus was disturbed";
}

TEST(DeviceBus, ReplacesTheSocketOfABusThatDied) {
    TempDeviceRoot root;
    {
        DeviceBus crashed(root.path());
        ::kill(crashed.pid(), SIGKILL);  // leaves its socket behind
    }
    ASSERT_TRUE(isSocket(root.hostPath(kDeviceBusSocket)));
    DeviceBus bus(root.path());
    EXPECT_TRUE(carriesPosts(root.path()));
}

// The bus is the starting user's alone: its socket is out of other users'
// reach, and even with every folder opened to them the bus lets none of
// them in.
TEST(DeviceBus, AnotherUserCannotUseIt) {
    TempDeviceRoot root;
    DeviceBus bus(root.path());
    const std::string socket = root.hostPath(kDeviceBusSocket);
    struct stat info {};
    ASSERT_EQ(::stat(socket.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u) << "the socket is open to others";
    ASSERT_EQ(::stat(root.hostPath("/var/run/dbus").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the socket's folder is open to others";

    auto postAs = [&](const std::vector<std::string>& user) {
        std::vector<std::string> arguments = user;
        for (const char* part : {ZV_BIN_DIR "/zv-notifyutil", "-p", "net.quellit.test/intruder"})
            arguments.push_back(part);
        ChildProcess tool({.executable = arguments[0],
                           .arguments = arguments,
                           .environment = {{"ZV_DEVICE_ROOT", root.path()}},
                           .captureStderr = true});
        auto status = tool.wait(15s);
        return status && status->exitedWith(0);
    };
    const std::vector<std::string> nobody{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    EXPECT_FALSE(postAs(nobody)) << "another user posted on the bus";
    for (const char* folder : {"", "/var", "/var/run", "/var/run/dbus"})
        ASSERT_EQ(::chmod(root.hostPath(folder).c_str(), 0755), 0);
    ASSERT_EQ(::chmod(socket.c_str(), 0666), 0);
    EXPECT_FALSE(postAs(nobody)) << "the bus let another user in";
    EXPECT_TRUE(postAs({})) << "the bus refuses its own user";
}

TEST(DeviceBus, RootTooLongForASocketFailsClearly) {
    TempDeviceRoot base;
    const std::string deep = base.path() + "/" + std::string(80, 'd');
    try {
        DeviceBus bus(deep);
        FAIL() << "started a bus on a " << bus.socketPath().size() << "-byte socket path";
    } catch (const DeviceBusError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("at most 107"), std::string::npos) << message;
        EXPECT_NE(message.find(deep), std::string::npos) << message;
    }
}

}  // namespace
