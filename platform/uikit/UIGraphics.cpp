#include "uikit/UIGraphics.h"

#include <algorithm>
#include <cmath>

#include "runtime/ClassDefinition.h"
#include "uikit/AutoreleasePool.h"

using namespace zv::platform;

struct CGContext {
    ImageBitmap bitmap;
    CGColor fill{0, 0, 0, 1};
};

namespace {

constexpr double kMainScreenScale = 2.0;

std::vector<std::unique_ptr<CGContext>>& contextStack() {
    static std::vector<std::unique_ptr<CGContext>> stack;
    return stack;
}

std::uint32_t channel(double value) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// Source-over of a premultiplied colour onto a premultiplied pixel.
std::uint32_t blend(std::uint32_t destination, const CGColor& c) {
    const double a = std::clamp(c.alpha, 0.0, 1.0);
    const double source[4] = {c.red * a, c.green * a, c.blue * a, a};
    std::uint32_t result = 0;
    for (int i = 0; i < 4; ++i) {
        const double d = static_cast<double>((destination >> (8 * i)) & 0xff) / 255.0;
        result |= channel(source[i] + d * (1.0 - a)) << (8 * i);
    }
    return result;
}

std::shared_ptr<const ImageBitmap> currentBitmapCopy() {
    auto& stack = contextStack();
    if (stack.empty()) return nullptr;
    return std::make_shared<const ImageBitmap>(stack.back()->bitmap);
}

UILegibilityImageSet& imageSet(id self) { return asHostObject<UILegibilityImageSet>(self); }

void setImage(id self, SEL, id image) {
    imageSet(self).image = image ? asHostObject<UIImage>(image).bitmap : nullptr;
}

id imageOfSet(id self, SEL) {
    auto& set = imageSet(self);
    if (!set.image) return nullptr;
    auto image = makeObject<UIImage>("UIImage");
    image->bitmap = set.image;
    return autorelease(std::move(image));
}

}  // namespace

bool ImageBitmap::isFullyTransparent() const {
    return std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) == 0; });
}

void UIGraphicsBeginImageContext(CGSize size) { UIGraphicsBeginImageContextWithOptions(size, false, 1.0); }

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale) {
    if (scale <= 0) scale = kMainScreenScale;
    auto context = std::make_unique<CGContext>();
    ImageBitmap& bitmap = context->bitmap;
    bitmap.size = CGSize{std::max(0.0, size.width), std::max(0.0, size.height)};
    bitmap.scale = scale;
    bitmap.pixelWidth = static_cast<int>(std::ceil(bitmap.size.width * scale));
    bitmap.pixelHeight = static_cast<int>(std::ceil(bitmap.size.height * scale));
    const std::uint32_t background = opaque ? 0xff000000u : 0u;
    bitmap.pixels.assign(static_cast<std::size_t>(bitmap.pixelWidth) * bitmap.pixelHeight, background);
    contextStack().push_back(std::move(context));
}

CGContextRef UIGraphicsGetCurrentContext() {
    auto& stack = contextStack();
    return stack.empty() ? nullptr : stack.back().get();
}

void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color) {
    if (context) context->fill = color;
}

void CGContextFillRect(CGContextRef context, CGRect rect) {
    if (!context) return;
    ImageBitmap& bitmap = context->bitmap;
    const double s = bitmap.scale;
    // Pixel (x, y) is covered when its centre lies inside the rectangle.
    const auto first = [](double edge) { return static_cast<int>(std::ceil(edge - 0.5)); };
    const int x0 = std::max(0, first(rect.origin.x * s));
    const int y0 = std::max(0, first(rect.origin.y * s));
    const int x1 = std::min(bitmap.pixelWidth, first((rect.origin.x + rect.size.width) * s));
    const int y1 = std::min(bitmap.pixelHeight, first((rect.origin.y + rect.size.height) * s));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            std::uint32_t& pixel = bitmap.pixels[static_cast<std::size_t>(y) * bitmap.pixelWidth + x];
            pixel = blend(pixel, context->fill);
        }
}

id UIGraphicsGetImageFromCurrentImageContext() {
    auto bitmap = currentBitmapCopy();
    if (!bitmap) return nullptr;
    auto image = makeObject<UIImage>("UIImage");
    image->bitmap = std::move(bitmap);
    return autorelease(std::move(image));
}

void UIGraphicsEndImageContext() {
    auto& stack = contextStack();
    if (!stack.empty()) stack.pop_back();
}

void registerImageClasses() {
    defineClass("UIImage");
    Class set = defineClass("_UILegibilityImageSet");
    addMethod(set, "setImage:", &setImage);
    addMethod(set, "image", &imageOfSet);
}
