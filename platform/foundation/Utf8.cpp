#include "foundation/Utf8.h"

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char lead = byte(pos);
        if (lead < 0x80) {
            out.push_back(lead);
            ++pos;
            continue;
        }
        const int extra = (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : 0;
        bool ok = extra > 0 && pos + extra < text.size();
        char32_t cp = lead & (0x3F >> extra);
        for (int i = 1; ok && i <= extra; ++i) {
            if ((byte(pos + i) & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (byte(pos + i) & 0x3F);
        }
        if (ok) {
            out.push_back(cp);
            pos += extra + 1;
        } else {
            out.push_back(0xFFFD);
            ++pos;
        }
    }
    return out;
}

std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // bounds of the second byte, which rule out overlong forms and surrogates
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
    if (length > text.size() - i) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

namespace {

// Whether bytes[i] starts the three-byte form of a surrogate code point.
bool surrogateAt(std::string_view bytes, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    return byte(i) == 0xED && bytes.size() - i >= 3 && byte(i + 1) >= 0xA0 && byte(i + 1) <= 0xBF &&
           (byte(i + 2) & 0xC0) == 0x80;
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

TextFault utf8TextFault(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (bytes[i] == '\0') return TextFault::Nul;
        if (length == 0) return surrogateAt(bytes, i) ? TextFault::Surrogate : TextFault::NotUtf8;
        i += length;
    }
    return TextFault::None;
}

TextFault utf16TextFault(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] == 0) return TextFault::Nul;
        if (isHighSurrogate(units[i]) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            ++i;
        } else if (isHighSurrogate(units[i]) || isLowSurrogate(units[i])) {
            return TextFault::Surrogate;
        }
    }
    return TextFault::None;
}

namespace {

void appendHex(std::string& out, const char* prefix, unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

// Appends one character that is well-formed, escaping what needs it.
void appendEscaped(std::string& out, char32_t c) {
    if (c == '\\') {
        out += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
        appendHex(out, "\\x", static_cast<unsigned>(c), 2);
    } else if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string escapedUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (length == 1) {
            appendEscaped(out, byte(i));
            ++i;
        } else if (length != 0) {
            out.append(bytes.substr(i, length));
            i += length;
        } else if (surrogateAt(bytes, i)) {
            appendHex(out, "\\u", 0xD000u | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu), 4);
            i += 3;
        } else {
            appendHex(out, "\\x", byte(i), 2);
            ++i;
        }
    }
    return out;
}

std::string escapedUtf16(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (isHighSurrogate(unit) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            appendEscaped(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{units[i + 1]} - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendHex(out, "\\u", unit, 4);
        } else {
            appendEscaped(out, unit);
        }
    }
    return out;
}
