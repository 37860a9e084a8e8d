#include "ZVSortOrderController.h"

#include <algorithm>
#include <limits>

#include "LayoutSeed.h"
#include "Region.h"
#include "SettingsChangeSave.h"
#include "SettingsKeys.h"
#include "SortOrderMove.h"
#include "SortOrderSections.h"
#include "ZVPreferences.h"
#include "notifications/NotificationCenter.h"

namespace {

constexpr const char* kCellIdentifier = "Cell";
// Room above the first section for the navigation bar.
constexpr double kTopInset = 44;

int sectionIndex(NSInteger section) {
    return section >= 0 && section < zv::kEditorSectionCount ? static_cast<int>(section) : -1;
}

zv::SortOrderPosition position(NSIndexPath indexPath) {
    auto clamp = [](NSInteger value) {
        return static_cast<int>(std::clamp<NSInteger>(value, -1, std::numeric_limits<int>::max()));
    };
    return {clamp(indexPath.section), clamp(indexPath.row)};
}

// The section's list as the store holds it, read in place (the table asks
// once per row); a missing or malformed record reads as empty.
const PlistArray& sectionList(NSInteger section) {
    static const PlistArray kEmpty;
    const auto& settings = ZVPreferences::sharedInstance().preferences();
    return settings ? zv::sortOrderSectionRows(*settings, sectionIndex(section)) : kEmpty;
}

}  // namespace

bool ZVSortOrderController::initForContentSize(CGSize size) {
    // The plain page's initialisation (which records the size).
    if (!PSViewController::initForContentSize(size)) return false;
    reloadSortOrder();
    _tableView = std::make_shared<UITableView>(CGRectMake(0, 0, size.width, size.height), UITableViewStyleGrouped);
    _tableView->setDataSource(this);
    _tableView->setDelegate(this);
    _tableView->setAllowsSelection(false);
    _tableView->setEditing(true);
    UIEdgeInsets insets = _tableView->contentInset();
    insets.top = kTopInset;
    _tableView->setContentInset(insets);
    _tableView->setScrollIndicatorInsets(insets);
    return true;
}

void ZVSortOrderController::loadView() { setView(_tableView); }

void ZVSortOrderController::viewWillAppear(bool animated) {
    ZVPreferences::sharedInstance().addObserver(sharedSelf<ZVPreferences::Observer>());
    PSViewController::viewWillAppear(animated);
}

void ZVSortOrderController::preferencesFileChanged() {
    reloadSortOrder();
    reloadSpecifiers();
}

void ZVSortOrderController::reloadSpecifiers() {
    if (_tableView) _tableView->reloadData();
}

void ZVSortOrderController::reloadSortOrder() {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    const bool loaded = store.loadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);
    const auto& settings = store.preferences();  // always held after a load
    if (settings && !zv::needsFreshLayout(loaded, *settings)) return;
    for (auto& [key, value] : zv::freshLayoutEntries()) store.setObject(std::move(value), key);
}

NSInteger ZVSortOrderController::numberOfSectionsInTableView(UITableView&) { return zv::kEditorSectionCount; }

std::optional<std::string> ZVSortOrderController::titleForHeaderInSection(UITableView&, NSInteger section) {
    return std::string(zv::sortOrderSectionTitle(sectionIndex(section)));
}

NSInteger ZVSortOrderController::numberOfRowsInSection(UITableView&, NSInteger section) {
    return static_cast<NSInteger>(sectionList(section).size());
}

std::shared_ptr<UITableViewCell> ZVSortOrderController::cellForRowAtIndexPath(UITableView& tableView,
                                                                              NSIndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyleSubtitle, kCellIdentifier);
    const PlistArray& list = sectionList(indexPath.section);
    const bool inList = indexPath.row >= 0 && static_cast<size_t>(indexPath.row) < list.size();
    cell->textLabel()->setText(
        inList ? std::string(zv::sortOrderRowText(list[static_cast<size_t>(indexPath.row)])) : std::string());
    return cell;
}

UITableViewCellEditingStyle ZVSortOrderController::editingStyleForRowAtIndexPath(UITableView&, NSIndexPath) {
    return UITableViewCellEditingStyleNone;
}

bool ZVSortOrderController::canMoveRowAtIndexPath(UITableView&, NSIndexPath) { return true; }

bool ZVSortOrderController::shouldIndentWhileEditingRowAtIndexPath(UITableView&, NSIndexPath) { return false; }

void ZVSortOrderController::didSelectRowAtIndexPath(UITableView&, NSIndexPath) {}

void ZVSortOrderController::moveRowAtIndexPath(UITableView& tableView, NSIndexPath sourceIndexPath,
                                               NSIndexPath destinationIndexPath) {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    std::optional<zv::RegionRecords> records;
    if (store.preferences())
        records = zv::moveSortOrderRow(*store.preferences(), position(sourceIndexPath), position(destinationIndexPath));
    if (!records) {
        // The table has already shown a move the store cannot make: show the
        // store's layout again.
        tableView.reloadData();
        return;
    }
    std::optional<PlistDictionary> before = store.preferences();
    for (size_t i = 0; i < records->size(); ++i)
        store.setObject(PlistValue(std::move((*records)[i])), zv::kRegionReadOrder[i].key);
    store.setObject(PlistValue(false), zv::kProfileSaved);
    // Not written: the rows show the order held before the drop again.
    if (!saveSettingsChange(std::move(before))) tableView.reloadData();
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), zv::kReloadStatusBarNotification,
                                         nullptr, nullptr, true);
}
