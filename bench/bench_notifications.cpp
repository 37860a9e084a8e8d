// Darwin notifications across processes on a private device bus: round-trip
// time between two processes (one hop each way through the bus daemon), a
// burst of posts, and a post heard by the poster itself. The timing is done
// by the pinger process (zv-bench-notify-peer) and reported as manual time,
// so the benchmark's own pipes to it are not counted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/ChildProcess.h"
#include "notifications/DeviceBus.h"

namespace {

// One peer process with pipes to its standard input and output.
class Peer {
public:
    Peer(const std::string& role, const std::string& root)
        : process_({.executable = ZV_BENCH_NOTIFY_PEER,
                    .arguments = {ZV_BENCH_NOTIFY_PEER, role},
                    .environment = {{"ZV_DEVICE_ROOT", root}}}) {
        if (process_.readLine(kAnswerTimeout) != "ready") throw std::runtime_error(role + " peer did not start");
    }
    ~Peer() {
        process_.closeInput();  // the peer ends with its input
        process_.stop(0, kAnswerTimeout);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Sends a command and answers the nanoseconds the peer reports.
    double askNanoseconds(const std::string& command) {
        if (!process_.writeLine(command)) return -1;
        std::optional<std::string> answer = process_.readLine(kAnswerTimeout);
        return answer ? std::strtod(answer->c_str(), nullptr) : -1;
    }

private:
    static constexpr std::chrono::seconds kAnswerTimeout{10};

    zv::process::ChildProcess process_;
};

// A private device bus with an echo peer and a pinger, made once.
struct Rig {
    std::string root;
    std::optional<DeviceBus> bus;
    std::unique_ptr<Peer> echo;
    std::unique_ptr<Peer> pinger;
    std::string problem;

    Rig() {
        char pattern[] = "/tmp/zv-bench-bus-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            problem = "mkdtemp failed";
            return;
        }
        root = pattern;
        try {
            bus.emplace(root);
            echo = std::make_unique<Peer>("echo", root);
            pinger = std::make_unique<Peer>("pinger", root);
        } catch (const std::exception& error) {
            problem = error.what();
        }
    }
    ~Rig() {
        pinger.reset();
        echo.reset();
        bus.reset();
        std::error_code ignored;
        if (!root.empty()) std::filesystem::remove_all(root, ignored);
    }
};

Rig& rig() {
    static Rig instance;
    return instance;
}

void timePinger(benchmark::State& state, const std::string& command, long postsPerIteration) {
    Rig& device = rig();
    if (!device.problem.empty()) {
        state.SkipWithError(device.problem.c_str());
        return;
    }
    for (auto _ : state) {
        const double nanoseconds = device.pinger->askNanoseconds(command);
        if (nanoseconds < 0) {
            state.SkipWithError("the pinger did not answer");
            return;
        }
        state.SetIterationTime(nanoseconds / 1e9);
    }
    state.SetItemsProcessed(state.iterations() * postsPerIteration);
}

// Post in one process, delivery on the other's main loop, and back.
void BM_DarwinRoundTripBetweenProcesses(benchmark::State& state) { timePinger(state, "ping 1", 2); }
BENCHMARK(BM_DarwinRoundTripBetweenProcesses)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Posts back to back: how fast the bus and the receivers keep up.
void BM_DarwinBurstBetweenProcesses(benchmark::State& state) {
    timePinger(state, "burst " + std::to_string(state.range(0)), 2 * state.range(0));
}
BENCHMARK(BM_DarwinBurstBetweenProcesses)->Arg(100)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A process hearing its own post (through the bus daemon and back).
void BM_DarwinPostHeardByThePoster(benchmark::State& state) { timePinger(state, "self 1", 1); }
BENCHMARK(BM_DarwinPostHeardByThePoster)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
