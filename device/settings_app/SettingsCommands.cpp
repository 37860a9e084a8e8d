#include "SettingsCommands.h"

#include "PageEvent.h"
#include "PageReport.h"
#include "control/ActivityEvents.h"
#include "foundation/MainQueue.h"
#include "foundation/ProcessInfo.h"
#include "preferences/PSListController.h"
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

std::shared_ptr<PSViewController> topPage(SettingsApp& app) {
    auto page = app.navigation().topController();
    if (!page) throw ControlError("no page on screen: " + app.loadError());
    return page;
}

UITableView& topTable(SettingsApp& app) {
    UITableView* table = pageTable(*topPage(app));
    if (!table) throw ControlError("the page shows no table");
    return *table;
}

Json currentPage(SettingsApp& app) { return currentPageJson(app); }

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

PSListController& listPage(SettingsApp& app) {
    auto* list = dynamic_cast<PSListController*>(topPage(app).get());
    if (!list) throw ControlError("the page is not a list of specifiers");
    return *list;
}

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

}  // namespace

void registerSettingsCommands(ControlChannel& channel, SettingsApp& app) {
    // Every command may be a user's action (its file writes and posts are
    // announced as the road of a change) and may change the screen (the
    // page event follows its reply when it did).
    auto on = [&channel, &app](const std::string& command, ControlChannel::SyncHandler handler) {
        channel.on(command, [&app, command, handler = std::move(handler)](const Json& request) {
            control::UserAction action(command);
            announcePage(app);
            return handler(request);
        });
    };

    on("ping", [](const Json&) { return Json{{"pong", true}}; });

    on("status", [&app](const Json&) {
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
                    {"depth", app.navigation().controllers().size()}};
    });

    on("page", [&app](const Json&) { return currentPage(app); });

    on("open", [&app](const Json& request) {
        PSListController& list = listPage(app);
        UITableView* table = list.table();
        if (!table) throw ControlError("the page shows no table");
        auto specifier = list.specifierAtIndexPath(rowArgument(request, *table));
        if (!specifier) throw ControlError("no such row");
        std::string error;
        if (!list.openLink(*specifier, &error)) throw ControlError(error);
        return currentPage(app);
    });

    on("back", [&app](const Json&) {
        if (UIAlertView::alertOnScreen()) throw ControlError("an alert is on screen");
        if (!app.navigation().popController()) throw ControlError("already at the root page");
        return currentPage(app);
    });

    on("appear", [&app](const Json& request) {
        const bool animated = request.contains("animated") ? argBool(request, "animated") : true;
        topPage(app)->viewWillAppear(animated);
        return Json::object();
    });

    on("disappear", [&app](const Json& request) {
        const bool animated = request.contains("animated") ? argBool(request, "animated") : true;
        topPage(app)->viewWillDisappear(animated);
        return Json::object();
    });

    on("switch", [&app](const Json& request) {
        PSListController& list = listPage(app);
        UITableView* table = list.table();
        if (!table) throw ControlError("the page shows no table");
        const NSIndexPath path = rowArgument(request, *table);
        check(list.userSetValue(path, PlistValue(argBool(request, "value"))));
        return Json{{"section", path.section}, {"row", path.row}};
    });

    on("tap", [&app](const Json& request) {
        UITableView& table = topTable(app);
        const NSIndexPath path = rowArgument(request, table);
        check(table.userSelectRow(path));
        const auto selected = table.indexPathForSelectedRow();
        return Json{{"section", path.section},
                    {"row", path.row},
                    {"stillSelected", selected == path},
                    {"depth", app.navigation().controllers().size()},
                    {"alert", UIAlertView::alertOnScreen() != nullptr}};
    });

    on("move", [&app](const Json& request) {
        UITableView& table = topTable(app);
        check(table.userMoveRow(pathFromArray(request, "from"), pathFromArray(request, "to")));
        return Json::object();
    });

    on("delete", [&app](const Json& request) {
        UITableView& table = topTable(app);
        check(table.userDeleteRow(rowArgument(request, table)));
        return Json{{"alert", UIAlertView::alertOnScreen() != nullptr}};
    });

    on("longpress", [&app](const Json& request) {
        UITableView& table = topTable(app);
        const double duration = argNumber(request, "duration");
        const CGPoint location = pressLocation(request, table);
        // The press goes to the long-press recognizers of the table and of
        // the views around it, each in its own coordinates.
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
                    {"alert", UIAlertView::alertOnScreen() != nullptr}};
    });

    on("alert", [](const Json&) { return alertJson(UIAlertView::alertOnScreen().get()); });

    on("type", [](const Json& request) {
        auto alert = UIAlertView::alertOnScreen();
        if (!alert) throw ControlError("no alert on screen");
        UITextField* field = alert->textFieldAtIndex(request.contains("field") ? argInt(request, "field") : 0);
        if (!field) throw ControlError("the alert has no such text field");
        const std::string text = argString(request, "text");
        const bool append = request.contains("append") && argBool(request, "append");
        field->setText(append ? field->text() + text : text);
        return Json{{"text", field->text()}};
    });

    on("press", [](const Json& request) {
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
    });

    on("openin", [](const Json&) { return menuJson(UIDocumentInteractionController::menuOnScreen().get()); });

    on("choose", [](const Json& request) {
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
    });

    channel.onAsync("wait", [](const Json& request, ControlChannel::Reply reply) {
        const double ms = argNumber(request, "ms");
        if (!(ms >= 0 && ms <= control::kLongestWaitMs))
            throw ControlError("\"ms\" must be between 0 and " + std::to_string(control::kLongestWaitMs));
        dispatch_after(ms / 1000.0, [reply] { reply(Json::object()); });
    });

    on("quit", [](const Json&) {
        dispatch_async_main([] { stopMainLoop(); });
        return Json::object();
    });
}

}  // namespace zv::device
