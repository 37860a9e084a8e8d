#include "foundation/MainQueueTask.h"

#include <glib.h>

#include <algorithm>
#include <limits>

namespace zv {

MainQueueTask::MainQueueTask(std::function<void()> work, Priority priority)
    : work_(std::move(work)), priority_(priority) {}

MainQueueTask::~MainQueueTask() { cancel(); }

void MainQueueTask::schedule() {
    if (source_) return;
    source_ = g_idle_add_full(static_cast<int>(priority_), reinterpret_cast<GSourceFunc>(run), this, nullptr);
}

void MainQueueTask::scheduleAfter(std::chrono::milliseconds delay) {
    cancel();
    const auto ms = std::clamp<std::chrono::milliseconds::rep>(delay.count(), 0, std::numeric_limits<guint>::max());
    source_ = g_timeout_add_full(static_cast<int>(priority_), static_cast<guint>(ms), reinterpret_cast<GSourceFunc>(run),
                                 this, nullptr);
}

void MainQueueTask::cancel() {
    if (source_) g_source_remove(source_);
    source_ = 0;
}

// The source is done once it has run: the work may queue the task again.
int MainQueueTask::run(void* self) {
    auto* task = static_cast<MainQueueTask*>(self);
    task->source_ = 0;
    task->work_();
    return G_SOURCE_REMOVE;
}

}  // namespace zv
