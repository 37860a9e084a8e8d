// uikit/table/ stands in for UIKit's table views: the table, its cells, and
// the data-source and delegate protocols the Settings pages implement.
//
// A table of sections and rows (UIKit's UITableView), as a model: it asks
// its data source and delegate for everything and keeps what it was told as
// the rows on screen, so the user's gestures (tap, drag, swipe-delete) act
// on what is shown.
//
// Loading: the table loads its rows on reloadData, and on first use after
// its data source or delegate changed. A load asks, per section: the header
// and footer titles and views, their heights, and per row its height and
// cell. Between loads the rows on screen change only by the user's drag.
//
// Geometry (for indexPathForRowAtPoint and the rect queries): the content
// starts at y = 0 and sections follow each other, each being its header,
// its rows and its footer, all as wide as the table. The table does not
// scroll; the content inset is recorded for the page but moves nothing.
// Automatic heights: a row is rowHeight() (44) high; a header is 28 with a
// title or view (a view: its frame's height), else 18 in the grouped and 0
// in the plain style; a footer likewise.
//
// Data source and delegate are not owned: the page that sets them owns the
// table and outlives it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSIndexPath.h"
#include "uikit/table/UITableViewCell.h"
#include "uikit/table/UITableViewDataSource.h"
#include "uikit/table/UITableViewDelegate.h"
#include "uikit/views/UIView.h"

enum UITableViewStyle : NSInteger {
    UITableViewStylePlain = 0,
    UITableViewStyleGrouped = 1,
};

// One section as the table last loaded it.
struct UITableViewSection {
    std::optional<std::string> headerTitle;
    std::optional<std::string> footerTitle;
    std::shared_ptr<UIView> headerView;
    std::shared_ptr<UIView> footerView;
    double headerHeight = 0;
    double footerHeight = 0;
    std::vector<std::shared_ptr<UITableViewCell>> cells;
    std::vector<double> rowHeights;
};

class UITableView : public UIView {
public:
    // initWithFrame:style:.
    UITableView(CGRect frame, UITableViewStyle style);
    std::string className() const override { return "UITableView"; }

    UITableViewStyle style() const { return style_; }

    UITableViewDataSource* dataSource() const { return dataSource_; }
    void setDataSource(UITableViewDataSource* dataSource);
    UITableViewDelegate* delegate() const { return delegate_; }
    void setDelegate(UITableViewDelegate* delegate);

    bool isEditing() const { return editing_; }
    void setEditing(bool editing, bool animated = false);

    // Defaults: selection YES, the three others NO.
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool allows) { allowsMultipleSelection_ = allows; }
    bool allowsSelectionDuringEditing() const { return allowsSelectionDuringEditing_; }
    void setAllowsSelectionDuringEditing(bool allows) { allowsSelectionDuringEditing_ = allows; }
    bool allowsMultipleSelectionDuringEditing() const { return allowsMultipleSelectionDuringEditing_; }
    void setAllowsMultipleSelectionDuringEditing(bool allows) { allowsMultipleSelectionDuringEditing_ = allows; }

    UIEdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(UIEdgeInsets insets) { contentInset_ = insets; }
    UIEdgeInsets scrollIndicatorInsets() const { return scrollIndicatorInsets_; }
    void setScrollIndicatorInsets(UIEdgeInsets insets) { scrollIndicatorInsets_ = insets; }

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height) { rowHeight_ = height; }

    // Asks the data source and delegate for everything again; the cells shown
    // so far go to the reuse pool and the selection is cleared.
    void reloadData();
    // How many loads have happened (for observers of the page).
    int reloadCount() const { return reloadCount_; }
    // Called after every load of any table of the process (the Settings
    // application tells its screen then); none by default.
    static std::function<void()> anyReloadObserver;

    // A cell of the pool with this identifier, taken out of it; null when the
    // pool has none (the caller then makes one).
    std::shared_ptr<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);

    // The rows on screen (loading first if needed).
    const std::vector<UITableViewSection>& sections();
    NSInteger numberOfSections();
    NSInteger numberOfRowsInSection(NSInteger section);
    // The cell on screen at the index path; null when there is no such row.
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(NSIndexPath indexPath);

    // The row whose rectangle holds the point (table coordinates); empty on a
    // header, a footer, outside the rows or outside the table's width.
    std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint point);
    CGRect rectForSection(NSInteger section);
    CGRect rectForHeaderInSection(NSInteger section);
    CGRect rectForFooterInSection(NSInteger section);
    CGRect rectForRowAtIndexPath(NSIndexPath indexPath);
    // The height of all sections together.
    double contentHeight();

    std::optional<NSIndexPath> indexPathForSelectedRow() const { return selectedRow_; }
    void selectRowAtIndexPath(NSIndexPath indexPath, bool animated);
    void deselectRowAtIndexPath(NSIndexPath indexPath, bool animated);

    // --- The user's gestures (driven by the simulated screen) ---------------
    // Each returns an empty string when the gesture was carried out, else why
    // it was not (no such row, not allowed in this state).
    //
    // A tap: needs selection allowed (during editing: allowed during editing);
    // selects the row, then tells the delegate.
    std::string userSelectRow(NSIndexPath indexPath);
    // A drag by the reorder control: needs editing mode and the data source's
    // canMoveRowAtIndexPath for the source. The destination is any section,
    // at a row from 0 to the section's row count (without the moved row when
    // it is the same section). The table moves the row on screen, then
    // reports the move to the data source.
    std::string userMoveRow(NSIndexPath source, NSIndexPath destination);
    // Whether a tap selects the row (selection allowed, during editing:
    // allowed during editing), the user can pick the row up (editing mode,
    // and the data source lets it move), or delete it (it can be edited and
    // has the delete style): what the screen offers on each row.
    bool canUserSelectRow(NSIndexPath indexPath);
    bool canUserMoveRow(NSIndexPath indexPath);
    bool canUserDeleteRow(NSIndexPath indexPath);
    // A swipe and a press on "Delete": needs canEditRowAtIndexPath and the
    // delete editing style; reports commitEditingStyle(delete).
    std::string userDeleteRow(NSIndexPath indexPath);

private:
    void loadIfNeeded();
    double automaticHeight(const std::optional<std::string>& title, const std::shared_ptr<UIView>& view) const;

    UITableViewStyle style_;
    UITableViewDataSource* dataSource_ = nullptr;
    UITableViewDelegate* delegate_ = nullptr;
    bool editing_ = false;
    bool allowsSelection_ = true;
    bool allowsMultipleSelection_ = false;
    bool allowsSelectionDuringEditing_ = false;
    bool allowsMultipleSelectionDuringEditing_ = false;
    UIEdgeInsets contentInset_;
    UIEdgeInsets scrollIndicatorInsets_;
    double rowHeight_ = 44;

    bool needsLoad_ = true;
    bool loading_ = false;
    int reloadCount_ = 0;
    std::vector<UITableViewSection> sections_;
    std::map<std::string, std::vector<std::shared_ptr<UITableViewCell>>> reusePool_;
    std::optional<NSIndexPath> selectedRow_;
};
