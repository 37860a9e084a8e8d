// Gesture recognizers (UIKit's UIGestureRecognizer and
// UILongPressGestureRecognizer). A recognizer is added to a view and calls
// its target's action with itself as the argument as its state changes.
//
// A long press (as the simulated screen delivers it: a location in the
// view and a duration): when the press lasted at least
// minimumPressDuration and the delegate lets the recognizer begin, the
// action runs with state Began, then with state Ended; a shorter press
// fails and runs nothing.
#pragma once

#include <functional>
#include <memory>

#include "uikit/CGGeometry.h"

class UIView;

enum UIGestureRecognizerState : NSInteger {
    UIGestureRecognizerStatePossible = 0,
    UIGestureRecognizerStateBegan = 1,
    UIGestureRecognizerStateChanged = 2,
    UIGestureRecognizerStateEnded = 3,
    UIGestureRecognizerStateCancelled = 4,
    UIGestureRecognizerStateFailed = 5,
};

class UIGestureRecognizer;

class UIGestureRecognizerDelegate {
public:
    virtual ~UIGestureRecognizerDelegate() = default;
    // Default YES.
    virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer);
};

class UIGestureRecognizer {
public:
    using Action = std::function<void(UIGestureRecognizer&)>;

    virtual ~UIGestureRecognizer() = default;

    UIGestureRecognizerState state() const { return state_; }
    // The view the recognizer was added to; null before.
    UIView* view() const { return view_; }
    // The touch location in `view`'s coordinates (null: the screen's).
    CGPoint locationInView(const UIView* view) const;

    // Not owned: the delegate (the page) owns the view that owns the recognizer.
    UIGestureRecognizerDelegate* delegate() const { return delegate_; }
    void setDelegate(UIGestureRecognizerDelegate* delegate) { delegate_ = delegate; }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // Called by UIView::addGestureRecognizer.
    void attachToView(UIView* view) { view_ = view; }

protected:
    explicit UIGestureRecognizer(Action action) : action_(std::move(action)) {}
    // Sets the state and runs the action.
    void fire(UIGestureRecognizerState state);
    void setState(UIGestureRecognizerState state) { state_ = state; }

    CGPoint location_;  // in view_'s coordinates

private:
    Action action_;
    UIGestureRecognizerState state_ = UIGestureRecognizerStatePossible;
    UIView* view_ = nullptr;
    UIGestureRecognizerDelegate* delegate_ = nullptr;
    bool enabled_ = true;
};

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
