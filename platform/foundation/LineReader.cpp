#include "foundation/LineReader.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace zv::process {

std::optional<std::string> LineReader::readLine(std::chrono::milliseconds timeout,
                                                const volatile std::sig_atomic_t* interrupted) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const size_t newline = buffer_.find('\n');
        if (newline != std::string::npos) {
            std::string line = buffer_.substr(0, newline);
            buffer_.erase(0, newline + 1);
            return line;
        }
        if (ended_ || fd_ < 0) {
            if (buffer_.empty()) return std::nullopt;
            return std::exchange(buffer_, {});
        }
        if (interrupted && *interrupted) return std::nullopt;
        const auto left = std::max(std::chrono::milliseconds(0),
                                   std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
        pollfd waitFor{fd_, POLLIN, 0};
        const int ready = ::poll(&waitFor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return std::nullopt;
        char chunk[4096];
        const ssize_t n = ready < 0 ? -1 : ::read(fd_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ended_ = true;
        } else {
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }
}

}  // namespace zv::process
