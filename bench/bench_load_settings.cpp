// The cost of one settings load against the cost of libplist's own parse of
// the same bytes. The file is a typical one: the 27 names of a fresh layout
// spread over the five lists, all eight switches, schema "1.2", as the
// Settings bundle writes it (XML), held in memory so that no disk is timed.
// Then a file whose left list holds tens of thousands of names, binary
// against XML: both formats load in time linear in the file.
#include <benchmark/benchmark.h>
#include <plist/plist.h>

#include <array>
#include <string>

#include "ItemCatalogue.h"
#include "SettingsKeys.h"
#include "SettingsLoader.h"
#include "foundation/plist/PlistCodec.h"
#include "foundation/plist/PlistShape.h"
#include "LongSettingsFile.h"

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

// A load of a file whose left list holds range(0) names, XML or binary.
void loadLongList(benchmark::State& state, bool binary) {
    const auto names = static_cast<std::size_t>(state.range(0));
    BytesFiles files(binary ? zv::bench::longSettingsBinary(names, 12) : zv::bench::longSettingsXml(names, 12));
    for (auto _ : state) {
        zv::PluginSettings settings;
        zv::loadSettingsFrom(files, settings);
        benchmark::DoNotOptimize(settings);
        if (!settings.enabled) state.SkipWithError("the long file did not load");
    }
    state.SetComplexityN(state.range(0));
}
void BM_LoadLongListXml(benchmark::State& state) { loadLongList(state, false); }
void BM_LoadLongListBinary(benchmark::State& state) { loadLongList(state, true); }
BENCHMARK(BM_LoadLongListXml)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LoadLongListBinary)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond)->Complexity();

// The largest files the reader takes: as many names as the object bound
// lets in, each long enough for the file to come near 16 MiB.
void loadLargest(benchmark::State& state, const std::string& bytes) {
    BytesFiles files(bytes);
    for (auto _ : state) {
        zv::PluginSettings settings;
        zv::loadSettingsFrom(files, settings);
        benchmark::DoNotOptimize(settings);
        if (!settings.enabled) state.SkipWithError("the largest file did not load");
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
void BM_LoadLargestBinary(benchmark::State& state) { loadLargest(state, zv::bench::largestSettingsBinary()); }
void BM_LoadLargestXml(benchmark::State& state) { loadLargest(state, zv::bench::largestSettingsXml()); }
BENCHMARK(BM_LoadLargestBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargestXml)->Unit(benchmark::kMillisecond);

// XML holding range(0) <plist> tags inside its root array, then as many
// values: the measure before libplist finds each value's container at once.
void BM_MeasureXmlManyPlistTags(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    std::string xml = "<plist><array>";
    for (std::size_t i = 0; i < count; ++i) xml += "<plist>";
    for (std::size_t i = 0; i < count; ++i) xml += "<true/>";
    for (auto _ : state) {
        auto shape = measureXmlPlist(xml);
        benchmark::DoNotOptimize(shape);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MeasureXmlManyPlistTags)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
