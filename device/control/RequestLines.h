// Splits the bytes of a control connection into request lines, holding at
// most `longest` bytes of a line: a longer line is dropped as it streams in
// (its bytes are never kept) and reported as too long when it ends, so a
// peer cannot make the process hold an unbounded line.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zv::control {

struct RequestLine {
    std::string text;      // without the newline (and a carriage return before it); empty when too long
    bool tooLong = false;  // the line held more than `longest` bytes
};

class RequestLines {
public:
    explicit RequestLines(size_t longest) : longest_(longest) {}

    // Takes the next bytes of the stream; calls `onLine` for every line they end.
    void feed(std::string_view bytes, const std::function<void(RequestLine)>& onLine);
    // The stream has ended: its last line when it had no newline.
    std::optional<RequestLine> finish();

private:
    RequestLine take();

    size_t longest_;
    std::string pending_;
    bool dropping_ = false;
};

}  // namespace zv::control
