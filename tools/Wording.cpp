#include "Wording.h"

#include <cstdint>
#include <cstdio>

#include "foundation/Utf8.h"

namespace zv::tools {

std::string typePhrase(std::string_view typeName) {
    if (typeName == "real") return "a real number";
    if (typeName == "data") return "a data value";
    const bool vowel = !typeName.empty() && std::string_view("aeiou").find(typeName.front()) != std::string_view::npos;
    std::string text = vowel ? "an " : "a ";
    text += typeName;
    return text;
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool control = length == 1 && (byte < 0x20 || byte == 0x7F);
        const bool c1Control = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (length == 0 || control || c1Control) {
            const std::size_t count = length == 0 ? 1 : length;
            for (std::size_t k = 0; k < count; ++k) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[i + k]));
                out += escape;
            }
            i += count;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string quoted(std::string_view text) {
    std::string result = "\"";
    result += printable(text);
    result += '"';
    return result;
}

}  // namespace zv::tools
