// A Settings application on a private device for the integration tests:
// the deliverables installed into a fresh root with its own bus, the app
// started on it (on first use), and a notification probe that records what
// the app posts.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "control/DevicePaths.h"
#include "DeviceInstall.h"
#include "HostProcess.h"
#include "PrivateBus.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv::test {

using nlohmann::json;
using namespace std::chrono_literals;

using zv::control::kSettingsAppPath;
inline constexpr const char* kPreferencesName = "net.quellit.zorvane/preferences";
inline constexpr const char* kReloadName = "net.quellit.zorvane/reloadStatusBar";
inline constexpr const char* kRespringName = "net.quellit.zorvane/respring";
inline constexpr auto kPatience = 5s;

class SettingsAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(installDeliverables(bus_.root().path()));
        // Present on every device, as the launcher's roots have it.
        std::filesystem::create_directories(hostPath(zv::control::kPreferencesFolder));
    }

    const std::string& root() const { return bus_.root().path(); }
    std::string hostPath(const std::string& devicePath) const { return bus_.root().hostPath(devicePath); }

    HostProcess& app() {
        if (!app_) {
            app_ = std::make_unique<HostProcess>(HostOptions{root(), {kSettingsAppPath}, false,
                                                             std::string(ZV_BIN_DIR) + "/zv-settings-app"});
            EXPECT_TRUE(app_->ready()) << "the Settings application sent no ready event";
        }
        return *app_;
    }

    // A request that must succeed; its reply.
    json ok(json request) {
        json reply = app().request(request);
        EXPECT_TRUE(reply.is_object() && reply.value("ok", false)) << request.dump() << " -> " << reply.dump();
        return reply;
    }
    // A request that must fail; its error text.
    std::string refused(json request) {
        json reply = app().request(request);
        EXPECT_TRUE(reply.is_object() && !reply.value("ok", true)) << request.dump() << " -> " << reply.dump();
        return reply.is_object() ? reply.value("error", "") : "";
    }
    json page() { return ok({{"cmd", "page"}}); }
    json alert() { return ok({{"cmd", "alert"}}); }

    // The settings file (or another file of the preferences folder).
    std::optional<PlistDictionary> preferencesFile(const std::string& name = "net.quellit.zorvane.plist") {
        auto bytes = readHostFile(hostPath("/var/mobile/Library/Preferences/" + name));
        if (!bytes) return std::nullopt;
        return plistDictionaryFromBytes(*bytes);
    }
    void writePreferencesFile(const std::string& name, const PlistDictionary& dict) {
        std::filesystem::create_directories(hostPath(zv::control::kPreferencesFolder));
        ASSERT_TRUE(writeHostFileAtomically(hostPath("/var/mobile/Library/Preferences/" + name),
                                            plistToXml(PlistValue(dict))));
    }

    // --- A peer that observes the app's notifications -----------------------
    // Observes the two Darwin names and the distributed relaunch name; each
    // delivery is a line "darwin|distributed ID NAME".
    void startProbe() {
        probe_ = std::make_unique<ChildProcess>(ChildProcess::Options{
            .executable = ZV_TEST_HELPER_DIR "/notify_probe", .environment = bus_.environment()});
        ASSERT_EQ(ask(std::string("observe ") + kPreferencesName + " 4"), "observing 1");
        ASSERT_EQ(ask(std::string("observe ") + kReloadName + " 4"), "observing 2");
        ASSERT_EQ(ask(std::string("observe-distributed ") + kRespringName), "observing 3");
    }
    std::string ask(const std::string& command) {
        if (!probe_->writeLine(command)) return "(probe gone)";
        return probe_->readLine(kPatience).value_or("(no reply to " + command + ")");
    }
    // The names delivered to the probe, up to and including the next
    // reloadStatusBar (which every change ends with).
    std::vector<std::string> namesUntilReload() {
        std::vector<std::string> names;
        while (auto line = probe_->readLine(kPatience)) {
            std::string name = line->substr(line->rfind(' ') + 1);
            names.push_back(name);
            if (name == kReloadName) break;
        }
        return names;
    }

    PrivateBus bus_;
    std::unique_ptr<HostProcess> app_;
    std::unique_ptr<ChildProcess> probe_;
};

// The rows of a section of a page reply, by title.
inline std::vector<std::string> rowTitles(const json& page, size_t section) {
    std::vector<std::string> titles;
    for (const auto& row : page["sections"][section]["rows"]) titles.push_back(row["title"].get<std::string>());
    return titles;
}

}  // namespace zv::test
