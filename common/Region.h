// Region codes of a placement. Center is 2 and right is 1: codes 0, 1 and 2
// are compared directly with the region number the status bar passes to
// appearsInRegion:. Code 3 is never used.
#pragma once

#include <array>
#include <cstdint>

namespace zv {

enum class Region : std::int32_t {
    Left = 0,
    Right = 1,
    Center = 2,
    Hidden = 4,
    Default = 5,
};

struct RegionList {
    Region region;
    const char* key;    // the list key in settings files
    const char* title;  // the editor's section title
};

// The five lists in the order the plug-in reads them: a key listed in several
// lists takes the placement of the last one.
inline constexpr std::array<RegionList, 5> kRegionReadOrder{{
    {Region::Left, "left", "Left"},
    {Region::Center, "center", "Center"},
    {Region::Right, "right", "Right"},
    {Region::Hidden, "hidden", "Hidden"},
    {Region::Default, "default", "Default"},
}};

// The editor shows its sections in the same order: Left, Center, Right,
// Hidden, Default; section i is kRegionReadOrder[i].
inline constexpr int kEditorSectionCount = 5;

}  // namespace zv
