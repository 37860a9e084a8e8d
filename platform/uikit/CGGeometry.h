// Plane geometry of the platform's drawing and layout (CoreGraphics' CGPoint,
// CGSize, CGRect and UIKit's UIEdgeInsets), in points. Plain values.
#pragma once

#include "foundation/NSObjCRuntime.h"

struct CGPoint {
    double x = 0;
    double y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    double width = 0;
    double height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

inline CGRect CGRectMake(double x, double y, double width, double height) {
    return CGRect{{x, y}, {width, height}};
}

// Whether the point lies in the rectangle: the left and top edges belong to
// it, the right and bottom edges do not; an empty rectangle holds no point.
inline bool CGRectContainsPoint(const CGRect& rect, const CGPoint& point) {
    return rect.size.width > 0 && rect.size.height > 0 && point.x >= rect.origin.x &&
           point.x < rect.origin.x + rect.size.width && point.y >= rect.origin.y &&
           point.y < rect.origin.y + rect.size.height;
}

struct UIEdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    bool operator==(const UIEdgeInsets&) const = default;
};

inline UIEdgeInsets UIEdgeInsetsMake(double top, double left, double bottom, double right) {
    return UIEdgeInsets{top, left, bottom, right};
}
