#include "Wording.h"

#include <cstdint>
#include <cstdio>

namespace zv::tools {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when there is none.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;  // bounds of the second byte, which rule out overlong forms and surrogates
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

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
        const std::size_t length = utf8Length(text, i);
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
