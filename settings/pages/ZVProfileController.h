// The profile manager ("Profiles"): saves the current settings under a name
// as a profile file beside the settings file, loads, deletes and shares
// profiles, and resets the current settings.
//
// Section 0 ("CURRENT") is the current settings: its title follows
// "profileName" / "profileSaved", a tap asks for a name to save under, a
// delete asks for a reset. Section 1 ("AVAILABLE") lists every file of the
// preferences folder named "net.quellit.zorvane_*.plist", in listing order:
// a tap asks to load it, a swipe-delete removes it at once. A long press
// (1 s) shares the settings file or the profile under the finger through
// the open-in menu.
//
// Confirmations are alerts told apart by tag (5651 overwrite, 5652 reset,
// 5653 save, 5654 load); the profile name a confirmation needs travels with
// the alert (its accessibilityValue), never in the page. Saving and
// overwriting post nothing; a load and a reset save the settings file (the
// store announces "net.quellit.zorvane/preferences") and then post
// "net.quellit.zorvane/reloadStatusBar".
//
// A load or reset that cannot end in a written settings file (the profile
// cannot be read, the settings file cannot be replaced) fails with an alert
// ("Error, Could not load profile" / "Error, Could not reset profile", the
// platform's reason as its message), posts nothing, and leaves the store as
// it was before the attempt (its contents are put back), so the page shows
// what the file holds and a later save cannot write an empty settings file;
// the list is then built again, so a profile whose file has gone leaves it.
// A profile file that cannot be written fails the save with an alert
// ("Error, Could not save profile", the platform's reason as its message)
// and leaves the current settings named and flagged as before the attempt.
//
// When another writer changes the settings file and announces it, the store
// takes the file in and the page lists the folder and shows it again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ProfileDateCache.h"
#include "ProfileListing.h"
#include "ZVPreferences.h"
#include "preferences/PSViewController.h"
#include "uikit/controls/UIAlertView.h"
#include "uikit/controls/UIDocumentInteractionController.h"
#include "uikit/controls/UILongPressGestureRecognizer.h"
#include "uikit/table/UITableView.h"

class ZVProfileController : public PSViewController,
                            public UITableViewDataSource,
                            public UITableViewDelegate,
                            public UIAlertViewDelegate,
                            public UIGestureRecognizerDelegate,
                            public UIDocumentInteractionControllerDelegate,
                            public ZVPreferences::Observer {
public:
    enum AlertTag : NSInteger {
        kOverwriteAlertTag = 5651,
        kResetAlertTag = 5652,
        kSaveAlertTag = 5653,
        kLoadAlertTag = 5654,
    };

    bool init() override;
    void loadView() override;
    void viewDidLoad() override;
    // Refreshes the list and the table 0.25 s later, on the main queue.
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void preferencesFileChanged() override;

    // Rebuilds `profiles` from the preferences folder; does not redraw.
    void reloadSortOrder();

    UITableView* tableView() const { return _tableView.get(); }

    // --- Table --------------------------------------------------------------
    NSInteger numberOfSectionsInTableView(UITableView& tableView) override;
    NSInteger numberOfRowsInSection(UITableView& tableView, NSInteger section) override;
    std::optional<std::string> titleForHeaderInSection(UITableView& tableView, NSInteger section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    std::shared_ptr<UIView> viewForFooterInSection(UITableView& tableView, NSInteger section) override;
    double heightForFooterInSection(UITableView& tableView, NSInteger section) override;
    UITableViewCellEditingStyle editingStyleForRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    bool canEditRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    bool canMoveRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    bool shouldIndentWhileEditingRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;
    void commitEditingStyle(UITableView& tableView, UITableViewCellEditingStyle editingStyle,
                            NSIndexPath indexPath) override;
    void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;

    // --- Alerts and the long press -----------------------------------------
    void didDismissWithButtonIndex(UIAlertView& alertView, NSInteger buttonIndex) override;
    void handleLongPress(UILongPressGestureRecognizer& recognizer);

    // The wrapped height H of the help text under "AVAILABLE" at a width.
    static double helpTextHeight(double width);

private:
    void saveProfile(const std::string& name);
    void loadProfile(const std::string& name);
    void resetCurrent();
    void deleteProfile(const std::string& name);
    // The title the row shows; rows identify profiles by it.
    std::string rowTitle(NSIndexPath indexPath);
    void refresh();

public:
    // The rows of "AVAILABLE", in display order; replaced whole by
    // reloadSortOrder.
    std::vector<zv::ProfileEntry> profiles;

private:
    std::shared_ptr<UITableView> _tableView;
    // Dates of the profile files as last read; unchanged files are not read again.
    zv::ProfileDateCache profileDates_;

public:
    // The open-in menu's controller, kept from one long press to the next so
    // the menu outlives the handler that opened it.
    std::shared_ptr<UIDocumentInteractionController> documentController;
};
