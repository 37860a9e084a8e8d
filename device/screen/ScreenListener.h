// The screen's listening socket and the bounds on its connections. libsoup
// is handed each connection this class accepts (soup_server_accept_iostream)
// instead of listening itself, because libsoup's own listener stops
// accepting for good after one failed accept (no descriptor left), and keeps
// idle connections open forever.
//
// Bounds:
//   - at most maxConnections() open connections: a new one first closes the
//     connection that has been idle longest (a WebSocket is never idle);
//   - out of descriptors, the same: the idlest connection is closed and
//     accepting resumes a moment later, as soon as descriptors free up;
//   - a connection that sends no complete request head within
//     kIdleSeconds of being accepted or of its last request is closed;
//   - a listen backlog of kBacklog.
// A connection is closed by shutting its socket down: libsoup reads the end
// of the stream and lets it go (its descriptor is never closed under it).
//
// libsoup reads each connection through a bound on a WebSocket message,
// fragments included (MessageBound.h); what waits to be sent is measured
// from the kernel's count of the bytes the peer acknowledged.
#pragma once

#include <gio/gio.h>
#include <libsoup/soup.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

#include "foundation/MainQueueTask.h"

namespace zv::screen {

struct ScreenListenerError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ScreenListener {
public:
    static constexpr int kBacklog = 256;
    static constexpr int kIdleSeconds = 5;
    static constexpr std::size_t kMostConnections = 1024;
    // Descriptors kept for everything else the launcher opens (pipes of a
    // relaunched process, a downloaded file, the bus).
    static constexpr std::size_t kSpareDescriptors = 64;

    // Listens on 127.0.0.1:port (0: a free one) and hands connections to
    // `server`. Throws ScreenListenerError with a line for the person.
    // Every connection's messages are bounded to `messageLimit` bytes, all
    // their frames together (MessageBound.h).
    ScreenListener(SoupServer* server, int port, std::uint64_t messageLimit);
    ~ScreenListener();
    ScreenListener(const ScreenListener&) = delete;
    ScreenListener& operator=(const ScreenListener&) = delete;

    int port() const { return port_; }
    std::size_t maxConnections() const { return maxConnections_; }

    // A request head arrived on the connection from `remote` (the address
    // libsoup reports for the request): it is not idle.
    void requestArrived(GSocketAddress* remote);
    // The connection from `remote` became a WebSocket: it is never idle. Its
    // socket, or null when it is unknown.
    GSocket* becameWebSocket(GSocketAddress* remote);

    // Bytes written to `socket` that the peer has acknowledged (the
    // kernel's count; 0 when it cannot be had).
    static std::uint64_t bytesAcknowledged(GSocket* socket);
    // Ends a connection now, whatever libsoup is doing with it.
    static void shutDown(GSocket* socket);

private:
    struct Connection {
        GSocket* socket = nullptr;         // not owned: cleared when libsoup lets it go
        GSocketAddress* remote = nullptr;  // owned
        std::chrono::steady_clock::time_point lastRequest;
        bool webSocket = false;
        bool shut = false;
    };

    static gboolean onIncoming(GSocket*, GIOCondition, gpointer self);
    static void onSocketGone(gpointer self, GObject* socket);
    static void onStreamGone(gpointer connection, GObject* stream);

    void acceptAll();
    void adopt(GSocket* socket);
    bool closeIdlest();
    void pause(unsigned milliseconds);
    void resume();
    void sweep();
    std::size_t openConnections() const;
    Connection* find(GSocketAddress* remote);

    SoupServer* server_;
    GSocket* listener_ = nullptr;
    GSource* incoming_ = nullptr;
    MainQueueTask resumeTimer_{[this] { resume(); }};
    MainQueueTask sweepTimer_{[this] { sweep(); }};
    int port_ = 0;
    std::size_t maxConnections_ = kMostConnections;
    std::uint64_t messageLimit_;
    std::uint64_t nextConnection_ = 1;
    std::map<std::uint64_t, Connection> connections_;
};

}  // namespace zv::screen
