#include "uikit/controls/UIDocumentInteractionController.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "foundation/DeviceFiles.h"

namespace {

std::weak_ptr<UIDocumentInteractionController>& menuSlot() {
    static std::weak_ptr<UIDocumentInteractionController> slot;
    return slot;
}

std::string lowercase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

std::string NSURL::lastPathComponent() const {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string NSURL::pathExtension() const {
    std::string name = lastPathComponent();
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return "";
    return name.substr(dot + 1);
}

std::vector<std::string> openInHandlersForFile(std::string_view fileName) {
    std::vector<std::string> handlers;
    auto registry = dictionaryWithContentsOfFile(kOpenInHandlersPath);
    if (!registry) return handlers;
    const std::string extension = lowercase(NSURL::fileURLWithPath(std::string(fileName)).pathExtension());
    for (const auto& [application, value] : *registry) {
        const PlistArray* extensions = value.array();
        if (!extensions) continue;
        const bool takes = std::any_of(extensions->begin(), extensions->end(), [&](const PlistValue& e) {
            const std::string* text = e.string();
            if (!text) return false;
            std::string wanted = lowercase(*text);
            if (!wanted.empty() && wanted.front() == '.') wanted.erase(0, 1);
            return wanted == "*" || (!extension.empty() && wanted == extension);
        });
        if (takes) handlers.push_back(application);
    }
    return handlers;
}

void UIDocumentInteractionControllerDelegate::didEndSendingToApplication(UIDocumentInteractionController&,
                                                                         const std::string&) {}
void UIDocumentInteractionControllerDelegate::didDismissOptionsMenu(UIDocumentInteractionController&) {}

std::shared_ptr<UIDocumentInteractionController> UIDocumentInteractionController::interactionControllerWithURL(NSURL url) {
    return std::make_shared<UIDocumentInteractionController>(Token{}, std::move(url));
}

UIDocumentInteractionController::~UIDocumentInteractionController() = default;

bool UIDocumentInteractionController::presentOptionsMenuFromRect(CGRect rect, UIView* /*view*/, bool /*animated*/) {
    handlers_ = openInHandlersForFile(url_.lastPathComponent());
    if (handlers_.empty()) return false;
    presentedFrom_ = rect;
    menuSlot() = weak_from_this();
    return true;
}

void UIDocumentInteractionController::dismissMenuAnimated(bool /*animated*/) {
    if (menuSlot().lock().get() != this) return;
    menuSlot().reset();
    if (delegate_) delegate_->didDismissOptionsMenu(*this);
}

std::string UIDocumentInteractionController::chooseHandler(const std::string& application) {
    if (menuSlot().lock().get() != this) return "the menu is not on screen";
    if (std::find(handlers_.begin(), handlers_.end(), application) == handlers_.end())
        return "the menu does not offer " + application;
    auto bytes = readHostFile(resolveDevicePath(url_.path));
    if (!bytes) return "cannot read " + url_.path;
    const std::string inbox = std::string(kOpenInInboxPath) + "/" + application;
    std::error_code ec;
    std::filesystem::create_directories(resolveDevicePath(inbox), ec);
    if (!writeHostFileAtomically(resolveDevicePath(inbox + "/" + url_.lastPathComponent()), *bytes))
        return "cannot write to " + inbox;
    auto keepAlive = shared_from_this();
    menuSlot().reset();
    if (delegate_) delegate_->didEndSendingToApplication(*this, application);
    return "";
}

std::shared_ptr<UIDocumentInteractionController> UIDocumentInteractionController::menuOnScreen() {
    return menuSlot().lock();
}
