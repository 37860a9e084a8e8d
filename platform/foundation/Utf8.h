// UTF-8 decoding for text measurement and name matching. A malformed byte
// decodes as U+FFFD on its own, so every input decodes.
#pragma once

#include <string>
#include <string_view>

std::u32string decodeUtf8(std::string_view text);
