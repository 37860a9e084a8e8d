// A colour as four components in [0, 1] (UIKit's UIColor, as a value).
#pragma once

struct UIColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;

    static UIColor colorWithRed(double red, double green, double blue, double alpha) {
        return UIColor{red, green, blue, alpha};
    }
    static UIColor clearColor() { return UIColor{0, 0, 0, 0}; }
    static UIColor blackColor() { return UIColor{0, 0, 0, 1}; }
    static UIColor whiteColor() { return UIColor{1, 1, 1, 1}; }
    // UIKit's gray: one half of each component.
    static UIColor grayColor() { return UIColor{0.5, 0.5, 0.5, 1}; }

    bool operator==(const UIColor&) const = default;
};
