#include "MessageBound.h"

#include <algorithm>

namespace zv::screen {

namespace {

// The header's whole size, once its first two bytes are in.
std::size_t headerSizeOf(const std::uint8_t* header) {
    const std::uint8_t length = header[1] & 0x7F;
    const std::size_t extended = length == 126 ? 2 : length == 127 ? 8 : 0;
    const std::size_t mask = (header[1] & 0x80) ? 4 : 0;
    return 2 + extended + mask;
}

std::uint64_t payloadSizeOf(const std::uint8_t* header) {
    const std::uint8_t length = header[1] & 0x7F;
    if (length < 126) return length;
    std::uint64_t size = 0;
    for (std::size_t i = 0; i < (length == 126 ? 2u : 8u); ++i) size = (size << 8) | header[2 + i];
    return size;
}

}  // namespace

bool takeIncoming(MessageBound& bound, const std::uint8_t* bytes, std::size_t size, std::uint64_t limit) {
    static constexpr std::uint8_t kHeadEnd[] = {'\r', '\n', '\r', '\n'};
    std::size_t at = 0;
    while (at < size) {
        switch (bound.stage) {
            case MessageBound::Stage::head:
                bound.headEnd = bytes[at] == kHeadEnd[bound.headEnd] ? bound.headEnd + 1 : bytes[at] == '\r' ? 1 : 0;
                ++at;
                if (bound.headEnd == sizeof kHeadEnd) bound.stage = MessageBound::Stage::frameHeader;
                break;
            case MessageBound::Stage::frameHeader: {
                bound.header[bound.headerSize++] = bytes[at++];
                if (bound.headerSize < 2 || bound.headerSize < headerSizeOf(bound.header)) break;
                const std::uint64_t payload = payloadSizeOf(bound.header);
                if (payload > limit || bound.message + bound.headerSize + payload > limit) return false;
                bound.message += bound.headerSize + payload;
                const bool final = bound.header[0] & 0x80;
                const bool data = (bound.header[0] & 0x0F) < 8;
                bound.endsMessage = final && data;
                bound.payloadLeft = payload;
                bound.headerSize = 0;
                bound.stage = MessageBound::Stage::payload;
                [[fallthrough]];
            }
            case MessageBound::Stage::payload: {
                const std::uint64_t taken = std::min<std::uint64_t>(bound.payloadLeft, size - at);
                at += static_cast<std::size_t>(taken);
                bound.payloadLeft -= taken;
                if (bound.payloadLeft) break;
                if (bound.endsMessage) bound.message = 0;
                bound.stage = MessageBound::Stage::frameHeader;
                break;
            }
        }
    }
    return true;
}

}  // namespace zv::screen
