// What a settings load meets in a file and what it does about it, for tools
// that check a person's settings or profile file before it reaches a phone.
//
// The sink is optional everywhere: the plug-in loads without one, and every
// report is made behind a null test, so such a load does what it always did
// and nothing more. Findings are plain data (a kind, the key path, the value
// concerned); wording them is the tool's business.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/plist/PropertyList.h"

namespace zv {

enum class LoadFindingKind {
    SettingsFileUnreadable,  // neither file could be read: `enabled` becomes false, nothing else changes
    KeyNotText,              // value: the key, escaped (path: where it was); detail: "nul", "surrogate" or
                             // "notUtf8", what makes it no text; its entry is left out
    PluginOff,               // value: "" when the file has no `enabled` key, else "false": the plug-in stays off
    SwitchWrongType,         // value: the type found; detail: the default used instead ("true"/"false")
    UnknownKey,              // a top-level key the system does not know; ignored
    NoPlacement,             // no `default` record (value: the type found, when not a dictionary): no table
    RegionRecordWrongType,   // value: the type found; the region counts as empty
    RegionListMissing,       // a record without `data`; the region counts as empty
    RegionListWrongType,     // value: the type found; the region counts as empty
    ElementWrongType,        // value: the type found; skipped (its position still counts)
    ElementTooShort,         // value: the text; skipped (its position still counts)
    UnknownItem,             // value: the name; its key is no catalogue item, but gets an entry all the same
    LabelMismatch,           // value: the name; detail: the catalogue's name for its key, which is what it places
    ItemListedAgain,         // value: the name; detail: the path of the earlier entry, which this one replaces
    SpacerRaisesOrder,       // value: the spacer; names after it in this list get their position + 16
    SpacerWithoutEffect,     // value: the spacer; a later spacer in the same list raises nothing more
    SchemaWrongType,         // value: the type found; no migration, the file is used as it is
    SchemaUnknown,           // value: the version; no migration, the file is used as it is
    MigrationStep,           // value: the version before ("" when absent); detail: the version after
    ItemRenumbered,          // value: the old name; detail: the new name
    ItemAdded,               // value: the name appended by a migration step
};

struct LoadFinding {
    LoadFindingKind kind;
    std::string path;    // key path in the file: "hideBattery", "left", "left.data[2]"; "" for the file
    std::string value;   // see the kind
    std::string detail;  // see the kind
};

class LoadDiagnostics {
public:
    virtual ~LoadDiagnostics() = default;
    virtual void report(LoadFinding finding) = 0;
};

// Key paths of a region record's list and of one of its elements.
std::string regionListPath(std::string_view listKey);
std::string regionElementPath(std::string_view listKey, std::size_t index);

// The type of a value as one word: "string", "integer", "real", "boolean",
// "data", "date", "array", "dictionary".
const char* plistTypeName(const PlistValue& value);

}  // namespace zv
