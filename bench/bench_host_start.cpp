// SpringBoard's start with the largest settings file the reader takes: from
// the start of zv-host as SpringBoard on a device whose settings file is
// that file, to its "ready" (settings loaded, status bar laid out). Timed
// here with the process's pipes, as manual time; the device root and its
// bus are set up once. ZV_BENCH_HOST and ZV_BENCH_STAGE name another build's
// zv-host and staged deliverables, to compare builds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "LongSettingsFile.h"
#include "SettingsKeys.h"
#include "control/DevicePaths.h"
#include "foundation/ChildProcess.h"
#include "foundation/DeviceFiles.h"
#include "notifications/DeviceBus.h"

namespace {

const char* fromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// A device root with the staged deliverables, a settings file and its bus.
struct Device {
    std::string root;
    std::optional<DeviceBus> bus;

    explicit Device(const std::string& settingsBytes) {
        char pattern[] = "/tmp/zv-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        root = pattern;
        std::error_code error;
        std::filesystem::copy(fromEnvironment("ZV_BENCH_STAGE", ZV_STAGE_DIR), root, std::filesystem::copy_options::recursive, error);
        const std::string settings = root + zv::kSettingsPath;
        std::filesystem::create_directories(std::filesystem::path(settings).parent_path(), error);
        if (error || !writeHostFileAtomically(settings, settingsBytes)) return;
        bus.emplace(root);
    }
    ~Device() {
        bus.reset();
        std::error_code ignored;
        if (!root.empty()) std::filesystem::remove_all(root, ignored);
    }
};

// Starts SpringBoard on the device and waits for its "ready"; the time it
// took, or nothing when it did not get there.
std::optional<double> springBoardStart(const Device& device) {
    const std::string program = fromEnvironment("ZV_BENCH_HOST", ZV_HOST_PROGRAM);
    zv::process::ChildProcess::Options options{
        .executable = program,
        .arguments = {zv::control::kSpringBoardPath},
        .environment = {{"ZV_DEVICE_ROOT", device.root}, {"ZV_HOST_ROLE", "springboard"}},
    };
    const auto start = std::chrono::steady_clock::now();
    std::optional<zv::process::ChildProcess> host;
    try {
        host.emplace(std::move(options));
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    std::optional<double> took;
    while (std::optional<std::string> line = host->readLine(std::chrono::seconds(30))) {
        if (line->find("\"event\":\"ready\"") != std::string::npos) {
            took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    host->closeInput();  // end of input ends the host
    host->stop(0, std::chrono::seconds(30));
    return took;
}

void springBoardStartWith(benchmark::State& state, const std::string& settingsBytes) {
    Device device(settingsBytes);
    if (!device.bus) {
        state.SkipWithError("cannot set up the device");
        return;
    }
    for (auto _ : state) {
        const auto took = springBoardStart(device);
        if (!took) {
            state.SkipWithError("SpringBoard did not get ready");
            break;
        }
        state.SetIterationTime(*took);
    }
    state.counters["bytes"] = static_cast<double>(settingsBytes.size());
}

void BM_SpringBoardStartTypical(benchmark::State& state) {
    springBoardStartWith(state, zv::bench::longSettingsXml(27, 12));
}
BENCHMARK(BM_SpringBoardStartTypical)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SpringBoardStartLargestBinary(benchmark::State& state) {
    springBoardStartWith(state, zv::bench::largestSettingsBinary());
}
BENCHMARK(BM_SpringBoardStartLargestBinary)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SpringBoardStartLargestXml(benchmark::State& state) {
    springBoardStartWith(state, zv::bench::largestSettingsXml());
}
BENCHMARK(BM_SpringBoardStartLargestXml)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SpringBoardStartBinary80000(benchmark::State& state) {
    springBoardStartWith(state, zv::bench::longSettingsBinary(80000, 12));
}
BENCHMARK(BM_SpringBoardStartBinary80000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
