// The plug-in's rules as the host meets them: one appearsInRegion: through
// the runtime with the replacement in force, beside the same question to an
// identical class whose method is not replaced; a full layout of a status
// bar holding every catalogue item; one reloadStatusBar in SpringBoard; a
// status bar handed data for many item types at once.
#include <benchmark/benchmark.h>

#include <numeric>
#include <string>

#include "ItemCatalogue.h"
#include "hooks/HookTable.h"
#include "hooks/PluginState.h"
#include "runtime/ClassDefinition.h"
#include "springboard/SpringBoardClasses.h"
#include "uikit/HostTrace.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKitClasses.h"

namespace {

using zv::PlacementEntry;
using zv::PlacementTable;
using zv::PluginSettings;

// A user's layout: a few items placed on each side, two hidden, the rest
// left to the host.
PluginSettings benchSettings(bool enabled) {
    PluginSettings settings;
    settings.enabled = enabled;
    PlacementTable table;
    for (std::string_view name : zv::kItemCatalogue) table.set(name.substr(0, 2), PlacementEntry{5, 0});
    table.set("11", PlacementEntry{0, 0});
    table.set("03", PlacementEntry{0, 1});
    table.set("00", PlacementEntry{2, 0});
    table.set("07", PlacementEntry{1, 0});
    table.set("08", PlacementEntry{1, 1});
    table.set("04", PlacementEntry{4, 0});
    table.set("16", PlacementEntry{4, 0});
    settings.placement = std::move(table);
    return settings;
}

std::vector<std::int32_t> catalogueTypes() {
    std::vector<std::int32_t> types;
    for (std::string_view name : zv::kItemCatalogue) {
        const int type = std::stoi(std::string(name.substr(0, 2)));
        if (type != 98 && type != 99) types.push_back(type);  // spacers are no items
    }
    return types;
}

// The process as a SpringBoard host would have it once the plug-in has
// loaded: the host's classes, the status-bar rows installed, an identical
// unreplaced copy of UIStatusBarItem, and SpringBoard's application with a
// status bar of every catalogue item.
struct Host {
    Host() {
        registerUIKitClasses();
        registerSpringBoardClasses();
        Class item = objc_getClass("UIStatusBarItem");
        Class plain = zv::platform::defineClass("BenchStatusBarItem");
        for (const char* selector : {"type", "appearsInRegion:"})
            class_addMethod(plain, sel_registerName(selector),
                            class_getMethodImplementation(item, sel_registerName(selector)));
        zv::pluginSettings() = benchSettings(true);
        zv::hooks::installHookRows(1, zv::hooks::kLastStatusBarRow);
        UIApplication& application = launchSharedApplication("SpringBoard");
        statusBar = application.statusBar.get();
        statusBar->setItemTypes(catalogueTypes());
        replaced = makeStatusBarItem(3);
        unreplaced = makeStatusBarItem(3);
        object_setClass(unreplaced.get(), plain);
    }

    UIStatusBar* statusBar = nullptr;
    std::unique_ptr<UIStatusBarItem> replaced;
    std::unique_ptr<UIStatusBarItem> unreplaced;
    SEL appearsInRegion = sel_registerName("appearsInRegion:");
};

Host& host() {
    static Host h;
    return h;
}

void BM_AppearsInRegion_Unreplaced(benchmark::State& state) {
    Host& h = host();
    std::int32_t region = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(objc_msgSend<bool>(h.unreplaced.get(), h.appearsInRegion, region));
        region = (region + 1) % 3;
    }
}
BENCHMARK(BM_AppearsInRegion_Unreplaced);

void BM_AppearsInRegion_Replaced(benchmark::State& state) {
    Host& h = host();
    zv::pluginSettings() = benchSettings(true);
    std::int32_t region = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(objc_msgSend<bool>(h.replaced.get(), h.appearsInRegion, region));
        region = (region + 1) % 3;
    }
}
BENCHMARK(BM_AppearsInRegion_Replaced);

// Every item asked its seven questions and the regions arranged.
void BM_FullLayout(benchmark::State& state) {
    Host& h = host();
    zv::pluginSettings() = benchSettings(state.range(0) != 0);
    for (auto _ : state) {
        h.statusBar->layOutAllItems();
        benchmark::DoNotOptimize(h.statusBar->layout());
    }
    state.SetLabel(state.range(0) ? "plug-in on" : "plug-in off");
}
BENCHMARK(BM_FullLayout)->Arg(1)->Arg(0);

void BM_ReloadStatusBar(benchmark::State& state) {
    host();
    zv::pluginSettings() = benchSettings(true);
    for (auto _ : state) {
        reloadStatusBar(nullptr, nullptr, nullptr, nullptr, nullptr);
        zv::platform::clearHostTrace();
    }
}
BENCHMARK(BM_ReloadStatusBar);

// A host handed data for many item types at once (the `items` command):
// every item built anew and asked its questions; the time grows with the
// number of types, not with its square.
void BM_SetItemTypes(benchmark::State& state) {
    Host& h = host();
    zv::pluginSettings() = benchSettings(true);
    std::vector<std::int32_t> types(static_cast<size_t>(state.range(0)));
    std::iota(types.begin(), types.end(), 0);
    for (auto _ : state) h.statusBar->setItemTypes(types);
    h.statusBar->setItemTypes(catalogueTypes());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SetItemTypes)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
