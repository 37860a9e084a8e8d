#include "PageOnScreen.h"

#include "control/ControlChannel.h"
#include "preferences/PSTableCell.h"

namespace zv::device {

using control::ControlError;

namespace {

// The class name a page was created by: the root's principal class, or the
// "detail" of the link row that opened it.
std::string pageClass(SettingsApp& app, PSViewController& page) {
    std::string detail = page.specifier().stringProperty("detail");
    return detail.empty() ? app.rootClass() : detail;
}

Json rowJson(NSIndexPath row) { return Json{{"section", row.section}, {"row", row.row}}; }

}  // namespace

std::shared_ptr<PSViewController> PageOnScreen::top() { return app_.navigation().topController(); }

PSViewController& PageOnScreen::page() {
    auto page = top();
    if (!page) throw ControlError("no page on screen: " + app_.loadError());
    return *page;
}

UITableView& PageOnScreen::table() {
    UITableView* table = pageTable(page());
    if (!table) throw ControlError("the page shows no table");
    return *table;
}

PSListController& PageOnScreen::list() {
    auto* list = dynamic_cast<PSListController*>(&page());
    if (!list) throw ControlError("the page is not a list of specifiers");
    if (!list->table()) throw ControlError("the page shows no table");
    return *list;
}

RowTap PageOnScreen::tapOn(NSIndexPath row) {
    UITableView& shown = table();
    auto* cell = dynamic_cast<PSTableCell*>(shown.cellForRowAtIndexPath(row).get());
    if (cell) {
        // A switch row answers only on its switch; a link row opens its page.
        const PSCellType type = cell->cellType();
        if (type == PSSwitchCell) return RowTap::Nothing;
        if ((type == PSLinkCell || type == PSLinkListCell) && dynamic_cast<PSListController*>(&page()))
            return RowTap::Open;
    }
    return shown.canUserSelectRow(row) ? RowTap::Select : RowTap::Nothing;
}

void PageOnScreen::follow() {
    auto page = top();
    if (page != shown_.lock()) {
        shown_ = page;
        deleteButtons_ = false;
        revealed_.reset();
    }
    if (!revealed_) return;
    UITableView* shownTable = page ? pageTable(*page) : nullptr;
    auto cell = shownTable ? shownTable->cellForRowAtIndexPath(revealed_->row) : nullptr;
    if (!cell || cell->textLabel()->text() != revealed_->title || shownTable->isEditing() ||
        !shownTable->canUserDeleteRow(revealed_->row))
        revealed_.reset();
}

void PageOnScreen::showDeleteButtons(bool shown) {
    follow();
    table();  // a page with a table
    deleteButtons_ = shown;
}

bool PageOnScreen::showsDeleteButtons() {
    follow();
    return deleteButtons_;
}

std::string PageOnScreen::reveal(std::optional<NSIndexPath> row) {
    follow();
    if (!row) {
        revealed_.reset();
        return "";
    }
    UITableView& shown = table();
    auto cell = shown.cellForRowAtIndexPath(*row);
    if (!cell) return "no such row";
    if (shown.isEditing() || !shown.canUserDeleteRow(*row)) return "a swipe does not delete the row";
    revealed_ = Revealed{*row, cell->textLabel()->text()};
    return "";
}

std::optional<NSIndexPath> PageOnScreen::revealedRow() {
    follow();
    return revealed_ ? std::optional<NSIndexPath>(revealed_->row) : std::nullopt;
}

Json PageOnScreen::json() {
    PSViewController& shown = page();
    Json json = pageJson(shown, pageClass(app_, shown), app_.navigation().controllers().size());
    auto& sections = json["sections"];
    for (NSInteger s = 0; s < static_cast<NSInteger>(sections.size()); ++s) {
        auto& rows = sections[s]["rows"];
        for (NSInteger r = 0; r < static_cast<NSInteger>(rows.size()); ++r) {
            const RowTap tap = tapOn(NSIndexPath{s, r});
            rows[r]["opens"] = tap == RowTap::Open;
            rows[r]["selectable"] = tap == RowTap::Select;
        }
    }
    json["showsDeleteButtons"] = showsDeleteButtons();
    const auto revealed = revealedRow();
    json["revealedRow"] = revealed ? rowJson(*revealed) : Json();
    return json;
}

Json PageOnScreen::event() {
    return Json{{"event", "page"},
                {"page", top() ? json() : Json()},
                {"alert", alertJson(UIAlertView::alertOnScreen().get())},
                {"openin", menuJson(UIDocumentInteractionController::menuOnScreen().get())}};
}

}  // namespace zv::device
