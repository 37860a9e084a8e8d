#include "StatusBarShow.h"

#include "HostSession.h"
#include "ItemCatalogue.h"

namespace zv::tools {

namespace {

std::vector<int> types(const nlohmann::json& reply, const char* region) {
    const auto& list = reply.at(region);
    std::vector<int> result;
    for (const auto& type : list) result.push_back(type.get<int>());
    return result;
}

std::vector<ItemFrame> frames(const nlohmann::json& reply, const char* region) {
    std::vector<ItemFrame> result;
    for (const auto& frame : reply.at("frames").at(region))
        result.push_back({frame.at("type").get<int>(), frame.at("x").get<double>(), frame.at("width").get<double>()});
    return result;
}

std::string itemName(int type) {
    const std::string key = itemKey(type);
    if (auto name = catalogueName(key)) return std::string(*name);
    return key + " (no catalogue item)";
}

}  // namespace

ShownLayout showStatusBar(const std::string& settingsBytes, const ShowOptions& options,
                          const ProgramLocations& locations) {
    HostSession host({locations.programs, locations.stage, settingsBytes, !options.app});
    if (options.width != 320) host.request({{"cmd", "width"}, {"points", options.width}});
    if (options.bluetooth) host.request({{"cmd", "bluetooth"}, {"state", control::bluetoothWord(*options.bluetooth)}});
    if (options.batteryState) {
        host.request({{"cmd", "battery"}, {"state", *options.batteryState}});
        // The battery item follows new data when it is built again, as after
        // a power-source change: build every item anew.
        const nlohmann::json items = host.request({{"cmd", "items"}});
        host.request({{"cmd", "items"}, {"types", items.at("types")}});
    }
    if (options.locked) host.request({{"cmd", "lock"}});
    nlohmann::json layout = host.request({{"cmd", "layout"}, {"event", true}});
    try {
        ShownStatusBar bar{types(layout, "left"),
                           types(layout, "center"),
                           types(layout, "right"),
                           layout.value("onlyCenter", false),
                           layout.at("width").get<int>(),
                           {frames(layout, "left"), frames(layout, "center"), frames(layout, "right"),
                            layout.at("leftOut").get<std::vector<int>>()}};
        return {std::move(layout), std::move(bar)};
    } catch (const nlohmann::json::exception&) {
        throw HostSessionError("the simulated host's layout is not readable");
    }
}

std::string statusBarText(const ShownStatusBar& bar) {
    std::string text;
    const auto line = [&](const char* title, const std::vector<int>& region) {
        text += title;
        if (region.empty()) text += "(none)";
        for (std::size_t i = 0; i < region.size(); ++i) {
            if (i > 0) text += ", ";
            text += itemName(region[i]);
        }
        text += '\n';
    };
    line("Left:   ", bar.left);
    line("Center: ", bar.center);
    line("Right:  ", bar.right);
    if (bar.onlyCenter) text += "(the status bar shows its center items only)\n";
    if (!bar.frames.leftOut.empty()) {
        text += "Did not fit at " + std::to_string(bar.width) + " points: ";
        for (std::size_t i = 0; i < bar.frames.leftOut.size(); ++i)
            text += (i > 0 ? ", " : "") + itemName(bar.frames.leftOut[i]);
        text += '\n';
    }
    return text;
}

}  // namespace zv::tools
