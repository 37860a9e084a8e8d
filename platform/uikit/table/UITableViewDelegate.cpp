#include "uikit/table/UITableViewDelegate.h"

double UITableViewDelegate::heightForRowAtIndexPath(UITableView&, NSIndexPath) { return UITableViewAutomaticDimension; }

double UITableViewDelegate::heightForHeaderInSection(UITableView&, NSInteger) { return UITableViewAutomaticDimension; }

double UITableViewDelegate::heightForFooterInSection(UITableView&, NSInteger) { return UITableViewAutomaticDimension; }

std::shared_ptr<UIView> UITableViewDelegate::viewForHeaderInSection(UITableView&, NSInteger) { return nullptr; }

std::shared_ptr<UIView> UITableViewDelegate::viewForFooterInSection(UITableView&, NSInteger) { return nullptr; }

UITableViewCellEditingStyle UITableViewDelegate::editingStyleForRowAtIndexPath(UITableView&, NSIndexPath) {
    return UITableViewCellEditingStyleDelete;
}

bool UITableViewDelegate::shouldIndentWhileEditingRowAtIndexPath(UITableView&, NSIndexPath) { return true; }

void UITableViewDelegate::didSelectRowAtIndexPath(UITableView&, NSIndexPath) {}
