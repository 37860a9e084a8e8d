// What a table asks its delegate about layout and editing and what it tells
// it about selection (UIKit's UITableViewDelegate). Every method has a safe
// default; naming as in UITableViewDataSource.h.
#pragma once

#include <memory>

#include "foundation/NSIndexPath.h"
#include "uikit/table/UITableViewCell.h"
#include "uikit/views/UIView.h"

class UITableView;

// A height the table chooses itself (see UITableView.h).
inline constexpr double UITableViewAutomaticDimension = -1;

class UITableViewDelegate {
public:
    virtual ~UITableViewDelegate() = default;

    // Defaults: UITableViewAutomaticDimension.
    virtual double heightForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath);
    virtual double heightForHeaderInSection(UITableView& tableView, NSInteger section);
    virtual double heightForFooterInSection(UITableView& tableView, NSInteger section);

    // Defaults: none (the table shows the section's title, if any).
    virtual std::shared_ptr<UIView> viewForHeaderInSection(UITableView& tableView, NSInteger section);
    virtual std::shared_ptr<UIView> viewForFooterInSection(UITableView& tableView, NSInteger section);

    // Default: the delete style.
    virtual UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath);
    // Default YES.
    virtual bool shouldIndentWhileEditingRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath);

    // Default: nothing. The row stays selected until deselected.
    virtual void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath);
};
