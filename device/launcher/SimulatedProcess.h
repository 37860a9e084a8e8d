// One process of the simulated device, started with argv[0] set to its
// device path and spoken to through the control protocol on its stdin and
// stdout. Runs on the launcher's main loop.
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

    bool start();
    bool running() const { return pid_ > 0; }
    void send(const std::string& line);
    void stop();
    const ProcessSetup& setup() const { return setup_; }

private:
    static gboolean onOutput(GIOChannel* channel, GIOCondition condition, gpointer self);
    static void onChildExit(GPid pid, gint status, gpointer self);

    ProcessSetup setup_;
    LineHandler onLine_;
    ExitHandler onExit_;
    GPid pid_ = 0;
    GIOChannel* input_ = nullptr;
    guint outputWatch_ = 0;
    guint childWatch_ = 0;
};

}  // namespace zv::device
