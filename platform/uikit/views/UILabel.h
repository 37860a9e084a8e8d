// A view showing text (UIKit's UILabel). Defaults as the platform's: black
// 17-point system font, left aligned, tail truncation, one line, clear
// background, no font shrinking.
#pragma once

#include <string>

#include "uikit/views/UIFont.h"
#include "uikit/views/UIView.h"

class UILabel : public UIView {
public:
    explicit UILabel(CGRect frame = {}) : UIView(frame) {}
    std::string className() const override { return "UILabel"; }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }

    UIColor textColor() const { return textColor_; }
    void setTextColor(UIColor color) { textColor_ = color; }

    UIFont font() const { return font_; }
    void setFont(UIFont font) { font_ = font; }

    NSTextAlignment textAlignment() const { return textAlignment_; }
    void setTextAlignment(NSTextAlignment alignment) { textAlignment_ = alignment; }

    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode mode) { lineBreakMode_ = mode; }

    // 0 means as many lines as the text needs.
    NSInteger numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(NSInteger lines) { numberOfLines_ = lines; }

    bool adjustsFontSizeToFitWidth() const { return adjustsFontSizeToFitWidth_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts) { adjustsFontSizeToFitWidth_ = adjusts; }

private:
    std::string text_;
    UIColor textColor_ = UIColor::blackColor();
    UIFont font_ = UIFont::systemFontOfSize(17);
    NSTextAlignment textAlignment_ = NSTextAlignmentLeft;
    NSLineBreakMode lineBreakMode_ = NSLineBreakByTruncatingTail;
    NSInteger numberOfLines_ = 1;
    bool adjustsFontSizeToFitWidth_ = false;
};
