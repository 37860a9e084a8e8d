// Helpers for tests of the settings loader: settings files held in memory,
// with every write recorded, and short ways to spell region records.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "SettingsFileAccess.h"
#include "SettingsKeys.h"

namespace zv::test {

// A region record holding the given names.
inline PlistValue record(std::initializer_list<const char*> names) {
    PlistArray list;
    for (const char* name : names) list.emplace_back(name);
    return PlistValue(PlistDictionary{{kData, PlistValue(std::move(list))}});
}

// The names of a region record as plain text; non-text elements read as "<?>".
inline std::vector<std::string> namesOf(const PlistDictionary& settings, const char* listKey) {
    std::vector<std::string> names;
    const PlistValue* value = plistLookup(settings, listKey);
    const PlistDictionary* rec = value ? value->dictionary() : nullptr;
    const PlistValue* data = rec ? plistLookup(*rec, kData) : nullptr;
    if (!data || !data->array()) return names;
    for (const PlistValue& element : *data->array())
        names.push_back(element.string() ? *element.string() : std::string("<?>"));
    return names;
}

class MemorySettingsFiles final : public SettingsFileAccess {
public:
    std::map<std::string, PlistDictionary, std::less<>> files;
    struct Write {
        std::string path;
        PlistDictionary dict;
    };
    std::vector<Write> writes;  // every write tried, failed ones too
    bool failWrites = false;

    std::optional<PlistDictionary> read(std::string_view devicePath) override {
        auto it = files.find(devicePath);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool write(std::string_view devicePath, const PlistDictionary& dict) override {
        writes.push_back({std::string(devicePath), dict});
        if (failWrites) return false;
        files.insert_or_assign(std::string(devicePath), dict);
        return true;
    }
    const PlistDictionary& settingsFile() const { return files.at(kSettingsPath); }
};

}  // namespace zv::test
