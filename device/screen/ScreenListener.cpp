#include "ScreenListener.h"

#include <netinet/in.h>
#include <linux/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "MessageBound.h"

// A GConverter that passes the connection's bytes through unchanged and
// fails the read that would take a message past its bound (MessageBound.h):
// libsoup then drops the connection.
struct ZvBoundConverter {
    GObject parent;
    zv::screen::MessageBound bound;  // all zero: before the request head
    std::uint64_t limit;
};
struct ZvBoundConverterClass {
    GObjectClass parent;
};

namespace {

GConverterResult boundConvert(GConverter* converter, const void* in, gsize inSize, void* out, gsize outSize,
                              GConverterFlags flags, gsize* read, gsize* written, GError** error);

void boundConverterInterface(GConverterIface* iface) { iface->convert = boundConvert; }

}  // namespace

G_DEFINE_TYPE_WITH_CODE(ZvBoundConverter, zv_bound_converter, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_CONVERTER, boundConverterInterface))

static void zv_bound_converter_class_init(ZvBoundConverterClass*) {}
static void zv_bound_converter_init(ZvBoundConverter*) {}

namespace {

GConverterResult boundConvert(GConverter* converter, const void* in, gsize inSize, void* out, gsize outSize,
                              GConverterFlags flags, gsize* read, gsize* written, GError** error) {
    auto* self = reinterpret_cast<ZvBoundConverter*>(converter);
    const gsize size = std::min(inSize, outSize);
    if (!zv::screen::takeIncoming(self->bound, static_cast<const std::uint8_t*>(in), size, self->limit)) {
        g_set_error_literal(error, G_IO_ERROR, G_IO_ERROR_MESSAGE_TOO_LARGE, "a message over the screen's bound");
        return G_CONVERTER_ERROR;
    }
    if (size) std::memcpy(out, in, size);
    *read = *written = size;
    if ((flags & G_CONVERTER_INPUT_AT_END) && size == inSize) return G_CONVERTER_FINISHED;
    if ((flags & G_CONVERTER_FLUSH) && size == inSize) return G_CONVERTER_FLUSHED;
    if (size == 0 && inSize) {
        g_set_error_literal(error, G_IO_ERROR, G_IO_ERROR_NO_SPACE, "no room");
        return G_CONVERTER_ERROR;
    }
    return G_CONVERTER_CONVERTED;
}

}  // namespace

namespace zv::screen {

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kSweepMilliseconds = 500;
constexpr unsigned kRetryMilliseconds = 50;
constexpr int kAcceptsPerWake = 64;

bool tcpInfo(GSocket* socket, tcp_info& info) {
    socklen_t size = sizeof info;
    info = {};
    return ::getsockopt(g_socket_get_fd(socket), IPPROTO_TCP, TCP_INFO, &info, &size) == 0;
}

}  // namespace

ScreenListener::ScreenListener(SoupServer* server, int port, std::uint64_t messageLimit)
    : server_(server), messageLimit_(messageLimit) {
    // Connections are bounded by the descriptors this process may open.
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        maxConnections_ = std::clamp<std::size_t>(
            limit.rlim_cur > kSpareDescriptors * 2 ? limit.rlim_cur - kSpareDescriptors : limit.rlim_cur / 2, 8,
            kMostConnections);

    GError* error = nullptr;
    listener_ = g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, &error);
    if (listener_) {
        g_socket_set_blocking(listener_, FALSE);
        g_socket_set_listen_backlog(listener_, kBacklog);
        GSocketAddress* address = g_inet_socket_address_new_from_string("127.0.0.1", static_cast<guint>(port));
        const bool bound = g_socket_bind(listener_, address, TRUE, &error) && g_socket_listen(listener_, &error);
        g_object_unref(address);
        if (!bound) g_clear_object(&listener_);
    }
    if (!listener_) {
        std::string why = error ? error->message : "no socket";
        if (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ADDRESS_IN_USE))
            why = "port " + std::to_string(port) + " on 127.0.0.1 is in use (choose another with --port, or 0 for a free one)";
        g_clear_error(&error);
        throw ScreenListenerError(why);
    }
    if (GSocketAddress* local = g_socket_get_local_address(listener_, nullptr)) {
        port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(local));
        g_object_unref(local);
    }
    pause(0);
    sweepTimer_.scheduleAfter(std::chrono::milliseconds(kSweepMilliseconds));
}

ScreenListener::~ScreenListener() {
    if (incoming_) {
        g_source_destroy(incoming_);
        g_source_unref(incoming_);
    }
    for (auto& [id, connection] : connections_) {
        if (connection.socket) g_object_weak_unref(G_OBJECT(connection.socket), onSocketGone, this);
        g_object_unref(connection.remote);
    }
    g_socket_close(listener_, nullptr);
    g_object_unref(listener_);
}

gboolean ScreenListener::onIncoming(GSocket*, GIOCondition, gpointer self) {
    static_cast<ScreenListener*>(self)->acceptAll();
    return G_SOURCE_CONTINUE;
}

void ScreenListener::acceptAll() {
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        if (openConnections() >= maxConnections_ && !closeIdlest()) {
            // Every connection is a WebSocket: wait for one to end.
            pause(kSweepMilliseconds);
            return;
        }
        GError* error = nullptr;
        GSocket* socket = g_socket_accept(listener_, nullptr, &error);
        if (!socket) {
            const bool outOfDescriptors = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TOO_MANY_OPEN_FILES) ||
                                          g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NO_SPACE);
            const bool wouldBlock = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK);
            g_error_free(error);
            if (wouldBlock) return;
            // Out of descriptors (or any other failure): the waiting
            // connection stays in the backlog; the idlest connection makes
            // room and accepting goes on a moment later.
            if (outOfDescriptors) closeIdlest();
            pause(kRetryMilliseconds);
            return;
        }
        adopt(socket);
    }
}

void ScreenListener::adopt(GSocket* socket) {
    g_socket_set_blocking(socket, FALSE);
    // Each message is sent at once: a status bar must not wait behind the
    // acknowledgement of the page event sent just before it (Nagle).
    g_socket_set_option(socket, IPPROTO_TCP, TCP_NODELAY, 1, nullptr);
    GSocketConnection* connection = g_socket_connection_factory_create_connection(socket);
    // libsoup reads through the message bound and writes to the socket; the
    // socket is closed once libsoup lets go of the stream it was handed.
    auto* bound = static_cast<ZvBoundConverter*>(g_object_new(zv_bound_converter_get_type(), nullptr));
    bound->limit = messageLimit_;
    GInputStream* input =
        g_converter_input_stream_new(g_io_stream_get_input_stream(G_IO_STREAM(connection)), G_CONVERTER(bound));
    g_object_unref(bound);
    GIOStream* stream = g_simple_io_stream_new(input, g_io_stream_get_output_stream(G_IO_STREAM(connection)));
    g_object_unref(input);
    g_object_weak_ref(G_OBJECT(stream), onStreamGone, connection);  // takes the connection's reference

    GSocketAddress* local = g_socket_get_local_address(socket, nullptr);
    GSocketAddress* remote = g_socket_get_remote_address(socket, nullptr);
    bool handed = false;
    if (local && remote) {
        connections_[nextConnection_++] = Connection{socket, G_SOCKET_ADDRESS(g_object_ref(remote)), Clock::now()};
        g_object_weak_ref(G_OBJECT(socket), onSocketGone, this);
        handed = soup_server_accept_iostream(server_, stream, local, remote, nullptr);
    }
    if (!handed) g_io_stream_close(stream, nullptr, nullptr);
    if (local) g_object_unref(local);
    if (remote) g_object_unref(remote);
    g_object_unref(stream);
    g_object_unref(socket);
}

void ScreenListener::onStreamGone(gpointer connection, GObject*) {
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
}

void ScreenListener::onSocketGone(gpointer self, GObject* socket) {
    auto& connections = static_cast<ScreenListener*>(self)->connections_;
    for (auto it = connections.begin(); it != connections.end(); ++it) {
        if (G_OBJECT(it->second.socket) != socket) continue;
        g_object_unref(it->second.remote);
        connections.erase(it);
        return;
    }
}

std::size_t ScreenListener::openConnections() const {
    return static_cast<std::size_t>(std::count_if(connections_.begin(), connections_.end(), [](const auto& entry) {
        return entry.second.socket && !entry.second.shut && !g_socket_is_closed(entry.second.socket);
    }));
}

bool ScreenListener::closeIdlest() {
    Connection* idlest = nullptr;
    for (auto& [id, connection] : connections_) {
        if (!connection.socket || connection.shut || connection.webSocket || g_socket_is_closed(connection.socket))
            continue;
        if (!idlest || connection.lastRequest < idlest->lastRequest) idlest = &connection;
    }
    if (!idlest) return false;
    idlest->shut = true;
    shutDown(idlest->socket);
    return true;
}

// Stops watching the listening socket for a while (0: starts watching now).
void ScreenListener::pause(unsigned milliseconds) {
    if (incoming_) {
        g_source_destroy(incoming_);
        g_source_unref(incoming_);
        incoming_ = nullptr;
    }
    resumeTimer_.cancel();
    if (milliseconds) return resumeTimer_.scheduleAfter(std::chrono::milliseconds(milliseconds));
    incoming_ = g_socket_create_source(listener_, G_IO_IN, nullptr);
    g_source_set_callback(incoming_, G_SOURCE_FUNC(onIncoming), this, nullptr);
    g_source_attach(incoming_, nullptr);
}

void ScreenListener::resume() {
    pause(0);
    acceptAll();
}

// Runs every kSweepMilliseconds.
void ScreenListener::sweep() {
    sweepTimer_.scheduleAfter(std::chrono::milliseconds(kSweepMilliseconds));
    const auto deadline = Clock::now() - std::chrono::seconds(kIdleSeconds);
    for (auto& [id, connection] : connections_) {
        if (!connection.socket || connection.shut || connection.webSocket) continue;
        if (connection.lastRequest > deadline || g_socket_is_closed(connection.socket)) continue;
        connection.shut = true;
        shutDown(connection.socket);
    }
}

ScreenListener::Connection* ScreenListener::find(GSocketAddress* remote) {
    if (!remote) return nullptr;
    // Every peer is 127.0.0.1: its port tells the open connections apart.
    const guint16 port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(remote));
    for (auto& [id, connection] : connections_)
        if (connection.socket && !g_socket_is_closed(connection.socket) &&
            g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(connection.remote)) == port)
            return &connection;
    return nullptr;
}

void ScreenListener::requestArrived(GSocketAddress* remote) {
    if (Connection* connection = find(remote)) connection->lastRequest = Clock::now();
}

GSocket* ScreenListener::becameWebSocket(GSocketAddress* remote) {
    Connection* connection = find(remote);
    if (!connection) return nullptr;
    connection->webSocket = true;
    return connection->socket;
}

std::uint64_t ScreenListener::bytesAcknowledged(GSocket* socket) {
    tcp_info info;
    return tcpInfo(socket, info) ? info.tcpi_bytes_acked : 0;
}

void ScreenListener::shutDown(GSocket* socket) {
    if (!g_socket_is_closed(socket)) g_socket_shutdown(socket, TRUE, TRUE, nullptr);
}

}  // namespace zv::screen
