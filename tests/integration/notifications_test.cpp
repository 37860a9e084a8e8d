// System-wide notifications between real processes on a private bus: the
// notifyutil tool and notify_probe peers (tests/helpers) post and observe.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PrivateBus.h"
#include "TempDeviceRoot.h"
#include "notifications/DeviceBus.h"

namespace {

using namespace std::chrono_literals;
using zv::test::ChildProcess;
using zv::test::PrivateBus;
using zv::test::TempDeviceRoot;

constexpr auto kPatience = 10s;  // generous: the machine is shared
const std::string kPreferences = "net.quellit.zorvane/preferences";
const std::string kReload = "net.quellit.zorvane/reloadStatusBar";

ChildProcess notifyutil(const std::string& root, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "zv-notifyutil");
    return ChildProcess({.executable = ZV_BIN_DIR "/zv-notifyutil",
                         .arguments = std::move(arguments),
                         .environment = {{"ZV_DEVICE_ROOT", root}},
                         .captureStderr = true});
}

ChildProcess probe(const std::string& root) {
    return ChildProcess({.executable = ZV_TEST_HELPER_DIR "/notify_probe",
                         .environment = {{"ZV_DEVICE_ROOT", root}}});
}

// Sends a command to a probe and returns its reply.
std::string ask(ChildProcess& peer, const std::string& command) {
    if (!peer.writeLine(command)) return "(probe gone)";
    return peer.readLine(kPatience).value_or("(no reply to " + command + ")");
}

std::vector<std::string> readLines(ChildProcess& peer, size_t count) {
    std::vector<std::string> lines;
    while (lines.size() < count) {
        std::optional<std::string> line = peer.readLine(kPatience);
        if (!line) break;
        lines.push_back(*line);
    }
    return lines;
}

// Waits for a notifyutil run to end and answers its exit status.
int finish(ChildProcess& tool) {
    std::optional<zv::test::ExitStatus> status = tool.wait(kPatience);
    if (!status) return -1;
    return status->signalled ? 128 + status->signal : status->code;
}

class Notifications : public ::testing::Test {
protected:
    const std::string& root() const { return device_.root().path(); }

    PrivateBus device_;
};

TEST_F(Notifications, PostReachesEveryWaitingProcessEvenWhenThePosterExitsAtOnce) {
    ChildProcess first = notifyutil(root(), {"-w", kPreferences});
    ChildProcess second = notifyutil(root(), {"-w", kPreferences});
    ASSERT_EQ(first.readLine(kPatience), "ready");
    ASSERT_EQ(second.readLine(kPatience), "ready");

    ChildProcess poster = notifyutil(root(), {"-p", kPreferences});
    EXPECT_EQ(finish(poster), 0);

    EXPECT_EQ(first.readLine(kPatience), kPreferences);
    EXPECT_EQ(second.readLine(kPatience), kPreferences);
    EXPECT_EQ(finish(first), 0);
    EXPECT_EQ(finish(second), 0);
}

TEST_F(Notifications, WaiterIgnoresOtherNamesAndTimesOut) {
    ChildProcess waiter = notifyutil(root(), {"-w", kPreferences, "-t", "0.5"});
    ASSERT_EQ(waiter.readLine(kPatience), "ready");
    ChildProcess poster = notifyutil(root(), {"-p", kReload, "-p", kPreferences + "/more"});
    EXPECT_EQ(finish(poster), 0);

    EXPECT_EQ(finish(waiter), 1);
    EXPECT_EQ(waiter.readLine(1s), std::nullopt) << "the waiter printed a name it did not wait for";
}

// Names the bus carries with care: quoting in match rules, and names too
// long for a rule of their own (heard through a centre-wide rule and picked
// out by the receiver). A decoy posted first must not satisfy the waiter.
TEST_F(Notifications, UnusualNamesArriveExactly) {
    const std::vector<std::string> names = {
        "it's",
        "a,b='c'\\d",
        "caf\xc3\xa9/\xe2\x9c\x93",
        std::string(1500, 'n'),
        "",
    };
    for (const std::string& name : names) {
        SCOPED_TRACE("name of " + std::to_string(name.size()) + " bytes: " + name.substr(0, 40));
        ChildProcess waiter = notifyutil(root(), {"-w", name, "-t", "10"});
        ASSERT_EQ(waiter.readLine(kPatience), "ready");
        ChildProcess poster = notifyutil(root(), {"-p", name + "-decoy", "-p", name});
        EXPECT_EQ(finish(poster), 0);
        EXPECT_EQ(waiter.readLine(kPatience), name);
        EXPECT_EQ(finish(waiter), 0);
    }
}

TEST_F(Notifications, DarwinAndDistributedCentresAreSeparate) {
    ChildProcess receiver = probe(root());
    ASSERT_EQ(ask(receiver, "observe-distributed net.quellit.zorvane/respring"), "observing 1");
    ASSERT_EQ(ask(receiver, "observe net.quellit.zorvane/respring 0"), "observing 2");
    ASSERT_EQ(ask(receiver, "observe end 0"), "observing 3");

    ChildProcess poster = probe(root());
    ASSERT_EQ(ask(poster, "post net.quellit.zorvane/respring"), "posted");
    ASSERT_EQ(ask(poster, "post-distributed net.quellit.zorvane/respring"), "posted");
    ASSERT_EQ(ask(poster, "post end"), "posted");

    std::vector<std::string> delivered;
    ASSERT_TRUE(receiver.waitForLine("darwin 3 end", kPatience, &delivered));
    EXPECT_EQ(delivered, (std::vector<std::string>{"darwin 2 net.quellit.zorvane/respring",
                                                   "distributed 1 net.quellit.zorvane/respring"}));

    // The tool speaks the distributed centre too.
    ChildProcess waiter = notifyutil(root(), {"--distributed", "-w", "net.quellit.zorvane/respring"});
    ASSERT_EQ(waiter.readLine(kPatience), "ready");
    ChildProcess tool = notifyutil(root(), {"--distributed", "-p", "net.quellit.zorvane/respring"});
    EXPECT_EQ(finish(tool), 0);
    EXPECT_EQ(waiter.readLine(kPatience), "net.quellit.zorvane/respring");
}

TEST_F(Notifications, PosterHearsItsOwnPostsAndEveryObservationIsCalled) {
    ChildProcess peer = probe(root());
    ASSERT_EQ(ask(peer, "observe " + kReload + " 0"), "observing 1");
    ASSERT_EQ(ask(peer, "observe " + kReload + " 2"), "observing 2");
    ASSERT_EQ(ask(peer, "post " + kReload), "posted");
    EXPECT_EQ(readLines(peer, 2), (std::vector<std::string>{"darwin 1 " + kReload, "darwin 2 " + kReload}));
}

// The road of a settings change: "preferences" then "reloadStatusBar",
// posted back to back, many times.
TEST_F(Notifications, TwoNamesPostedBackToBackArriveInOrder) {
    constexpr int kPairs = 300;
    ChildProcess eachPost = probe(root());  // every post delivered
    ASSERT_EQ(ask(eachPost, "observe " + kPreferences + " 0"), "observing 1");
    ASSERT_EQ(ask(eachPost, "observe " + kReload + " 0"), "observing 2");
    ChildProcess plugin = probe(root());  // the plug-in's behaviours
    ASSERT_EQ(ask(plugin, "observe " + kPreferences + " 2"), "observing 1");
    ASSERT_EQ(ask(plugin, "observe " + kReload + " 0"), "observing 2");

    ChildProcess poster = probe(root());
    ASSERT_EQ(ask(poster, "post-pairs " + std::to_string(kPairs) + " " + kPreferences + " " + kReload), "posted");

    const std::vector<std::string> all = readLines(eachPost, 2 * kPairs);
    ASSERT_EQ(all.size(), 2u * kPairs);
    for (size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i], i % 2 == 0 ? "darwin 1 " + kPreferences : "darwin 2 " + kReload) << "delivery " << i;
    }

    // With coalescing, several "preferences" may merge into one, but each
    // reload still comes after a load, and none is lost.
    std::vector<std::string> seen;
    int reloads = 0;
    while (reloads < kPairs) {
        std::optional<std::string> line = plugin.readLine(kPatience);
        ASSERT_TRUE(line) << "only " << reloads << " reloads arrived";
        seen.push_back(*line);
        if (*line == "darwin 2 " + kReload) ++reloads;
    }
    ASSERT_EQ(seen.front(), "darwin 1 " + kPreferences);
    for (size_t i = 1; i < seen.size(); ++i) {
        EXPECT_FALSE(seen[i] == seen[i - 1] && seen[i] == "darwin 1 " + kPreferences)
            << "two loads in a row at " << i << ": a load overtook a reload";
    }
    EXPECT_EQ(plugin.readLine(300ms), std::nullopt);
}

// A receiver whose main loop is busy: posts of a coalescing name merge into
// the one waiting delivery, at the place of the first; every post of a
// behaviour-0 name is delivered.
TEST_F(Notifications, CoalescingMergesPostsThatWaitForABusyMainLoop) {
    constexpr int kPairs = 50;
    ChildProcess receiver = probe(root());
    ASSERT_EQ(ask(receiver, "observe " + kPreferences + " 2"), "observing 1");
    ASSERT_EQ(ask(receiver, "observe " + kReload + " 0"), "observing 2");
    ASSERT_EQ(ask(receiver, "hold " + std::to_string(kPairs + 1) + " 20000"), "holding");

    ChildProcess poster = probe(root());
    ASSERT_EQ(ask(poster, "post-pairs " + std::to_string(kPairs) + " " + kPreferences + " " + kReload), "posted");

    ASSERT_EQ(receiver.readLine(kPatience + 20s), "held " + std::to_string(kPairs + 1));
    std::vector<std::string> expected = {"darwin 1 " + kPreferences};
    expected.insert(expected.end(), kPairs, "darwin 2 " + kReload);
    EXPECT_EQ(readLines(receiver, expected.size()), expected);
    EXPECT_EQ(receiver.readLine(300ms), std::nullopt);

    // Once handed out, the next post is a new delivery.
    ASSERT_EQ(ask(poster, "post " + kPreferences), "posted");
    EXPECT_EQ(receiver.readLine(kPatience), "darwin 1 " + kPreferences);
}

TEST(NotificationsWithoutBus, ProcessesCarryOnAndTheToolSaysSo) {
    TempDeviceRoot root;
    ChildProcess peer = probe(root.path());
    EXPECT_EQ(ask(peer, "status"), "connected 0 observations 0");
    EXPECT_EQ(ask(peer, "observe " + kPreferences + " 2"), "observing 1");
    EXPECT_EQ(ask(peer, "observe-distributed net.quellit.zorvane/respring"), "observing 2");
    EXPECT_EQ(ask(peer, "post " + kPreferences), "posted");
    EXPECT_EQ(ask(peer, "post-distributed net.quellit.zorvane/respring"), "posted");
    EXPECT_EQ(ask(peer, "status"), "connected 0 observations 2");
    peer.writeLine("quit");
    std::optional<zv::test::ExitStatus> status = peer.wait(kPatience);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->exitedWith(0)) << status->describe();

    ChildProcess tool = notifyutil(root.path(), {"-p", kPreferences});
    EXPECT_EQ(finish(tool), 1);
    EXPECT_EQ(tool.readErrorLine(kPatience), "zv-notifyutil: no device bus at " + root.path() +
                                                 "/var/run/dbus/device_bus_socket");
}

TEST(NotificationsWithoutBus, LosingTheBusEndsWaitsButNotProcesses) {
    TempDeviceRoot root;
    DeviceBus bus(root.path());
    ChildProcess waiter = notifyutil(root.path(), {"-w", kPreferences});
    ChildProcess peer = probe(root.path());
    ASSERT_EQ(waiter.readLine(kPatience), "ready");
    ASSERT_EQ(ask(peer, "status"), "connected 1 observations 0");

    bus.stop();
    EXPECT_EQ(finish(waiter), 1);
    EXPECT_EQ(waiter.readErrorLine(kPatience), "zv-notifyutil: the device bus went away");
    EXPECT_EQ(ask(peer, "post " + kPreferences), "posted");
    EXPECT_EQ(ask(peer, "observe " + kReload + " 0"), "observing 1");
    EXPECT_EQ(ask(peer, "status"), "connected 0 observations 1");
}

}  // namespace
