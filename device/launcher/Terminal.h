// The launcher's terminal relay, for people and scripts: a line
// "<process> <json>" on standard input goes to that process (through
// Device::request, so the launcher answers for a process that is not
// running); "quit" stops the device. Every line a process writes, and every
// answer the launcher gives for one, is printed as "<process>: <line>".
//
// A line holds at most the process's name, a space and a request as long as
// a process takes (control::kLongestRequest); a longer one is dropped as it
// streams in, never held whole, and answered with one line saying so.
#pragma once

#include <functional>

#include "Device.h"
#include "control/RequestLines.h"

namespace zv::device {

class Terminal {
public:
    // `onQuit` runs on "quit"; `onEnd` when standard input ends.
    Terminal(Device& device, std::function<void()> onQuit, std::function<void()> onEnd);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    static void print(const std::string& process, const std::string& line);

private:
    static gboolean onInput(gint fd, GIOCondition condition, gpointer self);
    void handleLine(control::RequestLine line);

    Device& device_;
    std::function<void()> onQuit_;
    std::function<void()> onEnd_;
    control::RequestLines lines_;
    guint watch_ = 0;
};

}  // namespace zv::device
