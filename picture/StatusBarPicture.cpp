#include "StatusBarPicture.h"

#include <algorithm>
#include <string_view>

#include "ItemCatalogue.h"
#include "ItemIcons.h"
#include "SvgText.h"

namespace zv {
namespace {

// The catalogue name of a type ("11 Bluetooth"), or "Item N" for a type the
// catalogue does not list.
std::string itemTitle(int type) {
    if (auto name = catalogueName(itemKey(type))) return std::string(*name);
    return "Item " + std::to_string(type);
}

// The items of a region one after another from `start`, as given.
std::vector<ItemFrame> inSequence(const std::vector<int>& types, const StatusBarPicture& picture, double start) {
    std::vector<ItemFrame> frames;
    double x = start;
    for (const int type : types) {
        const double width = itemWidth(type, picture);
        frames.push_back({type, x, width});
        x += width + kStatusBarGap;
    }
    return frames;
}

double extent(const std::vector<ItemFrame>& frames) {
    return frames.empty() ? 0 : frames.back().x + frames.back().width - frames.front().x;
}

void appendRegion(std::string& svg, std::string_view name, const std::vector<ItemFrame>& frames,
                  const StatusBarPicture& picture) {
    for (const ItemFrame& frame : frames) {
        const std::string title = xmlEscaped(itemTitle(frame.type));
        svg += "<g class=\"item\" data-region=\"";
        svg += name;
        svg += "\" data-type=\"" + std::to_string(frame.type) + "\" data-x=\"" + svgNumber(frame.x) +
               "\" data-width=\"" + svgNumber(frame.width) + "\" transform=\"translate(" + svgNumber(frame.x) +
               " 0)\"><title>" + title + "</title>" +
               (frame.width > 0 ? itemDrawing(frame.type, picture).body : std::string()) + "</g>";
    }
}

}  // namespace

double itemWidth(int type, const StatusBarPicture& picture) { return itemDrawing(type, picture).width; }

std::string statusBarSvg(const StatusBarPicture& picture) {
    FittedStatusBar frames;
    const double width = std::max(picture.width, 1);
    if (picture.frames) {
        frames = *picture.frames;
    } else {
        frames.left = inSequence(picture.left, picture, kStatusBarMargin);
        frames.center = inSequence(picture.center, picture, 0);
        frames.right = inSequence(picture.right, picture, 0);
        const double center = extent(frames.center), right = extent(frames.right);
        for (ItemFrame& frame : frames.center) frame.x += (width - center) / 2;
        for (ItemFrame& frame : frames.right) frame.x += width - kStatusBarMargin - right;
    }
    const std::string w = svgNumber(width), h = std::to_string(kPictureHeight);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                      "\" viewBox=\"0 0 " + w + " " + h +
                      "\" font-family=\"Helvetica, Arial, sans-serif\" color=\"" +
                      (picture.dark ? "#fff" : "#000") + "\">";
    // Over a dark screen the bar lets the screen show through.
    if (!picture.dark)
        svg += "<rect class=\"background\" width=\"" + w + "\" height=\"" + h + "\" fill=\"#f2f2f7\"/>";
    appendRegion(svg, "left", frames.left, picture);
    appendRegion(svg, "center", frames.center, picture);
    appendRegion(svg, "right", frames.right, picture);
    svg += "</svg>\n";
    return svg;
}

}  // namespace zv
