// How deeply a JSON text nests arrays and objects, found without parsing
// and without recursion, so that a request can be refused before a parser
// (which recurses, as do printing and freeing a parsed value) meets it.
#pragma once

#include <cstddef>
#include <string_view>

namespace zv::control {

// Whether the text opens more than `limit` arrays and objects inside one
// another. Brackets inside strings do not count. For text that is not JSON
// the answer holds up to its first error, which is as far as a parser reads.
bool nestsDeeperThan(std::string_view text, size_t limit);

}  // namespace zv::control
