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
