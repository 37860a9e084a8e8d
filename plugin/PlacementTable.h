// The map from ItemKey (two characters) to the placement the user chose:
// the region code and the order value within the region. Built whole by each
// settings load and never changed afterwards.
//
// The status bar asks for every item on every layout, so a key of two
// decimal digits (every ItemKey of a catalogue item) is also kept in a slot
// of its own and found without hashing; other keys are found in the map.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zv {

struct PlacementEntry {
    std::int32_t alignment = 0;  // Region code: 0 left, 1 right, 2 center, 4 hidden, 5 default
    std::int64_t idx = 0;        // order value; meaningful for codes 0, 1 and 2 only
    bool operator==(const PlacementEntry&) const = default;
};

class PlacementTable {
public:
    // A later entry for a key replaces the earlier one.
    void set(std::string_view key, PlacementEntry entry) {
        entries_.insert_or_assign(std::string(key), entry);
        if (const int slot = twoDigitSlot(key); slot >= 0) twoDigit_[static_cast<std::size_t>(slot)] = entry;
    }
    // Null when the key has no entry.
    const PlacementEntry* find(std::string_view key) const {
        if (const int slot = twoDigitSlot(key); slot >= 0) {
            const auto& entry = twoDigit_[static_cast<std::size_t>(slot)];
            return entry ? &*entry : nullptr;
        }
        auto it = entries_.find(key);
        return it == entries_.end() ? nullptr : &it->second;
    }
    std::size_t size() const { return entries_.size(); }
    const auto& entries() const { return entries_; }

private:
    // 0 to 99 for a key of two decimal digits, else -1.
    static int twoDigitSlot(std::string_view key) {
        if (key.size() != 2 || key[0] < '0' || key[0] > '9' || key[1] < '0' || key[1] > '9') return -1;
        return (key[0] - '0') * 10 + (key[1] - '0');
    }

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, PlacementEntry, Hash, std::equal_to<>> entries_;
    std::array<std::optional<PlacementEntry>, 100> twoDigit_{};
};

}  // namespace zv
