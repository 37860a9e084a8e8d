// A program started as a separate process, driven through its standard
// input and output, one line at a time: the simulated device's hosts (one
// JSON line per reply), tools, helper programs.
//
//   ChildProcess host({.executable = ZV_BIN_DIR "/zv-host",
//                      .arguments = {"/Applications/Some.app/Some"},
//                      .environment = {{"ZV_DEVICE_ROOT", root.path()}}});
//   host.writeLine(R"({"command":"layout"})");
//   std::optional<std::string> reply = host.readLine(std::chrono::seconds(5));
//
// arguments[0] is the child's argv[0], chosen freely (a device path). The
// child's standard error goes where the test's does unless captured. The
// child gets SIGKILL when the object goes (or when the thread that started
// it ends, so that a crashed test leaves nothing running), and is reaped.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::test {

// How a child ended.
struct ExitStatus {
    bool signalled = false;
    int code = 0;    // the exit status, when it exited
    int signal = 0;  // the signal, when it was killed by one

    bool exitedWith(int status) const { return !signalled && code == status; }
    bool killedBy(int sig) const { return signalled && signal == sig; }
    // "exit 0", "signal 9 (Killed)": for test messages.
    std::string describe() const;
};

// Reads one stream line by line.
class LineReader {
public:
    explicit LineReader(int fd = -1) : fd_(fd) {}
    // The next line without its newline; nullopt when none came within the
    // timeout or the stream ended. A last line without newline is returned
    // when the stream ends.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Whether the stream has ended and every line was read.
    bool finished() const { return ended_ && buffer_.empty(); }

private:
    int fd_;
    std::string buffer_;
    bool ended_ = false;
};

class ChildProcess {
public:
    struct Options {
        std::string executable{};  // host path, or a name searched on PATH
        std::vector<std::string> arguments{};  // argv, from argv[0]; empty means {executable}
        // Added to (or replacing entries of) the test's own environment.
        std::vector<std::pair<std::string, std::string>> environment{};
        std::vector<std::string> unsetEnvironment{};
        std::string workingDirectory{};  // empty: the test's
        bool captureStderr = false;    // read it with readErrorLine
    };

    // Starts the child. Throws std::runtime_error when it cannot be started
    // (the executable missing, not executable ...).
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
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
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

}  // namespace zv::test
