#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageBound.h"

namespace zv::screen {
namespace {

// A masked client frame with `size` payload bytes.
std::vector<std::uint8_t> frame(std::uint8_t opcode, bool final, std::size_t size) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>((final ? 0x80 : 0) | opcode)};
    if (size < 126) {
        bytes.push_back(static_cast<std::uint8_t>(0x80 | size));
    } else {
        bytes.push_back(0x80 | 126);
        bytes.push_back(static_cast<std::uint8_t>(size >> 8));
        bytes.push_back(static_cast<std::uint8_t>(size & 0xFF));
    }
    bytes.insert(bytes.end(), 4 + size, 'a');
    return bytes;
}

// Feeds `bytes` in pieces of `piece` bytes; false once refused.
bool feed(MessageBound& bound, const std::vector<std::uint8_t>& bytes, std::size_t piece, std::uint64_t limit) {
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        if (!takeIncoming(bound, bytes.data() + at, std::min(piece, bytes.size() - at), limit)) return false;
    return true;
}

TEST(MessageBound, AMessageCountsAllItsFramesHoweverTheBytesArriveAndAWholeMessageStartsAfresh) {
    const std::string head = "GET /ws?token=t HTTP/1.1\r\nHost: 127.0.0.1:1\r\n\r\n";
    std::vector<std::uint8_t> wire(head.begin(), head.end());
    auto append = [&wire](const std::vector<std::uint8_t>& bytes) { wire.insert(wire.end(), bytes.begin(), bytes.end()); };
    // Four whole messages of 600 bytes, each under a bound of 1000 ...
    for (int i = 0; i < 4; ++i) append(frame(1, true, 600));
    // ... then one in fragments of 400 with a ping between: refused at the
    // third fragment, before its payload.
    append(frame(1, false, 400));
    append(frame(9, true, 10));
    append(frame(0, false, 400));
    const std::size_t acceptedUpTo = wire.size();
    append(frame(0, false, 400));
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{64}, wire.size()}) {
        MessageBound bound;
        EXPECT_TRUE(feed(bound, std::vector<std::uint8_t>(wire.begin(), wire.begin() + acceptedUpTo), piece, 1000))
            << piece;
        EXPECT_FALSE(feed(bound, std::vector<std::uint8_t>(wire.begin() + acceptedUpTo, wire.end()), piece, 1000))
            << piece;
    }
    // One frame over the bound is refused from its header alone.
    MessageBound bound;
    ASSERT_TRUE(feed(bound, std::vector<std::uint8_t>(head.begin(), head.end()), 1, 1000));
    const std::vector<std::uint8_t> big = frame(2, true, 1001);
    EXPECT_FALSE(takeIncoming(bound, big.data(), 8, 1000));
}

}  // namespace
}  // namespace zv::screen
