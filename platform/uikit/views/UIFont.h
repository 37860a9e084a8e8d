// The system font and text measurement (UIKit's UIFont and NSString's
// sizeWithFont:constrainedToSize:lineBreakMode:).
//
// There are no real glyphs here, so measurement uses a fixed, documented
// metric (docs/settings-framework.md): each character advances by a fraction
// of the point size chosen by its class (space, narrow, digit, upper case,
// wide, other), and a line is 1.2 point sizes high. The results are
// deterministic and plausible for the platform's system font.
#pragma once

#include <string_view>

#include "uikit/CGGeometry.h"

enum NSLineBreakMode : NSInteger {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping = 1,
    NSLineBreakByClipping = 2,
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4,
    NSLineBreakByTruncatingMiddle = 5,
};

enum NSTextAlignment : NSInteger {
    NSTextAlignmentLeft = 0,
    NSTextAlignmentCenter = 1,
    NSTextAlignmentRight = 2,
};

struct UIFont {
    double pointSize = 17;

    static UIFont systemFontOfSize(double pointSize) { return UIFont{pointSize}; }
    // The height of one line of text in this font.
    double lineHeight() const { return pointSize * 1.2; }

    bool operator==(const UIFont&) const = default;
};

// The advance of one character (a Unicode code point) in the font.
double characterAdvance(char32_t codePoint, const UIFont& font);
// The width of one line of text, without wrapping.
double widthOfText(std::string_view utf8, const UIFont& font);

// The size the text takes in the font when laid out within `size`:
// - "\n" always starts a new line; an empty line still takes a line's height;
// - word wrapping breaks between words (at spaces) and breaks a word that is
//   wider than the line by characters; character wrapping breaks anywhere;
//   the clipping and truncating modes keep each paragraph on one line;
// - a width of 0 or less means no width limit; the height is bounded by
//   size.height (whole lines only, at least one line when the text is not
//   empty), and a height of 0 or less means no height limit;
// - both results are rounded up to whole points; empty text measures 0 x 0.
CGSize sizeWithFont(std::string_view utf8, const UIFont& font, CGSize size, NSLineBreakMode lineBreakMode);
