// The position of a row in a table: section and row (UIKit's NSIndexPath
// with its table-view accessors), as a value.
#pragma once

#include "foundation/NSObjCRuntime.h"

struct NSIndexPath {
    NSInteger section = 0;
    NSInteger row = 0;

    static NSIndexPath indexPathForRow(NSInteger row, NSInteger section) { return NSIndexPath{section, row}; }
    bool operator==(const NSIndexPath&) const = default;
};
