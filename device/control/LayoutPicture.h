// The status-bar picture (picture/) of a host's layout event: what the
// screen draws for each event and what `zorvane show` draws of the event the
// host gives it, so both draw a layout the same way.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "StatusBarPicture.h"

namespace zv::control {

// The event's regions, frames and width (a width outside 100...2000 points
// gives the picture's own), its battery's capacity and charger
// (DeviceWords.h), its Bluetooth word, and dark over the lock screen (the
// event's `locked` true); the time is `timeText`. A field the event lacks or
// holds in the wrong type counts as empty: an empty region, a full battery,
// no charger, Bluetooth not connected, unlocked.
StatusBarPicture layoutPicture(const nlohmann::json& layoutEvent, std::string timeText);

}  // namespace zv::control
