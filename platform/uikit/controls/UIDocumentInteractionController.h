// The open-in menu (UIKit's UIDocumentInteractionController): offers a file
// to the other applications of the device that can take it.
//
// The device's applications and the file types they take are listed in the
// device file kOpenInHandlersPath: a dictionary from an application's name
// to an array of file extensions it opens ("plist", compared without case;
// "*" for any file). A missing or unreadable list means no application can
// take anything; an application whose name is not one plain path component
// (empty, ".", "..", holding "/" or a NUL) is never offered. The file itself
// is not looked at when the menu opens.
//
// Presenting puts the controller in the screen's one open-in slot
// (menuOnScreen). The user then chooses an application, which hands the file
// over (a copy lands in kOpenInInboxPath/<application>/, made without
// following any symlink below the device's folder of the Inbox), or
// dismisses the menu. The delegate is not owned: the page that sets it owns the controller.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "uikit/CGGeometry.h"

class UIView;

inline constexpr const char* kOpenInHandlersPath = "/var/mobile/Library/ZorvaneDevice/OpenInHandlers.plist";
inline constexpr const char* kOpenInInboxPath = "/var/mobile/Library/ZorvaneDevice/Inbox";

// A file URL (Foundation's NSURL, only what is needed here).
struct NSURL {
    std::string path;  // a device path

    static NSURL fileURLWithPath(std::string path) { return NSURL{std::move(path)}; }
    // "file://" followed by the path.
    std::string absoluteString() const { return "file://" + path; }
    // The last path component, "" for none.
    std::string lastPathComponent() const;
    // The extension of the last path component without its dot, "" for none.
    std::string pathExtension() const;
};

// The applications of the device that open a file of this name, in the
// order of their names.
std::vector<std::string> openInHandlersForFile(std::string_view fileName);

class UIDocumentInteractionController;

class UIDocumentInteractionControllerDelegate {
public:
    virtual ~UIDocumentInteractionControllerDelegate() = default;
    // Defaults: nothing.
    virtual void didEndSendingToApplication(UIDocumentInteractionController& controller,
                                            const std::string& application);
    virtual void didDismissOptionsMenu(UIDocumentInteractionController& controller);
};

class UIDocumentInteractionController : public std::enable_shared_from_this<UIDocumentInteractionController> {
    struct Token {};

public:
    static std::shared_ptr<UIDocumentInteractionController> interactionControllerWithURL(NSURL url);
    UIDocumentInteractionController(Token, NSURL url) : url_(std::move(url)) {}
    ~UIDocumentInteractionController();

    const NSURL& URL() const { return url_; }
    UIDocumentInteractionControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(UIDocumentInteractionControllerDelegate* delegate) { delegate_ = delegate; }

    // presentOptionsMenuFromRect:inView:animated:. NO, and nothing shown, when
    // no application of the device takes the file; otherwise the menu is on
    // screen (replacing any other menu) and the result is YES.
    bool presentOptionsMenuFromRect(CGRect rect, UIView* view, bool animated);
    void dismissMenuAnimated(bool animated);

    // While presented: the applications offered and where the menu came from.
    const std::vector<std::string>& handlers() const { return handlers_; }
    CGRect presentedFromRect() const { return presentedFrom_; }

    // The user picks an application: the file is copied into that
    // application's inbox folder, the menu closes, the delegate is told.
    // Empty on success, else why not (not offered, the file cannot be read).
    std::string chooseHandler(const std::string& application);

    // The menu on screen, null when none. The screen does not keep the
    // controller alive: the page that presented it does.
    static std::shared_ptr<UIDocumentInteractionController> menuOnScreen();

private:
    NSURL url_;
    UIDocumentInteractionControllerDelegate* delegate_ = nullptr;
    std::vector<std::string> handlers_;
    CGRect presentedFrom_;
};
