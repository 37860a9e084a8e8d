#include "uikit/controls/UIDocumentInteractionController.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

#include "foundation/AtomicReplace.h"
#include "foundation/DeviceFiles.h"
#include "foundation/NSPathUtilities.h"

namespace {

std::weak_ptr<UIDocumentInteractionController>& menuSlot() {
    static std::weak_ptr<UIDocumentInteractionController> slot;
    return slot;
}

std::string lowercase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// One plain path component: it names an entry of a folder and nothing else.
bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// Opens (making it first when missing) the folder `name` of the folder open
// as parentFd, refusing a symlink in its place; -1 on failure.
int openOwnFolder(int parentFd, const std::string& name) {
    if (::mkdirat(parentFd, name.c_str(), 0755) != 0 && errno != EEXIST) return -1;
    return ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Copies the bytes to Inbox/<application>/<fileName>. Below the device's
// folder nothing is followed: a symlink as the Inbox or as the
// application's folder fails the copy, and one in the file's place is
// replaced.
bool deliverToInbox(const std::string& application, const std::string& fileName, std::string_view bytes) {
    const std::filesystem::path inbox = resolveDevicePath(kOpenInInboxPath);
    std::error_code ec;
    std::filesystem::create_directories(inbox.parent_path(), ec);
    const int deviceFd = ::open(inbox.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (deviceFd < 0) return false;
    const int inboxFd = openOwnFolder(deviceFd, inbox.filename());
    ::close(deviceFd);
    if (inboxFd < 0) return false;
    const int applicationFd = openOwnFolder(inboxFd, application);
    ::close(inboxFd);
    if (applicationFd < 0) return false;
    const bool ok = replaceFileAt(applicationFd, fileName, bytes);
    ::close(applicationFd);
    return ok;
}

}  // namespace

std::string NSURL::lastPathComponent() const { return ::lastPathComponent(path); }

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
        // An application's name names its inbox folder: only a plain one is offered.
        if (takes && isPlainName(application)) handlers.push_back(application);
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
    const std::string fileName = url_.lastPathComponent();
    auto bytes = isPlainName(fileName) ? readHostFile(resolveDevicePath(url_.path)) : std::nullopt;
    if (!bytes) return "cannot read " + url_.path;
    if (!deliverToInbox(application, fileName, *bytes))
        return "cannot write to " + std::string(kOpenInInboxPath) + "/" + application;
    auto keepAlive = shared_from_this();
    menuSlot().reset();
    if (delegate_) delegate_->didEndSendingToApplication(*this, application);
    return "";
}

std::shared_ptr<UIDocumentInteractionController> UIDocumentInteractionController::menuOnScreen() {
    return menuSlot().lock();
}
