#include "uikit/controls/UILongPressGestureRecognizer.h"

#include "uikit/views/UIView.h"

bool UIGestureRecognizerDelegate::gestureRecognizerShouldBegin(UIGestureRecognizer&) { return true; }

CGPoint UIGestureRecognizer::locationInView(const UIView* view) const {
    if (!view_) return location_;
    return view_->convertPointToView(location_, view);
}

void UIGestureRecognizer::fire(UIGestureRecognizerState state) {
    state_ = state;
    if (action_) action_(*this);
}

bool UILongPressGestureRecognizer::simulatePress(CGPoint location, double seconds) {
    if (!isEnabled()) return false;
    location_ = location;
    if (!(seconds >= minimumPressDuration_) || (delegate() && !delegate()->gestureRecognizerShouldBegin(*this))) {
        setState(UIGestureRecognizerStateFailed);  // a recognizer that fails sends no action
        return false;
    }
    fire(UIGestureRecognizerStateBegan);
    fire(UIGestureRecognizerStateEnded);
    return true;
}
