// Start-up of the plug-in in real host processes: which processes it acts
// in, what it replaces there, which notifications it observes, and that the
// settings are loaded (and migrated) before the first question is asked.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "control/DevicePaths.h"
#include "DeviceInstall.h"
#include "HostProcess.h"
#include "PrivateBus.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv::test {
namespace {

using nlohmann::json;

using zv::control::kSpringBoardPath;
using zv::control::kSomeAppPath;

class HostStartup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(installDeliverables(bus_.root().path())); }

    HostProcess start(std::vector<std::string> arguments, bool springBoard) {
        return HostProcess(HostOptions{bus_.root().path(), std::move(arguments), springBoard});
    }

    struct Observed {
        int replaced = 0;
        std::vector<int> replacedRows;
        std::vector<std::string> darwin;  // "name/suspension"
        std::vector<std::string> distributed;
    };

    Observed observe(HostProcess& host) {
        Observed o;
        json hooks = host.request({{"cmd", "hooks"}});
        EXPECT_TRUE(hooks.value("ok", false)) << hooks.dump();
        for (const auto& row : hooks["rows"])
            if (row["replaced"].get<bool>()) o.replacedRows.push_back(row["row"].get<int>());
        o.replaced = static_cast<int>(o.replacedRows.size());
        json observers = host.request({{"cmd", "observers"}});
        for (const auto& entry : observers["observers"]) {
            if (entry["centre"] == "darwin")
                o.darwin.push_back(entry["name"].get<std::string>() + "/" + std::to_string(entry["suspension"].get<long>()));
            else
                o.distributed.push_back(entry["name"].get<std::string>());
        }
        return o;
    }

    PrivateBus bus_;
};

std::vector<int> rows(int first, int last) {
    std::vector<int> r;
    for (int i = first; i <= last; ++i) r.push_back(i);
    return r;
}

const std::vector<std::string> kHostObservers{"net.quellit.zorvane/preferences/2",
                                              "net.quellit.zorvane/reloadStatusBar/0",
                                              "com.apple.springboard.pluggedin/2"};

TEST_F(HostStartup, SpringBoardGetsAllNineteenRowsAndTheRelaunchObserver) {
    // The executable's name is the path's last component, trailing slash or not.
    for (std::string path : {std::string(kSpringBoardPath), std::string(kSpringBoardPath) + "/"}) {
        HostProcess host = start({path}, true);
        ASSERT_TRUE(host.ready()) << path;
        Observed o = observe(host);
        EXPECT_EQ(o.replacedRows, rows(1, 19)) << path;
        EXPECT_EQ(o.darwin, kHostObservers) << path;
        EXPECT_EQ(o.distributed, std::vector<std::string>{"net.quellit.zorvane/respring"}) << path;
    }
}

TEST_F(HostStartup, ApplicationsGetTheThirteenStatusBarRowsOnly) {
    for (const char* path : {"/Applications/Some.app/Some", "/var/containers/Bundle/Application/5C1D-42/Some.app/Some",
                             "/var/mobile/Library/Application Support/Tool/tool", "/Applications/Some.app/springboard"}) {
        HostProcess host = start({path}, false);
        ASSERT_TRUE(host.ready()) << path;
        Observed o = observe(host);
        EXPECT_EQ(o.replacedRows, rows(1, 13)) << path;
        EXPECT_EQ(o.darwin, kHostObservers) << path;
        EXPECT_TRUE(o.distributed.empty()) << path;
    }
}

TEST_F(HostStartup, ProcessesThatAreNoHostsAreLeftAlone) {
    for (const char* path : {"/Applications/Some.app/PlugIns/FileProvider.appex/FileProvider",
                             "/Applications/Some.app/PlugIns/FileProvider.appex/FileProvider/", "/usr/libexec/backboardd",
                             "/System/Library/CoreServices/SpringBoard.app/springboard", ""}) {
        HostProcess host = start({path}, false);
        ASSERT_TRUE(host.ready()) << path;
        Observed o = observe(host);
        EXPECT_EQ(o.replaced, 0) << path;
        EXPECT_TRUE(o.darwin.empty()) << path;
        EXPECT_TRUE(o.distributed.empty()) << path;
    }
}

TEST_F(HostStartup, SpringBoardRowsFollowTheClassEvenWithoutAHostPath) {
    // A process with SpringBoard's classes whose path fails the host test, and
    // one without any first argument, still get rows 14-19 and the relaunch
    // observer, but no status-bar rows and no Darwin observers.
    for (const char* path : {"/System/Library/CoreServices/SpringBoard.app/springboard", ""}) {
        HostProcess host = start({path}, true);
        ASSERT_TRUE(host.ready()) << path;
        Observed o = observe(host);
        EXPECT_EQ(o.replacedRows, rows(14, 19)) << path;
        EXPECT_TRUE(o.darwin.empty()) << path;
        EXPECT_EQ(o.distributed, std::vector<std::string>{"net.quellit.zorvane/respring"}) << path;
    }
}

TEST_F(HostStartup, FirstHostMigratesASchemaOneFileBeforeItHooks) {
    const std::string settings = bus_.root().hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane.plist");
    std::filesystem::create_directories(bus_.root().hostPath(zv::control::kPreferencesFolder));
    PlistDictionary old{{"enabled", PlistValue(true)},
                        {"left", PlistValue(PlistDictionary{{"data", PlistValue(PlistArray{PlistValue("21 VPN")})}})},
                        {"default", PlistValue(PlistDictionary{{"data", PlistValue(PlistArray{PlistValue("00 Time")})}})}};
    ASSERT_TRUE(writeHostFileAtomically(settings, plistToXml(PlistValue(old))));

    HostProcess host = start({kSomeAppPath}, false);
    ASSERT_TRUE(host.ready());
    auto migrated = plistDictionaryFromBytes(*readHostFile(settings));
    ASSERT_TRUE(migrated.has_value());
    EXPECT_EQ(*plistLookup(*migrated, "schemaVersion")->string(), "1.2");
    const auto& left = *plistLookup(*plistLookup(*migrated, "left")->dictionary(), "data")->array();
    EXPECT_EQ(left, (PlistArray{PlistValue("22 VPN")}));
    const auto& defaults = *plistLookup(*plistLookup(*migrated, "default")->dictionary(), "data")->array();
    EXPECT_EQ(defaults, (PlistArray{PlistValue("00 Time"), PlistValue("09 NotCharging"), PlistValue("14 Plus"),
                                    PlistValue("21 CarPlay"), PlistValue("32 Breadcrumb"), PlistValue("33 OpenInSafari")}));
}

TEST_F(HostStartup, SpringBoardRelaunchesOnTheRespringNotification) {
    HostProcess springBoard = start({kSpringBoardPath}, true);
    HostProcess app = start({kSomeAppPath}, false);
    ASSERT_TRUE(springBoard.ready());
    ASSERT_TRUE(app.ready());
    // Any process may post it; only SpringBoard observes it.
    ASSERT_TRUE(app.request({{"cmd", "post"}, {"name", "net.quellit.zorvane/respring"}, {"distributed", true}})
                    .value("ok", false));
    auto status = springBoard.process().wait(std::chrono::seconds(10));
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(status->exitedWith(75)) << status->describe();
    EXPECT_TRUE(app.request({{"cmd", "ping"}}).value("ok", false)) << "the application keeps running";
}

TEST_F(HostStartup, ControlProtocolAnswersBadInputWithErrors) {
    HostProcess host = start({kSomeAppPath}, false);
    ASSERT_TRUE(host.ready());
    ASSERT_TRUE(host.process().writeLine("this is not json"));
    auto line = host.process().readLine(std::chrono::seconds(5));
    ASSERT_TRUE(line.has_value());
    EXPECT_FALSE(json::parse(*line).value("ok", true));
    EXPECT_FALSE(host.request({{"cmd", "no such command"}}).value("ok", true));
    EXPECT_FALSE(host.request({{"cmd", "wait"}, {"name", 12}}).value("ok", true));
    EXPECT_TRUE(host.request({{"cmd", "ping"}}).value("ok", false));
}

}  // namespace
}  // namespace zv::test
