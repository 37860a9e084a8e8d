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

double estimatedTextWidth(std::string_view text, double fontSize) {
    // Advances of a common sans-serif face, in ems, by kind of character.
    double ems = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80) continue;  // continuation byte of a character already counted
        if (c == ' ' || c == ':' || c == '.' || c == ',') {
            ems += 0.32;
        } else if (c == '%' || c == 'm' || c == 'w' || c == 'M' || c == 'W') {
            ems += 0.95;
        } else if ((c >= 'A' && c <= 'Z') || byte >= 0x80) {
            ems += 0.72;
        } else if (c >= '0' && c <= '9') {
            ems += 0.64;
        } else {
            ems += 0.58;
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
