// Processes on a bus that stops answering or restarts: nothing waits on a
// hung bus, and every process finds a restarted bus again with all its
// observations.
#include <signal.h>

#include "StatusBarHosts.h"
#include "control/DevicePaths.h"

namespace zv::test {
namespace {

using namespace std::chrono_literals;

const Types kLeft{3, 4, 5}, kCenter{0}, kRight{16, 13, 11, 8, 7};
// Far longer than a process may wait on the bus, far shorter than the waits
// of a process that blocks on it.
constexpr auto kPrompt = 5s;

bool answeredOk(const json& reply) { return reply.is_object() && reply.value("ok", false); }

// Stops the bus daemon (SIGSTOP) for the life of the object: it keeps its
// socket and accepts connections, but reads and answers nothing.
class HungBus {
public:
    explicit HungBus(pid_t daemon) : daemon_(daemon) { ::kill(daemon_, SIGSTOP); }
    ~HungBus() { resume(); }
    HungBus(const HungBus&) = delete;
    HungBus& operator=(const HungBus&) = delete;
    void resume() {
        if (daemon_ > 0) ::kill(daemon_, SIGCONT);
        daemon_ = -1;
    }

private:
    pid_t daemon_;
};

class BusOutage : public StatusBarHosts {
protected:
    HostProcess startSettingsApp() {
        return HostProcess(HostOptions{bus_.root().path(), {zv::control::kSettingsAppPath}, false,
                                       std::string(ZV_BIN_DIR) + "/zv-settings-app"});
    }

    // Posts `name` with the tool until `host` has received it `count` times
    // (a process that lost the bus takes a moment to route names again).
    bool receivedAfterPosting(HostProcess& host, const std::string& name, long count) {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            ChildProcess tool({.executable = ZV_BIN_DIR "/zv-notifyutil",
                               .arguments = {"zv-notifyutil", "-p", name},
                               .environment = bus_.environment()});
            tool.wait(10s);
            if (received(host, name, count, 500ms)) return true;
        }
        return false;
    }
};

TEST_F(BusOutage, AHungBusHoldsUpNoStartSaveOrAnswer) {
    HostProcess running = startSpringBoard();
    HostProcess settings = startSettingsApp();
    ASSERT_TRUE(running.ready() && settings.ready());

    HungBus hung(bus_.bus().pid());
    HostProcess started = startSpringBoard();  // connects and observes during the plug-in's start-up
    EXPECT_TRUE(started.ready()) << "a SpringBoard started on a hung bus never became ready";

    const json listened = running.request({{"cmd", "listen"}, {"name", "net.quellit.test/later"}}, kPrompt);
    EXPECT_TRUE(answeredOk(listened)) << "listen was not answered promptly: " << listened.dump();

    // Each save posts; far more posts than the bus's socket holds.
    for (int flip = 0; flip < 400; ++flip) {
        const json saved = settings.request({{"cmd", "switch"}, {"label", "Enabled"}, {"value", flip % 2 == 1}}, kPrompt);
        ASSERT_TRUE(answeredOk(saved)) << "save " << flip << " was not answered promptly: " << saved.dump();
    }
    EXPECT_TRUE(answeredOk(running.request({{"cmd", "ping"}}, kPrompt)));

    // Once the bus answers again, what was asked of it while it hung is in force.
    hung.resume();
    if (started.ready()) {
        publish({{{"left", {"11 Bluetooth"}}}});
        EXPECT_TRUE(layoutBecomes(started, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}, 10s));
    }
    EXPECT_TRUE(receivedAfterPosting(running, "net.quellit.test/later", 1));
}

TEST_F(BusOutage, ARestartedBusReachesSpringBoardWithEveryObservation) {
    HostProcess springBoard = startSpringBoard();
    ASSERT_TRUE(springBoard.ready());
    request(springBoard, {{"cmd", "listen"}, {"name", "net.quellit.test/listened"}});

    bus_.restart();

    // The plug-in's Darwin observers: a change published after the restart
    // is followed.
    bool followed = false;
    for (auto deadline = std::chrono::steady_clock::now() + 20s;
         !followed && std::chrono::steady_clock::now() < deadline;) {
        publish({{{"left", {"11 Bluetooth"}}}});
        const json l = layout(springBoard);
        followed = l["left"] == json(Types{11, 3, 4, 5});
        if (!followed) std::this_thread::sleep_for(200ms);
    }
    EXPECT_TRUE(followed) << "SpringBoard never followed a change after the bus restarted";
    // The host's own observation.
    EXPECT_TRUE(receivedAfterPosting(springBoard, "net.quellit.test/listened", 1));
    // The distributed relaunch observer.
    ChildProcess respring({.executable = ZV_BIN_DIR "/zv-notifyutil",
                           .arguments = {"zv-notifyutil", "--distributed", "-p", "net.quellit.zorvane/respring"},
                           .environment = bus_.environment()});
    EXPECT_TRUE(springBoard.waitForEvent("relaunch")) << "the relaunch observer was not restored";
}

// A change saved while the bus is away (its posts go nowhere) reaches
// SpringBoard once the bus is back, without a further post.
TEST_F(BusOutage, AChangeSavedWhileTheBusIsAwayIsFollowedWhenItComesBack) {
    install({{{"left", {"11 Bluetooth"}}}});
    HostProcess springBoard = startSpringBoard();
    HostProcess settings = startSettingsApp();
    ASSERT_TRUE(springBoard.ready() && settings.ready());
    ASSERT_TRUE(layoutBecomes(springBoard, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}));

    bus_.stop();
    ASSERT_TRUE(answeredOk(settings.request({{"cmd", "switch"}, {"label", "Enabled"}, {"value", false}}, kPrompt)));
    std::this_thread::sleep_for(300ms);
    bus_.start();

    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, kCenter, kRight, 20s))
        << "SpringBoard kept the settings it had before the bus went away";
}

}  // namespace
}  // namespace zv::test
