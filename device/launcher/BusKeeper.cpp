#include "BusKeeper.h"

#include <glib-unix.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

namespace zv::device {

namespace {

constexpr auto kShortestLife = std::chrono::seconds(1);
constexpr std::chrono::milliseconds kPoll(100);  // where there is no pidfd

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
    restartTimer_.cancel();
    if (bus_) bus_->stop();
}

void BusKeeper::watch() {
    started_ = std::chrono::steady_clock::now();
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, bus_->pid(), 0));
    if (pidfd_ >= 0) {
        pidfdWatch_ = g_unix_fd_add(pidfd_, G_IO_IN, onDaemonFd, this);
    } else {
        poll_.scheduleAfter(kPoll);
    }
}

void BusKeeper::unwatch() {
    if (pidfdWatch_) g_source_remove(pidfdWatch_);
    pidfdWatch_ = 0;
    poll_.cancel();
    if (pidfd_ >= 0) ::close(pidfd_);
    pidfd_ = -1;
}

gboolean BusKeeper::onDaemonFd(gint, GIOCondition, gpointer data) {
    auto* self = static_cast<BusKeeper*>(data);
    std::string ending = endingOf(self->bus_->pid());
    if (ending.empty()) return G_SOURCE_CONTINUE;
    self->pidfdWatch_ = 0;  // removed by the return below
    self->daemonEnded(std::move(ending));
    return G_SOURCE_REMOVE;
}

void BusKeeper::poll() {
    std::string ending = endingOf(bus_->pid());
    if (ending.empty()) return poll_.scheduleAfter(kPoll);
    daemonEnded(std::move(ending));
}

void BusKeeper::daemonEnded(std::string ending) {
    unwatch();
    ending_ = std::move(ending);
    bus_->stop();  // reaps the daemon
    if (std::chrono::steady_clock::now() - started_ < kShortestLife) {
        restartTimer_.scheduleAfter(std::chrono::seconds(1));
    } else {
        restart();
    }
}

void BusKeeper::restart() {
    try {
        bus_ = std::make_unique<DeviceBus>(hostRoot_);
    } catch (const DeviceBusError& e) {
        std::cout << "launcher: the device's bus " << ending_ << "; cannot start it again (" << e.what()
                  << "), trying again in a second" << std::endl;
        started_ = std::chrono::steady_clock::now();
        restartTimer_.scheduleAfter(std::chrono::seconds(1));
        return;
    }
    std::cout << "launcher: the device's bus " << ending_ << "; started again on " << bus_->address() << std::endl;
    watch();
}

}  // namespace zv::device
