#include "control/RequestLines.h"

#include <utility>

namespace zv::control {

void RequestLines::feed(std::string_view bytes, const std::function<void(RequestLine)>& onLine) {
    while (!bytes.empty()) {
        const size_t newline = bytes.find('\n');
        const std::string_view part = bytes.substr(0, newline);
        if (!dropping_ && part.size() > longest_ - pending_.size()) {
            dropping_ = true;
            std::string().swap(pending_);  // gives the memory back now
        }
        if (!dropping_) pending_.append(part);
        if (newline == std::string_view::npos) return;
        onLine(take());
        bytes.remove_prefix(newline + 1);
    }
}

std::optional<RequestLine> RequestLines::finish() {
    if (pending_.empty() && !dropping_) return std::nullopt;
    return take();
}

RequestLine RequestLines::take() {
    RequestLine line{std::exchange(pending_, std::string()), std::exchange(dropping_, false)};
    if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
    return line;
}

}  // namespace zv::control
