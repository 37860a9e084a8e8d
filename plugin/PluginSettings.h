// The plug-in's in-memory settings: eight switches and the placement table,
// filled by loadSettings and read by every replacement.
#pragma once

#include <optional>

#include "PlacementTable.h"

namespace zv {

struct PluginSettings {
    bool enabled = false;
    bool enableLockScreenTime = false;
    bool hideBattery = false;
    bool bluetoothConnectedOnly = false;
    bool hideTopGrabberLS = true;
    bool hideBottomGrabberLS = true;
    bool shortBreadcrumb = false;  // holds enabled AND the file's value
    bool isBreadcrumbExclusive = true;
    std::optional<PlacementTable> placement;  // absent when the file has no `default`
};

}  // namespace zv
