#include "ItemCatalogue.h"

#include <cstdio>

namespace zv {

const std::array<std::string_view, 28> kItemCatalogue{
    "00 Time",          "01 QuietMode (DND)",  "02 Airplane",           "03 SignalStrength (Cellular)",
    "04 Carrier",       "05 DataNetwork (WiFi)", "07 Battery",          "08 BatteryPercent",
    "09 NotCharging",   "10 BluetoothBattery", "11 Bluetooth",          "12 TTY",
    "13 Alarm",         "14 Plus",             "16 Location",           "17 RotationLock",
    "19 AirPlay",       "20 Siri",             "21 CarPlay",            "22 VPN",
    "23 CallForward",   "24 Activity",         "25 ThermalColor",       "31 Tethering",
    "32 Breadcrumb",    "33 OpenInSafari",     "98 libstatusbar spacer 1", "99 libstatusbar spacer 2",
};

const std::array<std::string_view, 27> kSeedList{
    "00 Time",          "01 QuietMode (DND)",  "02 Airplane",           "03 SignalStrength (Cellular)",
    "04 Carrier",       "05 DataNetwork (WiFi)", "07 Battery",          "08 BatteryPercent",
    "09 NotCharging",   "10 BluetoothBattery", "11 Bluetooth",          "12 TTY",
    "13 Alarm",         "16 Location",         "17 RotationLock",       "19 AirPlay",
    "20 Siri",          "21 CarPlay",          "22 VPN",                "23 CallForward",
    "24 Activity",      "25 ThermalColor",     "31 Tethering",          "32 Breadcrumb",
    "33 OpenInSafari",  "98 libstatusbar spacer 1", "99 libstatusbar spacer 2",
};

const std::array<Renumbering, 7> kItemRenumbering{{
    {"21 VPN", "22 VPN"},
    {"22 CallForward", "23 CallForward"},
    {"23 Activity", "24 Activity"},
    {"24 ThermalColor", "25 ThermalColor"},
    {"29 Tethering", "31 Tethering"},
    {"32 libstatusbar spacer 1", "98 libstatusbar spacer 1"},
    {"33 libstatusbar spacer 2", "99 libstatusbar spacer 2"},
}};

std::string itemKey(int type) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", type);
    return buffer;
}

std::optional<std::string_view> catalogueName(std::string_view key) {
    for (const std::string_view name : kItemCatalogue) {
        if (name.substr(0, 2) == key) return name;
    }
    return std::nullopt;
}

}  // namespace zv
