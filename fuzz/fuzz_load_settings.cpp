// Feeds arbitrary bytes to the settings load, first as the settings file and
// then as the previous-generation file, with the files held in memory. Beyond
// "no crash, no sanitizer report" it checks what must hold for any input:
// - bytes that are no dictionary switch the plug-in off and write nothing;
// - `shortBreadcrumb` is never on while `enabled` is off;
// - at most one write per migration step, plus one for an adoption;
// - what a load leaves in the settings file loads again to the same settings
//   without any further write (migration reaches a fixed point);
// - an adopted file loads to the same settings as the same file in place,
//   and the previous-generation file is never changed;
// - a diagnostics sink only watches: with one, the load and its writes are
//   the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "SettingsKeys.h"
#include "SettingsLoader.h"
#include "foundation/plist/PlistCodec.h"

namespace {

// Files as bytes, as on a device: every write goes through the XML writer
// and every read through the parser.
class ByteFiles final : public zv::SettingsFileAccess {
public:
    std::map<std::string, std::string, std::less<>> bytes;
    int writes = 0;

    std::optional<PlistDictionary> read(std::string_view devicePath) override {
        auto it = bytes.find(devicePath);
        if (it == bytes.end()) return std::nullopt;
        return plistDictionaryFromBytes(it->second);
    }
    std::optional<PlistDictionary> readNotingDroppedKeys(std::string_view devicePath,
                                                         std::vector<DroppedPlistKey>& dropped) override {
        auto it = bytes.find(devicePath);
        if (it == bytes.end()) return std::nullopt;
        return plistDictionaryFromBytes(it->second, &dropped);
    }
    bool write(std::string_view devicePath, const PlistDictionary& dict) override {
        ++writes;
        bytes.insert_or_assign(std::string(devicePath), plistToXml(PlistValue(dict)));
        return true;
    }
};

class CountingSink final : public zv::LoadDiagnostics {
public:
    void report(zv::LoadFinding) override { ++findings; }
    int findings = 0;
};

bool sameSettings(const zv::PluginSettings& a, const zv::PluginSettings& b) {
    if (a.enabled != b.enabled || a.enableLockScreenTime != b.enableLockScreenTime ||
        a.hideBattery != b.hideBattery || a.bluetoothConnectedOnly != b.bluetoothConnectedOnly ||
        a.hideTopGrabberLS != b.hideTopGrabberLS || a.hideBottomGrabberLS != b.hideBottomGrabberLS ||
        a.shortBreadcrumb != b.shortBreadcrumb || a.isBreadcrumbExclusive != b.isBreadcrumbExclusive)
        return false;
    if (a.placement.has_value() != b.placement.has_value()) return false;
    return !a.placement || a.placement->entries() == b.placement->entries();
}

// An invariant that fails is reported like a crash, with its text.
#define ZV_CHECK(condition)                                                    \
    do {                                                                       \
        if (!(condition)) {                                                    \
            std::fprintf(stderr, "invariant failed: %s\n", #condition);       \
            std::abort();                                                      \
        }                                                                      \
    } while (false)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const bool readable = plistDictionaryFromBytes(input).has_value();

    // As the settings file.
    ByteFiles inPlace;
    inPlace.bytes[zv::kSettingsPath] = input;
    zv::PluginSettings loaded;
    zv::loadSettingsFrom(inPlace, loaded);
    ZV_CHECK(!loaded.shortBreadcrumb || loaded.enabled);
    ZV_CHECK(inPlace.writes <= 2);

    ByteFiles watched;
    watched.bytes[zv::kSettingsPath] = input;
    CountingSink sink;
    zv::PluginSettings watchedLoad;
    zv::loadSettingsFrom(watched, watchedLoad, &sink);
    ZV_CHECK(sameSettings(loaded, watchedLoad));
    ZV_CHECK(watched.writes == inPlace.writes && watched.bytes == inPlace.bytes);
    ZV_CHECK(sink.findings > 0 || readable);
    if (!readable) {
        ZV_CHECK(inPlace.writes == 0);
        ZV_CHECK(sameSettings(loaded, zv::PluginSettings{}));
        return 0;
    }

    // What the load left behind is current: it loads the same, writing nothing.
    ByteFiles again;
    again.bytes[zv::kSettingsPath] = inPlace.bytes[zv::kSettingsPath];
    zv::PluginSettings reloaded;
    zv::loadSettingsFrom(again, reloaded);
    ZV_CHECK(again.writes == 0);
    ZV_CHECK(sameSettings(loaded, reloaded));

    // As the previous-generation file, with no settings file.
    ByteFiles adopted;
    adopted.bytes[zv::kPreviousGenerationPath] = input;
    zv::PluginSettings fromPrevious;
    zv::loadSettingsFrom(adopted, fromPrevious);
    ZV_CHECK(adopted.writes == inPlace.writes + 1);
    ZV_CHECK(adopted.bytes[zv::kPreviousGenerationPath] == input);
    ZV_CHECK(sameSettings(loaded, fromPrevious));
    return 0;
}
