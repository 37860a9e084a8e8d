#include "foundation/ChildProcess.h"

#include <fcntl.h>
#include <glib.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace zv::process {

namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::chrono::milliseconds remaining(Clock::time_point deadline) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
}

ExitStatus statusFrom(int raw) {
    ExitStatus status;
    if (WIFSIGNALED(raw)) {
        status.signalled = true;
        status.signal = WTERMSIG(raw);
    } else {
        status.code = WEXITSTATUS(raw);
    }
    return status;
}

std::string resolveExecutable(const std::string& executable) {
    if (executable.find('/') != std::string::npos) return executable;
    gchar* found = g_find_program_in_path(executable.c_str());
    std::string path = found ? found : executable;
    g_free(found);
    return path;
}

std::vector<std::string> childEnvironment(const ChildProcess::Options& options) {
    std::vector<std::string> entries;
    auto keyOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    auto replaced = [&](const std::string& key) {
        if (std::find(options.unsetEnvironment.begin(), options.unsetEnvironment.end(), key) !=
            options.unsetEnvironment.end())
            return true;
        return std::any_of(options.environment.begin(), options.environment.end(),
                           [&](const auto& setting) { return setting.first == key; });
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!replaced(keyOf(*entry))) entries.emplace_back(*entry);
    }
    for (const auto& [key, value] : options.environment) entries.push_back(key + "=" + value);
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// In the child, between fork and exec: only async-signal-safe calls.
void placeFd(int fd, int target) {
    if (fd == target) {
        ::fcntl(fd, F_SETFD, 0);
    } else {
        ::dup2(fd, target);
    }
}

[[noreturn]] void failInChild(int report) {
    const int failure = errno;
    [[maybe_unused]] ssize_t written = ::write(report, &failure, sizeof failure);
    ::_exit(127);
}

}  // namespace

std::string ExitStatus::describe() const {
    if (signalled) return "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    return "exit " + std::to_string(code);
}

ChildProcess::ChildProcess(Options options) {
    const std::string executable = resolveExecutable(options.executable);
    std::vector<std::string> arguments = options.arguments;
    if (arguments.empty()) arguments.push_back(options.executable);
    std::vector<std::string> environment = childEnvironment(options);
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);

    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    int error[2] = {-1, -1};
    int report[2] = {-1, -1};
    auto closeAll = [&] {
        for (int* pair : {input, output, error, report}) {
            closeFd(pair[0]);
            closeFd(pair[1]);
        }
    };
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(report, O_CLOEXEC) != 0 ||
        (options.captureStderr && ::pipe2(error, O_CLOEXEC) != 0)) {
        const int failure = errno;
        closeAll();
        throw std::runtime_error("cannot start " + executable + ": pipe: " + std::string(std::strerror(failure)));
    }

    int nullInput = -1;
    int errorFile = -1;
    auto closeFiles = [&] {
        closeFd(nullInput);
        closeFd(errorFile);
    };
    if (options.inputFromNull) {
        nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (nullInput < 0) {
            const int failure = errno;
            closeAll();
            throw std::runtime_error("cannot start " + executable + ": /dev/null: " +
                                     std::string(std::strerror(failure)));
        }
    }
    if (!options.captureStderr && !options.stderrFile.empty()) {
        errorFile = ::open(options.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    const int deathSignal = options.deathSignal;

    const pid_t starter = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, deathSignal);
        if (::getppid() != starter) ::_exit(127);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction defaultAction {};
        defaultAction.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &defaultAction, nullptr);
        if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) {
            failInChild(report[1]);
        }
        placeFd(nullInput >= 0 ? nullInput : input[0], STDIN_FILENO);
        placeFd(output[1], STDOUT_FILENO);
        if (error[1] >= 0) placeFd(error[1], STDERR_FILENO);
        if (errorFile >= 0) placeFd(errorFile, STDERR_FILENO);
        ::execve(executable.c_str(), argv.data(), envp.data());
        failInChild(report[1]);
    }
    const int forkError = errno;
    closeFiles();
    closeFd(input[0]);
    closeFd(output[1]);
    closeFd(error[1]);
    closeFd(report[1]);
    if (pid < 0) {
        closeAll();
        throw std::runtime_error("cannot start " + executable + ": fork: " + std::string(std::strerror(forkError)));
    }

    int execFailure = 0;
    ssize_t reported;
    do {
        reported = ::read(report[0], &execFailure, sizeof execFailure);
    } while (reported < 0 && errno == EINTR);
    closeFd(report[0]);
    if (reported == sizeof execFailure) {
        closeAll();
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        throw std::runtime_error("cannot start " + executable + ": " + std::strerror(execFailure));
    }
    pid_ = pid;
    input_ = input[1];
    if (options.inputFromNull) closeFd(input_);
    outputFd_ = output[0];
    errorFd_ = error[0];
    output_ = LineReader(outputFd_);
    error_ = LineReader(errorFd_);
}

ChildProcess::~ChildProcess() { release(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      status_(std::exchange(other.status_, std::nullopt)),
      input_(std::exchange(other.input_, -1)),
      outputFd_(std::exchange(other.outputFd_, -1)),
      errorFd_(std::exchange(other.errorFd_, -1)),
      output_(std::exchange(other.output_, LineReader())),
      error_(std::exchange(other.error_, LineReader())) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        status_ = std::exchange(other.status_, std::nullopt);
        input_ = std::exchange(other.input_, -1);
        outputFd_ = std::exchange(other.outputFd_, -1);
        errorFd_ = std::exchange(other.errorFd_, -1);
        output_ = std::exchange(other.output_, LineReader());
        error_ = std::exchange(other.error_, LineReader());
    }
    return *this;
}

void ChildProcess::release() {
    if (pid_ > 0 && !status_) kill();
    pid_ = -1;
    closeFd(input_);
    closeFd(outputFd_);
    closeFd(errorFd_);
}

bool ChildProcess::writeLine(std::string_view line) {
    if (input_ < 0) return false;
    std::string bytes(line);
    bytes += '\n';
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(input_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

void ChildProcess::closeInput() { closeFd(input_); }

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout,
                                                  const volatile std::sig_atomic_t* interrupted) {
    return output_.readLine(timeout, interrupted);
}

bool ChildProcess::waitForLine(std::string_view expected, std::chrono::milliseconds timeout,
                               std::vector<std::string>* skipped) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        std::optional<std::string> line = output_.readLine(remaining(deadline));
        if (!line) return false;
        if (*line == expected) return true;
        if (skipped) skipped->push_back(std::move(*line));
    }
}

std::optional<std::string> ChildProcess::readErrorLine(std::chrono::milliseconds timeout) {
    return error_.readLine(timeout);
}

std::optional<ExitStatus> ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (status_ || pid_ <= 0) return status_;
    const auto deadline = Clock::now() + timeout;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        int raw = 0;
        const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            status_ = statusFrom(raw);
            return status_;
        }
        if (done < 0 && errno != EINTR) return std::nullopt;  // not our child any more
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::min(pause, remaining(deadline)));
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

bool ChildProcess::running() { return pid_ > 0 && !wait(std::chrono::milliseconds(0)); }

void ChildProcess::signal(int sig) {
    if (pid_ > 0 && !status_) ::kill(pid_, sig);
}

ExitStatus ChildProcess::kill() {
    if (!status_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int raw = 0;
        pid_t done;
        do {
            done = ::waitpid(pid_, &raw, 0);
        } while (done < 0 && errno == EINTR);
        status_ = done == pid_ ? statusFrom(raw) : ExitStatus{true, 0, SIGKILL};
    }
    return status_.value_or(ExitStatus{});
}

ExitStatus ChildProcess::stop(int sig, std::chrono::milliseconds grace) {
    if (sig != 0) signal(sig);
    if (std::optional<ExitStatus> ended = wait(grace)) return *ended;
    return kill();
}

}  // namespace zv::process
