// The Settings bundle's two costs a user can feel:
//
// - SortOrderMove: from a drop in the sort-order editor until the settings
//   file has been replaced and both notifications posted (the drop callback
//   returns then). Each iteration is timed alone; the median and the 99th
//   percentile are reported as counters (microseconds). The "Delivered"
//   variant waits further until an observer of this process has received
//   "net.quellit.zorvane/preferences" and then
//   "net.quellit.zorvane/reloadStatusBar" through the device's bus.
// - SortOrderOpen: opening the sort-order editor on settings whose "default"
//   list holds N names (1,000 to 8,000): the page is made, its table loads
//   every row, and the page is reported as the Settings application sends
//   it to its screen. Should grow linearly with N.
// - ProfileListReload: the profile manager's reloadSortOrder with 10,000
//   profile files in the preferences folder (each a full settings file, as
//   the page writes them): "Cold" for a page just opened (every file read),
//   plain for the listings that follow (unchanged files are not re-read).
//
// Everything runs on a temporary device root under /tmp with its own bus
// (dbus-daemon); without one the posts go nowhere and the move is timed
// without them (the "bus" counter says which).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ItemCatalogue.h"
#include "PageReport.h"
#include "ProfileDateCache.h"
#include "SettingsKeys.h"
#include "ZVPreferences.h"
#include "ZVProfileController.h"
#include "ZVSortOrderController.h"
#include "foundation/DeviceFiles.h"
#include "foundation/MainQueue.h"
#include "foundation/plist/PlistCodec.h"
#include "notifications/DeviceBus.h"
#include "notifications/NotificationCenter.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The device root is named before main, so the platform reads this one; it
// is removed when the program ends, whichever benchmarks ran.
struct BenchRoot {
    std::string path;
    BenchRoot() : path("/tmp/zv-bench-XXXXXX") {
        if (::mkdtemp(path.data())) {
            ::setenv("ZV_DEVICE_ROOT", path.c_str(), 1);
        } else {
            path.clear();
        }
    }
    ~BenchRoot() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};
const BenchRoot kRoot;

// The bus, started on first use and stopped (before the root goes) at exit.
struct Device {
    std::optional<DeviceBus> bus;
    Device() {
        try {
            bus.emplace(kRoot.path);
        } catch (const DeviceBusError&) {
        }
    }
};

Device& device() {
    static Device d;
    return d;
}

fs::path preferencesFolder() { return fs::path(resolveDevicePath(zv::kPreferencesFolder)); }

void freshFolder() {
    fs::remove_all(preferencesFolder());
    fs::create_directories(preferencesFolder());
}

struct Percentiles {
    double median = 0;
    double p99 = 0;
};

Percentiles percentiles(std::vector<double> samples) {
    if (samples.empty()) return {};
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[std::min(samples.size() - 1, static_cast<size_t>(q * samples.size()))]; };
    return {at(0.5), at(0.99)};
}

// Counts deliveries of the two names, in order.
std::vector<std::string> delivered;
void onNotification(CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) {
    delivered.emplace_back(name);
}

void moveBenchmark(benchmark::State& state, bool waitForDelivery) {
    Device& dev = device();
    freshFolder();
    ZVPreferences::sharedInstance().reLoadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);
    auto page = std::make_shared<ZVSortOrderController>();
    page->initForContentSize(CGSize{320, 568});
    UITableView& table = *page->tableView();
    table.reloadData();

    static bool observing = false;
    if (dev.bus && !observing) {
        CFNotificationCenterRef centre = CFNotificationCenterGetDarwinNotifyCenter();
        for (const char* name : {zv::kPreferencesNotification, zv::kReloadStatusBarNotification})
            CFNotificationCenterAddObserver(centre, nullptr, onNotification, name, nullptr,
                                            CFNotificationSuspensionBehaviorDeliverImmediately);
        observing = true;
    }

    // Deliveries still on their way from an earlier run are let through first.
    for (auto quietSince = Clock::now(); Clock::now() - quietSince < std::chrono::milliseconds(300);) {
        const size_t before = delivered.size();
        drainMainQueue();
        if (delivered.size() != before) quietSince = Clock::now();
    }

    std::vector<double> samples;
    bool toLeft = true;
    for (auto _ : state) {
        delivered.clear();
        const NSIndexPath from = toLeft ? NSIndexPath{4, 10} : NSIndexPath{0, 0};
        const NSIndexPath to = toLeft ? NSIndexPath{0, 0} : NSIndexPath{4, 10};
        const auto start = Clock::now();
        page->moveRowAtIndexPath(table, from, to);
        if (waitForDelivery && dev.bus) {
            const auto giveUp = start + std::chrono::seconds(5);
            while (delivered.size() < 2 && Clock::now() < giveUp) drainMainQueue();
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e6);
        if (waitForDelivery && delivered != std::vector<std::string>{zv::kPreferencesNotification,
                                                                     zv::kReloadStatusBarNotification}) {
            state.SkipWithError("the notifications did not arrive in order");
            break;
        }
        toLeft = !toLeft;
    }
    const Percentiles p = percentiles(samples);
    state.counters["median_us"] = p.median;
    state.counters["p99_us"] = p.p99;
    state.counters["bus"] = dev.bus ? 1 : 0;
}

void BM_SortOrderMove(benchmark::State& state) { moveBenchmark(state, false); }
BENCHMARK(BM_SortOrderMove)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_SortOrderMoveDelivered(benchmark::State& state) { moveBenchmark(state, true); }
BENCHMARK(BM_SortOrderMoveDelivered)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_SortOrderOpen(benchmark::State& state) {
    const auto rows = static_cast<size_t>(state.range(0));
    device();
    freshFolder();
    PlistArray names;
    for (size_t i = 0; i < rows; ++i) names.emplace_back("item " + std::to_string(i));
    PlistDictionary settings{{zv::kSchemaVersion, "1.2"}};
    for (const char* key : {zv::kLeft, zv::kCenter, zv::kRight, zv::kHidden})
        settings[key] = PlistDictionary{{zv::kData, PlistArray{}}};
    settings[zv::kDefault] = PlistDictionary{{zv::kData, std::move(names)}};
    std::ofstream(preferencesFolder() / "net.quellit.zorvane.plist") << plistToXml(PlistValue(settings));
    ZVPreferences::sharedInstance().reLoadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);

    size_t reported = 0;
    NSInteger shown = 0;
    for (auto _ : state) {
        auto page = std::make_shared<ZVSortOrderController>();
        page->initForContentSize(CGSize{320, 568});
        reported = zv::device::pageJson(*page, "ZVSortOrderController", 2).dump().size();
        state.PauseTiming();
        shown = page->tableView()->numberOfRowsInSection(4);
        page.reset();
        state.ResumeTiming();
    }
    if (shown != static_cast<NSInteger>(rows)) state.SkipWithError("the page does not show every row");
    state.counters["report_bytes"] = static_cast<double>(reported);
}
BENCHMARK(BM_SortOrderOpen)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

// A settings file as the profile manager saves it: a spread layout, every
// switch, the profile keys.
std::string profileXml(int n) {
    PlistDictionary settings{
        {zv::kEnabled, true},          {zv::kEnableLockScreenTime, false}, {zv::kHideBattery, false},
        {zv::kBluetoothConnectedOnly, true}, {zv::kHideTopGrabberLS, true}, {zv::kHideBottomGrabberLS, true},
        {zv::kShortBreadcrumb, false}, {zv::kIsBreadcrumbExclusive, true}, {zv::kSchemaVersion, "1.2"},
        {zv::kProfileName, "profile " + std::to_string(n)}, {zv::kProfileSaved, true},
        {zv::kLastModified, "12/8/26, 2:49:00 PM"},
    };
    const char* keys[] = {zv::kLeft, zv::kCenter, zv::kRight, zv::kHidden, zv::kDefault};
    PlistArray lists[5];
    for (size_t i = 0; i < zv::kSeedList.size(); ++i) lists[(i + static_cast<size_t>(n)) % 5].emplace_back(zv::kSeedList[i]);
    for (int i = 0; i < 5; ++i) settings[keys[i]] = PlistDictionary{{zv::kData, std::move(lists[i])}};
    return plistToXml(PlistValue(settings));
}

// 10,000 profile files in the preferences folder, written once.
void fillFolder(int count) {
    static int filled = -1;
    if (filled == count) return;
    device();
    freshFolder();
    // Plain writes: the setup need not be durable.
    for (int n = 0; n < count; ++n) {
        std::ofstream(preferencesFolder() / ("net.quellit.zorvane_profile " + std::to_string(n) + ".plist"))
            << profileXml(n);
    }
    std::ofstream(preferencesFolder() / "net.quellit.zorvane.plist") << profileXml(-1);
    ZVPreferences::sharedInstance().reLoadFromIdentifier(zv::kSettingsIdentifier, zv::kPreferencesNotification);
    // Let the files' times settle, as on a device where they were saved earlier.
    std::this_thread::sleep_for(std::chrono::duration<double>(zv::ProfileDateCache::kSettleSeconds + 0.5));
    filled = count;
}

// Cold: a page just opened lists the folder in its init, reading and
// parsing every file (its date memory starts empty).
void BM_ProfileListReloadCold(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    fillFolder(count);
    size_t listed = 0;
    for (auto _ : state) {
        auto page = std::make_shared<ZVProfileController>();
        page->initForContentSize(CGSize{320, 568});
        listed = page->profiles.size();
        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
    if (static_cast<int>(listed) != count) state.SkipWithError("not every profile was listed");
}
BENCHMARK(BM_ProfileListReloadCold)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);

// Warm: the page lists again (its delayed refresh on appearance, the
// refresh after an action); unchanged files are not read again.
void BM_ProfileListReload(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    fillFolder(count);
    auto page = std::make_shared<ZVProfileController>();
    page->initForContentSize(CGSize{320, 568});
    for (auto _ : state) {
        page->reloadSortOrder();
        benchmark::DoNotOptimize(page->profiles.data());
    }
    if (static_cast<int>(page->profiles.size()) != count) state.SkipWithError("not every profile was listed");
}
BENCHMARK(BM_ProfileListReload)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
