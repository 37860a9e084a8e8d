// The Settings application's `page` event: what its screen shows now — the
// page on top of the navigation stack, the alert on screen and the open-in
// menu on screen — pushed to whoever drives the process (the launcher's
// screen), so the phone in the browser redraws without asking:
//
//   {"event":"page","page":P,"alert":A,"openin":M}
//
// P is what the `page` command replies (null when no page could be shown),
// A what `alert` replies, M what `openin` replies. One is written just before
// "ready", then at the end of every turn of the main loop in which a command
// was handled or a table loaded its rows (the pages' delayed refreshes), when
// the screen differs from the one last written.
#pragma once

#include "PageReport.h"
#include "SettingsApp.h"

namespace zv::device {

// The page on screen, as the `page` command replies it; throws
// control::ControlError when no page is shown.
Json currentPageJson(SettingsApp& app);

// The page event's fields now.
Json pageEvent(SettingsApp& app);

// Writes the page event once the current turn of the main loop is over,
// when the screen changed since the last one written.
void announcePage(SettingsApp& app);

// Writes the page event now (the first one, before "ready").
void writePageEvent(SettingsApp& app);

}  // namespace zv::device
