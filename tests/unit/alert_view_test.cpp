// Alerts: button numbering, the screen's one-at-a-time queue, and the
// delegate callback that may chain the next alert.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "uikit/controls/UIAlertView.h"

namespace {

class Recorder : public UIAlertViewDelegate {
public:
    std::vector<std::pair<NSInteger, NSInteger>> dismissals;  // tag, button
    std::shared_ptr<UIAlertView> chained;                     // shown from the callback when set
    void didDismissWithButtonIndex(UIAlertView& alert, NSInteger button) override {
        dismissals.emplace_back(alert.tag(), button);
        // The dismissed alert has already left the screen.
        EXPECT_NE(UIAlertView::alertOnScreen().get(), &alert);
        if (chained) std::exchange(chained, nullptr)->show();
    }
};

struct AlertFixture : ::testing::Test {
    void TearDown() override {
        while (auto alert = UIAlertView::alertOnScreen()) alert->dismissWithButtonIndex(0, false);
    }
};

TEST_F(AlertFixture, ButtonsAreNumberedFromTheCancelButton) {
    auto withCancel = UIAlertView::initWithTitle("Save", "Name?", {}, "Cancel", {"Save", "Later"});
    EXPECT_EQ(withCancel->buttonTitles(), (std::vector<std::string>{"Cancel", "Save", "Later"}));
    EXPECT_EQ(withCancel->cancelButtonIndex(), 0);
    EXPECT_EQ(withCancel->buttonTitleAtIndex(2), "Later");
    EXPECT_FALSE(withCancel->buttonTitleAtIndex(3));
    EXPECT_FALSE(withCancel->buttonTitleAtIndex(-1));

    auto noCancel = UIAlertView::initWithTitle(std::nullopt, std::nullopt, {}, std::nullopt, {"Ok"});
    EXPECT_EQ(noCancel->cancelButtonIndex(), -1);
    EXPECT_EQ(noCancel->buttonTitleAtIndex(0), "Ok");
}

TEST_F(AlertFixture, TextFieldsFollowTheStyle) {
    auto alert = UIAlertView::initWithTitle("Save", std::nullopt, {}, "Cancel", {"Save"});
    EXPECT_EQ(alert->textFieldAtIndex(0), nullptr);
    alert->setAlertViewStyle(UIAlertViewStylePlainTextInput);
    ASSERT_NE(alert->textFieldAtIndex(0), nullptr);
    EXPECT_EQ(alert->textFieldAtIndex(0)->text(), "");
    EXPECT_EQ(alert->textFieldAtIndex(1), nullptr);
    alert->setAlertViewStyle(UIAlertViewStyleLoginAndPasswordInput);
    EXPECT_NE(alert->textFieldAtIndex(1), nullptr);
}

TEST_F(AlertFixture, OneAlertOnScreenAndChainedAlertsComeNext) {
    auto delegate = std::make_shared<Recorder>();
    auto first = UIAlertView::initWithTitle("first", std::nullopt, delegate, "No", {"Yes"});
    first->setTag(5653);
    auto waiting = UIAlertView::initWithTitle("waiting", std::nullopt, delegate, "Ok", {});
    waiting->setTag(2);
    auto chained = UIAlertView::initWithTitle("chained", std::nullopt, delegate, "No", {"Yes"});
    chained->setTag(5651);
    chained->setAccessibilityValue("work");
    delegate->chained = chained;

    first->show();
    first->show();  // shown twice, queued once
    waiting->show();
    EXPECT_EQ(UIAlertView::queuedAlerts().size(), 2u);
    EXPECT_EQ(UIAlertView::alertOnScreen(), first);

    first->dismissWithButtonIndex(1, true);
    // The alert shown from the callback waits behind the one already queued.
    EXPECT_EQ(UIAlertView::alertOnScreen(), waiting);
    waiting->dismissWithButtonIndex(0, true);
    EXPECT_EQ(UIAlertView::alertOnScreen(), chained);
    EXPECT_EQ(UIAlertView::alertOnScreen()->accessibilityValue(), "work");
    chained->dismissWithButtonIndex(0, true);
    EXPECT_FALSE(UIAlertView::alertOnScreen());

    EXPECT_EQ(delegate->dismissals,
              (std::vector<std::pair<NSInteger, NSInteger>>{{5653, 1}, {2, 0}, {5651, 0}}));
    // Dismissing an alert that is no longer shown tells nobody.
    first->dismissWithButtonIndex(1, true);
    EXPECT_EQ(delegate->dismissals.size(), 3u);
}

TEST_F(AlertFixture, ADelegateThatIsGoneIsNotCalled) {
    auto delegate = std::make_shared<Recorder>();
    auto alert = UIAlertView::initWithTitle("t", std::nullopt, delegate, "Ok", {});
    alert->show();
    delegate.reset();
    EXPECT_FALSE(alert->delegate());
    alert->dismissWithButtonIndex(0, true);  // must not crash
    EXPECT_FALSE(UIAlertView::alertOnScreen());
}

}  // namespace
