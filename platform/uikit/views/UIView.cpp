#include "uikit/views/UIView.h"

#include <algorithm>

#include "uikit/views/UIGestureRecognizer.h"

UIView::UIView(CGRect frame) : frame_(frame) {}

UIView::~UIView() {
    for (auto& view : subviews_) view->superview_ = nullptr;
    for (auto& recognizer : recognizers_) recognizer->attachToView(nullptr);
}

void UIView::addSubview(std::shared_ptr<UIView> view) {
    if (!view) return;
    for (const UIView* v = this; v; v = v->superview_) {
        if (v == view.get()) return;  // would make a cycle
    }
    view->removeFromSuperview();
    view->superview_ = this;
    subviews_.push_back(std::move(view));
}

void UIView::removeFromSuperview() {
    UIView* parent = superview_;
    if (!parent) return;
    superview_ = nullptr;
    auto& siblings = parent->subviews_;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; });
    if (it != siblings.end()) {
        // Keep this view alive until the erase is over: the parent may hold
        // the last reference.
        std::shared_ptr<UIView> self = *it;
        siblings.erase(it);
    }
}

void UIView::addGestureRecognizer(std::shared_ptr<UIGestureRecognizer> recognizer) {
    if (!recognizer) return;
    if (std::find(recognizers_.begin(), recognizers_.end(), recognizer) != recognizers_.end()) return;
    if (UIView* previous = recognizer->view(); previous && previous != this) {
        auto& others = previous->recognizers_;
        others.erase(std::remove(others.begin(), others.end(), recognizer), others.end());
    }
    recognizer->attachToView(this);
    recognizers_.push_back(std::move(recognizer));
}

CGPoint UIView::originOnScreen() const {
    CGPoint origin;
    for (const UIView* v = this; v; v = v->superview_) {
        origin.x += v->frame_.origin.x;
        origin.y += v->frame_.origin.y;
    }
    return origin;
}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const {
    CGPoint from = originOnScreen();
    CGPoint to = view ? view->originOnScreen() : CGPoint{};
    return CGPoint{point.x + from.x - to.x, point.y + from.y - to.y};
}
