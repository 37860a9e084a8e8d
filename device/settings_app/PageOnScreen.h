// The page the Settings application shows: the page on top of its
// navigation stack, the table it shows, and the screen's delete buttons
// beside it — whether the navigation bar's "Edit" shows every deletable
// row's delete button, and the row whose delete button a swipe revealed.
// The delete buttons are the screen's, not the table's: the table's own
// editing mode (a page that lets rows move) is untouched by them. They go
// when another page comes on screen, and a revealed button goes with its
// row (the row at its place that no longer shows its title, or that can no
// longer be deleted).
//
// As JSON (what the `page` command replies), the page carries them as
// "showsDeleteButtons" (true while "Edit" is on) and "revealedRow"
// ({"section", "row"}, null for none), and each row says what a tap on it
// does: "opens" (a link row: its page is pushed) and "selectable" (the
// table selects it and tells the page).
#pragma once

#include <memory>
#include <optional>

#include "PageReport.h"
#include "SettingsApp.h"
#include "preferences/PSListController.h"

namespace zv::device {

// What a tap on a row does, as a finger on the phone would.
enum class RowTap { Nothing, Open, Select };

class PageOnScreen {
public:
    explicit PageOnScreen(SettingsApp& app) : app_(app) {}
    PageOnScreen(const PageOnScreen&) = delete;
    PageOnScreen& operator=(const PageOnScreen&) = delete;

    // The page on top, or null when none could be shown.
    std::shared_ptr<PSViewController> top();
    // The page, its table, the page as a specifier list: each throws
    // control::ControlError when there is none.
    PSViewController& page();
    UITableView& table();
    PSListController& list();

    // What a tap on the row does (the row exists).
    RowTap tapOn(NSIndexPath row);

    // "Edit" on or off.
    void showDeleteButtons(bool shown);
    bool showsDeleteButtons();
    // Reveals the delete button of a row a swipe can delete (the table is
    // not in its own editing mode); empty when done, else why not. None:
    // hides the one revealed.
    std::string reveal(std::optional<NSIndexPath> row);
    std::optional<NSIndexPath> revealedRow();

    // The page as the `page` command replies it; throws when none is shown.
    Json json();
    // The page event's fields: {"event":"page","page","alert","openin"}.
    Json event();

private:
    // Forgets the delete buttons of a page that is no longer on screen, and
    // a revealed button whose row has gone.
    void follow();

    SettingsApp& app_;
    std::weak_ptr<PSViewController> shown_;  // the page the delete buttons belong to
    bool deleteButtons_ = false;
    struct Revealed {
        NSIndexPath row;
        std::string title;
    };
    std::optional<Revealed> revealed_;
};

}  // namespace zv::device
