#include "ZorvaneSettingsListController.h"

#include "SettingsChangeSave.h"
#include "SettingsKeys.h"
#include "ZVPreferences.h"
#include "notifications/NotificationCenter.h"
#include "preferences/PSRootController.h"

namespace {

constexpr const char* kSpecifierList = "Zorvane";
constexpr const char* kRespringAction = "respringButton";
constexpr const char* kRespringMessage = "About to respring! Are you sure?";

const std::string* keyOf(const PSSpecifier& specifier) {
    const PlistValue* key = specifier.propertyForKey("key");
    return key ? key->string() : nullptr;
}

}  // namespace

bool ZorvaneSettingsListController::initForContentSize(CGSize size) {
    if (!PSListController::initForContentSize(size)) return false;
    ZVPreferences::sharedInstance().loadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);
    return true;
}

const std::vector<PSSpecifier>& ZorvaneSettingsListController::specifiers() {
    if (_specifiers.empty()) _specifiers = loadSpecifiersFromPlistName(kSpecifierList, this);
    return _specifiers;
}

std::optional<PlistValue> ZorvaneSettingsListController::readPreferenceValue(const PSSpecifier& specifier) {
    std::optional<PlistValue> value;
    if (const std::string* key = keyOf(specifier)) value = ZVPreferences::sharedInstance().objectForKey(*key);
    if (value) return value;
    if (const PlistValue* fallback = specifier.propertyForKey("default")) return *fallback;
    return std::nullopt;
}

void ZorvaneSettingsListController::setPreferenceValue(const PlistValue& value, const PSSpecifier& specifier) {
    // A row without a key has no place to store its value.
    const std::string* key = keyOf(specifier);
    if (!key) return;
    ZVPreferences& store = ZVPreferences::sharedInstance();
    std::optional<PlistDictionary> before = store.preferences();
    store.setObject(value, *key);
    store.setObject(PlistValue(false), zv::kProfileSaved);
    // Not written: the switch shows the value held before the change again.
    if (!saveSettingsChange(std::move(before))) reload();
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), zv::kReloadStatusBarNotification,
                                         nullptr, nullptr, true);
}

void ZorvaneSettingsListController::viewWillAppear(bool animated) {
    ZVPreferences& store = ZVPreferences::sharedInstance();
    const auto schema = store.objectForKey(zv::kSchemaVersion);
    if (!schema || !schema->string() || *schema->string() != zv::kCurrentSchema)
        store.reLoadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);
    store.addObserver(sharedSelf<ZVPreferences::Observer>());
    PSListController::viewWillAppear(animated);
    reload();
}

void ZorvaneSettingsListController::preferencesFileChanged() {
    // A page under another one redraws when it appears again.
    if (rootController() && rootController()->topController().get() == this) reload();
}

bool ZorvaneSettingsListController::performAction(const std::string& action) {
    if (action != kRespringAction) return PSListController::performAction(action);
    respringButton();
    return true;
}

void ZorvaneSettingsListController::respringButton() {
    auto alert = UIAlertView::initWithTitle(std::nullopt, kRespringMessage, sharedSelf<UIAlertViewDelegate>(), "No",
                                            {"Yes"});
    alert->show();
}

void ZorvaneSettingsListController::didDismissWithButtonIndex(UIAlertView&, NSInteger buttonIndex) {
    if (buttonIndex != 1) return;
    NSDistributedNotificationCenter::defaultCenter().postNotificationName(zv::kRespringNotification, nullptr);
}
