// Long-press recognition: the action runs with state 1 only for a press at
// least as long as the minimum, and the location converts between views.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "uikit/controls/UILongPressGestureRecognizer.h"
#include "uikit/views/UIView.h"

namespace {

class Target {
public:
    std::vector<UIGestureRecognizerState> states;
    std::vector<CGPoint> locations;
    UIView* reference = nullptr;
    void handleLongPress(UILongPressGestureRecognizer& recognizer) {
        states.push_back(recognizer.state());
        locations.push_back(recognizer.locationInView(reference));
    }
};

TEST(LongPress, FiresBeganThenEndedOnlyForLongEnoughPresses) {
    Target target;
    auto recognizer = UILongPressGestureRecognizer::initWithTarget(&target, &Target::handleLongPress);
    recognizer->setMinimumPressDuration(1.0);
    auto view = std::make_shared<UIView>(CGRectMake(0, 0, 320, 568));
    view->addGestureRecognizer(recognizer);
    EXPECT_EQ(recognizer->view(), view.get());

    const struct {
        double seconds;
        bool recognised;
    } presses[] = {{0.99, false}, {1.0, true}, {2.5, true}, {-1, false}};
    for (const auto& p : presses) {
        target.states.clear();
        EXPECT_EQ(recognizer->simulatePress({10, 10}, p.seconds), p.recognised) << p.seconds;
        if (p.recognised) {
            EXPECT_EQ(target.states, (std::vector<UIGestureRecognizerState>{UIGestureRecognizerStateBegan,
                                                                            UIGestureRecognizerStateEnded}));
        } else {
            EXPECT_TRUE(target.states.empty());
            EXPECT_EQ(recognizer->state(), UIGestureRecognizerStateFailed);
        }
    }
}

TEST(LongPress, LocationConvertsThroughFrames) {
    Target target;
    auto outer = std::make_shared<UIView>(CGRectMake(0, 64, 320, 504));
    auto inner = std::make_shared<UIView>(CGRectMake(15, 24, 290, 100));
    outer->addSubview(inner);
    auto recognizer = UILongPressGestureRecognizer::initWithTarget(&target, &Target::handleLongPress);
    inner->addGestureRecognizer(recognizer);

    target.reference = outer.get();
    ASSERT_TRUE(recognizer->simulatePress({5, 6}, 1));
    EXPECT_EQ(target.locations.front(), (CGPoint{20, 30}));
    target.locations.clear();
    target.reference = nullptr;  // the screen
    ASSERT_TRUE(recognizer->simulatePress({5, 6}, 1));
    EXPECT_EQ(target.locations.front(), (CGPoint{20, 94}));
}

TEST(Views, AddingAViewToItsOwnSubviewIsIgnored) {
    auto outer = std::make_shared<UIView>();
    auto inner = std::make_shared<UIView>();
    outer->addSubview(inner);
    inner->addSubview(outer);
    EXPECT_TRUE(inner->subviews().empty());
    EXPECT_EQ(outer->superview(), nullptr);
    auto other = std::make_shared<UIView>();
    other->addSubview(inner);  // moves it
    EXPECT_TRUE(outer->subviews().empty());
    EXPECT_EQ(inner->superview(), other.get());
}

}  // namespace
