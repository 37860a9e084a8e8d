#include "ItemSpokenName.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zv::device {

namespace {

struct SpokenName {
    int type;
    std::string_view name;
};

// Every type of the item catalogue, in catalogue order.
constexpr std::array<SpokenName, 27> kSpokenNames{{
    {0, "Time"},          {1, "Do Not Disturb"},     {2, "Airplane mode"},     {3, "Signal strength"},
    {4, "Carrier"},       {5, "Wi-Fi"},              {7, "Battery"},           {9, "Not charging"},
    {10, "Bluetooth battery"},                       {11, "Bluetooth"},        {12, "TTY"},
    {13, "Alarm"},        {14, "Plus"},              {16, "Location"},         {17, "Rotation lock"},
    {19, "AirPlay"},      {20, "Siri"},              {21, "CarPlay"},          {22, "VPN"},
    {23, "Call forwarding"},                         {24, "Activity"},         {25, "Thermal state"},
    {31, "Tethering"},    {32, "Breadcrumb"},        {33, "Open in Safari"},   {98, "Spacer 1"},
    {99, "Spacer 2"},
}};

constexpr int kBatteryPercentType = 8;

}  // namespace

std::string itemSpokenName(int type, int batteryCapacity) {
    if (type == kBatteryPercentType) return std::to_string(std::clamp(batteryCapacity, 0, 100)) + "%";
    for (const SpokenName& spoken : kSpokenNames)
        if (spoken.type == type) return std::string(spoken.name);
    return "Item " + std::to_string(type);
}

}  // namespace zv::device
