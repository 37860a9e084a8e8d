// The bound on one WebSocket message as it streams in, fragments included.
// libsoup bounds each frame but gathers a message's fragments without end,
// so the screen counts the connection's bytes itself on their way to
// libsoup: the request head, then frame after frame. A message's frames (its
// headers, continuations and any control frames between them, which libsoup
// answers and keeps) may add up to `limit` bytes; the frame that would pass
// it is refused as soon as its header arrives, before its payload.
//
// A connection carries one request (libsoup keeps none alive for a
// connection it was handed), so what follows the first request head is a
// WebSocket's frames or nothing libsoup reads.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv::screen {

struct MessageBound {
    enum class Stage : std::uint8_t { head, frameHeader, payload };
    Stage stage = Stage::head;
    std::uint8_t headEnd = 0;  // how much of "\r\n\r\n" the head ends with so far
    std::uint8_t header[14] = {};
    std::uint8_t headerSize = 0;
    bool endsMessage = false;       // the frame in payload is a message's last
    std::uint64_t payloadLeft = 0;  // of the frame in payload
    std::uint64_t message = 0;      // bytes of the message's frames so far
};

// Takes the connection's next bytes; false once the message passes `limit`.
bool takeIncoming(MessageBound& bound, const std::uint8_t* bytes, std::size_t size, std::uint64_t limit);

}  // namespace zv::screen
