// List pages built from a bundle's specifier resource, and the navigation
// stack that opens pages by class name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BundleTestRoot.h"
#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"
#include "preferences/PSListController.h"
#include "preferences/PSRootController.h"
#include "preferences/PSTableCell.h"
#include "preferences/PageRegistry.h"

namespace {

constexpr const char* kBundle = "/prefs-unit/Test.bundle";

std::vector<std::string>& events() {
    static std::vector<std::string> e;
    return e;
}

// A list page as a bundle writes one: specifiers from its resource, values
// kept in memory, one action.
class TestListPage : public PSListController {
public:
    PlistDictionary values;
    int respringRequests = 0;

    const std::vector<PSSpecifier>& specifiers() override {
        if (_specifiers.empty()) _specifiers = loadSpecifiersFromPlistName("Test", this);
        return _specifiers;
    }
    std::optional<PlistValue> readPreferenceValue(const PSSpecifier& specifier) override {
        if (const PlistValue* v = plistLookup(values, specifier.stringProperty("key"))) return *v;
        return PSListController::readPreferenceValue(specifier);
    }
    void setPreferenceValue(const PlistValue& value, const PSSpecifier& specifier) override {
        values[specifier.stringProperty("key")] = value;
    }
    bool performAction(const std::string& action) override {
        if (action != "respringButton") return false;
        ++respringRequests;
        return true;
    }
};

class DetailPage : public PSViewController {
public:
    bool init() override {
        events().push_back("init");
        return PSViewController::init();
    }
    void viewDidLoad() override { events().push_back("viewDidLoad"); }
    void viewWillAppear(bool) override { events().push_back("detail appears"); }
    void viewWillDisappear(bool) override { events().push_back("detail disappears"); }
};

class FailingPage : public PSViewController {
public:
    bool init() override { return false; }
};

void writeResource() {
    PlistArray items;
    items.push_back(PlistDictionary{{"cell", "PSSwitchCell"}, {"label", "Loose"}, {"key", "loose"}});
    items.push_back(PlistDictionary{{"cell", "PSGroupCell"}, {"label", "Main"}, {"footerText", "Help."}});
    items.push_back(PlistDictionary{{"cell", "PSSwitchCell"}, {"label", "Enabled"}, {"key", "enabled"}, {"default", true}});
    items.push_back(PlistValue("not a dictionary"));
    items.push_back(PlistDictionary{{"cell", "PSLinkCell"}, {"label", "Detail"}, {"detail", "PrefsUnitDetailPage"}});
    items.push_back(PlistDictionary{{"cell", "PSLinkCell"}, {"label", "Broken"}, {"detail", "PrefsUnitFailingPage"}});
    items.push_back(PlistDictionary{{"cell", "PSButtonCell"}, {"label", "Respring"}, {"action", "respringButton"}});
    items.push_back(PlistDictionary{{"cell", "PSGroupCell"}});
    const std::string folder = resolveDevicePath(kBundle);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(writeHostFileAtomically(folder + "/Test.plist",
                                        plistToXml(PlistDictionary{{"title", "Test"}, {"items", items}})));
}

struct ListPageFixture : ::testing::Test {
    PSRootController navigation{CGSize{320, 568}};
    std::shared_ptr<TestListPage> root;

    void SetUp() override {
        ASSERT_FALSE(zv::test::kUnitDeviceRoot.empty());
        writeResource();
        PageRegistry::registerPage<DetailPage>("PrefsUnitDetailPage");
        PageRegistry::registerPage<FailingPage>("PrefsUnitFailingPage");
        events().clear();
        root = std::make_shared<TestListPage>();
        root->setBundlePath(kBundle);
        ASSERT_TRUE(root->initForContentSize(CGSize{320, 568}));
        navigation.pushController(root);
    }
};

TEST_F(ListPageFixture, SectionsRowsAndValuesComeFromTheResource) {
    UITableView* table = root->table();
    ASSERT_NE(table, nullptr);
    const auto& sections = table->sections();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_FALSE(sections[0].headerTitle);  // rows before the first group
    EXPECT_EQ(sections[1].headerTitle, "Main");
    EXPECT_EQ(sections[1].footerTitle, "Help.");
    ASSERT_EQ(sections[1].cells.size(), 4u);  // the non-dictionary item is skipped
    EXPECT_EQ(sections[2].cells.size(), 0u);
    EXPECT_EQ(root->title(), "Test");

    auto enabled = std::dynamic_pointer_cast<PSTableCell>(sections[1].cells[0]);
    ASSERT_TRUE(enabled);
    EXPECT_EQ(enabled->textLabel()->text(), "Enabled");
    EXPECT_EQ(enabled->value(), PlistValue(true));  // the "default" while nothing is stored
    auto loose = std::dynamic_pointer_cast<PSTableCell>(sections[0].cells[0]);
    EXPECT_FALSE(loose->value());  // neither stored nor defaulted

    // The switch takes a value; the page stores it; a reload reads it back.
    EXPECT_EQ(root->userSetValue({1, 0}, PlistValue(false)), "");
    EXPECT_EQ(root->values["enabled"], PlistValue(false));
    root->reload();
    EXPECT_EQ(std::dynamic_pointer_cast<PSTableCell>(table->cellForRowAtIndexPath({1, 0}))->value(), PlistValue(false));
    EXPECT_NE(root->userSetValue({1, 1}, PlistValue(true)), "");  // a link has no control
    EXPECT_NE(root->userSetValue({1, 0}, PlistValue("yes")), "");  // a switch takes a boolean
}

TEST_F(ListPageFixture, LinkRowsOpenPagesByClassNameAndButtonsAct) {
    ASSERT_EQ(root->table()->userSelectRow({1, 1}), "");
    ASSERT_EQ(navigation.controllers().size(), 2u);
    EXPECT_EQ(navigation.topController()->specifier().stringProperty("detail"), "PrefsUnitDetailPage");
    EXPECT_EQ(navigation.topController()->contentSize(), (CGSize{320, 568}));
    EXPECT_EQ(events(), (std::vector<std::string>{"init", "viewDidLoad", "detail appears"}));
    EXPECT_FALSE(root->table()->indexPathForSelectedRow());  // deselected after the tap

    EXPECT_TRUE(navigation.popController());
    EXPECT_FALSE(navigation.popController());  // the root stays
    EXPECT_EQ(events().back(), "detail disappears");

    // A page that fails to initialise is not pushed.
    std::string error;
    EXPECT_FALSE(root->openLink(*root->specifierAtIndexPath({1, 2}), &error));
    EXPECT_NE(error, "");
    EXPECT_EQ(navigation.controllers().size(), 1u);

    ASSERT_EQ(root->table()->userSelectRow(*root->indexPathForLabel("Respring")), "");
    EXPECT_EQ(root->respringRequests, 1);
}

TEST(ListPage, MissingResourceGivesNoRows) {
    auto page = std::make_shared<TestListPage>();
    page->setBundlePath("/prefs-unit/Missing.bundle");
    ASSERT_TRUE(page->initForContentSize(CGSize{320, 568}));
    EXPECT_TRUE(page->specifiers().empty());
    EXPECT_EQ(page->table()->numberOfSections(), 0);
    EXPECT_FALSE(PageRegistry::create("PrefsUnitNoSuchPage"));
}

}  // namespace
