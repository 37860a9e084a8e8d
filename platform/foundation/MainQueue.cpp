#include "foundation/MainQueue.h"

#include <glib.h>

#include <memory>

namespace {

using Work = std::function<void()>;

gboolean runOnce(gpointer data) {
    (*static_cast<Work*>(data))();
    return G_SOURCE_REMOVE;
}

void destroyWork(gpointer data) { std::unique_ptr<Work> owned(static_cast<Work*>(data)); }

GMainLoop* mainLoop() {
    static GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    return loop;
}

void dispatch_after_ms(guint ms, std::function<void()> work) {
    auto owned = std::make_unique<Work>(std::move(work));
    g_timeout_add_full(G_PRIORITY_DEFAULT, ms, runOnce, owned.release(), destroyWork);
}

}  // namespace

void dispatch_async_main(std::function<void()> work) {
    auto owned = std::make_unique<Work>(std::move(work));
    g_idle_add_full(G_PRIORITY_DEFAULT, runOnce, owned.release(), destroyWork);
}

void dispatch_after(double seconds, std::function<void()> work) {
    // GLib's timers count milliseconds in a guint (about 49.7 days): a longer
    // delay waits that long, then the rest, so it never comes round early.
    constexpr double kLongestTimerMs = G_MAXUINT;
    const double ms = seconds > 0 ? seconds * 1000.0 + 0.5 : 0;  // NaN and negatives: at once
    if (ms >= kLongestTimerMs) {
        const double rest = seconds - kLongestTimerMs / 1000.0;
        dispatch_after_ms(G_MAXUINT, [rest, work = std::move(work)]() mutable { dispatch_after(rest, std::move(work)); });
        return;
    }
    dispatch_after_ms(static_cast<guint>(ms), std::move(work));
}

void runMainLoop() { g_main_loop_run(mainLoop()); }

void stopMainLoop() { g_main_loop_quit(mainLoop()); }

void drainMainQueue() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}
