#include "BusKeeper.h"

#include <glib-unix.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

namespace zv::device {

namespace {

constexpr auto kShortestLife = std::chrono::seconds(1);
constexpr guint kPollMs = 100;  // where there is no pidfd

// How the daemon ended, without reaping it; empty while it runs.
std::string endingOf(pid_t pid) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return "ended";
    if (info.si_pid == 0) return {};
    if (info.si_code == CLD_EXITED) return "exited with status " + std::to_string(info.si_status);
    return "was killed by signal " + std::to_string(info.si_status);
}

}  // namespace

BusKeeper::BusKeeper(std::string hostRoot) : hostRoot_(std::move(hostRoot)) {
    bus_ = std::make_unique<DeviceBus>(hostRoot_);
    watch();
}

BusKeeper::~BusKeeper() { stop(); }

void BusKeeper::stop() {
    unwatch();
    if (restartTimer_) g_source_remove(restartTimer_);
    restartTimer_ = 0;
    if (bus_) bus_->stop();
}

void BusKeeper::watch() {
    started_ = std::chrono::steady_clock::now();
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, bus_->pid(), 0));
    if (pidfd_ >= 0) {
        daemonWatch_ = g_unix_fd_add(pidfd_, G_IO_IN, onDaemonFd, this);
    } else {
        daemonWatch_ = g_timeout_add(kPollMs, onDaemonChange, this);
    }
}

void BusKeeper::unwatch() {
    if (daemonWatch_) g_source_remove(daemonWatch_);
    daemonWatch_ = 0;
    if (pidfd_ >= 0) ::close(pidfd_);
    pidfd_ = -1;
}

gboolean BusKeeper::onDaemonFd(gint, GIOCondition, gpointer data) { return onDaemonChange(data); }

gboolean BusKeeper::onDaemonChange(gpointer data) {
    auto* self = static_cast<BusKeeper*>(data);
    std::string ending = endingOf(self->bus_->pid());
    if (ending.empty()) return G_SOURCE_CONTINUE;
    self->daemonWatch_ = 0;  // removed by the return below
    self->unwatch();
    self->ending_ = std::move(ending);
    self->bus_->stop();  // reaps the daemon
    if (std::chrono::steady_clock::now() - self->started_ < kShortestLife) {
        self->restartTimer_ = g_timeout_add(1000, onRestartDue, self);
    } else {
        self->restart();
    }
    return G_SOURCE_REMOVE;
}

gboolean BusKeeper::onRestartDue(gpointer data) {
    auto* self = static_cast<BusKeeper*>(data);
    self->restartTimer_ = 0;
    self->restart();
    return G_SOURCE_REMOVE;
}

void BusKeeper::restart() {
    try {
        bus_ = std::make_unique<DeviceBus>(hostRoot_);
    } catch (const DeviceBusError& e) {
        std::cout << "launcher: the device's bus " << ending_ << "; cannot start it again (" << e.what()
                  << "), trying again in a second" << std::endl;
        started_ = std::chrono::steady_clock::now();
        restartTimer_ = g_timeout_add(1000, onRestartDue, this);
        return;
    }
    std::cout << "launcher: the device's bus " << ending_ << "; started again on " << bus_->address() << std::endl;
    watch();
}

}  // namespace zv::device
