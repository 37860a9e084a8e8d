// The sort-order editor: five sections (Left, Center, Right, Hidden,
// Default) listing item names in order, in permanent editing mode so every
// row can be dragged anywhere, any section, any row, empty sections too.
//
// The page keeps no copy of the layout: the table's questions are answered
// from the shared store and each drop rewrites all five region records
// there, sets "profileSaved" NO, saves (the store then announces
// "net.quellit.zorvane/preferences") and posts
// "net.quellit.zorvane/reloadStatusBar", in that order, during the drop.
// A drop that cannot be written is taken back, with an alert, and the table
// shows the store's order again (SettingsChangeSave.h).
// When the settings hold no layout, a fresh one is seeded into the store
// (not saved: the first drop writes it). When another writer changes the
// settings file and announces it, the store takes the file in and the page
// shows its layout at once; the next drop starts from it.
#pragma once

#include <memory>

#include "ZVPreferences.h"
#include "preferences/PSViewController.h"
#include "uikit/table/UITableView.h"

class ZVSortOrderController : public PSViewController,
                              public UITableViewDataSource,
                              public UITableViewDelegate,
                              public ZVPreferences::Observer {
public:
    bool initForContentSize(CGSize size) override;
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void preferencesFileChanged() override;
    std::string title() const override { return "Sort Order"; }

    // Every row asked for again from the store.
    void reloadSpecifiers();
    // Loads the store (when no page has yet) and seeds a fresh layout when
    // it could not be read or holds no "default".
    void reloadSortOrder();

    UITableView* tableView() const { return _tableView.get(); }

    // --- Table --------------------------------------------------------------
    NSInteger numberOfSectionsInTableView(UITableView& tableView) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, NSInteger section) override;
    NSInteger numberOfRowsInSection(UITableView& tableView, NSInteger section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    bool canMoveRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    bool shouldIndentWhileEditingRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    // The drop. A source that names no row changes nothing, saves nothing,
    // and the table is reloaded so it shows the store again.
    void moveRowAtIndexPath(UITableView& tableView, NSIndexPath sourceIndexPath,
                            NSIndexPath destinationIndexPath) override;

private:
    std::shared_ptr<UITableView> _tableView;
};
