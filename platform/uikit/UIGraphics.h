// Images and drawing: UIKit's image context functions over a CoreGraphics
// context, the UIImage objects they produce, and the image sets status-bar
// item views draw from.
//
// An image is a size in points and, at its scale, a grid of premultiplied
// RGBA pixels (ceil(points × scale) in each direction). A fresh image context
// is fully transparent (UIGraphicsBeginImageContext makes no opaque
// contexts); CGContextFillRect paints source-over, as CoreGraphics does, so
// filling with the clear colour leaves every pixel as it was.
//
// Image contexts form a stack per process (main thread only); the current
// context is the top one. Images taken from a context are autoreleased host
// objects (AutoreleasePool.h): keep their bitmap (UIImage::bitmap) to hold on
// to one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "uikit/CGGeometry.h"
#include "uikit/views/UIColor.h"
#include "runtime/Runtime.h"

// The pixels of an image; immutable once made.
struct ImageBitmap {
    CGSize size;         // points
    double scale = 1.0;  // pixels per point
    int pixelWidth = 0;
    int pixelHeight = 0;
    std::vector<std::uint32_t> pixels;  // row-major, 0xAABBGGRR, premultiplied

    // Whether every pixel has alpha 0 (an image without pixels included).
    bool isFullyTransparent() const;
};

// UIImage.
struct UIImage : objc_object {
    std::shared_ptr<const ImageBitmap> bitmap;
};

// A colour as CoreGraphics takes it (CGColorRef; here a value).
struct CGColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
};
using CGColorRef = CGColor;
// UIColor's CGColor.
inline CGColorRef UIColorGetCGColor(const UIColor& color) {
    return CGColor{color.red, color.green, color.blue, color.alpha};
}

struct CGContext;
using CGContextRef = CGContext*;

// A transparent context of `size` points at scale 1.
void UIGraphicsBeginImageContext(CGSize size);
// `scale` 0 means the main screen's scale (2).
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale);
// The current context, null when none was begun.
CGContextRef UIGraphicsGetCurrentContext();
void CGContextSetFillColorWithColor(CGContextRef context, CGColorRef color);
// Fills the pixels whose centres lie inside the rectangle (in points).
void CGContextFillRect(CGContextRef context, CGRect rect);
// An image of the current context's pixels (autoreleased), null when there
// is no context.
id UIGraphicsGetImageFromCurrentImageContext();
// Removes the current context; nothing when there is none.
void UIGraphicsEndImageContext();

// _UILegibilityImageSet: the images a status-bar item view draws; setImage:
// replaces its main image.
struct UILegibilityImageSet : objc_object {
    std::shared_ptr<const ImageBitmap> image;
};

// Registers UIImage and _UILegibilityImageSet (image, setImage:).
void registerImageClasses();
