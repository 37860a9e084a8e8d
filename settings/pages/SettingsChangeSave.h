// How a page saves a change it made to the shared store: the settings file
// is written (the store then announces "net.quellit.zorvane/preferences").
// When it cannot be written the change is taken back, so the store again
// holds what it held before the change (what the file still holds, and
// what the page showed), and an alert says so with the platform's reason:
// "Error, Could not save settings" / reason / "Ok". The page then shows the
// store again.
#pragma once

#include <optional>

#include "foundation/plist/PropertyList.h"

// `before` is the store's dictionary as it stood before the page changed it.
// True when the file was written.
bool saveSettingsChange(std::optional<PlistDictionary> before);
