// A list page of the Settings application (Preferences.framework's
// PSListController): its rows come from a specifier list, usually the
// bundle's property-list resource, and its view is a grouped table that the
// page itself feeds.
//
// Sections: a PSGroupCell specifier starts a section, its "label" is the
// header and its "footerText" the footer; rows before the first group form a
// section without header. Each other specifier is one row (a PSTableCell):
// title "label", value readPreferenceValue (for rows that carry a "key").
//
// The user's acts on rows (PSListController::userSelectRow, userSetValue):
// - a link row (PSLinkCell, PSLinkListCell) with a "detail" class name opens
//   that page: the registry creates it, it is initialised for this page's
//   content size, and the navigation stack pushes it;
// - a button row runs its "action" through performAction;
// - a switch row takes a value with userSetValue: the switch shows the new
//   value, then setPreferenceValue (which may reload the rows, so the switch
//   shows what the page holds).
//
// The specifier-list resource format, as on the device:
//   {"title": "...", "items": [{"cell": "PSSwitchCell", "label": ..., "key": ...,
//    "default": ...}, {"cell": "PSLinkCell", "label": ..., "detail": "SomeController"},
//    {"cell": "PSButtonCell", "label": ..., "action": "someAction"},
//    {"cell": "PSGroupCell", "label": ..., "footerText": ...}, ...]}
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/plist/PropertyList.h"
#include "preferences/PSSpecifier.h"
#include "preferences/PSViewController.h"
#include "uikit/table/UITableView.h"

class PSListController : public PSViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    // The view is the page's grouped table, of the content size.
    void loadView() override;
    // The table, loading the view if needed; null when a subclass set a view
    // that is not a table.
    UITableView* table();

    // The page's specifier list. Base: _specifiers as they stand.
    virtual const std::vector<PSSpecifier>& specifiers();
    // The specifiers described by the resource "<plistName>.plist" of the
    // page's bundle, each with `target` as its target; an empty list when the
    // resource is missing or unreadable. Items that are not dictionaries are
    // skipped. When the page has no title yet, the resource's "title" becomes
    // its title.
    std::vector<PSSpecifier> loadSpecifiersFromPlistName(std::string_view plistName, PSListController* target);

    // The value a row shows. Base: the specifier's "default" property.
    virtual std::optional<PlistValue> readPreferenceValue(const PSSpecifier& specifier);
    // A row's new value. Base: nothing is stored.
    virtual void setPreferenceValue(const PlistValue& value, const PSSpecifier& specifier);
    // Runs the action of a button row by its name; false when the page has no
    // such action. Base: none.
    virtual bool performAction(const std::string& action);

    // Every row asks for its value again (readPreferenceValue).
    void reload();
    // Forgets the specifier list, asks specifiers() again, reloads.
    void reloadSpecifiers();

    // Base: loads the rows on the first appearance.
    void viewWillAppear(bool animated) override;

    // The specifier shown at the index path, empty when none.
    std::optional<PSSpecifier> specifierAtIndexPath(NSIndexPath indexPath);
    // The index path of the first row with this label, empty when none.
    std::optional<NSIndexPath> indexPathForLabel(std::string_view label);

    // The user changes a control row's value. Empty when done, else why not.
    std::string userSetValue(NSIndexPath indexPath, const PlistValue& value);
    // Opens the page a link row names and pushes it; null (with *error set)
    // when the row is no link, its class is unknown or the page fails to
    // initialise.
    std::shared_ptr<PSViewController> openLink(const PSSpecifier& specifier, std::string* error = nullptr);

    // --- The page feeds its own table ---------------------------------------
    NSInteger numberOfSectionsInTableView(UITableView& tableView) override;
    NSInteger numberOfRowsInSection(UITableView& tableView, NSInteger section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, NSInteger section) override;
    std::optional<std::string> titleForFooterInSection(UITableView& tableView, NSInteger section) override;
    bool canEditRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    // Links open, buttons act; then the row is deselected.
    void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;

protected:
    // The specifier list; empty until loaded.
    std::vector<PSSpecifier> _specifiers;

private:
    struct Group {
        std::optional<PSSpecifier> group;  // the PSGroupCell, none for leading rows
        std::vector<PSSpecifier> rows;
    };
    std::vector<Group> groups();
};
