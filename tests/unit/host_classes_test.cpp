// The simulated host's own pieces that the plug-in's behaviour is observed
// through: image contexts (the transparent glyph), the call trace's text,
// and the status bar's arrangement of its items' answers.
#include <gtest/gtest.h>

#include "runtime/ClassDefinition.h"
#include "uikit/AutoreleasePool.h"
#include "uikit/HostTrace.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIKitClasses.h"
#include "uikit/statusbar/UIStatusBar.h"

namespace {

using namespace zv::platform;

std::vector<std::int32_t> types(const std::vector<StatusBarPlacement>& region) {
    std::vector<std::int32_t> result;
    for (const auto& p : region) result.push_back(p.type);
    return result;
}

std::shared_ptr<const ImageBitmap> bitmapOf(id image) {
    return image ? asHostObject<UIImage>(image).bitmap : nullptr;
}

class HostClasses : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerUIKitClasses(); }
    void TearDown() override { drainAutoreleasePool(); }
};

TEST_F(HostClasses, ImageContextStartsTransparentAndClearFillKeepsItSo) {
    UIGraphicsBeginImageContext(CGSize{5.1, 5.0});
    CGContextRef context = UIGraphicsGetCurrentContext();
    ASSERT_NE(context, nullptr);
    CGContextSetFillColorWithColor(context, UIColorGetCGColor(UIColor::clearColor()));
    CGContextFillRect(context, CGRectMake(0, 0, 5.1, 5.0));
    auto bitmap = bitmapOf(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsEndImageContext();
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->size, (CGSize{5.1, 5.0}));
    EXPECT_EQ(bitmap->scale, 1.0);
    EXPECT_EQ(bitmap->pixelWidth, 6);
    EXPECT_EQ(bitmap->pixelHeight, 5);
    EXPECT_TRUE(bitmap->isFullyTransparent());
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
}

TEST_F(HostClasses, FillCoversPixelsWhoseCentresLieInsideAndContextsNest) {
    UIGraphicsBeginImageContextWithOptions(CGSize{4, 2}, false, 2.0);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColorGetCGColor(UIColor::blackColor()));
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(1, 0, 1.2, 2));

    UIGraphicsBeginImageContext(CGSize{1, 1});  // nested, left untouched
    auto inner = bitmapOf(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsEndImageContext();

    auto outer = bitmapOf(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsEndImageContext();
    ASSERT_TRUE(inner && outer);
    EXPECT_TRUE(inner->isFullyTransparent());
    ASSERT_EQ(outer->pixelWidth, 8);
    ASSERT_EQ(outer->pixelHeight, 4);
    // x from 2 to 4.4 pixels: columns 2, 3 (centres 2.5, 3.5) and not 4 (4.5).
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(outer->pixels[static_cast<std::size_t>(x)] >> 24, (x == 2 || x == 3) ? 0xffu : 0u) << x;
    EXPECT_FALSE(outer->isFullyTransparent());
}

TEST_F(HostClasses, ImageSetKeepsTheImageAfterThePoolIsDrained) {
    auto set = makeObject<UILegibilityImageSet>("_UILegibilityImageSet");
    UIGraphicsBeginImageContext(CGSize{2, 2});
    id image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    objc_msgSend(set.get(), sel_registerName("setImage:"), image);
    drainAutoreleasePool();
    ASSERT_TRUE(set->image);
    EXPECT_EQ(set->image->size, (CGSize{2, 2}));
    objc_msgSend(set.get(), sel_registerName("setImage:"), static_cast<id>(nullptr));
    EXPECT_FALSE(set->image);
}

TEST_F(HostClasses, TraceWritesEachArgumentAfterItsKeyword) {
    Class cls = defineClass("TraceProbe");
    objc_object probe;
    object_setClass(&probe, cls);
    clearHostTrace();
    recordHostCall(&probe, sel_registerName("_setItem:enabled:"), {TraceArgument::integer(7), TraceArgument::boolean(false)});
    recordHostCall(class_asObject(cls), sel_registerName("sharedInstance"));
    recordHostCall(&probe, sel_registerName("updateStatusBarItem:"), {TraceArgument::integer(-3)});
    recordHostCall(nullptr, sel_registerName("statusBar"));
    std::vector<std::string> texts;
    for (const auto& entry : hostTrace()) texts.push_back(entry.text());
    EXPECT_EQ(texts, (std::vector<std::string>{"-[TraceProbe _setItem:7 enabled:NO]", "+[TraceProbe sharedInstance]",
                                               "-[TraceProbe updateStatusBarItem:-3]", "-[nil statusBar]"}));
    clearHostTrace();
}

TEST_F(HostClasses, StatusBarArrangesDefaultsAndExclusiveItemsTakeTheirRegion) {
    auto bar = UIStatusBar::make(defaultStatusBarItemTypes());
    StatusBarLayout layout = bar->layout();
    EXPECT_EQ(types(layout.left), (std::vector<std::int32_t>{3, 4, 5}));
    EXPECT_EQ(types(layout.center), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(types(layout.right), (std::vector<std::int32_t>{16, 13, 11, 8, 7}));

    // The breadcrumb is exclusive: the left region shows it alone.
    bar->setItemTypes({3, 4, 32, 0, 33, 7});
    layout = bar->layout();
    EXPECT_EQ(types(layout.left), (std::vector<std::int32_t>{32}));
    EXPECT_EQ(types(layout.right), (std::vector<std::int32_t>{33}));
    EXPECT_EQ(types(layout.center), (std::vector<std::int32_t>{0}));

    bar->withdrawItem(32);
    bar->withdrawItem(33);
    EXPECT_EQ(types(bar->layout().left), (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(types(bar->layout().right), (std::vector<std::int32_t>{7}));

    // Rebuilding needs data for the type; center-only mode empties the sides.
    bar->rebuildItem(32);
    bar->rebuildItem(21);
    EXPECT_TRUE(bar->isItemBuilt(32));
    EXPECT_FALSE(bar->isItemBuilt(21));
    bar->setShowsOnlyCenterItems(true);
    layout = bar->layout();
    EXPECT_TRUE(layout.left.empty());
    EXPECT_TRUE(layout.right.empty());
    EXPECT_EQ(types(layout.center), (std::vector<std::int32_t>{0}));
}

}  // namespace
