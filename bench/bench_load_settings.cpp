// The cost of one settings load against the cost of libplist's own parse of
// the same bytes. The file is a typical one: the 27 names of a fresh layout
// spread over the five lists, all eight switches, schema "1.2", as the
// Settings bundle writes it (XML), held in memory so that no disk is timed.
#include <benchmark/benchmark.h>
#include <plist/plist.h>

#include <array>
#include <string>

#include "ItemCatalogue.h"
#include "SettingsKeys.h"
#include "SettingsLoader.h"
#include "foundation/plist/PlistCodec.h"

namespace {

std::string typicalSettingsXml() {
    // Names spread the way a user's layout spreads them: a few on the left
    // and right, one in the center, a few hidden, the rest by default.
    const std::array<std::size_t, 5> counts{5, 1, 6, 4, 11};  // left, center, right, hidden, default
    const std::array<const char*, 5> keys{zv::kLeft, zv::kCenter, zv::kRight, zv::kHidden, zv::kDefault};
    PlistDictionary file{
        {zv::kEnabled, true},
        {zv::kEnableLockScreenTime, true},
        {zv::kHideBattery, false},
        {zv::kBluetoothConnectedOnly, true},
        {zv::kHideTopGrabberLS, true},
        {zv::kHideBottomGrabberLS, false},
        {zv::kShortBreadcrumb, true},
        {zv::kIsBreadcrumbExclusive, true},
        {zv::kSchemaVersion, zv::kCurrentSchema},
        {zv::kProfileName, "Home"},
        {zv::kProfileSaved, false},
        {zv::kLastModified, "12/8/26, 2:49:00 PM"},
    };
    std::size_t next = 0;
    for (std::size_t list = 0; list < keys.size(); ++list) {
        PlistArray names;
        for (std::size_t i = 0; i < counts[list]; ++i) names.emplace_back(zv::kSeedList[next++]);
        file[keys[list]] = PlistDictionary{{zv::kData, std::move(names)}};
    }
    return plistToXml(PlistValue(std::move(file)));
}

// The settings file as bytes; every read parses them afresh, as a load does.
class BytesFiles final : public zv::SettingsFileAccess {
public:
    explicit BytesFiles(std::string bytes) : bytes_(std::move(bytes)) {}
    std::optional<PlistDictionary> read(std::string_view devicePath) override {
        if (devicePath != zv::kSettingsPath) return std::nullopt;
        return plistDictionaryFromBytes(bytes_);
    }
    bool write(std::string_view, const PlistDictionary&) override { return false; }

private:
    std::string bytes_;
};

void BM_LibplistParse(benchmark::State& state) {
    const std::string xml = typicalSettingsXml();
    for (auto _ : state) {
        plist_t root = nullptr;
        plist_from_memory(xml.data(), static_cast<uint32_t>(xml.size()), &root);
        benchmark::DoNotOptimize(root);
        plist_free(root);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_LibplistParse);

// The codec's share of a load: libplist's parse plus the conversion into
// PlistDictionary.
void BM_PlistDictionaryFromBytes(benchmark::State& state) {
    const std::string xml = typicalSettingsXml();
    for (auto _ : state) {
        auto dict = plistDictionaryFromBytes(xml);
        benchmark::DoNotOptimize(dict);
    }
}
BENCHMARK(BM_PlistDictionaryFromBytes);

void BM_LoadSettings(benchmark::State& state) {
    BytesFiles files(typicalSettingsXml());
    for (auto _ : state) {
        zv::PluginSettings settings;
        zv::loadSettingsFrom(files, settings);
        benchmark::DoNotOptimize(settings);
        if (!settings.placement || settings.placement->size() != zv::kSeedList.size())
            state.SkipWithError("the typical file did not load");
    }
}
BENCHMARK(BM_LoadSettings);

}  // namespace
