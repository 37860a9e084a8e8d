#include "preferences/PSListController.h"

#include "foundation/DeviceFiles.h"
#include "preferences/PSRootController.h"
#include "preferences/PSTableCell.h"

namespace {

bool isLink(PSCellType type) { return type == PSLinkCell || type == PSLinkListCell; }

// Rows that show a value the page reads through readPreferenceValue.
bool showsValue(PSCellType type) {
    switch (type) {
        case PSSwitchCell:
        case PSSliderCell:
        case PSSegmentCell:
        case PSEditTextCell:
        case PSSecureEditTextCell:
        case PSEditTextViewCell:
        case PSTitleValueCell:
        case PSLinkListCell:
        case PSListItemCell: return true;
        default: return false;
    }
}

}  // namespace

void PSListController::loadView() {
    auto table = std::make_shared<UITableView>(CGRect{{0, 0}, contentSize()}, UITableViewStyleGrouped);
    table->setDataSource(this);
    table->setDelegate(this);
    setView(std::move(table));
}

UITableView* PSListController::table() { return dynamic_cast<UITableView*>(view().get()); }

const std::vector<PSSpecifier>& PSListController::specifiers() { return _specifiers; }

std::vector<PSSpecifier> PSListController::loadSpecifiersFromPlistName(std::string_view plistName,
                                                                       PSListController* target) {
    std::vector<PSSpecifier> loaded;
    if (bundlePath().empty() || plistName.empty()) return loaded;
    auto plist = dictionaryWithContentsOfFile(bundlePath() + "/" + std::string(plistName) + ".plist");
    if (!plist) return loaded;
    if (const PlistValue* items = plistLookup(*plist, "items"); items && items->array()) {
        for (const PlistValue& item : *items->array()) {
            if (const PlistDictionary* properties = item.dictionary()) loaded.emplace_back(*properties, target);
        }
    }
    const PlistValue* title = plistLookup(*plist, "title");
    if (title && title->string() && this->title().empty()) setTitle(*title->string());
    return loaded;
}

std::optional<PlistValue> PSListController::readPreferenceValue(const PSSpecifier& specifier) {
    const PlistValue* fallback = specifier.propertyForKey("default");
    return fallback ? std::optional<PlistValue>(*fallback) : std::nullopt;
}

void PSListController::setPreferenceValue(const PlistValue&, const PSSpecifier&) {}

bool PSListController::performAction(const std::string&) { return false; }

void PSListController::reload() {
    if (UITableView* t = table()) t->reloadData();
}

void PSListController::reloadSpecifiers() {
    _specifiers.clear();
    specifiers();
    reload();
}

void PSListController::viewWillAppear(bool animated) { PSViewController::viewWillAppear(animated); }

std::vector<PSListController::Group> PSListController::groups() {
    std::vector<Group> result;
    for (const PSSpecifier& specifier : specifiers()) {
        if (specifier.cellType() == PSGroupCell) {
            result.push_back(Group{specifier, {}});
        } else {
            if (result.empty()) result.push_back(Group{});
            result.back().rows.push_back(specifier);
        }
    }
    return result;
}

std::optional<PSSpecifier> PSListController::specifierAtIndexPath(NSIndexPath indexPath) {
    auto all = groups();
    if (indexPath.section < 0 || indexPath.section >= static_cast<NSInteger>(all.size())) return std::nullopt;
    const auto& rows = all[indexPath.section].rows;
    if (indexPath.row < 0 || indexPath.row >= static_cast<NSInteger>(rows.size())) return std::nullopt;
    return rows[indexPath.row];
}

std::optional<NSIndexPath> PSListController::indexPathForLabel(std::string_view label) {
    auto all = groups();
    for (NSInteger s = 0; s < static_cast<NSInteger>(all.size()); ++s) {
        for (NSInteger r = 0; r < static_cast<NSInteger>(all[s].rows.size()); ++r) {
            if (all[s].rows[r].name() == label) return NSIndexPath{s, r};
        }
    }
    return std::nullopt;
}

std::string PSListController::userSetValue(NSIndexPath indexPath, const PlistValue& value) {
    auto specifier = specifierAtIndexPath(indexPath);
    if (!specifier) return "no such row";
    if (!showsValue(specifier->cellType()) || isLink(specifier->cellType())) return "the row has no control";
    if (specifier->cellType() == PSSwitchCell && !value.isBoolean()) return "a switch takes true or false";
    // The control shows the user's value first, as a switch flips under the
    // finger; the page may then show another (a value it could not keep).
    if (UITableView* t = table()) {
        if (auto cell = std::dynamic_pointer_cast<PSTableCell>(t->cellForRowAtIndexPath(indexPath))) cell->setValue(value);
    }
    setPreferenceValue(value, *specifier);
    return "";
}

std::shared_ptr<PSViewController> PSListController::openLink(const PSSpecifier& specifier, std::string* error) {
    auto fail = [&](std::string why) -> std::shared_ptr<PSViewController> {
        if (error) *error = std::move(why);
        return nullptr;
    };
    if (!isLink(specifier.cellType())) return fail("the row is not a link");
    const std::string className = specifier.stringProperty("detail");
    if (className.empty()) return fail("the link names no page");
    PSRootController* root = rootController();
    if (!root) return fail("the page is not on a navigation stack");
    auto page = root->controllerForClassName(className, specifier, error);
    if (page) root->pushController(page);
    return page;
}

NSInteger PSListController::numberOfSectionsInTableView(UITableView&) { return static_cast<NSInteger>(groups().size()); }

NSInteger PSListController::numberOfRowsInSection(UITableView&, NSInteger section) {
    auto all = groups();
    if (section < 0 || section >= static_cast<NSInteger>(all.size())) return 0;
    return static_cast<NSInteger>(all[section].rows.size());
}

std::shared_ptr<UITableViewCell> PSListController::cellForRowAtIndexPath(UITableView&, NSIndexPath indexPath) {
    auto specifier = specifierAtIndexPath(indexPath);
    if (!specifier) return nullptr;
    auto cell = std::make_shared<PSTableCell>(PSCellTypeName(specifier->cellType()), *specifier);
    cell->textLabel()->setText(specifier->name());
    if (showsValue(specifier->cellType())) cell->setValue(readPreferenceValue(*specifier));
    return cell;
}

std::optional<std::string> PSListController::titleForHeaderInSection(UITableView&, NSInteger section) {
    auto all = groups();
    if (section < 0 || section >= static_cast<NSInteger>(all.size()) || !all[section].group) return std::nullopt;
    std::string label = all[section].group->name();
    return label.empty() ? std::nullopt : std::optional<std::string>(label);
}

std::optional<std::string> PSListController::titleForFooterInSection(UITableView&, NSInteger section) {
    auto all = groups();
    if (section < 0 || section >= static_cast<NSInteger>(all.size()) || !all[section].group) return std::nullopt;
    std::string footer = all[section].group->stringProperty("footerText");
    return footer.empty() ? std::nullopt : std::optional<std::string>(footer);
}

bool PSListController::canEditRowAtIndexPath(UITableView&, NSIndexPath) { return false; }

void PSListController::didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) {
    auto keepAlive = weak_from_this().lock();
    if (auto specifier = specifierAtIndexPath(indexPath)) {
        if (isLink(specifier->cellType())) {
            openLink(*specifier);
        } else if (specifier->cellType() == PSButtonCell) {
            const std::string action = specifier->stringProperty("action");
            if (!action.empty()) performAction(action);
        }
    }
    tableView.deselectRowAtIndexPath(indexPath, true);
}
