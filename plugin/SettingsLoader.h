// loadSettings' rules: turns the settings file into the plug-in's switches and
// PlacementTable, adopting the previous generation's file when there is no
// settings file, and converting files of older schemas in place.
//
// The loader never fails and never reports (but to the optional diagnostics
// sink a checking tool gives it). Missing keys take their defaults;
// values of the wrong type are treated as absent; failed writes are ignored
// and the converted settings are used all the same. It posts nothing and
// redraws nothing.
#pragma once

#include "LoadDiagnostics.h"
#include "PluginSettings.h"
#include "SettingsFileAccess.h"

namespace zv {

// One load through `files`:
// - reads the settings file; when it is unreadable, reads the
//   previous-generation file instead and at once writes it, unchanged, to
//   the settings file's path;
// - when neither is readable, only sets `enabled` to false: the other
//   switches and the last table stay as they were;
// - otherwise replaces every switch and the table; there is no table when
//   the file has no `default` record, and an old-schema file is migrated
//   first, with one write of the settings file per migration step.
// With `diagnostics`, everything the load meets in the file is reported to
// it as well; the load itself is the same.
void loadSettingsFrom(SettingsFileAccess& files, PluginSettings& settings, LoadDiagnostics* diagnostics = nullptr);

// One load from the files of the device this process runs on.
void loadSettingsInto(PluginSettings& settings);

}  // namespace zv
