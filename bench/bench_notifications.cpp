// Darwin notifications across processes on a private device bus: round-trip
// time between two processes (one hop each way through the bus daemon), a
// burst of posts, and a post heard by the poster itself. The timing is done
// by the pinger process (zv-bench-notify-peer) and reported as manual time,
// so the benchmark's own pipes to it are not counted.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "notifications/DeviceBus.h"

extern char** environ;

namespace {

// One peer process with pipes to its standard input and output.
class Peer {
public:
    Peer(const std::string& role, const std::string& root) {
        int input[2];
        int output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        std::vector<std::string> environment = {"ZV_DEVICE_ROOT=" + root};
        for (char** entry = environ; *entry; ++entry) {
            if (std::strncmp(*entry, "ZV_DEVICE_ROOT=", 15) != 0) environment.emplace_back(*entry);
        }
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string program = ZV_BENCH_NOTIFY_PEER;
        std::string roleArgument = role;
        char* argv[] = {program.data(), roleArgument.data(), nullptr};

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        const int failure = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        input_ = input[1];
        output_ = output[0];
        if (failure != 0) {
            pid_ = -1;
            throw std::runtime_error("cannot start " + program + ": " + std::strerror(failure));
        }
        if (readLine() != "ready") throw std::runtime_error(role + " peer did not start");
    }
    ~Peer() {
        ::close(input_);  // the peer ends with its input
        ::close(output_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Sends a command and answers the nanoseconds the peer reports.
    double askNanoseconds(const std::string& command) {
        const std::string line = command + "\n";
        if (::write(input_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return -1;
        std::optional<std::string> answer = readLine();
        return answer ? std::strtod(answer->c_str(), nullptr) : -1;
    }

private:
    std::optional<std::string> readLine() {
        for (;;) {
            const size_t newline = buffer_.find('\n');
            if (newline != std::string::npos) {
                std::string line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                return line;
            }
            pollfd waitFor{output_, POLLIN, 0};
            if (::poll(&waitFor, 1, 10000) <= 0) return std::nullopt;
            char chunk[256];
            const ssize_t n = ::read(output_, chunk, sizeof chunk);
            if (n <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffer_;
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
