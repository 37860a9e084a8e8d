// The known settings key a mistyped key most likely meant.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv::tools {

// The key of the settings file closest to `key` (ignoring case, counting an
// inserted, dropped, changed or swapped character as one edit), when it is
// at most two edits away and fewer than half the key's length.
std::optional<std::string> nearestSettingsKey(std::string_view key);

}  // namespace zv::tools
