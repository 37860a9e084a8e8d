// The status bar of a host's layout event as the phone shows it: the
// event's picture (control/LayoutPicture.h), with the time the screen shows
// now, over SpringBoard's screens when the event is SpringBoard's.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace zv::screen {

// SVG text, as wide as the event's `width` with the items at its `frames`
// (without frames, the regions' items one after another); transparent with
// light glyphs for SpringBoard (an event with `locked`), whose screens are
// all dark. A field the event lacks or holds in the wrong type counts as
// empty (an empty region, a full battery, no charger, Bluetooth not
// connected).
std::string statusBarImage(const nlohmann::json& layoutEvent, const std::string& timeText);

}  // namespace zv::screen
