// Reads one stream (a pipe from a child process) line by line, each read
// held to a deadline.
#pragma once

#include <csignal>
#include <chrono>
#include <optional>
#include <string>

namespace zv::process {

class LineReader {
public:
    explicit LineReader(int fd = -1) : fd_(fd) {}
    // The next line without its newline; nullopt when none came within the
    // timeout or the stream ended. A last line without newline is returned
    // when the stream ends. With `interrupted`, also nullopt as soon as
    // *interrupted is set (checked before every wait and when a signal
    // handler cuts one short).
    std::optional<std::string> readLine(std::chrono::milliseconds timeout,
                                        const volatile std::sig_atomic_t* interrupted = nullptr);
    // Whether the stream has ended and every line was read.
    bool finished() const { return ended_ && buffer_.empty(); }

private:
    int fd_;
    std::string buffer_;
    bool ended_ = false;
};

}  // namespace zv::process
