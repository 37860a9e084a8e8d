#include "uikit/table/UITableViewDataSource.h"

NSInteger UITableViewDataSource::numberOfSectionsInTableView(UITableView&) { return 1; }

std::optional<std::string> UITableViewDataSource::titleForHeaderInSection(UITableView&, NSInteger) {
    return std::nullopt;
}

std::optional<std::string> UITableViewDataSource::titleForFooterInSection(UITableView&, NSInteger) {
    return std::nullopt;
}

bool UITableViewDataSource::canEditRowAtIndexPath(UITableView&, NSIndexPath) { return true; }

bool UITableViewDataSource::canMoveRowAtIndexPath(UITableView&, NSIndexPath) { return false; }

void UITableViewDataSource::commitEditingStyle(UITableView&, UITableViewCellEditingStyle, NSIndexPath) {}

void UITableViewDataSource::moveRowAtIndexPath(UITableView&, NSIndexPath, NSIndexPath) {}
