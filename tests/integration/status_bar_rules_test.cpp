// The plug-in's rules in real SpringBoard and application hosts on a private
// bus: a change travelling from the settings file to both status bars, the
// reload sequence and its guard, the lock screen with the notification
// centre, Bluetooth, the hidden battery, item views, and relaunch.
#include "StatusBarHosts.h"

#include <chrono>
#include <thread>

namespace zv::test {
namespace {

const Types kLeft{3, 4, 5}, kCenter{0}, kRight{16, 13, 11, 8, 7};
const std::initializer_list<const char*> kReloadReceivers{"UIApplication", "SpringBoard", "UIStatusBar",
                                                          "SBStatusBarStateAggregator"};

std::vector<std::string> reloadSequence(bool springBoard) {
    std::vector<std::string> s{"+[UIApplication sharedApplication]",
                               springBoard ? "-[SpringBoard statusBar]" : "-[UIApplication statusBar]",
                               "-[UIStatusBar setShowsOnlyCenterItems:YES]", "-[UIStatusBar setShowsOnlyCenterItems:NO]"};
    if (!springBoard) return s;  // no aggregator in an application
    s.insert(s.end(), {"+[SBStatusBarStateAggregator sharedInstance]",
                       "-[SBStatusBarStateAggregator _resetTimeItemFormatter]",
                       "-[SBStatusBarStateAggregator _updateTimeItems]"});
    for (int type : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 16, 17, 19, 20, 21, 22, 23, 24, 25, 31, 32, 33}) {
        s.push_back("-[SBStatusBarStateAggregator _setItem:" + std::to_string(type) + " enabled:NO]");
        s.push_back("-[SBStatusBarStateAggregator updateStatusBarItem:" + std::to_string(type) + "]");
    }
    return s;
}

TEST_F(StatusBarHosts, OneChangeReachesSpringBoardAndAnApplicationAtOnce) {
    HostProcess springBoard = startSpringBoard();
    HostProcess app = startApp();
    ASSERT_TRUE(springBoard.ready() && app.ready());
    // No settings file: the plug-in is off and the host places everything.
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, kCenter, kRight));
    EXPECT_TRUE(layoutBecomes(app, kLeft, kCenter, kRight));

    publish({{{"left", {"11 Bluetooth"}}}});
    for (HostProcess* host : {&springBoard, &app}) EXPECT_TRUE(layoutBecomes(*host, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}));

    // With bluetoothConnectedOnly on, the item shows only while connected.
    publish({{{"left", {"11 Bluetooth"}}}, {{"bluetoothConnectedOnly", true}}});
    for (HostProcess* host : {&springBoard, &app}) {
        EXPECT_TRUE(layoutBecomes(*host, kLeft, kCenter, {16, 13, 8, 7}));
        request(*host, {{"cmd", "bluetooth"}, {"state", "connected"}});
        EXPECT_TRUE(layoutBecomes(*host, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}));
        for (const char* state : {"on", "off", "absent"}) {
            request(*host, {{"cmd", "bluetooth"}, {"state", state}});
            EXPECT_TRUE(layoutBecomes(*host, kLeft, kCenter, {16, 13, 8, 7})) << state;
        }
    }
}

TEST_F(StatusBarHosts, PlacedOrderedHiddenAndDefaultItems) {
    install({{{"left", {"07 Battery", "98 libstatusbar spacer 1", "00 Time"}},
              {"center", {"13 Alarm", "05 DataNetwork (WiFi)"}},
              {"right", {"03 SignalStrength (Cellular)"}},
              {"hidden", {"04 Carrier", "16 Location"}}}});
    HostProcess app = startApp();
    ASSERT_TRUE(app.ready());
    // The settings are in force before the first layout; items at default
    // keep the host's own region and order.
    EXPECT_TRUE(layoutBecomes(app, {7, 0}, {13, 5}, {3, 11, 8}));
    const json detail = request(app, {{"cmd", "layout"}, {"detail", true}})["detail"];
    EXPECT_EQ(detail["left"][1]["order"], 18) << "position 2 after the spacer";
    EXPECT_EQ(detail["left"][0]["appearsOnLeft"], true);
    EXPECT_EQ(detail["center"][0]["appearsOnLeft"], false);
    EXPECT_EQ(detail["center"][0]["appearsOnRight"], false);

    struct Question {
        json command;
        json answer;
    };
    const std::vector<Question> questions{
        {{{"question", "appearsInRegion:"}, {"type", 13}, {"region", 2}}, true},
        {{{"question", "appearsInRegion:"}, {"type", 13}, {"region", 0}}, false},
        {{{"question", "centerOrder"}, {"type", 5}}, 1},
        {{{"question", "leftOrder"}, {"type", 5}}, 4},  // the host's own order
        {{{"question", "appearsOnRight"}, {"type", 3}}, true},
        {{{"question", "appearsOnLeft"}, {"type", 4}}, false},
        {{{"question", "appearsInRegion:"}, {"type", 8}, {"region", 1}}, true},
        {{{"question", "isItemWithTypeExclusive:"}, {"type", 32}}, true},
    };
    for (const Question& q : questions) {
        json command = q.command;
        command["cmd"] = "ask";
        EXPECT_EQ(request(app, command)["answer"], q.answer) << q.command.dump();
    }

    // Switched off: everything goes back to the host's placement.
    publish({{{"left", {"07 Battery"}}}, {{"enabled", false}}});
    EXPECT_TRUE(layoutBecomes(app, kLeft, kCenter, kRight));
}

TEST_F(StatusBarHosts, TheReloadSendsExactlyItsSequenceAndAReloadInsideItSendsNothing) {
    install({{{"right", {"00 Time"}}}});
    HostProcess springBoard = startSpringBoard();
    HostProcess app = startApp();
    ASSERT_TRUE(springBoard.ready() && app.ready());
    for (HostProcess* host : {&springBoard, &app}) {
        request(*host, {{"cmd", "clearTrace"}});
        request(*host, {{"cmd", "listen"}, {"name", "net.quellit.zorvane/reloadStatusBar"}});
    }
    // Two requests in a row each run in full.
    request(app, {{"cmd", "post"}, {"name", "net.quellit.zorvane/reloadStatusBar"}});
    request(app, {{"cmd", "post"}, {"name", "net.quellit.zorvane/reloadStatusBar"}});
    for (HostProcess* host : {&springBoard, &app}) {
        const bool isSpringBoard = host == &springBoard;
        ASSERT_TRUE(received(*host, "net.quellit.zorvane/reloadStatusBar", 2));
        std::vector<std::string> twice = reloadSequence(isSpringBoard);
        const auto once = reloadSequence(isSpringBoard);
        twice.insert(twice.end(), once.begin(), once.end());
        EXPECT_EQ(traceOf(*host, kReloadReceivers), twice) << (isSpringBoard ? "SpringBoard" : "application");

        // A reload called from inside a running one returns at once.
        const json reply = request(*host, {{"cmd", "reload"}, {"nested", true}});
        EXPECT_EQ(reply["nested"]["isReloading"], 1);
        EXPECT_EQ(reply["nested"]["traceEntries"], 0);
        EXPECT_EQ(reply["isReloading"], 0);
        EXPECT_EQ(traceOf(*host, kReloadReceivers), once);
        // Afterwards a reload runs in full again.
        request(*host, {{"cmd", "reload"}});
        EXPECT_EQ(traceOf(*host, kReloadReceivers), once);
    }
}

TEST_F(StatusBarHosts, LockScreenAndNotificationCentre) {
    install({{{"right", {"00 Time"}}}});
    HostProcess springBoard = startSpringBoard();
    ASSERT_TRUE(springBoard.ready());
    const Types withTime{0, 16, 13, 11, 8, 7}, withoutTime{16, 13, 11, 8, 7};
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withTime));

    // Unlocked, the notification centre sets its flag but refreshes nothing.
    request(springBoard, {{"cmd", "clearTrace"}});
    request(springBoard, {{"cmd", "notificationCenter"}, {"transition", "willPresent"}});
    request(springBoard, {{"cmd", "notificationCenter"}, {"transition", "didDismiss"}});
    EXPECT_TRUE(traceOf(springBoard, {"SBStatusBarStateAggregator"}).empty());

    // Locked: the Time item leaves every region, and both grabbers stay hidden.
    request(springBoard, {{"cmd", "lock"}});
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withoutTime));
    const json grabbers = request(springBoard, {{"cmd", "grabbers"}});
    EXPECT_EQ(grabbers["top"]["hidden"], true);
    EXPECT_EQ(grabbers["bottom"]["hidden"], true);
    EXPECT_EQ(grabbers["top"]["requester"], "SBLockScreenViewController");
    EXPECT_EQ(request(springBoard, {{"cmd", "shouldShowLockStatusBarTime"}})["answer"], false);

    // Over the locked screen the notification centre brings it back where the user put it.
    request(springBoard, {{"cmd", "clearTrace"}});
    EXPECT_EQ(request(springBoard, {{"cmd", "notificationCenter"}, {"transition", "willPresent"}})["presented"], true);
    EXPECT_EQ(traceOf(springBoard, {"SBStatusBarStateAggregator", "SBLockScreenManager"}),
              (std::vector<std::string>{"+[SBLockScreenManager sharedInstance]", "-[SBLockScreenManager isUILocked]",
                                        "+[SBStatusBarStateAggregator sharedInstance]",
                                        "-[SBStatusBarStateAggregator _setItem:0 enabled:NO]",
                                        "-[SBStatusBarStateAggregator updateStatusBarItem:0]",
                                        // the rebuilt Time item asks for the lock state for each region
                                        "+[SBLockScreenManager sharedInstance]", "-[SBLockScreenManager isUILocked]",
                                        "+[SBLockScreenManager sharedInstance]", "-[SBLockScreenManager isUILocked]",
                                        "+[SBLockScreenManager sharedInstance]", "-[SBLockScreenManager isUILocked]"}));
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withTime));

    request(springBoard, {{"cmd", "notificationCenter"}, {"transition", "willDismiss"}});
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withoutTime));
    EXPECT_EQ(traceOf(springBoard, {"SBStatusBarStateAggregator"}),
              (std::vector<std::string>{"+[SBStatusBarStateAggregator sharedInstance]",
                                        "-[SBStatusBarStateAggregator _setItem:0 enabled:NO]"}));
    request(springBoard, {{"cmd", "notificationCenter"}, {"transition", "didDismiss"}});
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withoutTime));
    EXPECT_EQ(traceOf(springBoard, {"SBStatusBarStateAggregator"}),
              (std::vector<std::string>{"+[SBStatusBarStateAggregator sharedInstance]",
                                        "-[SBStatusBarStateAggregator updateStatusBarItem:0]"}));

    request(springBoard, {{"cmd", "unlock"}});
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withTime));

    // With the lock-screen time on: Time stays on the locked screen, the
    // lock screen may show the status-bar time, the top grabber may show,
    // and the notification centre refreshes nothing.
    publish({{{"right", {"00 Time"}}}, {{"enableLockScreenTime", true}, {"hideTopGrabberLS", false}}});
    request(springBoard, {{"cmd", "lock"}});
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, {}, withTime));
    EXPECT_EQ(request(springBoard, {{"cmd", "shouldShowLockStatusBarTime"}})["answer"], true);
    const json shown = request(springBoard, {{"cmd", "grabbers"}});
    EXPECT_EQ(shown["top"]["hidden"], false);
    EXPECT_EQ(shown["bottom"]["hidden"], true);
    request(springBoard, {{"cmd", "clearTrace"}});
    for (const char* transition : {"willPresent", "willDismiss", "didDismiss"})
        request(springBoard, {{"cmd", "notificationCenter"}, {"transition", transition}});
    EXPECT_TRUE(traceOf(springBoard, {"SBStatusBarStateAggregator", "SBLockScreenManager"}).empty());
}

TEST_F(StatusBarHosts, BluetoothManagerIsLookedUpUntilFoundAskedInOrderAndNotForAHiddenItem) {
    install({{{"left", {"11 Bluetooth"}}}, {{"bluetoothConnectedOnly", true}}});
    HostProcess app = startApp();
    ASSERT_TRUE(app.ready());
    // No Bluetooth framework loaded yet: no class, so not connected.
    EXPECT_EQ(request(app, {{"cmd", "bluetooth"}})["loaded"], false);
    const json askLeft{{"cmd", "ask"}, {"question", "appearsInRegion:"}, {"type", 11}, {"region", 0}};
    EXPECT_EQ(request(app, askLeft)["answer"], false);
    EXPECT_TRUE(traceOf(app, {"BluetoothManager"}).empty());
    // Once the framework is loaded, the next question finds the class.
    request(app, {{"cmd", "bluetooth"}, {"state", "connected"}});
    EXPECT_TRUE(layoutBecomes(app, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}));

    publish({{{"hidden", {"11 Bluetooth"}}}, {{"bluetoothConnectedOnly", true}}});
    EXPECT_TRUE(layoutBecomes(app, kLeft, kCenter, {16, 13, 8, 7}));
    request(app, {{"cmd", "clearTrace"}});
    EXPECT_EQ(request(app, askLeft)["answer"], false);
    EXPECT_TRUE(traceOf(app, {"BluetoothManager"}).empty());

    publish({{{"left", {"11 Bluetooth"}}}, {{"bluetoothConnectedOnly", true}}});
    EXPECT_TRUE(layoutBecomes(app, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}));
    struct Case {
        const char* state;
        bool answer;
        std::vector<std::string> asked;
    };
    const std::vector<Case> cases{
        {"absent", false, {"+[BluetoothManager sharedInstance]"}},
        {"off", false, {"+[BluetoothManager sharedInstance]", "-[BluetoothManager enabled]"}},
        {"on", false, {"+[BluetoothManager sharedInstance]", "-[BluetoothManager enabled]", "-[BluetoothManager connected]"}},
        {"connected", true,
         {"+[BluetoothManager sharedInstance]", "-[BluetoothManager enabled]", "-[BluetoothManager connected]"}},
    };
    for (const Case& c : cases) {
        request(app, {{"cmd", "bluetooth"}, {"state", c.state}});
        request(app, {{"cmd", "clearTrace"}});
        EXPECT_EQ(request(app, askLeft)["answer"], c.answer) << c.state;
        EXPECT_EQ(traceOf(app, {"BluetoothManager"}), c.asked) << c.state;
    }
}

TEST_F(StatusBarHosts, HiddenBatteryBeforeAndAfterBatteryData) {
    install({{{"right", {"07 Battery"}}}, {{"hideBattery", true}}});
    HostProcess springBoard = startSpringBoard();
    HostProcess app = startApp();
    ASSERT_TRUE(springBoard.ready() && app.ready());
    const Types without{16, 13, 11, 8}, with{7, 16, 13, 11, 8};
    for (HostProcess* host : {&springBoard, &app}) {
        EXPECT_TRUE(layoutBecomes(*host, kLeft, kCenter, without));
        const json image = request(*host, {{"cmd", "batteryImage"}});
        EXPECT_EQ(image["width"], 5.1);
        EXPECT_EQ(image["height"], 5.0);
        EXPECT_EQ(image["transparent"], true);
        // On external power: the data is recorded, the item stays until rebuilt.
        EXPECT_EQ(request(*host, {{"cmd", "battery"}, {"state", 1}, {"capacity", 80}})["text"], "80%");
        EXPECT_TRUE(layoutBecomes(*host, kLeft, kCenter, without));
        request(*host, {{"cmd", "listen"}, {"name", "com.apple.springboard.pluggedin"}});
    }
    // The charger notification rebuilds the Battery item where an aggregator
    // exists; the application's status bar follows at the next reload.
    request(springBoard, {{"cmd", "charger"}});
    for (HostProcess* host : {&springBoard, &app}) ASSERT_TRUE(received(*host, "com.apple.springboard.pluggedin", 1));
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, kCenter, with));
    EXPECT_TRUE(layoutBecomes(app, kLeft, kCenter, without));
    request(app, {{"cmd", "reload"}});
    EXPECT_TRUE(layoutBecomes(app, kLeft, kCenter, with));

    // Off external power again: hidden after the next rebuild.
    request(springBoard, {{"cmd", "battery"}, {"state", 0}});
    request(springBoard, {{"cmd", "charger"}});
    ASSERT_TRUE(received(springBoard, "com.apple.springboard.pluggedin", 2));
    EXPECT_TRUE(layoutBecomes(springBoard, kLeft, kCenter, without));

    // Without hideBattery the glyph is the host's own.
    publish({{{"right", {"07 Battery"}}}});
    // The host takes the new file when the notification reaches it: ask until it has.
    json image = request(springBoard, {{"cmd", "batteryImage"}});
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         image["transparent"] == true && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        image = request(springBoard, {{"cmd", "batteryImage"}});
    }
    EXPECT_EQ(image["width"], 25.0);
    EXPECT_EQ(image["transparent"], false);
}

TEST_F(StatusBarHosts, BreadcrumbSidesAndShortTitles) {
    install({{{"right", {"32 Breadcrumb"}}, {"left", {"33 OpenInSafari"}}}, {{"shortBreadcrumb", true}}});
    HostProcess app = startApp();
    ASSERT_TRUE(app.ready());
    for (int level : {0, 1, 2, 5}) {
        const json crumb = request(app, {{"cmd", "breadcrumb"}, {"view", "breadcrumb"}, {"level", level}, {"destination", "Messages"}});
        EXPECT_EQ(crumb["imageOnRight"], true);
        EXPECT_EQ(crumb["title"], "Messages") << level;
        const json safari = request(app, {{"cmd", "breadcrumb"}, {"view", "openInSafari"}, {"level", level}});
        EXPECT_EQ(safari["imageOnRight"], false);
        EXPECT_EQ(safari["title"], "Safari") << level;
    }
    publish({{{"left", {"32 Breadcrumb"}}, {"right", {"33 OpenInSafari"}}}});
    const auto settled = [&] {
        return request(app, {{"cmd", "breadcrumb"}, {"view", "breadcrumb"}, {"level", 0}})["title"] == "Back to Messages";
    };
    for (int i = 0; i < 250 && !settled(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(request(app, {{"cmd", "breadcrumb"}, {"view", "breadcrumb"}, {"level", 0}})["imageOnRight"], false);
    EXPECT_EQ(request(app, {{"cmd", "breadcrumb"}, {"view", "openInSafari"}, {"level", 2}})["title"], "Open");
    EXPECT_EQ(request(app, {{"cmd", "breadcrumb"}, {"view", "openInSafari"}, {"level", 2}})["imageOnRight"], true);
}

TEST_F(StatusBarHosts, RelaunchBringsSpringBoardBackWithThePluginLoaded) {
    install({{{"left", {"11 Bluetooth"}}}});
    auto springBoard = std::make_unique<HostProcess>(startSpringBoard());
    HostProcess app = startApp();
    ASSERT_TRUE(springBoard->ready() && app.ready());
    // The Settings side asks for a relaunch on the distributed centre; only
    // SpringBoard reacts.
    request(app, {{"cmd", "post"}, {"name", "net.quellit.zorvane/respring"}, {"distributed", true}});
    ASSERT_TRUE(springBoard->waitForEvent("relaunch").has_value());
    auto status = springBoard->process().wait(std::chrono::seconds(10));
    ASSERT_TRUE(status && status->exitedWith(75)) << (status ? status->describe() : "still running");
    EXPECT_EQ(request(app, {{"cmd", "ping"}})["pong"], true);

    // The starter's loop starts it again: the plug-in loads as before.
    springBoard = std::make_unique<HostProcess>(startSpringBoard());
    ASSERT_TRUE(springBoard->ready());
    EXPECT_EQ(request(*springBoard, {{"cmd", "hooks"}})["replaced"], 19);
    EXPECT_TRUE(layoutBecomes(*springBoard, {11, 3, 4, 5}, kCenter, {16, 13, 8, 7}));

    // An application has no _relaunchSpringBoardNow: the command does nothing there.
    EXPECT_EQ(request(app, {{"cmd", "relaunch"}})["relaunching"], false);
    EXPECT_EQ(request(app, {{"cmd", "ping"}})["pong"], true);
}

TEST_F(StatusBarHosts, BadCommandsGetErrorsAndTheHostKeepsRunning) {
    HostProcess app = startApp();
    ASSERT_TRUE(app.ready());
    const std::vector<json> bad{
        {{"cmd", "ask"}, {"question", "appearsInRegion:"}, {"type", "7"}, {"region", 0}},
        {{"cmd", "ask"}, {"question", "appearsInRegion:"}, {"type", 7}},
        {{"cmd", "ask"}, {"question", "appearsInRegion:"}, {"type", 7}, {"region", 4294967296LL}},
        {{"cmd", "ask"}, {"question", "frobnicate"}, {"type", 7}},
        {{"cmd", "bluetooth"}, {"state", "blue"}},
        {{"cmd", "battery"}, {"state", true}},
        {{"cmd", "items"}, {"types", {1, "2"}}},
        {{"cmd", "breadcrumb"}, {"view", "toast"}},
        {{"cmd", "lock"}},
        {{"cmd", "notificationCenter"}, {"transition", "willPresent"}},
        {{"cmd", "grabbers"}},
    };
    for (const json& command : bad) {
        const json reply = app.request(command);
        ASSERT_TRUE(reply.is_object()) << command.dump();
        EXPECT_EQ(reply["ok"], false) << command.dump();
        EXPECT_TRUE(reply["error"].is_string()) << command.dump();
    }
    EXPECT_EQ(request(app, {{"cmd", "ping"}})["pong"], true);
    EXPECT_TRUE(layoutBecomes(app, kLeft, kCenter, kRight));
}

}  // namespace
}  // namespace zv::test
