#include "StatusBarImage.h"

#include <limits>

#include "StatusBarPicture.h"

namespace zv::screen {

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

}  // namespace

std::string statusBarImage(const json& event, const std::string& timeText) {
    StatusBarPicture picture;
    if (event.is_object()) {
        picture.left = regionTypes(event, "left");
        picture.center = regionTypes(event, "center");
        picture.right = regionTypes(event, "right");
        const json battery = event.value("battery", json::object());
        picture.batteryLevel = integerField(battery, "capacity", 100);
        // Battery state 1 is charging, 2 charged: either way on the charger.
        picture.charging = integerField(battery, "state", 0) != 0;
        auto bluetooth = event.find("bluetooth");
        picture.bluetoothConnected = bluetooth != event.end() && *bluetooth == "connected";
    }
    picture.timeText = timeText;
    return statusBarSvg(picture);
}

}  // namespace zv::screen
