// Work an object queues on the main queue and owns while it waits: queued
// at most once at a time (asking again while it waits changes nothing, so
// a burst of causes runs it once), and taken off the queue when cancelled
// or when its owner goes. The work may end its own task, as long as it
// uses nothing it captured afterwards (the task is not touched once its work
// has begun). Replaces a "queued" flag beside a bare GLib source id, removed
// by hand.
//
//   MainQueueTask announce_{[this] { announce(); }, MainQueueTask::Priority::Low};
//   announce_.schedule();            // once this turn of the loop is over
//   retry_.scheduleAfter(1000ms);    // a timer; the work may schedule it again
#pragma once

#include <chrono>
#include <functional>

namespace zv {

class MainQueueTask {
public:
    // GLib's priorities, which order the task among the loop's other sources
    // (sockets and timers run at Default).
    enum class Priority : int { High = -100, Default = 0, Idle = 200, Low = 300 };

    explicit MainQueueTask(std::function<void()> work, Priority priority = Priority::Default);
    ~MainQueueTask();
    MainQueueTask(const MainQueueTask&) = delete;
    MainQueueTask& operator=(const MainQueueTask&) = delete;

    // Queues the work to run as soon as the loop is free at the task's
    // priority, unless it is queued already (at once or on a timer).
    void schedule();
    // Queues the work to run once `delay` has passed; a pending run is
    // moved to that time.
    void scheduleAfter(std::chrono::milliseconds delay);
    // Takes the work off the queue; nothing when it is not queued.
    void cancel();
    bool scheduled() const { return source_ != 0; }

private:
    static int run(void* self);

    std::function<void()> work_;
    Priority priority_;
    unsigned source_ = 0;
};

}  // namespace zv
