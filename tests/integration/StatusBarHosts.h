// Fixture for tests of the plug-in's rules in real status-bar hosts: a
// private bus on a fresh device root with the deliverables installed, hosts
// started on it, and the Settings side's road for a change (settings file
// replaced atomically by another process, then the two notifications).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "control/DevicePaths.h"
#include "DeviceInstall.h"
#include "HostProcess.h"
#include "ItemCatalogue.h"
#include "PrivateBus.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv::test {

using nlohmann::json;
using Types = std::vector<int>;

using zv::control::kSpringBoardPath;
inline constexpr const char* kAppPath = zv::control::kSomeAppPath;

// A settings file: every seed name in `default` but those placed in the
// named lists, the given switches, schema "1.2".
struct Layout {
    std::map<std::string, std::vector<std::string>> lists{};  // "left", "center", "right", "hidden"
    std::map<std::string, bool> switches{};                 // `enabled` is true unless given
};

inline PlistDictionary settingsFile(const Layout& layout) {
    PlistDictionary dict;
    dict["schemaVersion"] = PlistValue("1.2");
    dict["enabled"] = PlistValue(true);
    for (const auto& [key, value] : layout.switches) dict[key] = PlistValue(value);
    std::vector<std::string> placed;
    for (const char* key : {"left", "center", "right", "hidden"}) {
        PlistArray names;
        auto it = layout.lists.find(key);
        if (it != layout.lists.end())
            for (const auto& name : it->second) {
                names.emplace_back(name);
                placed.push_back(name);
            }
        dict[key] = PlistValue(PlistDictionary{{"data", PlistValue(std::move(names))}});
    }
    PlistArray rest;
    for (std::string_view name : kSeedList)
        if (std::find(placed.begin(), placed.end(), name) == placed.end()) rest.emplace_back(std::string(name));
    dict["default"] = PlistValue(PlistDictionary{{"data", PlistValue(std::move(rest))}});
    return dict;
}

class StatusBarHosts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(installDeliverables(bus_.root().path()));
        std::filesystem::create_directories(bus_.root().hostPath(zv::control::kPreferencesFolder));
    }

    HostProcess startSpringBoard() { return HostProcess(HostOptions{bus_.root().path(), {kSpringBoardPath}, true}); }
    HostProcess startApp() { return HostProcess(HostOptions{bus_.root().path(), {kAppPath}, false}); }

    // The Settings side's road: another process replaces the settings file
    // atomically, then posts the preferences and reload notifications.
    void publish(const Layout& layout) {
        const std::string source = bus_.root().path() + "/staged-settings.plist";
        ASSERT_TRUE(writeHostFileAtomically(source, plistToXml(PlistValue(settingsFile(layout)))));
        ChildProcess writer({.executable = ZV_TEST_HELPER_DIR "/settings_writer",
                             .arguments = {"settings_writer", source},
                             .environment = bus_.environment()});
        auto status = writer.wait(std::chrono::seconds(10));
        ASSERT_TRUE(status && status->exitedWith(0)) << (status ? status->describe() : "still running");
    }

    // Puts the file in place before any host starts.
    void install(const Layout& layout) {
        ASSERT_TRUE(writeHostFileAtomically(bus_.root().hostPath("/var/mobile/Library/Preferences/net.quellit.zorvane.plist"),
                                            plistToXml(PlistValue(settingsFile(layout)))));
    }

    static json request(HostProcess& host, json command) {
        json reply = host.request(std::move(command));
        EXPECT_TRUE(reply.is_object() && reply.value("ok", false)) << reply.dump();
        return reply;
    }

    static json layout(HostProcess& host) { return request(host, {{"cmd", "layout"}}); }

    // Polls the host's layout until it is the expected one (notifications
    // are handled on the host's main loop, a little later); returns whether
    // it got there within the time.
    static bool layoutBecomes(HostProcess& host, const Types& left, const Types& center, const Types& right,
                              std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const json l = layout(host);
            if (l["left"] == json(left) && l["center"] == json(center) && l["right"] == json(right)) return true;
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "layout stays " << l.dump() << ", expected left " << json(left).dump() << " center "
                              << json(center).dump() << " right " << json(right).dump();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // The recorded calls on the given receivers' classes, in order; the
    // record is emptied.
    static std::vector<std::string> traceOf(HostProcess& host, std::initializer_list<const char*> classes) {
        const json reply = request(host, {{"cmd", "trace"}, {"clear", true}});
        std::vector<std::string> entries;
        for (const auto& entry : reply["trace"]) {
            const std::string text = entry.get<std::string>();
            for (const char* cls : classes)
                if (text.find(std::string("[") + cls + " ") != std::string::npos) entries.push_back(text);
        }
        return entries;
    }

    // Waits until the host has handled a post of `name` made after `listen`.
    static bool received(HostProcess& host, const std::string& name, long count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            if (request(host, {{"cmd", "received"}, {"name", name}})["count"].get<long>() >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    PrivateBus bus_;
};

}  // namespace zv::test
