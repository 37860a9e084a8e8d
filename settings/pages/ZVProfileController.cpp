#include "ZVProfileController.h"

#include "ProfileRowText.h"
#include "SettingsKeys.h"
#include "ZVPreferences.h"
#include "foundation/MainQueue.h"
#include "notifications/NotificationCenter.h"
#include "foundation/NSFileManager.h"
#include "uikit/views/UIFont.h"
#include "uikit/views/UILabel.h"
#include "uikit/views/UIScreen.h"

namespace {

constexpr const char* kCellIdentifier = "Cell";
constexpr double kRefreshDelay = 0.25;
constexpr double kLongPressDuration = 1.0;
constexpr double kHelpFontSize = 14;
constexpr double kHelpMaxHeight = 20000;
constexpr double kBandHeight = 24;
constexpr double kBandGray = 240.0 / 255.0;
constexpr const char* kUnsavedLossWarning = "If your current profile is Unsaved, it will be lost!!!";

constexpr const char* kHelpText =
    "* Tap on the Current profile to save it.\n\n"
    "* Tap on an Available profile to load it.\n\n"
    "* Tap and hold on a profile to share it (send via email, Copy to DropBox, etc.).\n\n"
    "** Save to DropBox does not work. You have to use Open In DropBox. This appears to be an iOS/DropBox issue "
    "with the plist file extenstion.";

std::string preferencesPath(const std::string& fileName) { return std::string(zv::kPreferencesFolder) + fileName; }

void postReloadStatusBar() {
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), zv::kReloadStatusBarNotification,
                                         nullptr, nullptr, true);
}

void showError(const std::string& title, std::optional<std::string> message,
               std::weak_ptr<UIAlertViewDelegate> delegate, const std::string& button) {
    UIAlertView::initWithTitle(title, std::move(message), std::move(delegate), button, {})->show();
}

}  // namespace

double ZVProfileController::helpTextHeight(double width) {
    return sizeWithFont(kHelpText, UIFont::systemFontOfSize(kHelpFontSize), CGSize{width, kHelpMaxHeight},
                        NSLineBreakByWordWrapping)
        .height;
}

// --- Page set-up -----------------------------------------------------------

bool ZVProfileController::init() {
    if (!PSViewController::init()) return false;
    reloadSortOrder();
    const CGRect screen = UIScreen::mainScreen().bounds();
    _tableView = std::make_shared<UITableView>(CGRectMake(0, 0, screen.size.width, screen.size.height),
                                               UITableViewStylePlain);
    _tableView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    _tableView->setDataSource(this);
    _tableView->setDelegate(this);
    _tableView->setEditing(false);
    _tableView->setAllowsSelection(true);
    _tableView->setAllowsMultipleSelection(false);
    _tableView->setAllowsSelectionDuringEditing(false);
    _tableView->setAllowsMultipleSelectionDuringEditing(false);
    return true;
}

void ZVProfileController::loadView() { setView(_tableView); }

void ZVProfileController::viewDidLoad() {
    setTitle("Profiles");
    setView(_tableView);
    auto press = UILongPressGestureRecognizer::initWithTarget(this, &ZVProfileController::handleLongPress);
    press->setMinimumPressDuration(kLongPressDuration);
    press->setDelegate(this);
    _tableView->addGestureRecognizer(std::move(press));
    PSViewController::viewDidLoad();
}

void ZVProfileController::viewWillAppear(bool animated) {
    // The queued refresh holds the page until it has run.
    if (auto self = sharedSelf<ZVProfileController>()) dispatch_after(kRefreshDelay, [self] { self->refresh(); });
    ZVPreferences::sharedInstance().addObserver(sharedSelf<ZVPreferences::Observer>());
    PSViewController::viewWillAppear(animated);
}

void ZVProfileController::preferencesFileChanged() {
    if (_tableView) refresh();
}

void ZVProfileController::viewWillDisappear(bool animated) { PSViewController::viewWillDisappear(animated); }

void ZVProfileController::refresh() {
    reloadSortOrder();
    _tableView->reloadData();
}

// --- Profile list ----------------------------------------------------------

void ZVProfileController::reloadSortOrder() {
    ZVPreferences::sharedInstance().loadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);
    profiles.clear();
    const auto names = NSFileManager::defaultManager().contentsOfDirectoryAtPath(zv::kPreferencesFolder, nullptr);
    if (!names) return;
    profiles = zv::listProfiles(
        *names, [this](const std::string& fileName) { return profileDates_.dateOf(preferencesPath(fileName)); });
    profileDates_.forgetUnused();
}

// --- Table -----------------------------------------------------------------

NSInteger ZVProfileController::numberOfSectionsInTableView(UITableView&) { return 2; }

NSInteger ZVProfileController::numberOfRowsInSection(UITableView&, NSInteger section) {
    if (section == 0) return 1;
    if (section == 1) return static_cast<NSInteger>(profiles.size());
    return 0;
}

std::optional<std::string> ZVProfileController::titleForHeaderInSection(UITableView&, NSInteger section) {
    if (section == 0) return "CURRENT";
    if (section == 1) return "AVAILABLE";
    return "Unknown";
}

std::shared_ptr<UITableViewCell> ZVProfileController::cellForRowAtIndexPath(UITableView& tableView,
                                                                            NSIndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyleSubtitle, kCellIdentifier);
    std::string title;
    std::string detail;
    if (indexPath.section == 0) {
        const ZVPreferences& store = ZVPreferences::sharedInstance();
        const auto name = store.objectForKey(zv::kProfileName);
        const auto saved = store.objectForKey(zv::kProfileSaved);
        const auto stamp = store.objectForKey(zv::kLastModified);
        title = zv::currentProfileTitle(name ? &*name : nullptr, saved ? &*saved : nullptr);
        detail = zv::lastModifiedDetail(stamp ? &*stamp : nullptr);
    } else if (indexPath.row >= 0 && static_cast<size_t>(indexPath.row) < profiles.size()) {
        const zv::ProfileEntry& entry = profiles[static_cast<size_t>(indexPath.row)];
        title = entry.profileName;
        detail = zv::lastModifiedDetail(std::string_view(entry.lastModified));
    }
    cell->textLabel()->setText(std::move(title));
    cell->textLabel()->setTextColor(UIColor::blackColor());
    if (UILabel* detailLabel = cell->detailTextLabel()) {
        detailLabel->setText(std::move(detail));
        detailLabel->setTextColor(UIColor::grayColor());
    }
    return cell;
}

std::shared_ptr<UIView> ZVProfileController::viewForFooterInSection(UITableView& tableView, NSInteger section) {
    if (section != 1) return nullptr;
    const double width = tableView.frame().size.width;
    const double height = helpTextHeight(width);

    auto container = std::make_shared<UIView>(CGRectMake(0, 0, width, height + 64));
    container->setBackgroundColor(UIColor::clearColor());
    auto band = std::make_shared<UIView>(CGRectMake(0, 0, width, kBandHeight));
    band->setBackgroundColor(UIColor::colorWithRed(kBandGray, kBandGray, kBandGray, 1));
    auto label = std::make_shared<UILabel>(CGRectMake(15, kBandHeight, width - 30, height + 10));
    label->setBackgroundColor(UIColor::clearColor());
    label->setFont(UIFont::systemFontOfSize(kHelpFontSize));
    label->setTextAlignment(NSTextAlignmentLeft);
    label->setLineBreakMode(NSLineBreakByWordWrapping);
    label->setNumberOfLines(0);
    label->setAdjustsFontSizeToFitWidth(false);
    label->setText(kHelpText);
    container->addSubview(std::move(band));
    container->addSubview(std::move(label));
    return container;
}

double ZVProfileController::heightForFooterInSection(UITableView& tableView, NSInteger section) {
    return section == 1 ? helpTextHeight(tableView.frame().size.width) + 34 : 0;
}

UITableViewCellEditingStyle ZVProfileController::editingStyleForRowAtIndexPath(UITableView&, NSIndexPath) {
    return UITableViewCellEditingStyleDelete;
}

bool ZVProfileController::canEditRowAtIndexPath(UITableView&, NSIndexPath) { return true; }

bool ZVProfileController::canMoveRowAtIndexPath(UITableView&, NSIndexPath) { return false; }

bool ZVProfileController::shouldIndentWhileEditingRowAtIndexPath(UITableView&, NSIndexPath) { return false; }

std::string ZVProfileController::rowTitle(NSIndexPath indexPath) {
    if (auto cell = _tableView->cellForRowAtIndexPath(indexPath)) return cell->textLabel()->text();
    if (indexPath.section == 1 && indexPath.row >= 0 && static_cast<size_t>(indexPath.row) < profiles.size())
        return profiles[static_cast<size_t>(indexPath.row)].profileName;
    return {};
}

void ZVProfileController::commitEditingStyle(UITableView& tableView, UITableViewCellEditingStyle editingStyle,
                                             NSIndexPath indexPath) {
    if (editingStyle == UITableViewCellEditingStyleDelete) {
        if (indexPath.section == 0) {
            auto alert = UIAlertView::initWithTitle("Are you sure you want to reset your current profile?",
                                                    kUnsavedLossWarning, sharedSelf<UIAlertViewDelegate>(), "Cancel",
                                                    {"Reset"});
            alert->setTag(kResetAlertTag);
            alert->show();
        } else {
            deleteProfile(rowTitle(indexPath));
        }
    }
    tableView.reloadData();
}

void ZVProfileController::didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) {
    if (indexPath.section == 0) {
        auto alert = UIAlertView::initWithTitle("Save", "Please enter a Profile Name", sharedSelf<UIAlertViewDelegate>(),
                                                "Cancel", {"Save"});
        alert->setAlertViewStyle(UIAlertViewStylePlainTextInput);
        alert->setTag(kSaveAlertTag);
        alert->show();
    } else {
        auto alert = UIAlertView::initWithTitle("Are you sure you want to load the selected profile?",
                                                kUnsavedLossWarning, sharedSelf<UIAlertViewDelegate>(), "Cancel",
                                                {"Yes"});
        alert->setTag(kLoadAlertTag);
        alert->setAccessibilityValue(rowTitle(indexPath));
        alert->show();
    }
    tableView.deselectRowAtIndexPath(indexPath, true);
}

// --- Alert flow ------------------------------------------------------------

void ZVProfileController::didDismissWithButtonIndex(UIAlertView& alertView, NSInteger buttonIndex) {
    if (buttonIndex != 1) return;
    switch (alertView.tag()) {
        case kSaveAlertTag: {
            const UITextField* field = alertView.textFieldAtIndex(0);
            const std::string name = field ? field->text() : std::string();
            if (name.empty()) {
                showError("Error, You cannot save a profile with no name", std::nullopt,
                          sharedSelf<UIAlertViewDelegate>(), "Ok");
            } else if (!zv::isProfileFileName(zv::profileFileName(name))) {
                // Saved, it would be a file the page never lists (or no file of the folder).
                showError("Error, Could not save profile", "A profile name cannot contain \"/\".",
                          sharedSelf<UIAlertViewDelegate>(), "Ok");
            } else if (NSFileManager::defaultManager().fileExistsAtPath(preferencesPath(zv::profileFileName(name)))) {
                auto alert = UIAlertView::initWithTitle("That profile exists!", "Would you like to overwrite it?",
                                                        sharedSelf<UIAlertViewDelegate>(), "No", {"Yes"});
                alert->setTag(kOverwriteAlertTag);
                alert->setAccessibilityValue(name);
                alert->show();
            } else {
                saveProfile(name);
            }
            break;
        }
        case kOverwriteAlertTag:
            if (alertView.accessibilityValue()) saveProfile(*alertView.accessibilityValue());
            break;
        case kLoadAlertTag:
            if (alertView.accessibilityValue()) loadProfile(*alertView.accessibilityValue());
            break;
        case kResetAlertTag:
            resetCurrent();
            break;
        default:
            break;
    }
}

void ZVProfileController::saveProfile(const std::string& name) {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    std::optional<PlistDictionary> previous = store.preferences();
    store.setObject(PlistValue(name), zv::kProfileName);
    store.setObject(PlistValue(true), zv::kProfileSaved);
    const bool settingsWritten = store.saveWithNotification(std::nullopt, false);
    NSError error;
    if (!store.saveToIdentifier(zv::profileIdentifier(name), std::nullopt, false, &error)) {
        // No profile file: nothing may claim the settings are saved as one.
        // The name and saved flag go back to what they were, in memory and
        // in the settings file.
        if (previous) store.restorePreferences(std::move(*previous));
        if (settingsWritten) store.saveWithNotification(std::nullopt, false);
        showError("Error, Could not save profile", error.localizedDescription(), sharedSelf<UIAlertViewDelegate>(),
                  "Ok");
    }
    refresh();
}

void ZVProfileController::loadProfile(const std::string& name) {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    // Reading a profile replaces the store's contents even when it fails, and
    // a settings file that cannot be written keeps the current settings: in
    // either case the store gets back what it held, which is what the file
    // holds, so nothing claims the profile was loaded.
    std::optional<PlistDictionary> previous = store.preferences();
    NSError error;
    const bool loaded = store.loadOnceFromIdentifier(zv::profileIdentifier(name), &error) &&
                        store.saveWithNotification(store.notification(), false, &error);
    if (!loaded) {
        if (previous) store.restorePreferences(std::move(*previous));
        showError("Error, Could not load profile", error.localizedDescription(), sharedSelf<UIAlertViewDelegate>(),
                  "Ok");
        // A profile whose file has gone leaves the list.
        refresh();
        return;
    }
    postReloadStatusBar();
    refresh();
}

void ZVProfileController::resetCurrent() {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    std::optional<PlistDictionary> previous = store.preferences();
    store.resetPreferences();
    NSError error;
    if (!store.saveWithNotification(store.notification(), true, &error)) {
        // The file keeps the settings, and so does the store.
        if (previous) store.restorePreferences(std::move(*previous));
        showError("Error, Could not reset profile", error.localizedDescription(), sharedSelf<UIAlertViewDelegate>(),
                  "Ok");
        refresh();
        return;
    }
    postReloadStatusBar();
    refresh();
}

void ZVProfileController::deleteProfile(const std::string& name) {
    NSError error;
    // The store's path rule refuses a title holding "/" (or a NUL byte): it
    // cannot name a profile file of this folder and must not reach anything
    // outside it.
    const auto path = ZVPreferences::pathForIdentifier(zv::profileIdentifier(name));
    const bool removed = path && NSFileManager::defaultManager().removeItemAtPath(*path, &error);
    if (removed) {
        reloadSortOrder();
        return;
    }
    if (error.description.empty()) error.description = "The profile name is not a file name.";
    showError("Error, Could not delete profile", error.localizedDescription(), sharedSelf<UIAlertViewDelegate>(),
              "Ok");
}

// --- Share -----------------------------------------------------------------

void ZVProfileController::handleLongPress(UILongPressGestureRecognizer& recognizer) {
    if (recognizer.state() != UIGestureRecognizerStateBegan) return;
    const auto indexPath = _tableView->indexPathForRowAtPoint(recognizer.locationInView(_tableView.get()));
    std::optional<std::string> path;
    if (!indexPath || (indexPath->section == 0 && indexPath->row == 0)) {
        path = zv::kSettingsPath;
    } else if (indexPath->section == 1) {
        path = ZVPreferences::pathForIdentifier(zv::profileIdentifier(rowTitle(*indexPath)));
    }
    if (!path) return;
    documentController = UIDocumentInteractionController::interactionControllerWithURL(NSURL::fileURLWithPath(*path));
    documentController->setDelegate(this);
    const std::shared_ptr<UIView> pageView = view();
    if (!documentController->presentOptionsMenuFromRect(pageView->bounds(), pageView.get(), true)) {
        showError("ERROR", "Cannot Open File: There are no Apps installed on your device that can open this file.", {},
                  "Dismiss");
    }
}
