// The base of gesture recognizers (UIKit's UIGestureRecognizer). A
// recognizer is added to a view and calls its target's action with itself as
// the argument as its state changes; the kinds of gesture derive from it.
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
