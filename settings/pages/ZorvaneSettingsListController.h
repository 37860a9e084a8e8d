// The root settings page: the switches of the eight settings, the links to
// the sort-order editor and the profile manager, and the relaunch button,
// all described by the bundle's specifier list "Zorvane".
//
// Every row reads its value from the shared store (the row's "default"
// while the store has no entry under its "key"); every change is stored,
// marks the settings as differing from the last saved profile, is saved
// (the store then announces "net.quellit.zorvane/preferences") and is
// followed by "net.quellit.zorvane/reloadStatusBar", whatever the save gave.
// A change that cannot be written is taken back, with an alert, and the
// rows show the store again (SettingsChangeSave.h).
//
// On appearance a store whose "schemaVersion" is not "1.2" is re-read from
// the settings file: the plug-in migrates files to 1.2, so a copy at another
// schema, or none, is out of date.
//
// When another writer changes the settings file and announces it, the store
// takes the file in and the page, when on screen, shows it at once.
#pragma once

#include "ZVPreferences.h"
#include "preferences/PSListController.h"
#include "uikit/controls/UIAlertView.h"

class ZorvaneSettingsListController : public PSListController,
                                      public UIAlertViewDelegate,
                                      public ZVPreferences::Observer {
public:
    bool initForContentSize(CGSize size) override;
    const std::vector<PSSpecifier>& specifiers() override;
    std::optional<PlistValue> readPreferenceValue(const PSSpecifier& specifier) override;
    void setPreferenceValue(const PlistValue& value, const PSSpecifier& specifier) override;
    void viewWillAppear(bool animated) override;
    bool performAction(const std::string& action) override;
    void preferencesFileChanged() override;

    // Asks for a confirmation before SpringBoard is relaunched.
    void respringButton();
    // "Yes" (index 1) posts "net.quellit.zorvane/respring" on the
    // distributed centre; any other index does nothing.
    void didDismissWithButtonIndex(UIAlertView& alertView, NSInteger buttonIndex) override;
};
