// The launcher's terminal relay, for people and scripts: a line
// "<process> <json>" on standard input goes to that process (through
// Device::request, so the launcher answers for a process that is not
// running); "quit" stops the device. Every line a process writes, and every
// answer the launcher gives for one, is printed as "<process>: <line>".
#pragma once

#include <functional>

#include "Device.h"

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
    static gboolean onInput(GIOChannel* channel, GIOCondition condition, gpointer self);
    void handleLine(const std::string& line);

    Device& device_;
    std::function<void()> onQuit_;
    std::function<void()> onEnd_;
    guint watch_ = 0;
};

}  // namespace zv::device
