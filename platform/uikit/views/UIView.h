// uikit/views/ stands in for UIKit's basic views and what draws them: views,
// labels, fonts, colours and the screen.
//
// A rectangle on screen with a background colour, subviews and gesture
// recognizers (UIKit's UIView). Views are shared objects, reference-counted
// like the platform's: create them with std::make_shared. A view owns its
// subviews and recognizers and knows its superview without owning it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "uikit/CGGeometry.h"
#include "uikit/views/UIColor.h"

class UIGestureRecognizer;

enum UIViewAutoresizing : unsigned {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
    UIViewAutoresizingFlexibleWidth = 1 << 1,
    UIViewAutoresizingFlexibleRightMargin = 1 << 2,
    UIViewAutoresizingFlexibleTopMargin = 1 << 3,
    UIViewAutoresizingFlexibleHeight = 1 << 4,
    UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

class UIView : public std::enable_shared_from_this<UIView> {
public:
    // initWithFrame:. The background is clear.
    explicit UIView(CGRect frame = {});
    virtual ~UIView();
    UIView(const UIView&) = delete;
    UIView& operator=(const UIView&) = delete;

    // The class name as the platform would report it ("UIView", "UILabel" ...).
    virtual std::string className() const { return "UIView"; }

    CGRect frame() const { return frame_; }
    virtual void setFrame(CGRect frame) { frame_ = frame; }
    // The frame's size at origin (0, 0).
    CGRect bounds() const { return CGRect{{0, 0}, frame_.size}; }

    UIColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(UIColor color) { backgroundColor_ = color; }

    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }

    // Adds the view on top of the existing subviews. A view that has another
    // superview is moved here; adding a view to itself or to one of its own
    // subviews is ignored (it would make a cycle).
    void addSubview(std::shared_ptr<UIView> view);
    void removeFromSuperview();
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    UIView* superview() const { return superview_; }

    // The view keeps the recognizer and becomes its view.
    void addGestureRecognizer(std::shared_ptr<UIGestureRecognizer> recognizer);
    const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

    // A point in this view's coordinates expressed in `view`'s coordinates
    // (null: the screen's). Both views are placed by the chain of their
    // superviews' frame origins.
    CGPoint convertPointToView(CGPoint point, const UIView* view) const;

private:
    CGPoint originOnScreen() const;

    CGRect frame_;
    UIColor backgroundColor_ = UIColor::clearColor();
    unsigned autoresizingMask_ = UIViewAutoresizingNone;
    std::vector<std::shared_ptr<UIView>> subviews_;
    UIView* superview_ = nullptr;
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers_;
};
