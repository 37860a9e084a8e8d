#include "DeviceSettingsFiles.h"

#include "foundation/DeviceFiles.h"
#include "foundation/plist/PlistCodec.h"

namespace zv {

DeviceSettingsFiles::DeviceSettingsFiles() : root_(deviceRoot()) {}

DeviceSettingsFiles::DeviceSettingsFiles(std::string hostRoot) : root_(std::move(hostRoot)) {
    while (!root_.empty() && root_.back() == '/') root_.pop_back();
}

DeviceSettingsFiles DeviceSettingsFiles::underRoot(std::string hostRoot) {
    return DeviceSettingsFiles(std::move(hostRoot));
}

// Resolves like resolveDevicePath, but inside this object's root.
std::string DeviceSettingsFiles::hostPath(std::string_view devicePath) const {
    std::string path = root_;
    if (devicePath.empty() || devicePath.front() != '/') path += '/';
    path += devicePath;
    return path;
}

std::optional<PlistDictionary> DeviceSettingsFiles::read(std::string_view devicePath) {
    auto bytes = readHostFile(hostPath(devicePath), kMaxPropertyListFileBytes);
    if (!bytes) return std::nullopt;
    return plistDictionaryFromBytes(*bytes);
}

std::optional<PlistDictionary> DeviceSettingsFiles::readNotingDroppedKeys(std::string_view devicePath,
                                                                          std::vector<DroppedPlistKey>& dropped) {
    auto bytes = readHostFile(hostPath(devicePath), kMaxPropertyListFileBytes);
    if (!bytes) return std::nullopt;
    return plistDictionaryFromBytes(*bytes, &dropped);
}

bool DeviceSettingsFiles::write(std::string_view devicePath, const PlistDictionary& dict) {
    const std::string xml = plistToXml(PlistValue(dict));
    if (xml.empty()) return false;
    return writeHostFileAtomically(hostPath(devicePath), xml);
}

}  // namespace zv
