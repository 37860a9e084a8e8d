// The fixed text metric of sizeWithFont:constrainedToSize:lineBreakMode:.
#include <gtest/gtest.h>

#include <string>

#include "uikit/views/UIFont.h"

namespace {

const UIFont kTen = UIFont::systemFontOfSize(10);  // "a" is 5.2 wide, a space 2.8, a line 12 high

CGSize measure(const std::string& text, double width, double height = 0,
               NSLineBreakMode mode = NSLineBreakByWordWrapping) {
    return sizeWithFont(text, kTen, CGSize{width, height}, mode);
}

TEST(TextMeasurement, WordWrappingBreaksBetweenWordsWhenTheyDoNotFit) {
    // "aaaa aaaa" is 20.8 + 2.8 + 20.8 = 44.4 wide.
    EXPECT_EQ(measure("aaaa aaaa", 44.5), (CGSize{45, 12}));
    EXPECT_EQ(measure("aaaa aaaa", 44), (CGSize{21, 24}));
    // Spaces where the line breaks take no width on either line.
    EXPECT_EQ(measure("aaaa      aaaa", 30), (CGSize{21, 24}));
    // A word wider than the line breaks by characters: 10 x 5.2 in lines of 4.
    EXPECT_EQ(measure("aaaaaaaaaa", 21), (CGSize{21, 36}));
}

TEST(TextMeasurement, LinesParagraphsAndBounds) {
    EXPECT_EQ(measure("", 100), (CGSize{0, 0}));
    EXPECT_EQ(measure("a\n\na", 100), (CGSize{6, 36}));  // the empty line counts
    EXPECT_EQ(measure("aaaa aaaa", 0), (CGSize{45, 12}));  // no width limit
    // The height bound keeps whole lines, but at least one.
    EXPECT_EQ(measure("a\na\na\na", 100, 30).height, 24);
    EXPECT_EQ(measure("a\na", 100, 5).height, 12);
    // Truncating modes keep a paragraph on one line, no wider than the limit.
    EXPECT_EQ(measure("aaaa aaaa", 30, 0, NSLineBreakByTruncatingTail), (CGSize{30, 12}));
    // Character wrapping breaks inside words.
    EXPECT_EQ(measure("aaaa aaaa", 30, 0, NSLineBreakByCharWrapping).height, 24);
}

TEST(TextMeasurement, NarrowerWidthsNeverNeedFewerLines) {
    const std::string text =
        "* Tap on the Current profile to save it.\n\n* Tap on an Available profile to load it.\n\n"
        "* Tap and hold on a profile to share it (send via email, Copy to DropBox, etc.).";
    const UIFont font = UIFont::systemFontOfSize(14);
    double previous = 0;
    for (double width = 600; width >= 40; width -= 20) {
        CGSize size = sizeWithFont(text, font, CGSize{width, 20000}, NSLineBreakByWordWrapping);
        EXPECT_LE(size.width, width) << width;
        EXPECT_GE(size.height, previous) << width;
        previous = size.height;
    }
}

TEST(TextMeasurement, MalformedUtf8IsMeasuredNotRejected) {
    const CGSize size = measure(std::string("a\xFF\xC3", 3), 100);
    EXPECT_EQ(size.height, 12);
    EXPECT_GT(size.width, 5);
}

}  // namespace
