// The host's status-bar data: the raw status-bar record (UIKit's
// StatusBarRawData) and the data object item views receive with an update
// (UIStatusBarComposedData, whose `rawData` is a pointer to the record).
//
// Of the record only these fields are given meaning here; every other byte
// is 0:
//   byte 1540: battery capacity in percent, signed 32-bit;
//   byte 1544: battery state, signed 32-bit: 0 while the device is not on
//              external power (1 charging, 2 charged).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/Runtime.h"

inline constexpr std::size_t kStatusBarRawDataSize = 1552;
inline constexpr std::size_t kBatteryCapacityOffset = 1540;
inline constexpr std::size_t kBatteryStateOffset = 1544;

struct StatusBarRawData {
    std::array<std::uint8_t, kStatusBarRawDataSize> bytes{};

    std::int32_t readInt32(std::size_t offset) const {
        std::int32_t value = 0;
        std::memcpy(&value, bytes.data() + offset, sizeof value);
        return value;
    }
    void writeInt32(std::size_t offset, std::int32_t value) { std::memcpy(bytes.data() + offset, &value, sizeof value); }
};

// UIStatusBarComposedData; `rawData` answers a pointer to `raw`
// (const void*), valid while the object lives.
struct UIStatusBarComposedData : objc_object {
    StatusBarRawData raw;
};

void registerStatusBarDataClasses();
