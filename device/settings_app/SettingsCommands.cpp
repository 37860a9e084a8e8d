#include "SettingsCommands.h"

#include <utility>

#include "control/ActivityEvents.h"
#include "foundation/MainQueue.h"
#include "foundation/ProcessInfo.h"
#include "preferences/PSTableCell.h"
#include "preferences/PageRegistry.h"
#include "uikit/controls/UILongPressGestureRecognizer.h"

namespace zv::device {

using control::argBool;
using control::argInt;
using control::argNumber;
using control::argString;
using control::ControlChannel;
using control::ControlError;

namespace {

// A two-element [section, row] array.
NSIndexPath pathFromArray(const Json& request, const char* key) {
    auto it = request.find(key);
    if (it == request.end() || !it->is_array() || it->size() != 2 || !(*it)[0].is_number_integer() ||
        !(*it)[1].is_number_integer())
        throw ControlError(std::string("argument \"") + key + "\" must be [section, row]");
    return NSIndexPath{(*it)[0].get<NSInteger>(), (*it)[1].get<NSInteger>()};
}

// A row named by "label" (the first row showing that title) or by
// "section" and "row".
NSIndexPath rowArgument(const Json& request, UITableView& table) {
    if (request.contains("label")) {
        const std::string label = argString(request, "label");
        const auto& sections = table.sections();
        for (NSInteger s = 0; s < static_cast<NSInteger>(sections.size()); ++s) {
            for (NSInteger r = 0; r < static_cast<NSInteger>(sections[s].cells.size()); ++r) {
                if (sections[s].cells[r]->textLabel()->text() == label) return NSIndexPath{s, r};
            }
        }
        throw ControlError("no row titled \"" + label + "\"");
    }
    NSIndexPath path{argInt(request, "section"), argInt(request, "row")};
    if (!table.cellForRowAtIndexPath(path)) throw ControlError("no such row");
    return path;
}

// What a command handler works on.
struct Settings {
    SettingsApp& app;
    PageOnScreen& screen;
};

std::size_t depth(Settings& settings) { return settings.app.navigation().controllers().size(); }
bool alertShown() { return UIAlertView::alertOnScreen() != nullptr; }

void check(const std::string& why) {
    if (!why.empty()) throw ControlError(why);
}

// Where a long press lands, in the table's coordinates.
CGPoint pressLocation(const Json& request, UITableView& table) {
    if (request.contains("x") || request.contains("y")) return CGPoint{argNumber(request, "x"), argNumber(request, "y")};
    auto centre = [](CGRect r) { return CGPoint{r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2}; };
    if (request.contains("at")) {
        const std::string at = argString(request, "at");
        if (at == "empty") return CGPoint{table.frame().size.width / 2, table.contentHeight() + 10};
        const NSInteger section = argInt(request, "section");
        if (section < 0 || section >= table.numberOfSections()) throw ControlError("no such section");
        CGRect rect = at == "header"   ? table.rectForHeaderInSection(section)
                      : at == "footer" ? table.rectForFooterInSection(section)
                                       : throw ControlError("\"at\" must be \"header\", \"footer\" or \"empty\"");
        if (rect.size.height <= 0) throw ControlError("the section has no " + at);
        return centre(rect);
    }
    return centre(table.rectForRowAtIndexPath(rowArgument(request, table)));
}


// --- The commands, one function each ---------------------------------------

Json ping(Settings&, const Json&) { return Json{{"pong", true}}; }

Json status(Settings& settings, const Json&) {
    SettingsApp& app = settings.app;
    Json entries = Json::array();
    for (const auto& e : app.entries())
        entries.push_back({{"file", e.file}, {"bundle", e.bundle}, {"label", e.label}, {"isController", e.isController}});
    return Json{{"args", processArguments()},
                {"entries", entries},
                {"bundle", app.bundlePath()},
                {"rootClass", app.rootClass()},
                {"loaded", app.loadError().empty()},
                {"loadError", app.loadError()},
                {"pageClasses", PageRegistry::registeredClassNames()},
                {"injection", {{"loaded", app.injection.loaded}, {"failed", app.injection.failed}}},
                {"depth", depth(settings)}};
}

Json page(Settings& settings, const Json&) { return settings.screen.json(); }

// Pushes the page a link row names; the new page.
Json openRow(Settings& settings, NSIndexPath path) {
    PSListController& list = settings.screen.list();
    auto specifier = list.specifierAtIndexPath(path);
    if (!specifier) throw ControlError("no such row");
    std::string error;
    if (!list.openLink(*specifier, &error)) throw ControlError(error);
    return settings.screen.json();
}

Json open(Settings& settings, const Json& request) {
    return openRow(settings, rowArgument(request, *settings.screen.list().table()));
}

Json back(Settings& settings, const Json&) {
    if (alertShown()) throw ControlError("an alert is on screen");
    if (!settings.app.navigation().popController()) throw ControlError("already at the root page");
    return settings.screen.json();
}

Json appear(Settings& settings, const Json& request) {
    const bool animated = request.contains("animated") ? argBool(request, "animated") : true;
    settings.screen.page().viewWillAppear(animated);
    return Json::object();
}

Json disappear(Settings& settings, const Json& request) {
    const bool animated = request.contains("animated") ? argBool(request, "animated") : true;
    settings.screen.page().viewWillDisappear(animated);
    return Json::object();
}

Json setSwitch(Settings& settings, NSIndexPath path, bool value) {
    check(settings.screen.list().userSetValue(path, PlistValue(value)));
    return Json{{"section", path.section}, {"row", path.row}};
}

Json switchRow(Settings& settings, const Json& request) {
    return setSwitch(settings, rowArgument(request, *settings.screen.list().table()), argBool(request, "value"));
}

// Selects the row and tells the page.
Json selectRow(Settings& settings, NSIndexPath path) {
    UITableView& table = settings.screen.table();
    check(table.userSelectRow(path));
    return Json{{"section", path.section},
                {"row", path.row},
                {"stillSelected", table.indexPathForSelectedRow() == path},
                {"depth", depth(settings)},
                {"alert", alertShown()}};
}

Json tap(Settings& settings, const Json& request) {
    return selectRow(settings, rowArgument(request, settings.screen.table()));
}

// A finger on a row: on a switch it flips the switch, elsewhere the row does
// what a tap does on the phone (PageOnScreen::tapOn).
Json touch(Settings& settings, const Json& request) {
    PageOnScreen& screen = settings.screen;
    const NSIndexPath path = rowArgument(request, screen.table());
    const std::string part = request.contains("part") ? argString(request, "part") : "row";
    if (part != "row" && part != "switch") throw ControlError("argument \"part\" must be \"row\" or \"switch\"");
    auto* cell = dynamic_cast<PSTableCell*>(screen.table().cellForRowAtIndexPath(path).get());
    // The road of the change names what the touch did, as the terminal's
    // commands are named.
    if (part == "switch" && cell && cell->cellType() == PSSwitchCell) {
        control::nameUserAction("switch");
        const bool on = cell->value() && cell->value()->isBoolean() && cell->value()->boolValue() == true;
        Json reply = setSwitch(settings, path, !on);
        reply["did"] = "switch";
        reply["value"] = !on;
        return reply;
    }
    Json reply;
    switch (screen.tapOn(path)) {
        case RowTap::Open:
            control::nameUserAction("open");
            reply = Json{{"did", "open"}, {"section", path.section}, {"row", path.row}};
            openRow(settings, path);
            reply["depth"] = depth(settings);
            return reply;
        case RowTap::Select:
            control::nameUserAction("tap");
            reply = selectRow(settings, path);
            reply["did"] = "select";
            return reply;
        case RowTap::Nothing: break;
    }
    return Json{{"did", "nothing"}, {"section", path.section}, {"row", path.row}};
}

Json move(Settings& settings, const Json& request) {
    check(settings.screen.table().userMoveRow(pathFromArray(request, "from"), pathFromArray(request, "to")));
    return Json::object();
}

Json deleteRow(Settings& settings, const Json& request) {
    UITableView& table = settings.screen.table();
    check(table.userDeleteRow(rowArgument(request, table)));
    return Json{{"alert", alertShown()}};
}

// The navigation bar's "Edit" / "Done": every deletable row shows its
// delete button, or none does.
Json edit(Settings& settings, const Json& request) {
    settings.screen.showDeleteButtons(argBool(request, "on"));
    return Json{{"on", settings.screen.showsDeleteButtons()}};
}

// A swipe on a row reveals its delete button; without a row, the one
// revealed goes.
Json reveal(Settings& settings, const Json& request) {
    PageOnScreen& screen = settings.screen;
    const bool names = request.contains("label") || request.contains("section") || request.contains("row");
    check(screen.reveal(names ? std::optional<NSIndexPath>(rowArgument(request, screen.table())) : std::nullopt));
    const auto revealed = screen.revealedRow();
    return Json{{"revealed", revealed ? Json{{"section", revealed->section}, {"row", revealed->row}} : Json()}};
}

Json longpress(Settings& settings, const Json& request) {
    UITableView& table = settings.screen.table();
    const double duration = argNumber(request, "duration");
    const CGPoint location = pressLocation(request, table);
    // The press goes to the long-press recognizers of the table and of the
    // views around it, each in its own coordinates.
    int recognizers = 0;
    bool recognized = false;
    for (UIView* view = &table; view; view = view->superview()) {
        auto list = view->gestureRecognizers();  // a copy: actions may change the list
        for (const auto& recognizer : list) {
            auto press = std::dynamic_pointer_cast<UILongPressGestureRecognizer>(recognizer);
            if (!press) continue;
            ++recognizers;
            recognized |= press->simulatePress(table.convertPointToView(location, view), duration);
        }
    }
    if (recognizers == 0) throw ControlError("nothing on the page recognises a long press");
    return Json{{"recognized", recognized},
                {"location", Json::array({location.x, location.y})},
                {"menu", UIDocumentInteractionController::menuOnScreen() != nullptr},
                {"alert", alertShown()}};
}

Json alert(Settings&, const Json&) { return alertJson(UIAlertView::alertOnScreen().get()); }

Json type(Settings&, const Json& request) {
    auto alert = UIAlertView::alertOnScreen();
    if (!alert) throw ControlError("no alert on screen");
    UITextField* field = alert->textFieldAtIndex(request.contains("field") ? argInt(request, "field") : 0);
    if (!field) throw ControlError("the alert has no such text field");
    const std::string text = argString(request, "text");
    const bool append = request.contains("append") && argBool(request, "append");
    field->setText(append ? field->text() + text : text);
    return Json{{"text", field->text()}};
}

Json press(Settings&, const Json& request) {
    auto alert = UIAlertView::alertOnScreen();
    if (!alert) throw ControlError("no alert on screen");
    NSInteger index = -1;
    if (request.contains("title")) {
        const std::string title = argString(request, "title");
        for (NSInteger i = 0; i < alert->numberOfButtons(); ++i) {
            if (alert->buttonTitleAtIndex(i) == title) {
                index = i;
                break;
            }
        }
        if (index < 0) throw ControlError("the alert has no button \"" + title + "\"");
    } else {
        index = argInt(request, "button");
        if (index < 0 || index >= alert->numberOfButtons()) throw ControlError("the alert has no button " + std::to_string(index));
    }
    alert->dismissWithButtonIndex(index, true);
    return Json{{"pressed", index}, {"next", alertJson(UIAlertView::alertOnScreen().get())}};
}

Json openin(Settings&, const Json&) { return menuJson(UIDocumentInteractionController::menuOnScreen().get()); }

Json choose(Settings&, const Json& request) {
    auto menu = UIDocumentInteractionController::menuOnScreen();
    if (!menu) throw ControlError("no open-in menu on screen");
    if (request.contains("cancel") && argBool(request, "cancel")) {
        menu->dismissMenuAnimated(true);
        return Json{{"cancelled", true}};
    }
    const std::string handler = argString(request, "handler");
    check(menu->chooseHandler(handler));
    return Json{{"handler", handler},
                {"delivered", std::string(kOpenInInboxPath) + "/" + handler + "/" + menu->URL().lastPathComponent()}};
}

Json quit(Settings&, const Json&) {
    dispatch_async_main([] { stopMainLoop(); });
    return Json::object();
}

using Handler = Json (*)(Settings&, const Json&);

constexpr std::pair<const char*, Handler> kCommands[] = {
    {"ping", ping},     {"status", status},       {"page", page},         {"open", open},
    {"back", back},     {"appear", appear},       {"disappear", disappear}, {"switch", switchRow},
    {"tap", tap},       {"touch", touch},         {"move", move},         {"delete", deleteRow},
    {"edit", edit},     {"reveal", reveal},       {"longpress", longpress}, {"alert", alert},
    {"type", type},     {"press", press},         {"openin", openin},     {"choose", choose},
    {"quit", quit},
};

}  // namespace

void registerSettingsCommands(ControlChannel& channel, SettingsApp& app, PageOnScreen& screen, PageEvent& pageEvent) {
    // Every command may be a user's action (its file writes and posts are
    // announced as the road of a change) and may change the screen (the
    // page event follows its reply when it did).
    for (const auto& [command, handler] : kCommands) {
        channel.on(command, [&app, &screen, &pageEvent, command, handler](const Json& request) {
            control::UserAction action(command);
            pageEvent.announce();
            Settings settings{app, screen};
            return handler(settings, request);
        });
    }

    channel.onAsync("wait", [](const Json& request, ControlChannel::Reply reply) {
        const double ms = argNumber(request, "ms");
        if (!(ms >= 0 && ms <= control::kLongestWaitMs))
            throw ControlError("\"ms\" must be between 0 and " + std::to_string(control::kLongestWaitMs));
        dispatch_after(ms / 1000.0, [reply] { reply(Json::object()); });
    });
}

}  // namespace zv::device
