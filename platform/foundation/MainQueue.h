// The main queue and main run loop of a process, on GLib's default main
// context. Everything the system runs (handlers, replacements, pages) runs
// here, on the main thread.
#pragma once

#include <functional>

// Queues work on the main queue; safe from any thread.
void dispatch_async_main(std::function<void()> work);
// Queues work on the main queue to run after `seconds` (the platform's
// dispatch_after on the main queue); a delay that is not positive (NaN
// included) runs it as soon as possible, and a delay of any length, however
// long, is never cut short.
void dispatch_after(double seconds, std::function<void()> work);

// Runs the main loop until stopMainLoop is called.
void runMainLoop();
void stopMainLoop();
// Runs pending main-queue work without blocking; for tests and tools.
void drainMainQueue();
