// The status bar of a host's layout event as the phone shows it: the shared
// status-bar picture (picture/) of the event's regions and battery, with
// the time the screen shows now.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace zv::screen {

// SVG text, as wide as the event's `width` with the items at its `frames`
// (without frames, the regions' items one after another); transparent with
// light glyphs for SpringBoard, whose screens are dark. A field the event
// lacks or holds in the wrong type counts as empty (an empty region, a full
// battery, no charger, Bluetooth not connected).
std::string statusBarImage(const nlohmann::json& layoutEvent, const std::string& timeText);

}  // namespace zv::screen
