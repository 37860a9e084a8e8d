#include "uikit/views/UIGestureRecognizer.h"

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
