// Short ways to spell the plug-in's settings in rule tests, and a host state
// that records what a rule asked of it, in order.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "LiveHostState.h"
#include "PluginSettings.h"

namespace zv::test {

struct Placed {
    const char* key;
    std::int32_t alignment;
    std::int64_t idx = 0;
};

// Plug-in on, with a table holding exactly these entries.
inline PluginSettings placed(std::initializer_list<Placed> entries) {
    PluginSettings settings;
    settings.enabled = true;
    PlacementTable table;
    for (const Placed& p : entries) table.set(p.key, PlacementEntry{p.alignment, p.idx});
    settings.placement = std::move(table);
    return settings;
}

// A copy of the settings changed by `change`.
template <class F>
PluginSettings with(PluginSettings settings, F change) {
    change(settings);
    return settings;
}

inline PluginSettings switchedOff(PluginSettings settings) {
    settings.enabled = false;
    return settings;
}

inline PluginSettings withoutTable(PluginSettings settings) {
    settings.placement.reset();
    return settings;
}

class RecordingHostState final : public LiveHostState {
public:
    bool locked = false;
    bool connected = false;
    mutable std::vector<std::string> asked;

    bool isScreenLocked() const override {
        asked.emplace_back("lock");
        return locked;
    }
    bool isBluetoothDeviceConnected() const override {
        asked.emplace_back("bluetooth");
        return connected;
    }
};

}  // namespace zv::test
