#include "ZVPreferences.h"

#include <chrono>
#include <memory>
#include <mutex>

#include "SettingsKeys.h"
#include "foundation/DateFormatter.h"
#include "foundation/DeviceFiles.h"
#include "notifications/NotificationCenter.h"

ZVPreferences& ZVPreferences::sharedInstance() {
    static std::once_flag once;
    static ZVPreferences* shared = nullptr;
    // Created once and deliberately never destroyed: pages and queued blocks
    // may still reach it while the process exits.
    std::call_once(once, [] { shared = std::make_unique<ZVPreferences>().release(); });
    return *shared;
}

std::optional<std::string> ZVPreferences::pathForIdentifier(std::string_view identifier) {
    if (identifier.find('/') != std::string_view::npos || identifier.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string path = zv::kPreferencesFolder;
    path += identifier;
    path += ".plist";
    return path;
}

std::string ZVPreferences::lastModifiedText() {
    NSDateFormatter formatter;
    formatter.setDateStyle(NSDateFormatterStyle::ShortStyle);
    formatter.setTimeStyle(NSDateFormatterStyle::MediumStyle);
    return formatter.stringFromDate(std::chrono::system_clock::now());
}

// --- Loading ---------------------------------------------------------------

bool ZVPreferences::loadOnceFromIdentifier(std::string_view identifier, NSError* error) {
    preferences_.reset();
    std::optional<PlistDictionary> read;
    if (auto path = pathForIdentifier(identifier))
        read = dictionaryWithContentsOfFile(*path, error);
    else if (error)
        *error = NSError::fileReadError(std::make_error_code(std::errc::invalid_argument), std::string(identifier) + ".plist");
    const bool ok = read.has_value();
    if (identifier_ && identifier == *identifier_) boundFileSeen_ = read;
    preferences_ = ok ? std::move(*read) : PlistDictionary{};
    return ok;
}

bool ZVPreferences::loadFromIdentifier(std::string_view identifier, Notification notification) {
    if (preferences_) return true;
    return reLoadFromIdentifier(identifier, std::move(notification));
}

bool ZVPreferences::reLoadFromIdentifier(std::string_view identifier, Notification notification) {
    identifier_ = std::string(identifier);
    notification_ = std::move(notification);
    return loadOnceFromIdentifier(identifier);
}

void ZVPreferences::resetPreferences() { preferences_ = PlistDictionary{}; }

bool ZVPreferences::reloadIfFileChanged() {
    if (!preferences_ || !identifier_) return false;
    const auto path = pathForIdentifier(*identifier_);
    if (!path) return false;
    auto read = dictionaryWithContentsOfFile(*path);
    if (!read || read == boundFileSeen_) return false;
    boundFileSeen_ = read;
    preferences_ = std::move(*read);
    return true;
}

void ZVPreferences::addObserver(const std::shared_ptr<Observer>& observer) {
    if (!observer) return;
    for (const auto& held : observers_)
        if (held.lock() == observer) return;
    observers_.push_back(observer);
    if (listening_ || !notification_ || this != &sharedInstance()) return;
    listening_ = true;
    CFNotificationCenterAddObserver(
        CFNotificationCenterGetDarwinNotifyCenter(), this,
        [](CFNotificationCenterRef, void* store, CFStringRef, const void*, CFDictionaryRef) {
            static_cast<ZVPreferences*>(store)->fileChangeAnnounced();
        },
        notification_->c_str(), nullptr, CFNotificationSuspensionBehaviorCoalesce);
}

void ZVPreferences::fileChangeAnnounced() {
    if (!reloadIfFileChanged()) return;
    std::erase_if(observers_, [](const auto& held) { return held.expired(); });
    // A copy: an observer may add another while it redraws.
    const auto observers = observers_;
    for (const auto& held : observers)
        if (auto observer = held.lock()) observer->preferencesFileChanged();
}

// --- Saving ----------------------------------------------------------------

bool ZVPreferences::save() { return saveWithLastModified(true); }

bool ZVPreferences::saveWithLastModified(bool lastModified) {
    return saveWithNotification(notification_, lastModified);
}

bool ZVPreferences::saveToIdentifier(std::string_view identifier) {
    return saveToIdentifier(identifier, notification_, true);
}

bool ZVPreferences::saveWithNotification(Notification notification) {
    return saveWithNotification(std::move(notification), true);
}

bool ZVPreferences::saveWithNotification(Notification notification, bool lastModified, NSError* error) {
    // Never bound (a store loaded only through loadOnceFromIdentifier): there
    // is no file to write.
    if (!identifier_) {
        if (error) *error = NSError::fileWriteError(std::make_error_code(std::errc::invalid_argument), ".plist");
        return false;
    }
    return saveToIdentifier(*identifier_, std::move(notification), lastModified, error);
}

bool ZVPreferences::saveToIdentifier(std::string_view identifier, Notification notification) {
    return saveToIdentifier(identifier, std::move(notification), true);
}

bool ZVPreferences::saveToIdentifier(std::string_view identifier, Notification notification, bool lastModified,
                                     NSError* error) {
    const std::string fileName = std::string(identifier) + ".plist";
    if (!preferences_) {
        if (error) *error = NSError::fileWriteError(std::make_error_code(std::errc::io_error), fileName);
        return false;
    }
    if (lastModified) (*preferences_)[zv::kLastModified] = PlistValue(lastModifiedText());
    const auto path = pathForIdentifier(identifier);
    if (!path) {
        if (error) *error = NSError::fileWriteError(std::make_error_code(std::errc::invalid_argument), fileName);
        return false;
    }
    if (!writeToFile(*preferences_, *path, true, error)) return false;
    if (identifier_ && identifier == *identifier_) boundFileSeen_ = preferences_;
    if (notification) {
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), notification->c_str(),
                                             nullptr, nullptr, true);
    }
    return true;
}

// --- Values ----------------------------------------------------------------

std::optional<PlistValue> ZVPreferences::objectForKey(std::string_view key) const {
    if (!preferences_) return std::nullopt;
    const PlistValue* value = plistLookup(*preferences_, key);
    if (!value) return std::nullopt;
    return *value;
}

std::int64_t ZVPreferences::integerForKey(std::string_view key) const { return integerForKey(key, 0); }

double ZVPreferences::floatForKey(std::string_view key) const { return floatForKey(key, 0.0); }

bool ZVPreferences::boolForKey(std::string_view key) const { return boolForKey(key, false); }

std::int64_t ZVPreferences::integerForKey(std::string_view key, std::int64_t defaultValue) const {
    if (!preferences_) return defaultValue;
    const PlistValue* value = plistLookup(*preferences_, key);
    auto i = value ? value->integerValue() : std::nullopt;
    return i ? *i : defaultValue;
}

double ZVPreferences::floatForKey(std::string_view key, double defaultValue) const {
    if (!preferences_) return defaultValue;
    const PlistValue* value = plistLookup(*preferences_, key);
    auto f = value ? value->floatValue() : std::nullopt;
    return f ? static_cast<double>(*f) : defaultValue;
}

bool ZVPreferences::boolForKey(std::string_view key, bool defaultValue) const {
    if (!preferences_) return defaultValue;
    const PlistValue* value = plistLookup(*preferences_, key);
    auto b = value ? value->boolValue() : std::nullopt;
    return b ? *b : defaultValue;
}

void ZVPreferences::setObject(PlistValue value, std::string_view key) {
    if (!preferences_) return;
    (*preferences_)[std::string(key)] = std::move(value);
}
