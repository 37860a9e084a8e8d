#include "SettingsChangeSave.h"

#include "ZVPreferences.h"
#include "uikit/controls/UIAlertView.h"

bool saveSettingsChange(std::optional<PlistDictionary> before) {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    NSError error;
    if (store.saveWithNotification(store.notification(), true, &error)) return true;
    if (before) store.restorePreferences(std::move(*before));
    UIAlertView::initWithTitle("Error, Could not save settings", error.localizedDescription(), {}, "Ok", {})->show();
    return false;
}
