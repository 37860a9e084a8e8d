// The picture of a status bar: the items of the left, center and right
// regions, in order, drawn as a 20 point high SVG as wide as the phone, with
// a simple icon per item type and the time. A pure function of plain data,
// so `zorvane show` and the device screen draw the same picture from the
// same layout.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "StatusBarFit.h"

namespace zv {

inline constexpr int kPictureWidth = 320;
inline constexpr int kPictureHeight = 20;

struct StatusBarPicture {
    // Item types of each region, in order from the region's left end (as a
    // host's `layout` reports them).
    std::vector<int> left;
    std::vector<int> center;
    std::vector<int> right;
    std::string timeText = "9:41";  // any text; escaped for XML
    int batteryLevel = 100;         // percent; clamped to 0...100
    bool charging = false;          // a bolt in the battery glyph
    bool bluetoothConnected = false;  // a connected Bluetooth glyph is drawn solid, else faint
    std::string carrierName = "Carrier";
    int width = kPictureWidth;  // points; the phone's width
    bool dark = false;          // over a dark screen: no background, light glyphs
    // Where the status bar put its items (a host's frames). When present the
    // items are drawn there (an item of no width draws nothing: the device's
    // state hides it) and the region lists above are not read; without
    // them the items of each region run one after another, as given.
    std::optional<FittedStatusBar> frames;
};

// The width in points an item of the type takes as drawn for the picture's
// state (its text, the battery level ...): the one table of glyph widths.
double itemWidth(int type, const StatusBarPicture& picture);

// The SVG document (UTF-8, no XML declaration). Every item is a <g> with
// class "item", data-region ("left", "center", "right") and data-type, in
// region order left, center, right and within a region in the given order.
// Text of any bytes gives well-formed XML: invalid UTF-8 and characters XML
// forbids are replaced.
std::string statusBarSvg(const StatusBarPicture& picture);

}  // namespace zv
