#include "Terminal.h"

#include <glib-unix.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>

#include "control/ControlChannel.h"

namespace zv::device {

namespace {

// "<process> <request>": the longest name, a space, the longest request.
size_t longestLine(const Device& device) {
    size_t longestName = 0;
    for (const auto& name : device.names()) longestName = std::max(longestName, name.size());
    return longestName + 1 + control::kLongestRequest;
}

}  // namespace

Terminal::Terminal(Device& device, std::function<void()> onQuit, std::function<void()> onEnd)
    : device_(device), onQuit_(std::move(onQuit)), onEnd_(std::move(onEnd)), lines_(longestLine(device)) {
    watch_ = g_unix_fd_add(STDIN_FILENO, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onInput, this);
}

Terminal::~Terminal() {
    if (watch_) g_source_remove(watch_);
}

void Terminal::print(const std::string& process, const std::string& line) {
    std::cout << process << ": " << line << std::endl;
}

gboolean Terminal::onInput(gint fd, GIOCondition, gpointer data) {
    auto* self = static_cast<Terminal*>(data);
    char chunk[1 << 16];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return G_SOURCE_CONTINUE;
    if (n > 0) {
        self->lines_.feed(std::string_view(chunk, static_cast<size_t>(n)),
                          [self](control::RequestLine line) { self->handleLine(std::move(line)); });
        return G_SOURCE_CONTINUE;
    }
    if (auto last = self->lines_.finish()) self->handleLine(std::move(*last));
    self->watch_ = 0;
    self->onEnd_();
    return G_SOURCE_REMOVE;
}

void Terminal::handleLine(control::RequestLine request) {
    if (request.tooLong) {
        std::cout << "launcher: a line longer than " << longestLine(device_) << " bytes was dropped" << std::endl;
        return;
    }
    const std::string& line = request.text;
    if (line.empty()) return;
    if (line == "quit") return onQuit_();
    const auto space = line.find(' ');
    const std::string process = line.substr(0, space);
    if (space == std::string::npos || !device_.takesRequests(process)) {
        std::cout << "launcher: usage: <process> <json>, processes:";
        for (const auto& name : device_.names()) std::cout << ' ' << name;
        std::cout << "; or " << DeviceControls::kName << " <json>";
        std::cout << std::endl;
        return;
    }
    if (auto reply = device_.request(process, line.substr(space + 1)))
        print(process, reply->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace zv::device
