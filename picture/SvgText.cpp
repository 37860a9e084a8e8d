#include "SvgText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zv {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    // XML 1.0 allows neither U+FFFE nor U+FFFF.
    const bool nonCharacter = codePoint == 0xFFFE || codePoint == 0xFFFF;
    if (overlong || surrogate || codePoint > 0x10FFFF || nonCharacter) return 0;
    return length;
}

}  // namespace

std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (length == 1) {
            switch (c) {
                case '&': out += "&amp;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                case '"': out += "&quot;"; break;
                case '\'': out += "&apos;"; break;
                default:
                    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                        out += kReplacement;
                    } else {
                        out += c;
                    }
            }
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

double estimatedTextWidth(std::string_view text, double fontSize, bool bold) {
    // Advances of a common sans-serif face, in ems, by kind of character;
    // never less than the widest of the faces a browser falls back to, so
    // the text is never wider than the room it is given.
    double ems = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue;  // continuation byte of a character already counted
        const std::string_view rest = text.substr(i);
        // No-break spaces (U+00A0, U+202F before "AM"/"PM") are spaces.
        const bool space = c == ' ' || rest.starts_with("\xC2\xA0") || rest.starts_with("\xE2\x80\xAF");
        if (space || c == ':' || c == '.' || c == ',') {
            ems += bold ? 0.4 : 0.32;
        } else if (c == 'i' || c == 'j' || c == 'l' || c == '\'' || c == '|') {
            ems += 0.3;
        } else if (c == 'f' || c == 'r' || c == 't') {
            ems += 0.44;
        } else if (c == '%' || c == 'm' || c == 'w' || c == 'M' || c == 'W') {
            ems += bold ? 1.0 : 0.95;
        } else if ((c >= 'A' && c <= 'Z') || byte >= 0x80) {
            ems += bold ? 0.76 : 0.72;
        } else if (c >= '0' && c <= '9') {
            ems += bold ? 0.7 : 0.64;
        } else {
            ems += bold ? 0.66 : 0.62;
        }
    }
    return ems * fontSize;
}

std::string svgNumber(double value) {
    if (!std::isfinite(value)) return "0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

}  // namespace zv
