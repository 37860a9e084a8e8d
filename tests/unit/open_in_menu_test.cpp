// The open-in menu: which of the device's applications take a file, and
// handing a file over.
#include <gtest/gtest.h>

#include <filesystem>

#include "BundleTestRoot.h"
#include "control/DevicePaths.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"
#include "uikit/controls/UIDocumentInteractionController.h"

namespace {

namespace fs = std::filesystem;

class Recorder : public UIDocumentInteractionControllerDelegate {
public:
    std::vector<std::string> sentTo;
    void didEndSendingToApplication(UIDocumentInteractionController&, const std::string& app) override {
        sentTo.push_back(app);
    }
};

struct OpenInFixture : ::testing::Test {
    void SetUp() override {
        ASSERT_FALSE(zv::test::kUnitDeviceRoot.empty());
        fs::remove_all(resolveDevicePath("/var/mobile/Library/ZorvaneDevice"));
    }
    void TearDown() override {
        if (auto menu = UIDocumentInteractionController::menuOnScreen()) menu->dismissMenuAnimated(false);
        fs::remove_all(resolveDevicePath("/var/mobile/Library/ZorvaneDevice"));
    }
    static void registerHandlers(const PlistDictionary& handlers) {
        fs::create_directories(resolveDevicePath("/var/mobile/Library/ZorvaneDevice"));
        ASSERT_TRUE(writeToFile(handlers, kOpenInHandlersPath));
    }
};

TEST_F(OpenInFixture, HandlersAreChosenByExtension) {
    EXPECT_TRUE(openInHandlersForFile("a.plist").empty());  // no list: nobody
    registerHandlers({{"Notes", PlistArray{"txt"}},
                      {"Dropbox", PlistArray{".PLIST", "txt"}},
                      {"Mail", PlistArray{"*"}},
                      {"Broken", PlistValue("plist")}});
    EXPECT_EQ(openInHandlersForFile("net.quellit.zorvane.plist"), (std::vector<std::string>{"Dropbox", "Mail"}));
    EXPECT_EQ(openInHandlersForFile("README"), (std::vector<std::string>{"Mail"}));
    EXPECT_EQ(openInHandlersForFile("x.TXT"), (std::vector<std::string>{"Dropbox", "Mail", "Notes"}));
}

TEST_F(OpenInFixture, PresentingAnswersNoWithoutHandlers) {
    auto menu = UIDocumentInteractionController::interactionControllerWithURL(
        NSURL::fileURLWithPath("/var/mobile/Library/Preferences/net.quellit.zorvane.plist"));
    EXPECT_FALSE(menu->presentOptionsMenuFromRect(CGRectMake(0, 0, 320, 568), nullptr, true));
    EXPECT_FALSE(UIDocumentInteractionController::menuOnScreen());
}

TEST_F(OpenInFixture, ChoosingAnApplicationHandsTheFileOver) {
    registerHandlers({{"Mail", PlistArray{"*"}}});
    fs::create_directories(resolveDevicePath(zv::control::kPreferencesFolder));
    ASSERT_TRUE(writeHostFileAtomically(resolveDevicePath("/var/mobile/Library/Preferences/p.plist"), "bytes"));

    Recorder delegate;
    auto menu = UIDocumentInteractionController::interactionControllerWithURL(
        NSURL::fileURLWithPath("/var/mobile/Library/Preferences/p.plist"));
    menu->setDelegate(&delegate);
    ASSERT_TRUE(menu->presentOptionsMenuFromRect(CGRectMake(0, 0, 320, 568), nullptr, true));
    EXPECT_EQ(UIDocumentInteractionController::menuOnScreen(), menu);
    EXPECT_NE(menu->chooseHandler("Dropbox"), "");  // not offered

    EXPECT_EQ(menu->chooseHandler("Mail"), "");
    EXPECT_EQ(readHostFile(resolveDevicePath(std::string(kOpenInInboxPath) + "/Mail/p.plist")), "bytes");
    EXPECT_EQ(delegate.sentTo, (std::vector<std::string>{"Mail"}));
    EXPECT_FALSE(UIDocumentInteractionController::menuOnScreen());

    // The screen does not keep a menu alive: its controller does.
    auto other = UIDocumentInteractionController::interactionControllerWithURL(NSURL::fileURLWithPath("/nowhere/x"));
    ASSERT_TRUE(other->presentOptionsMenuFromRect({}, nullptr, true));
    EXPECT_NE(other->chooseHandler("Mail"), "");  // the file cannot be read: the menu stays
    EXPECT_EQ(UIDocumentInteractionController::menuOnScreen(), other);
    other.reset();
    EXPECT_FALSE(UIDocumentInteractionController::menuOnScreen());
}

}  // namespace
