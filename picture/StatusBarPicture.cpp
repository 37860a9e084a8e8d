#include "StatusBarPicture.h"

#include <algorithm>
#include <string_view>

#include "ItemCatalogue.h"
#include "ItemIcons.h"
#include "SvgText.h"

namespace zv {
namespace {

constexpr double kMargin = 6;  // from each end of the bar to the outermost item
constexpr double kGap = 5;     // between neighbouring items of a region

// The catalogue name of a type ("11 Bluetooth"), or "Item N" for a type the
// catalogue does not list.
std::string itemTitle(int type) {
    if (auto name = catalogueName(itemKey(type))) return std::string(*name);
    return "Item " + std::to_string(type);
}

struct PlacedRegion {
    std::vector<ItemDrawing> items;
    double width = 0;  // items and the gaps between them
};

PlacedRegion drawRegion(const std::vector<int>& types, const StatusBarPicture& picture) {
    PlacedRegion region;
    for (const int type : types) {
        region.items.push_back(itemDrawing(type, picture));
        region.width += region.items.back().width;
    }
    if (region.items.size() > 1) region.width += kGap * static_cast<double>(region.items.size() - 1);
    return region;
}

void appendRegion(std::string& svg, std::string_view name, const std::vector<int>& types,
                  const PlacedRegion& region, double start) {
    double x = start;
    for (std::size_t i = 0; i < types.size(); ++i) {
        const std::string title = xmlEscaped(itemTitle(types[i]));
        svg += "<g class=\"item\" data-region=\"";
        svg += name;
        svg += "\" data-type=\"" + std::to_string(types[i]) + "\" transform=\"translate(" + svgNumber(x) +
               " 0)\"><title>" + title + "</title>" + region.items[i].body + "</g>";
        x += region.items[i].width + kGap;
    }
}

}  // namespace

std::string statusBarSvg(const StatusBarPicture& picture) {
    const PlacedRegion left = drawRegion(picture.left, picture);
    const PlacedRegion center = drawRegion(picture.center, picture);
    const PlacedRegion right = drawRegion(picture.right, picture);

    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kPictureWidth) + "\" height=\"" +
        std::to_string(kPictureHeight) + "\" viewBox=\"0 0 " + std::to_string(kPictureWidth) + " " +
        std::to_string(kPictureHeight) +
        "\" font-family=\"Helvetica, Arial, sans-serif\" color=\"#000\">"
        "<rect class=\"background\" width=\"" +
        std::to_string(kPictureWidth) + "\" height=\"" + std::to_string(kPictureHeight) + "\" fill=\"#f2f2f7\"/>";
    // Left runs from the left end, right ends at the right end, center is
    // centred on the bar; regions that do not fit overlap, as on a device.
    appendRegion(svg, "left", picture.left, left, kMargin);
    appendRegion(svg, "center", picture.center, center, (kPictureWidth - center.width) / 2);
    appendRegion(svg, "right", picture.right, right, kPictureWidth - kMargin - right.width);
    svg += "</svg>\n";
    return svg;
}

}  // namespace zv
