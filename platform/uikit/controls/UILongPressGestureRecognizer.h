// A long-press gesture recognizer (UIKit's UILongPressGestureRecognizer).
// A long press (as the simulated screen delivers it: a location in the
// view and a duration): when the press lasted at least
// minimumPressDuration and the delegate lets the recognizer begin, the
// action runs with state Began, then with state Ended; a shorter press
// fails and runs nothing.
#pragma once

#include <memory>

#include "uikit/views/UIGestureRecognizer.h"

class UILongPressGestureRecognizer : public UIGestureRecognizer {
    struct Token {};

public:
    // initWithTarget:action:. The target is not owned: it owns the view the
    // recognizer is added to.
    template <class T>
    static std::shared_ptr<UILongPressGestureRecognizer> initWithTarget(T* target,
                                                                        void (T::*action)(UILongPressGestureRecognizer&)) {
        return std::make_shared<UILongPressGestureRecognizer>(Token{}, [target, action](UIGestureRecognizer& recognizer) {
            (target->*action)(static_cast<UILongPressGestureRecognizer&>(recognizer));
        });
    }
    UILongPressGestureRecognizer(Token, Action action) : UIGestureRecognizer(std::move(action)) {}

    // Default 0.5 seconds.
    double minimumPressDuration() const { return minimumPressDuration_; }
    void setMinimumPressDuration(double seconds) { minimumPressDuration_ = seconds; }

    // A press at `location` (the recognizer's view's coordinates) held for
    // `seconds`. Returns whether it was recognised (the action ran).
    bool simulatePress(CGPoint location, double seconds);

private:
    double minimumPressDuration_ = 0.5;
};
