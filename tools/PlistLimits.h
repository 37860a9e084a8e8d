// Limits a property list must keep before the tool hands it to libplist.
// libplist recurses once per level of nesting, and it copies every object a
// binary list refers to more than once, so a file nesting very deep crashes
// the parse and a small binary file whose objects share children many times
// over stalls it. The tool checks the bytes first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zv::tools {

inline constexpr std::size_t kMaxPlistDepth = 512;
inline constexpr std::size_t kMaxPlistValues = 100'000;  // after shared objects are copied

// Why the bytes cannot be parsed safely, or "" when they keep the limits.
// Bytes that are no property list at all pass: the parser rejects them.
std::string plistLimitProblem(std::string_view bytes);

}  // namespace zv::tools
