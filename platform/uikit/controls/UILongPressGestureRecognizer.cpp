#include "uikit/controls/UILongPressGestureRecognizer.h"

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
