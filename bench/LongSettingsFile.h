// Settings files far larger than any a person makes, for the benchmarks:
// enabled, with a left list of many names (catalogue names in turn, each
// made unique and padded to a length), the other lists empty.
#pragma once

#include <plist/plist.h>

#include <cstdlib>
#include <string>

#include "ItemCatalogue.h"
#include "SettingsKeys.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistShape.h"

namespace zv::bench {

// The file as libplist's tree; the caller frees it.
inline plist_t longSettingsTree(std::size_t names, std::size_t nameLength) {
    plist_t left = plist_new_array();
    for (std::size_t i = 0; i < names; ++i) {
        std::string name = std::string(kSeedList[i % kSeedList.size()]) + " #" + std::to_string(i);
        if (name.size() < nameLength) name.append(nameLength - name.size(), '.');
        plist_array_append_item(left, plist_new_string(name.c_str()));
    }
    const auto record = [](plist_t list) {
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, kData, list);
        return dict;
    };
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, kEnabled, plist_new_bool(1));
    plist_dict_set_item(root, kSchemaVersion, plist_new_string(kCurrentSchema));
    plist_dict_set_item(root, kLeft, record(left));
    plist_dict_set_item(root, kDefault, record(plist_new_array()));
    return root;
}

inline std::string longSettingsBinary(std::size_t names, std::size_t nameLength) {
    plist_t root = longSettingsTree(names, nameLength);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    std::string out(bytes, length);
    std::free(bytes);
    return out;
}

inline std::string longSettingsXml(std::size_t names, std::size_t nameLength) {
    plist_t root = longSettingsTree(names, nameLength);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &bytes, &length);
    plist_free(root);
    std::string out(bytes, length);
    std::free(bytes);
    return out;
}

// Objects of the file besides the names, as PlistShape.h counts them: the
// root, its four keys and four values, and each record's key and list.
inline constexpr std::size_t kObjectsBesideNames = 1 + 4 + 4 + 2 + 2;

// The largest binary file both bounds take: kMaxPlistObjects objects, and
// names as long as kMaxPropertyListFileBytes lets them be.
inline std::string largestSettingsBinary() {
    const std::size_t names = kMaxPlistObjects - kObjectsBesideNames;
    // Per name: its bytes, a marker and a two-byte length, and three bytes
    // each of reference and offset; kept a little under the bound.
    const std::size_t nameLength = (kMaxPropertyListFileBytes - 4096) / names - 9;
    return longSettingsBinary(names, nameLength);
}

// The same for XML: each name takes its bytes, "<string></string>", a
// line's end and the indent, 21 bytes in all.
inline std::string largestSettingsXml() {
    const std::size_t names = kMaxPlistObjects - kObjectsBesideNames;
    const std::size_t nameLength = (kMaxPropertyListFileBytes - 4096) / names - 21;
    return longSettingsXml(names, nameLength);
}

}  // namespace zv::bench
