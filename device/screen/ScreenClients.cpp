#include "ScreenClients.h"

#include <vector>

#include "ScreenListener.h"

namespace zv::screen {

using nlohmann::json;

namespace {

// What a WebSocket frame adds to its payload, at most (header and mask).
constexpr std::uint64_t kFrameOverhead = 14;

std::string text(const json& message) { return message.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

ScreenClients::ScreenClients(MessageHandler onMessage, DropHandler onDrop)
    : onMessage_(std::move(onMessage)), onDrop_(std::move(onDrop)) {}

ScreenClients::~ScreenClients() {
    while (!clients_.empty()) drop(clients_.begin()->first);
}

std::uint64_t ScreenClients::accept(SoupWebsocketConnection* connection, GSocket* socket) {
    const std::uint64_t id = nextClient_++;
    Client& client = clients_[id];
    client.connection = static_cast<SoupWebsocketConnection*>(g_object_ref(connection));
    client.socket = static_cast<GSocket*>(g_object_ref(socket));
    client.acknowledgedAtStart = ScreenListener::bytesAcknowledged(socket);
    soup_websocket_connection_set_max_incoming_payload_size(connection, kMaxFrame);
    client.messageHandler = g_signal_connect(connection, "message", G_CALLBACK(onMessage), this);
    client.closedHandler = g_signal_connect(connection, "closed", G_CALLBACK(onClosed), this);
    return id;
}

void ScreenClients::sendTo(std::uint64_t client, const json& message) {
    auto it = clients_.find(client);
    if (it == clients_.end()) return;
    send(it->second, text(message));
}

void ScreenClients::broadcast(const json& message) {
    if (clients_.empty()) return;
    const std::string line = text(message);
    for (auto& [id, client] : clients_) send(client, line);
}

void ScreenClients::onMessage(SoupWebsocketConnection* connection, gint type, GBytes* data, gpointer self) {
    auto* clients = static_cast<ScreenClients*>(self);
    const std::uint64_t client = clients->clientOf(connection);
    if (!client) return;
    gsize size = 0;
    const auto* bytes = static_cast<const char*>(g_bytes_get_data(data, &size));
    clients->onMessage_(client, type == SOUP_WEBSOCKET_DATA_TEXT, std::string_view(bytes ? bytes : "", size));
}

void ScreenClients::onClosed(SoupWebsocketConnection* connection, gpointer self) {
    auto* clients = static_cast<ScreenClients*>(self);
    if (const std::uint64_t client = clients->clientOf(connection)) clients->drop(client);
}

// What waits for a page is measured in libsoup and the kernel together:
// the bytes sent less those the peer acknowledged.
void ScreenClients::send(Client& client, const std::string& line) {
    if (client.cut || soup_websocket_connection_get_state(client.connection) != SOUP_WEBSOCKET_STATE_OPEN) return;
    const std::uint64_t acknowledged = ScreenListener::bytesAcknowledged(client.socket) - client.acknowledgedAtStart;
    if (client.sent > acknowledged + kMaxWaiting) return cutOff(client);
    client.sent += line.size() + kFrameOverhead;
    soup_websocket_connection_send_text(client.connection, line.c_str());
}

// The peer sees the end of the stream. The last reference to the
// connection goes when the client is dropped, and with it everything
// libsoup held for it.
void ScreenClients::cutOff(Client& client) {
    client.cut = true;
    ScreenListener::shutDown(client.socket);
    dropCut_.schedule();
}

void ScreenClients::dropCut() {
    std::vector<std::uint64_t> cut;
    for (const auto& [id, client] : clients_)
        if (client.cut) cut.push_back(id);
    for (std::uint64_t id : cut) drop(id);
}

std::uint64_t ScreenClients::clientOf(SoupWebsocketConnection* connection) const {
    for (const auto& [id, client] : clients_)
        if (client.connection == connection) return id;
    return 0;
}

void ScreenClients::drop(std::uint64_t id) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    SoupWebsocketConnection* connection = it->second.connection;
    g_signal_handler_disconnect(connection, it->second.messageHandler);
    g_signal_handler_disconnect(connection, it->second.closedHandler);
    GSocket* socket = it->second.socket;
    const bool cut = it->second.cut;
    clients_.erase(it);
    onDrop_(id);
    if (!cut && soup_websocket_connection_get_state(connection) == SOUP_WEBSOCKET_STATE_OPEN)
        soup_websocket_connection_close(connection, SOUP_WEBSOCKET_CLOSE_GOING_AWAY, nullptr);
    g_object_unref(connection);
    g_object_unref(socket);
}

}  // namespace zv::screen
