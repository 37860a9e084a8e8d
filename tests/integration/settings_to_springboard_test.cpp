// The whole road of a change: the user works in the Settings application and
// a running SpringBoard follows each step.
#include <gtest/gtest.h>

#include <thread>

#include "control/DevicePaths.h"
#include "SettingsAppFixture.h"

namespace zv::test {
namespace {

using zv::control::kSpringBoardPath;
constexpr int kBluetooth = 11;

class SettingsToSpringBoard : public SettingsAppTest {
protected:
    HostProcess& springBoard() {
        if (!springBoard_) {
            springBoard_ = std::make_unique<HostProcess>(HostOptions{root(), {kSpringBoardPath}, true});
            EXPECT_TRUE(springBoard_->ready());
        }
        return *springBoard_;
    }

    // SpringBoard's left region, once it has become `expected` (the change
    // travels through the bus, so it is polled for a while).
    bool leftBecomes(const std::vector<int>& expected) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        json left;
        while (std::chrono::steady_clock::now() < deadline) {
            left = springBoard().request({{"cmd", "layout"}})["left"];
            if (left == json(expected)) return true;
            std::this_thread::sleep_for(20ms);
        }
        ADD_FAILURE() << "SpringBoard's left region stays " << left.dump() << ", expected " << json(expected).dump();
        return false;
    }

    int leftFirst() {
        json left = springBoard().request({{"cmd", "layout"}})["left"];
        return left.empty() ? -1 : left[0].get<int>();
    }

    std::unique_ptr<HostProcess> springBoard_;
};

TEST_F(SettingsToSpringBoard, DragSaveResetAndLoadAreFollowedBySpringBoard) {
    ASSERT_TRUE(springBoard().ready());
    ASSERT_NE(leftFirst(), kBluetooth) << "the system does not put Bluetooth on the left";

    // Seed and drag "11 Bluetooth" to the top of Left: the store's post comes
    // before the editor's, and SpringBoard shows the item first on the left.
    ok({{"cmd", "open"}, {"label", "Sort Order"}});
    startProbe();
    ok({{"cmd", "move"}, {"from", {4, 10}}, {"to", {0, 0}}});
    EXPECT_EQ(namesUntilReload(), (std::vector<std::string>{kPreferencesName, kReloadName}));
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (leftFirst() != kBluetooth && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
    ASSERT_EQ(leftFirst(), kBluetooth);
    const json placed = springBoard().request({{"cmd", "layout"}})["left"];

    // Save it as a profile, reset, and load it back.
    ok({{"cmd", "back"}});
    ok({{"cmd", "open"}, {"label", "Profiles"}});
    ok({{"cmd", "tap"}, {"section", 0}, {"row", 0}});
    ok({{"cmd", "type"}, {"text", "Road"}});
    ok({{"cmd", "press"}, {"button", 1}});
    ok({{"cmd", "delete"}, {"section", 0}, {"row", 0}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_TRUE(leftBecomes({3, 4, 5})) << "after a reset the system places every item";

    ok({{"cmd", "tap"}, {"section", 1}, {"row", 0}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_TRUE(leftBecomes(placed.get<std::vector<int>>()));
    EXPECT_EQ(rowTitles(page(), 0), std::vector<std::string>{"Road"});
}

}  // namespace
}  // namespace zv::test
