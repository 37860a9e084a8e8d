#include "SimulatedProcess.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace zv::device {

SimulatedProcess::SimulatedProcess(ProcessSetup setup, LineHandler onLine, ExitHandler onExit)
    : setup_(std::move(setup)), onLine_(std::move(onLine)), onExit_(std::move(onExit)) {}

SimulatedProcess::~SimulatedProcess() { stop(); }

bool SimulatedProcess::start() {
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
    if (!g_spawn_async_with_pipes(nullptr, argv.data(), envp.data(), flags, nullptr, nullptr, &pid_, &in, &out,
                                  nullptr, &error)) {
        onLine_(setup_.name, std::string("{\"event\":\"start-failed\",\"error\":\"") + error->message + "\"}");
        g_error_free(error);
        pid_ = 0;
        return false;
    }
    input_ = g_io_channel_unix_new(in);
    g_io_channel_set_close_on_unref(input_, TRUE);
    GIOChannel* output = g_io_channel_unix_new(out);
    g_io_channel_set_close_on_unref(output, TRUE);
    outputWatch_ =
        g_io_add_watch(output, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onOutput, this);
    g_io_channel_unref(output);
    childWatch_ = g_child_watch_add(pid_, onChildExit, this);
    return true;
}

void SimulatedProcess::send(const std::string& line) {
    if (!input_) return;
    const std::string text = line + "\n";
    gsize written = 0;
    g_io_channel_write_chars(input_, text.data(), static_cast<gssize>(text.size()), &written, nullptr);
    g_io_channel_flush(input_, nullptr);
}

void SimulatedProcess::stop() {
    if (outputWatch_) g_source_remove(outputWatch_);
    if (childWatch_) g_source_remove(childWatch_);
    outputWatch_ = childWatch_ = 0;
    if (input_) g_io_channel_unref(input_);
    input_ = nullptr;
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        g_spawn_close_pid(pid_);
    }
    pid_ = 0;
}

gboolean SimulatedProcess::onOutput(GIOChannel* channel, GIOCondition condition, gpointer data) {
    auto* self = static_cast<SimulatedProcess*>(data);
    if (condition & G_IO_IN) {
        gchar* line = nullptr;
        gsize length = 0;
        if (g_io_channel_read_line(channel, &line, &length, nullptr, nullptr) == G_IO_STATUS_NORMAL && line) {
            std::string text(line, length);
            g_free(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            self->onLine_(self->setup_.name, text);
            return G_SOURCE_CONTINUE;
        }
        g_free(line);
    }
    self->outputWatch_ = 0;
    return G_SOURCE_REMOVE;
}

void SimulatedProcess::onChildExit(GPid pid, gint status, gpointer data) {
    auto* self = static_cast<SimulatedProcess*>(data);
    g_spawn_close_pid(pid);
    self->childWatch_ = 0;
    self->pid_ = 0;
    if (self->input_) g_io_channel_unref(self->input_);
    self->input_ = nullptr;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const bool restart = std::find(self->setup_.restartOn.begin(), self->setup_.restartOn.end(), code) !=
                         self->setup_.restartOn.end();
    self->onExit_(self->setup_.name, code, restart);
    if (restart) self->start();
}

}  // namespace zv::device
