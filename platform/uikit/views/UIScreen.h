// The device's screen (UIKit's UIScreen): 320 x 568 points, a 4-inch phone,
// unless the host process sets another size at start.
#pragma once

#include "uikit/CGGeometry.h"

class UIScreen {
public:
    static UIScreen& mainScreen();
    CGRect bounds() const { return bounds_; }
    void setBounds(CGRect bounds) { bounds_ = bounds; }

private:
    CGRect bounds_ = CGRectMake(0, 0, 320, 568);
};
