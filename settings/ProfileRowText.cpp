#include "ProfileRowText.h"

#include "SettingsKeys.h"

namespace zv {

std::string currentProfileTitle(const PlistValue* profileName, const PlistValue* profileSaved) {
    const std::string* name = profileName ? profileName->string() : nullptr;
    if (!name) return "Unsaved";
    const bool saved = profileSaved && profileSaved->boolValue().value_or(false);
    return saved ? *name : *name + " (Unsaved)";
}

std::string currentProfileTitle(const PlistDictionary& settings) {
    return currentProfileTitle(plistLookup(settings, kProfileName), plistLookup(settings, kProfileSaved));
}

std::string lastModifiedDetail(const PlistValue* lastModified) {
    const std::string* text = lastModified ? lastModified->string() : nullptr;
    return lastModifiedDetail(text ? std::string_view(*text) : std::string_view());
}

std::string lastModifiedDetail(std::string_view lastModified) {
    return "Last Modified: " + std::string(lastModified);
}

}  // namespace zv
