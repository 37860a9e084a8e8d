// uikit/controls/ stands in for UIKit's interactive pieces the Settings pages
// use: alerts with their text field, the long-press gesture recogniser and
// the open-in menu (UIDocumentInteractionController).
//
// A modal alert (UIKit's UIAlertView): title, message, a cancel button and
// other buttons, an integer tag, an optional plain text field and an
// attached value. The screen shows one alert at a time: show() queues the
// alert, the first queued is the one on screen (alertOnScreen). The user
// closes it with a button (dismissWithButtonIndex): the alert leaves the
// screen first, then its delegate learns the index, so an alert the delegate
// shows then comes next.
//
// Buttons are numbered from 0: the cancel button first (when there is one),
// then the others in order.
//
// The delegate is held weakly: a page that is gone by the time its alert is
// dismissed is simply not told.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "uikit/CGGeometry.h"
#include "uikit/controls/UITextField.h"

class UIAlertView;

class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    // alertView:didDismissWithButtonIndex:. Default: nothing.
    virtual void didDismissWithButtonIndex(UIAlertView& alertView, NSInteger buttonIndex);
};

enum UIAlertViewStyle : NSInteger {
    UIAlertViewStyleDefault = 0,
    UIAlertViewStyleSecureTextInput = 1,
    UIAlertViewStylePlainTextInput = 2,
    UIAlertViewStyleLoginAndPasswordInput = 3,
};

class UIAlertView : public std::enable_shared_from_this<UIAlertView> {
    struct Token {};

public:
    // initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:.
    static std::shared_ptr<UIAlertView> initWithTitle(std::optional<std::string> title,
                                                      std::optional<std::string> message,
                                                      std::weak_ptr<UIAlertViewDelegate> delegate,
                                                      std::optional<std::string> cancelButtonTitle,
                                                      std::vector<std::string> otherButtonTitles);
    UIAlertView(Token, std::optional<std::string> title, std::optional<std::string> message,
                std::weak_ptr<UIAlertViewDelegate> delegate, std::optional<std::string> cancelButtonTitle,
                std::vector<std::string> otherButtonTitles);

    const std::optional<std::string>& title() const { return title_; }
    const std::optional<std::string>& message() const { return message_; }
    std::shared_ptr<UIAlertViewDelegate> delegate() const { return delegate_.lock(); }

    NSInteger numberOfButtons() const { return static_cast<NSInteger>(buttonTitles_.size()); }
    // -1 when there is no cancel button.
    NSInteger cancelButtonIndex() const { return hasCancelButton_ ? 0 : -1; }
    // Empty for an index out of range.
    std::optional<std::string> buttonTitleAtIndex(NSInteger index) const;
    const std::vector<std::string>& buttonTitles() const { return buttonTitles_; }

    NSInteger tag() const { return tag_; }
    void setTag(NSInteger tag) { tag_ = tag; }

    const std::optional<std::string>& accessibilityValue() const { return accessibilityValue_; }
    void setAccessibilityValue(std::optional<std::string> value) { accessibilityValue_ = std::move(value); }

    // The plain and secure input styles have one text field, the login style
    // two; each starts empty. Changing the style makes new fields.
    UIAlertViewStyle alertViewStyle() const { return style_; }
    void setAlertViewStyle(UIAlertViewStyle style);
    // The text field at the index; null when the style has none there.
    UITextField* textFieldAtIndex(NSInteger index) const;

    // Puts the alert on the screen's queue (once; showing it again while it
    // is queued changes nothing).
    void show();
    bool isVisible() const;
    // Takes the alert off the screen and tells the delegate, whatever the
    // index (the platform reports any index it is given). Does nothing when
    // the alert is not on the screen's queue.
    void dismissWithButtonIndex(NSInteger buttonIndex, bool animated);

    // The alert on screen, null when none.
    static std::shared_ptr<UIAlertView> alertOnScreen();
    // Every alert shown and not yet dismissed, the one on screen first.
    static std::vector<std::shared_ptr<UIAlertView>> queuedAlerts();

private:
    std::optional<std::string> title_;
    std::optional<std::string> message_;
    std::weak_ptr<UIAlertViewDelegate> delegate_;
    bool hasCancelButton_ = false;
    std::vector<std::string> buttonTitles_;
    NSInteger tag_ = 0;
    std::optional<std::string> accessibilityValue_;
    UIAlertViewStyle style_ = UIAlertViewStyleDefault;
    std::vector<std::shared_ptr<UITextField>> textFields_;
};
