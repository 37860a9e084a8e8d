// The catalogue of status-bar items the system knows, the seed list of a
// fresh layout, and the renumbering of older settings files.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

// The 28 catalogue names, each an ItemKey, a space and a label, in catalogue order.
extern const std::array<std::string_view, 28> kItemCatalogue;
// The 27 names of a fresh layout (the catalogue without "14 Plus"), in order.
extern const std::array<std::string_view, 27> kSeedList;

struct Renumbering {
    std::string_view oldName;
    std::string_view newName;
};
// Applied by the 1.1 to 1.2 migration, rows tried in this order.
extern const std::array<Renumbering, 7> kItemRenumbering;

// Names appended to `default` by the migration steps.
inline constexpr std::string_view kAddedIn11 = "09 NotCharging";
inline constexpr std::array<std::string_view, 4> kAddedIn12{"14 Plus", "21 CarPlay", "32 Breadcrumb",
                                                              "33 OpenInSafari"};

// In left, center and right, the names after the first spacer get their
// position plus this offset as their order value.
inline constexpr int kSpacerOffset = 16;
inline constexpr std::string_view kSpacerKey1 = "98";
inline constexpr std::string_view kSpacerKey2 = "99";

// The ItemKey of an item type: the type written with "%02d".
std::string itemKey(int type);

// The catalogue name whose ItemKey is `key` ("11" gives "11 Bluetooth"), or
// nothing when the catalogue has no item of that key.
std::optional<std::string_view> catalogueName(std::string_view key);

}  // namespace zv
