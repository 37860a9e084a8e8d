#include "PageEvent.h"

#include <glib.h>

#include "control/ControlChannel.h"

namespace zv::device {

namespace {

struct Announcement {
    bool queued = false;
    std::string lastWritten;
};

Announcement& announcement() {
    static Announcement state;
    return state;
}

// The class name a page was created by: the root's principal class, or the
// "detail" of the link row that opened it.
std::string pageClass(SettingsApp& app, PSViewController& page) {
    std::string detail = page.specifier().stringProperty("detail");
    return detail.empty() ? app.rootClass() : detail;
}

void writeIfChanged(SettingsApp& app) {
    Json event = pageEvent(app);
    std::string text = event.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (text == announcement().lastWritten) return;
    announcement().lastWritten = std::move(text);
    control::ControlChannel::writeLine(event);
}

}  // namespace

Json currentPageJson(SettingsApp& app) {
    auto page = app.navigation().topController();
    if (!page) throw control::ControlError("no page on screen: " + app.loadError());
    return pageJson(*page, pageClass(app, *page), app.navigation().controllers().size());
}

Json pageEvent(SettingsApp& app) {
    auto page = app.navigation().topController();
    return Json{{"event", "page"},
                {"page", page ? currentPageJson(app) : Json()},
                {"alert", alertJson(UIAlertView::alertOnScreen().get())},
                {"openin", menuJson(UIDocumentInteractionController::menuOnScreen().get())}};
}

void announcePage(SettingsApp& app) {
    if (announcement().queued) return;
    announcement().queued = true;
    // After the reply of the command that asked, and after anything else
    // queued in this turn.
    g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer data) -> gboolean {
            announcement().queued = false;
            writeIfChanged(*static_cast<SettingsApp*>(data));
            return G_SOURCE_REMOVE;
        },
        &app, nullptr);
}

void writePageEvent(SettingsApp& app) { writeIfChanged(app); }

}  // namespace zv::device
