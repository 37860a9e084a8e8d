#include "uikit/controls/UIAlertView.h"

#include <algorithm>

namespace {

// The screen's alerts, the one on screen first. The screen owns them while
// they are shown.
std::vector<std::shared_ptr<UIAlertView>>& screenQueue() {
    static std::vector<std::shared_ptr<UIAlertView>> queue;
    return queue;
}

}  // namespace

void UIAlertViewDelegate::didDismissWithButtonIndex(UIAlertView&, NSInteger) {}

std::shared_ptr<UIAlertView> UIAlertView::initWithTitle(std::optional<std::string> title,
                                                        std::optional<std::string> message,
                                                        std::weak_ptr<UIAlertViewDelegate> delegate,
                                                        std::optional<std::string> cancelButtonTitle,
                                                        std::vector<std::string> otherButtonTitles) {
    return std::make_shared<UIAlertView>(Token{}, std::move(title), std::move(message), std::move(delegate),
                                         std::move(cancelButtonTitle), std::move(otherButtonTitles));
}

UIAlertView::UIAlertView(Token, std::optional<std::string> title, std::optional<std::string> message,
                         std::weak_ptr<UIAlertViewDelegate> delegate, std::optional<std::string> cancelButtonTitle,
                         std::vector<std::string> otherButtonTitles)
    : title_(std::move(title)), message_(std::move(message)), delegate_(std::move(delegate)) {
    if (cancelButtonTitle) {
        hasCancelButton_ = true;
        buttonTitles_.push_back(std::move(*cancelButtonTitle));
    }
    for (auto& t : otherButtonTitles) buttonTitles_.push_back(std::move(t));
}

std::optional<std::string> UIAlertView::buttonTitleAtIndex(NSInteger index) const {
    if (index < 0 || index >= numberOfButtons()) return std::nullopt;
    return buttonTitles_[static_cast<std::size_t>(index)];
}

void UIAlertView::setAlertViewStyle(UIAlertViewStyle style) {
    style_ = style;
    textFields_.clear();
    int count = 0;
    if (style == UIAlertViewStylePlainTextInput || style == UIAlertViewStyleSecureTextInput) count = 1;
    if (style == UIAlertViewStyleLoginAndPasswordInput) count = 2;
    for (int i = 0; i < count; ++i) textFields_.push_back(std::make_shared<UITextField>());
}

UITextField* UIAlertView::textFieldAtIndex(NSInteger index) const {
    if (index < 0 || index >= static_cast<NSInteger>(textFields_.size())) return nullptr;
    return textFields_[static_cast<std::size_t>(index)].get();
}

void UIAlertView::show() {
    auto& queue = screenQueue();
    auto self = shared_from_this();
    if (std::find(queue.begin(), queue.end(), self) == queue.end()) queue.push_back(std::move(self));
}

bool UIAlertView::isVisible() const {
    const auto& queue = screenQueue();
    return !queue.empty() && queue.front().get() == this;
}

void UIAlertView::dismissWithButtonIndex(NSInteger buttonIndex, bool /*animated*/) {
    auto& queue = screenQueue();
    auto it = std::find_if(queue.begin(), queue.end(), [this](const auto& a) { return a.get() == this; });
    if (it == queue.end()) return;
    auto self = *it;  // the screen held the last reference, maybe
    queue.erase(it);
    if (auto delegate = delegate_.lock()) delegate->didDismissWithButtonIndex(*this, buttonIndex);
}

std::shared_ptr<UIAlertView> UIAlertView::alertOnScreen() {
    auto& queue = screenQueue();
    return queue.empty() ? nullptr : queue.front();
}

std::vector<std::shared_ptr<UIAlertView>> UIAlertView::queuedAlerts() { return screenQueue(); }
