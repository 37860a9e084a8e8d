#include "SimulatedProcess.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace zv::device {

namespace {

constexpr auto kStopGrace = std::chrono::seconds(3);

// In the child, between fork and exec.
void dieWithLauncher(gpointer) { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }

}  // namespace

SimulatedProcess::SimulatedProcess(ProcessSetup setup, LineHandler onLine, ExitHandler onExit)
    : setup_(std::move(setup)), onLine_(std::move(onLine)), onExit_(std::move(onExit)) {}

SimulatedProcess::~SimulatedProcess() { stop(); }

bool SimulatedProcess::start() {
    if (running()) return true;
    // With G_SPAWN_FILE_AND_ARGV_ZERO the first element is the file to run and
    // the rest is the argument list, so argv[0] can be the device path.
    std::vector<std::string> argvStrings{setup_.executable, setup_.devicePath};
    std::vector<char*> argv;
    for (auto& s : argvStrings) argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    for (const auto& extra : setup_.environment) envStrings.push_back(extra);
    std::vector<char*> envp;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);

    gint in = -1, out = -1;
    GError* error = nullptr;
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_FILE_AND_ARGV_ZERO | G_SPAWN_DO_NOT_REAP_CHILD);
    if (!g_spawn_async_with_pipes(nullptr, argv.data(), envp.data(), flags, dieWithLauncher, nullptr, &pid_, &in,
                                  &out, nullptr, &error)) {
        onLine_(setup_.name, std::string("{\"event\":\"start-failed\",\"error\":\"") + error->message + "\"}");
        g_error_free(error);
        pid_ = 0;
        return false;
    }
    input_ = in;
    ::fcntl(input_, F_SETFL, ::fcntl(input_, F_GETFL) | O_NONBLOCK);
    pendingInput_.clear();
    output_ = g_io_channel_unix_new(out);
    g_io_channel_set_encoding(output_, nullptr, nullptr);
    g_io_channel_set_flags(output_, G_IO_FLAG_NONBLOCK, nullptr);
    g_io_channel_set_close_on_unref(output_, TRUE);
    outputWatch_ =
        g_io_add_watch(output_, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onOutput, this);
    childWatch_ = g_child_watch_add(pid_, onChildExit, this);
    return true;
}

bool SimulatedProcess::send(const std::string& line) {
    if (input_ < 0) return false;
    if (pendingInput_.size() + line.size() + 1 > kMaxPendingInput) return false;
    pendingInput_ += line;
    pendingInput_ += '\n';
    return flushInput();
}

// Writes what the pipe takes now; the rest waits for the pipe to drain.
bool SimulatedProcess::flushInput() {
    while (!pendingInput_.empty()) {
        const ssize_t written = ::write(input_, pendingInput_.data(), pendingInput_.size());
        if (written > 0) {
            pendingInput_.erase(0, static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!inputWatch_) inputWatch_ = g_unix_fd_add(input_, G_IO_OUT, onInputWritable, this);
            return true;
        }
        // EPIPE and the like: the process no longer reads (it is ending).
        closeInput();
        return false;
    }
    if (inputWatch_) g_source_remove(inputWatch_);
    inputWatch_ = 0;
    return true;
}

gboolean SimulatedProcess::onInputWritable(gint, GIOCondition, gpointer data) {
    auto* self = static_cast<SimulatedProcess*>(data);
    self->inputWatch_ = 0;  // flushInput adds a new watch when it must wait again
    self->flushInput();
    return G_SOURCE_REMOVE;
}

void SimulatedProcess::closeInput() {
    if (inputWatch_) g_source_remove(inputWatch_);
    inputWatch_ = 0;
    if (input_ >= 0) ::close(input_);
    input_ = -1;
    pendingInput_.clear();
}

void SimulatedProcess::closeOutput() {
    if (outputWatch_) g_source_remove(outputWatch_);
    outputWatch_ = 0;
    if (output_) g_io_channel_unref(output_);
    output_ = nullptr;
}

void SimulatedProcess::stop() {
    if (childWatch_) g_source_remove(childWatch_);
    childWatch_ = 0;
    closeOutput();
    closeInput();
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
        bool reaped = false;
        while (!reaped && std::chrono::steady_clock::now() < deadline) {
            const pid_t done = ::waitpid(pid_, nullptr, WNOHANG);
            reaped = done == pid_ || (done < 0 && errno != EINTR);
            if (!reaped) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!reaped) {
            ::kill(pid_, SIGKILL);
            while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        g_spawn_close_pid(pid_);
    }
    pid_ = 0;
}

bool SimulatedProcess::readOutput() {
    for (;;) {
        gchar* line = nullptr;
        gsize length = 0;
        const GIOStatus status = g_io_channel_read_line(output_, &line, &length, nullptr, nullptr);
        if (status == G_IO_STATUS_AGAIN) return true;
        if (status != G_IO_STATUS_NORMAL || !line) {
            g_free(line);
            return false;
        }
        std::string text(line, length);
        g_free(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        onLine_(setup_.name, text);
    }
}

gboolean SimulatedProcess::onOutput(GIOChannel*, GIOCondition, gpointer data) {
    auto* self = static_cast<SimulatedProcess*>(data);
    if (self->readOutput()) return G_SOURCE_CONTINUE;
    self->outputWatch_ = 0;
    if (self->output_) g_io_channel_unref(self->output_);
    self->output_ = nullptr;
    return G_SOURCE_REMOVE;
}

void SimulatedProcess::onChildExit(GPid pid, gint status, gpointer data) {
    auto* self = static_cast<SimulatedProcess*>(data);
    g_spawn_close_pid(pid);
    self->childWatch_ = 0;
    self->pid_ = 0;
    self->closeInput();
    // The lines the process wrote before it ended come before its exit.
    if (self->output_) self->readOutput();
    self->closeOutput();
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const bool restart = std::find(self->setup_.restartOn.begin(), self->setup_.restartOn.end(), code) !=
                         self->setup_.restartOn.end();
    self->onExit_(self->setup_.name, code, restart);
    if (restart) self->start();
}

}  // namespace zv::device
