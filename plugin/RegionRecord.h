// A region record of the settings file: a dictionary whose entry `data` is the
// ordered list of catalogue names of one region. Values of another type in
// their place (a record that is not a dictionary, a `data` that is not a list)
// are treated as if they were absent, never as errors.
#pragma once

#include <string_view>

#include "LoadDiagnostics.h"
#include "foundation/plist/PropertyList.h"

namespace zv {

// The record stored under a list key, or null when it is absent or not a dictionary.
const PlistDictionary* regionRecord(const PlistDictionary& settings, std::string_view listKey);
// The list of the record under a list key, or null when there is no record or it has no list.
const PlistArray* regionList(const PlistDictionary& settings, std::string_view listKey);
PlistArray* regionList(PlistDictionary& settings, std::string_view listKey);

// Reports why the record under a list key yields no list: a record that is
// not a dictionary, one without `data`, or a `data` that is not a list. An
// absent record is not reported: a region may be left out.
void reportMissingRegionList(const PlistDictionary& settings, std::string_view listKey, LoadDiagnostics& diagnostics);

// Replaces the record under a list key by a fresh record holding only `list`;
// any other key of the old record is dropped.
void putRegionRecord(PlistDictionary& settings, std::string_view listKey, PlistArray list);

}  // namespace zv
