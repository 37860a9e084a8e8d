// A fixture for the Settings bundle's pages, driven in this process over
// real files in the unit tests' device root: the shared store is re-bound to
// the settings file before each test, and alerts and the open-in menu left
// on screen are cleared after it.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "BundleTestRoot.h"
#include "SettingsKeys.h"
#include "ZVPreferences.h"
#include "uikit/controls/UIAlertView.h"
#include "uikit/controls/UIDocumentInteractionController.h"

namespace zv::test {

inline constexpr const char* kSettingsFile = "net.quellit.zorvane.plist";
inline constexpr CGSize kContentSize{320, 568};

class SettingsPageTest : public PreferencesFolderTest {
protected:
    void SetUp() override {
        PreferencesFolderTest::SetUp();
        startWith(std::nullopt);
    }
    void TearDown() override {
        while (auto alert = UIAlertView::alertOnScreen()) alert->dismissWithButtonIndex(0, false);
        if (auto menu = UIDocumentInteractionController::menuOnScreen()) menu->dismissMenuAnimated(false);
        PreferencesFolderTest::TearDown();
    }

    // The settings file holds `settings` (none when empty) and the shared
    // store has just read it, as the first page would.
    void startWith(const std::optional<PlistDictionary>& settings) {
        if (settings) writeDict(kSettingsFile, *settings);
        ZVPreferences::sharedInstance().reLoadFromIdentifier(kSettingsIdentifier, kPreferencesNotification);
    }

    static ZVPreferences& store() { return ZVPreferences::sharedInstance(); }
    static const PlistDictionary& held() { return *store().preferences(); }

    // The alert on screen, after checking there is exactly one.
    static std::shared_ptr<UIAlertView> onlyAlert() {
        auto queued = UIAlertView::queuedAlerts();
        EXPECT_EQ(queued.size(), 1u);
        return queued.empty() ? nullptr : queued.front();
    }
    // Presses a button of the alert on screen.
    static void press(NSInteger button) {
        auto alert = UIAlertView::alertOnScreen();
        ASSERT_TRUE(alert);
        alert->dismissWithButtonIndex(button, true);
    }
};

// Runs `checks` in a child process without root's rights (root writes into
// any folder whatever its mode), and answers its exit code: 0 when all
// checks held. As another user already, runs it here.
inline int runUnprivileged(const std::function<int()>& checks) {
    if (::geteuid() != 0) return checks();
    // The child must be able to reach the device root.
    std::filesystem::permissions(kUnitDeviceRoot, std::filesystem::perms::others_read |
                                                      std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
        ::_exit(checks());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

}  // namespace zv::test
