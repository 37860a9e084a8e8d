// A one-line text input (UIKit's UITextField); here only its text, which the
// user types (through the Settings application's control channel).
#pragma once

#include <string>

#include "uikit/views/UIView.h"

class UITextField : public UIView {
public:
    using UIView::UIView;
    std::string className() const override { return "UITextField"; }

    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }

    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder) { placeholder_ = std::move(placeholder); }

private:
    std::string text_;
    std::string placeholder_;
};
