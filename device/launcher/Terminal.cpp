#include "Terminal.h"

#include <iostream>

namespace zv::device {

Terminal::Terminal(Device& device, std::function<void()> onQuit, std::function<void()> onEnd)
    : device_(device), onQuit_(std::move(onQuit)), onEnd_(std::move(onEnd)) {
    GIOChannel* input = g_io_channel_unix_new(0);
    g_io_channel_set_encoding(input, nullptr, nullptr);
    watch_ = g_io_add_watch(input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onInput, this);
    g_io_channel_unref(input);
}

Terminal::~Terminal() {
    if (watch_) g_source_remove(watch_);
}

void Terminal::print(const std::string& process, const std::string& line) {
    std::cout << process << ": " << line << std::endl;
}

gboolean Terminal::onInput(GIOChannel* channel, GIOCondition condition, gpointer data) {
    auto* self = static_cast<Terminal*>(data);
    if (condition & G_IO_IN) {
        gchar* raw = nullptr;
        gsize length = 0;
        const GIOStatus status = g_io_channel_read_line(channel, &raw, &length, nullptr, nullptr);
        if (status == G_IO_STATUS_NORMAL && raw) {
            std::string line(raw, length);
            g_free(raw);
            self->handleLine(line);
            return G_SOURCE_CONTINUE;
        }
        g_free(raw);
        if (status == G_IO_STATUS_AGAIN) return G_SOURCE_CONTINUE;
    }
    self->watch_ = 0;
    self->onEnd_();
    return G_SOURCE_REMOVE;
}

void Terminal::handleLine(const std::string& raw) {
    std::string line = raw;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) return;
    if (line == "quit") return onQuit_();
    const auto space = line.find(' ');
    const std::string process = line.substr(0, space);
    if (space == std::string::npos || !device_.has(process)) {
        std::cout << "launcher: usage: <process> <json>, processes:";
        for (const auto& name : device_.names()) std::cout << ' ' << name;
        std::cout << std::endl;
        return;
    }
    if (auto reply = device_.request(process, line.substr(space + 1)))
        print(process, reply->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

}  // namespace zv::device
