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

#include <string>

#include "PageOnScreen.h"
#include "foundation/MainQueueTask.h"

namespace zv::device {

class PageEvent {
public:
    explicit PageEvent(PageOnScreen& screen) : screen_(screen) {}

    // Writes the event once the current turn of the main loop is over (after
    // the reply of the command that asked, and anything else queued in this
    // turn), when the screen changed since the last one written.
    void announce() { announcement_.schedule(); }
    // Writes it now when the screen changed (the first one, before "ready").
    void write();

private:
    PageOnScreen& screen_;
    std::string lastWritten_;
    MainQueueTask announcement_{[this] { write(); }, MainQueueTask::Priority::Idle};
};

}  // namespace zv::device
