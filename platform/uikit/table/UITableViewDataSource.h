// The questions a table asks its data source and the edits it reports to it
// (UIKit's UITableViewDataSource). Every method but the two a data source
// must answer has a safe default, the platform's own. Each method is named
// after the selector's first keyword other than "tableView"
// (numberOfRowsInSection for tableView:numberOfRowsInSection:) and takes the
// table as its first argument.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "foundation/NSIndexPath.h"
#include "uikit/table/UITableViewCell.h"

class UITableView;

class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;

    // Default 1.
    virtual NSInteger numberOfSectionsInTableView(UITableView& tableView);
    virtual NSInteger numberOfRowsInSection(UITableView& tableView, NSInteger section) = 0;
    // A null cell is shown as an empty default-style cell.
    virtual std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) = 0;

    // Default: none.
    virtual std::optional<std::string> titleForHeaderInSection(UITableView& tableView, NSInteger section);
    virtual std::optional<std::string> titleForFooterInSection(UITableView& tableView, NSInteger section);

    // Default YES.
    virtual bool canEditRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath);
    // Default NO.
    virtual bool canMoveRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath);
    // Default: nothing. The table reports a swipe-delete here and changes no
    // rows itself; the data source reloads the table as it sees fit.
    virtual void commitEditingStyle(UITableView& tableView, UITableViewCellEditingStyle editingStyle,
                                    NSIndexPath indexPath);
    // Default: nothing. Reported after the table has already shown the row at
    // its new place.
    virtual void moveRowAtIndexPath(UITableView& tableView, NSIndexPath sourceIndexPath,
                                    NSIndexPath destinationIndexPath);
};
