#include "uikit/views/UIFont.h"

#include "foundation/Utf8.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

bool isSpace(char32_t c) { return c == U' ' || c == U'\t'; }

struct Lines {
    std::vector<double> widths;
};

// Word wrapping of one paragraph: words are placed greedily; the spaces
// before a word that starts a new line are dropped, trailing spaces take no
// width, and a word wider than the line is broken by characters.
void wrapWords(const std::u32string& para, const UIFont& font, double limit, Lines& out) {
    double lineWidth = 0;   // up to the end of the last word placed
    double pending = 0;     // spaces after it
    bool lineHasWord = false;
    std::size_t i = 0;
    while (i < para.size()) {
        if (isSpace(para[i])) {
            pending += characterAdvance(para[i], font);
            ++i;
            continue;
        }
        std::size_t end = i;
        double wordWidth = 0;
        while (end < para.size() && !isSpace(para[end])) wordWidth += characterAdvance(para[end++], font);

        if (lineWidth + pending + wordWidth <= limit) {
            lineWidth += pending + wordWidth;
        } else {
            if (lineHasWord) {
                out.widths.push_back(lineWidth);
                lineWidth = 0;
            }
            if (wordWidth <= limit) {
                lineWidth = wordWidth;
            } else {
                // Too wide for any line: break it by characters.
                lineWidth = 0;
                for (std::size_t k = i; k < end; ++k) {
                    double a = characterAdvance(para[k], font);
                    if (lineWidth > 0 && lineWidth + a > limit) {
                        out.widths.push_back(lineWidth);
                        lineWidth = 0;
                    }
                    lineWidth += a;
                }
            }
        }
        pending = 0;
        lineHasWord = true;
        i = end;
    }
    out.widths.push_back(lineWidth);
}

void wrapCharacters(const std::u32string& para, const UIFont& font, double limit, Lines& out) {
    double lineWidth = 0;
    for (char32_t c : para) {
        double a = characterAdvance(c, font);
        if (lineWidth > 0 && lineWidth + a > limit) {
            out.widths.push_back(lineWidth);
            lineWidth = 0;
        }
        lineWidth += a;
    }
    out.widths.push_back(lineWidth);
}

double trimmedWidth(const std::u32string& para, const UIFont& font) {
    std::size_t end = para.size();
    while (end > 0 && isSpace(para[end - 1])) --end;
    double w = 0;
    for (std::size_t k = 0; k < end; ++k) w += characterAdvance(para[k], font);
    return w;
}

}  // namespace

double characterAdvance(char32_t c, const UIFont& font) {
    static const std::u32string narrow = U"iljtfr.,:;'!|()[]{}I`";
    static const std::u32string wide = U"mwMW@%";
    double em;
    if (isSpace(c)) em = 0.28;
    else if (narrow.find(c) != std::u32string::npos) em = 0.30;
    else if (wide.find(c) != std::u32string::npos) em = 0.86;
    else if (c >= U'0' && c <= U'9') em = 0.56;
    else if (c >= U'A' && c <= U'Z') em = 0.66;
    else if (c >= U'a' && c <= U'z') em = 0.52;
    else if (c < 0x80) em = 0.45;
    else em = 0.60;
    return em * font.pointSize;
}

double widthOfText(std::string_view utf8, const UIFont& font) {
    double w = 0;
    for (char32_t c : decodeUtf8(utf8)) w += characterAdvance(c, font);
    return w;
}

CGSize sizeWithFont(std::string_view utf8, const UIFont& font, CGSize size, NSLineBreakMode lineBreakMode) {
    if (utf8.empty()) return CGSize{0, 0};
    const double limit = size.width > 0 ? size.width : std::numeric_limits<double>::infinity();

    Lines lines;
    std::u32string all = decodeUtf8(utf8);
    std::u32string para;
    auto flush = [&] {
        switch (lineBreakMode) {
            case NSLineBreakByWordWrapping: wrapWords(para, font, limit, lines); break;
            case NSLineBreakByCharWrapping: wrapCharacters(para, font, limit, lines); break;
            default: lines.widths.push_back(std::min(trimmedWidth(para, font), limit)); break;
        }
        para.clear();
    };
    for (char32_t c : all) {
        if (c == U'\n') flush();
        else para.push_back(c);
    }
    flush();

    std::size_t kept = lines.widths.size();
    const double lineHeight = font.lineHeight();
    if (size.height > 0 && lineHeight > 0) {
        auto fit = static_cast<std::size_t>(std::floor(size.height / lineHeight + 1e-9));
        kept = std::min(kept, std::max<std::size_t>(fit, 1));
    }
    double width = 0;
    for (std::size_t k = 0; k < kept; ++k) width = std::max(width, lines.widths[k]);
    return CGSize{std::ceil(width - 1e-9), std::ceil(static_cast<double>(kept) * lineHeight - 1e-9)};
}
