// The glyph of one status-bar item, drawn by the project: simple shapes in
// the picture's foreground colour (currentColor), or text for the items that
// show text (time, carrier, battery percent ...).
#pragma once

#include <string>

#include "StatusBarPicture.h"

namespace zv {

struct ItemDrawing {
    double width = 0;  // points the item takes in its region
    std::string body;  // SVG elements in item coordinates: x from 0 to width, y from 0 to 20
};

// Every type gets a drawing; a type without a glyph of its own gets a small
// box with its number.
ItemDrawing itemDrawing(int type, const StatusBarPicture& picture);

}  // namespace zv
