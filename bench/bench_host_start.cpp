// SpringBoard's start with the largest settings file the reader takes: from
// the start of zv-host as SpringBoard on a device whose settings file is
// that file, to its "ready" (settings loaded, status bar laid out). Timed
// here with the process's pipes, as manual time; the device root and its
// bus are set up once. ZV_BENCH_HOST and ZV_BENCH_STAGE name another build's
// zv-host and staged deliverables, to compare builds.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "LongSettingsFile.h"
#include "SettingsKeys.h"
#include "foundation/DeviceFiles.h"
#include "notifications/DeviceBus.h"

extern char** environ;

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
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    environment.push_back("ZV_DEVICE_ROOT=" + device.root);
    environment.push_back("ZV_HOST_ROLE=springboard");
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string program = fromEnvironment("ZV_BENCH_HOST", ZV_HOST_PROGRAM);
    std::string argv0 = "/System/Library/CoreServices/SpringBoard.app/SpringBoard";
    char* argv[] = {argv0.data(), nullptr};
    int toHost[2];
    int fromHost[2];
    if (::pipe2(toHost, O_CLOEXEC) != 0) return std::nullopt;
    if (::pipe2(fromHost, O_CLOEXEC) != 0) return std::nullopt;

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(toHost[0], STDIN_FILENO);
        ::dup2(fromHost[1], STDOUT_FILENO);
        ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    }
    ::close(toHost[0]);
    ::close(fromHost[1]);
    std::optional<double> took;
    std::string output;
    char chunk[4096];
    while (pid > 0) {
        pollfd poller{fromHost[0], POLLIN, 0};
        if (::poll(&poller, 1, 30000) <= 0) break;
        const ssize_t n = ::read(fromHost[0], chunk, sizeof chunk);
        if (n <= 0) break;
        output.append(chunk, static_cast<std::size_t>(n));
        if (output.find("\"event\":\"ready\"") != std::string::npos) {
            took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    ::close(toHost[1]);  // end of input ends the host
    if (pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::close(fromHost[0]);
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
