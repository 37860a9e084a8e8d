// The fixed table of the 19 methods the plug-in replaces. Rows 1 to 13 are
// the status-bar rows, installed in every status-bar host; rows 14 to 19 are
// SpringBoard's lock-screen and notification-centre rows.
#pragma once

#include <array>
#include <cstddef>

#include "runtime/Runtime.h"

namespace zv::hooks {

enum class Side { Instance, Class };

struct HookRow {
    const char* className;
    const char* selector;
    Side side;
    IMP replacement;
    IMP* slot;  // receives the implementation in force before
};

inline constexpr std::size_t kHookRowCount = 19;
inline constexpr std::size_t kLastStatusBarRow = 13;

const std::array<HookRow, kHookRowCount>& hookTable();

// Installs rows first..last (numbered from 1, inclusive) in table order. Each
// class is looked up when its row is installed and handed to the hooking
// service as found; a missing class or selector installs nothing and the
// next row goes on.
void installHookRows(std::size_t first, std::size_t last);

}  // namespace zv::hooks
