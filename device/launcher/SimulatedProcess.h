// One process of the simulated device, started with argv[0] set to its
// device path and spoken to through the control protocol on its stdin and
// stdout. Runs on the launcher's main loop.
//
// Writing to the process never blocks the launcher: lines wait in a buffer
// while the process does not read, and a process that has ended (or closed
// its input) makes send() fail instead of raising SIGPIPE. The process gets
// SIGTERM when the launcher's thread that started it ends, so a launcher
// that is killed leaves no process behind.
#pragma once

#include <glib.h>

#include <functional>
#include <string>
#include <vector>

namespace zv::device {

struct ProcessSetup {
    std::string name;        // the launcher's name for it ("springboard", "app", ...)
    std::string executable;  // host path of the program
    std::string devicePath;  // argv[0]
    std::vector<std::string> environment;  // extra NAME=value entries
    // Exit statuses after which the process is started again (SpringBoard relaunching).
    std::vector<int> restartOn;
};

class SimulatedProcess {
public:
    using LineHandler = std::function<void(const std::string& name, const std::string& line)>;
    using ExitHandler = std::function<void(const std::string& name, int status, bool restarted)>;

    SimulatedProcess(ProcessSetup setup, LineHandler onLine, ExitHandler onExit);
    ~SimulatedProcess();
    SimulatedProcess(const SimulatedProcess&) = delete;
    SimulatedProcess& operator=(const SimulatedProcess&) = delete;

    // Starts the process; false (with a "start-failed" line) when it cannot be.
    bool start();
    bool running() const { return pid_ > 0; }
    // Whether its input is still open (false once a write found it closed).
    bool takesInput() const { return input_ >= 0; }
    // Queues the line (a newline is added) for the process's input; false
    // when the process is not running or no longer reads its input.
    bool send(const std::string& line);
    // Ends the process (SIGTERM, then SIGKILL when it is still there after
    // a grace period) and reaps it. The exit handler is not called.
    void stop();
    const ProcessSetup& setup() const { return setup_; }

    // At most this many bytes wait for a process that does not read.
    static constexpr std::size_t kMaxPendingInput = 16 * 1024 * 1024;

private:
    static gboolean onOutput(GIOChannel* channel, GIOCondition condition, gpointer self);
    static gboolean onInputWritable(gint fd, GIOCondition condition, gpointer self);
    static void onChildExit(GPid pid, gint status, gpointer self);
    bool flushInput();
    void closeInput();
    // Hands every complete line waiting on the output to the line handler;
    // false once the output has ended.
    bool readOutput();
    void closeOutput();

    ProcessSetup setup_;
    LineHandler onLine_;
    ExitHandler onExit_;
    GPid pid_ = 0;
    int input_ = -1;
    std::string pendingInput_;
    guint inputWatch_ = 0;
    GIOChannel* output_ = nullptr;
    guint outputWatch_ = 0;
    guint childWatch_ = 0;
};

}  // namespace zv::device
