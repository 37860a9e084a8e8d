// A program started as a separate process and driven through its standard
// input and output, one line at a time: the device's bus daemon, the
// simulated processes a tool or a test starts, helper programs.
//
//   ChildProcess host({.executable = bin + "/zv-host",
//                      .arguments = {"/Applications/Some.app/Some"},
//                      .environment = {{"ZV_DEVICE_ROOT", root}}});
//   host.writeLine(R"({"cmd":"layout","id":1})");
//   std::optional<std::string> reply = host.readLine(std::chrono::seconds(5));
//
// arguments[0] is the child's argv[0], chosen freely (a device path).
// Everything the child needs is prepared before fork, so starting one from a
// threaded process is safe; a child that cannot run is reported by the
// constructor (a pipe carries exec's error back). The child gets
// `deathSignal` when the thread that started it ends, so a crashed starter
// leaves nothing running, and SIGKILL when the object goes while it still
// runs; it is always reaped. The object never changes the starter's signal
// dispositions: a starter that writes to a child that may stop reading
// ignores SIGPIPE itself.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/LineReader.h"

namespace zv::process {

// How a child ended.
struct ExitStatus {
    bool signalled = false;
    int code = 0;    // the exit status, when it exited
    int signal = 0;  // the signal, when it was killed by one

    bool exitedWith(int status) const { return !signalled && code == status; }
    bool killedBy(int sig) const { return signalled && signal == sig; }
    // "exit 0", "signal 9 (Killed)": for messages.
    std::string describe() const;
};

class ChildProcess {
public:
    struct Options {
        std::string executable{};  // host path, or a name searched on PATH
        std::vector<std::string> arguments{};  // argv, from argv[0]; empty means {executable}
        // Added to (or replacing entries of) the starter's own environment.
        std::vector<std::pair<std::string, std::string>> environment{};
        std::vector<std::string> unsetEnvironment{};
        std::string workingDirectory{};  // empty: the starter's
        bool captureStderr = false;      // read it with readErrorLine
        // Without captureStderr: a file the child's standard error goes to
        // (created or truncated; "/dev/null" discards it). Empty, or a file
        // that cannot be opened: the starter's standard error.
        std::string stderrFile{};
        bool inputFromNull = false;  // standard input is /dev/null, not a pipe (writeLine then fails)
        int deathSignal = SIGKILL;   // sent when the starting thread ends
    };

    // Starts the child. Throws std::runtime_error when it cannot be started
    // (the executable missing, not executable ...), saying why.
    explicit ChildProcess(Options options);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Writes the line and a newline to the child's standard input; false
    // when the child no longer reads it.
    bool writeLine(std::string_view line);
    // Ends the child's standard input (it reads end of file).
    void closeInput();
    // The child's next line of standard output (see LineReader::readLine).
    std::optional<std::string> readLine(std::chrono::milliseconds timeout,
                                        const volatile std::sig_atomic_t* interrupted = nullptr);
    // Reads lines until one equals `expected`; false when the output ends
    // or the time runs out first. The skipped lines go to `skipped` if given.
    bool waitForLine(std::string_view expected, std::chrono::milliseconds timeout,
                     std::vector<std::string>* skipped = nullptr);
    bool outputFinished() const { return output_.finished(); }
    // The child's next line of standard error; needs captureStderr.
    std::optional<std::string> readErrorLine(std::chrono::milliseconds timeout);

    // Waits for the child to end; nullopt when it is still running after the timeout.
    std::optional<ExitStatus> wait(std::chrono::milliseconds timeout);
    // Whether the child is still running (reaps it if it ended).
    bool running();
    // Sends a signal (not once the child has been reaped).
    void signal(int sig);
    // SIGKILL, then waits for it.
    ExitStatus kill();
    // Sends `sig` (nothing when 0), gives the child `grace` to end, then
    // kills it; returns how it ended.
    ExitStatus stop(int sig, std::chrono::milliseconds grace);

private:
    void release();

    pid_t pid_ = -1;
    std::optional<ExitStatus> status_;
    int input_ = -1;
    int outputFd_ = -1;
    int errorFd_ = -1;
    LineReader output_;
    LineReader error_;
};

}  // namespace zv::process
