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

}  // namespace

void dispatch_async_main(std::function<void()> work) {
    auto owned = std::make_unique<Work>(std::move(work));
    g_idle_add_full(G_PRIORITY_DEFAULT, runOnce, owned.release(), destroyWork);
}

void dispatch_after(double seconds, std::function<void()> work) {
    auto owned = std::make_unique<Work>(std::move(work));
    const guint ms = seconds <= 0 ? 0 : static_cast<guint>(seconds * 1000.0 + 0.5);
    g_timeout_add_full(G_PRIORITY_DEFAULT, ms, runOnce, owned.release(), destroyWork);
}

void runMainLoop() { g_main_loop_run(mainLoop()); }

void stopMainLoop() { g_main_loop_quit(mainLoop()); }

void drainMainQueue() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}
