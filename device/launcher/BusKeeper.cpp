#include "BusKeeper.h"

#include <sys/wait.h>

#include <iostream>

namespace zv::device {

namespace {

constexpr auto kShortestLife = std::chrono::seconds(1);

std::string describe(int status) {
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "was killed by signal " + std::to_string(WTERMSIG(status));
    return "ended";
}

}  // namespace

BusKeeper::BusKeeper(std::string hostRoot) : hostRoot_(std::move(hostRoot)) {
    bus_ = std::make_unique<DeviceBus>(hostRoot_);
    watch();
}

BusKeeper::~BusKeeper() { stop(); }

void BusKeeper::stop() {
    if (childWatch_) g_source_remove(childWatch_);
    childWatch_ = 0;
    if (restartTimer_) g_source_remove(restartTimer_);
    restartTimer_ = 0;
    if (bus_) bus_->stop();
}

void BusKeeper::watch() {
    started_ = std::chrono::steady_clock::now();
    childWatch_ = g_child_watch_add(bus_->pid(), onDaemonExit, this);
}

void BusKeeper::onDaemonExit(GPid, gint status, gpointer data) {
    auto* self = static_cast<BusKeeper*>(data);
    self->childWatch_ = 0;
    self->bus_->stop();  // the daemon is reaped; this closes what is left of it
    self->ending_ = describe(status);
    if (std::chrono::steady_clock::now() - self->started_ < kShortestLife) {
        self->restartTimer_ = g_timeout_add(1000, onRestartDue, self);
    } else {
        self->restart();
    }
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
