// What a screen reader says for a status-bar item: the catalogue's items by
// their everyday names ("Signal strength" for "03 SignalStrength
// (Cellular)"), and the battery percentage by the text it shows ("100%").
// The `layout` event carries these words, so the screen describes its status
// bar without a list of its own.
#pragma once

#include <string>

namespace zv::device {

// The spoken name of an item type; the battery percentage reads
// `batteryCapacity` as the picture draws it. A type the catalogue does not
// know is "Item <type>".
std::string itemSpokenName(int type, int batteryCapacity);

}  // namespace zv::device
