#include "control/LayoutPicture.h"

#include <cmath>
#include <limits>

#include "control/DeviceWords.h"

namespace zv::control {

using nlohmann::json;

namespace {

std::vector<int> regionTypes(const json& event, const char* region) {
    std::vector<int> types;
    auto it = event.find(region);
    if (it == event.end() || !it->is_array()) return types;
    for (const json& type : *it)
        if (type.is_number_integer() && type.get<long long>() >= std::numeric_limits<int>::min() &&
            type.get<long long>() <= std::numeric_limits<int>::max())
            types.push_back(static_cast<int>(type.get<long long>()));
    return types;
}

int integerField(const json& object, const char* key, int fallback) {
    if (!object.is_object()) return fallback;
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer()) return fallback;
    const long long value = it->get<long long>();
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return fallback;
    return static_cast<int>(value);
}

double numberField(const json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return 0;
    const double value = it->get<double>();
    return std::isfinite(value) && value > -10000 && value < 10000 ? value : 0;
}

std::vector<ItemFrame> regionFrames(const json& frames, const char* region) {
    std::vector<ItemFrame> list;
    auto it = frames.find(region);
    if (it == frames.end() || !it->is_array()) return list;
    for (const json& frame : *it) {
        if (!frame.is_object()) continue;
        const int type = integerField(frame, "type", std::numeric_limits<int>::min());
        if (type == std::numeric_limits<int>::min()) continue;
        list.push_back({type, numberField(frame, "x"), numberField(frame, "width")});
    }
    return list;
}

}  // namespace

StatusBarPicture layoutPicture(const json& event, std::string timeText) {
    StatusBarPicture picture;
    picture.timeText = std::move(timeText);
    if (!event.is_object()) return picture;
    picture.left = regionTypes(event, "left");
    picture.center = regionTypes(event, "center");
    picture.right = regionTypes(event, "right");
    const json battery = event.value("battery", json::object());
    picture.batteryLevel = integerField(battery, "capacity", 100);
    picture.charging = chargerIn(integerField(battery, "state", kOnBattery));
    auto bluetooth = event.find("bluetooth");
    picture.bluetoothConnected = bluetooth != event.end() && *bluetooth == bluetoothWord(BluetoothState::Connected);
    // The bar is as wide as the phone; its items go where the host put them.
    const int width = integerField(event, "width", kPictureWidth);
    if (width >= 100 && width <= 2000) picture.width = width;
    auto frames = event.find("frames");
    if (frames != event.end() && frames->is_object())
        picture.frames = FittedStatusBar{regionFrames(*frames, "left"), regionFrames(*frames, "center"),
                                         regionFrames(*frames, "right"), {}};
    auto locked = event.find("locked");
    picture.dark = locked != event.end() && *locked == true;
    return picture;
}

}  // namespace zv::control
