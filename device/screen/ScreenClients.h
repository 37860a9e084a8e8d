// The pages connected to the screen's WebSocket: each is a client with an
// id of its own (never 0, never reused), sent JSON messages one per
// WebSocket text message. A page that stops reading is cut off once what
// waits for it passes kMaxWaiting, instead of being queued without end: its
// connection ends at once, without a closing handshake, and the client is
// dropped as soon as the main loop is back (never inside one of libsoup's
// signals). A page that closes is dropped then and there.
#pragma once

#include <libsoup/soup.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "foundation/MainQueueTask.h"

namespace zv::screen {

class ScreenClients {
public:
    // A message of a client: its text, or `text` false and its bytes.
    using MessageHandler = std::function<void(std::uint64_t client, bool text, std::string_view data)>;
    // A client is gone (closed, cut off, or the clients end).
    using DropHandler = std::function<void(std::uint64_t client)>;

    // Bytes beyond which a message, all its fragments together, closes the
    // connection instead of being read (messages over kMaxScreenMessage and
    // up to this get an error).
    static constexpr std::size_t kMaxFrame = 4 * 1024 * 1024;
    // Bytes that may wait to be sent to one page before it is cut off.
    static constexpr std::size_t kMaxWaiting = 8 * 1024 * 1024;
    // Pages open at once.
    static constexpr std::size_t kMaxClients = 64;

    ScreenClients(MessageHandler onMessage, DropHandler onDrop);
    // Drops every client, closing its connection.
    ~ScreenClients();
    ScreenClients(const ScreenClients&) = delete;
    ScreenClients& operator=(const ScreenClients&) = delete;

    // Takes a connection that passed the access checks, with its socket, as
    // a new client. Returns its id.
    std::uint64_t accept(SoupWebsocketConnection* connection, GSocket* socket);
    bool full() const { return clients_.size() >= kMaxClients; }

    // Nothing when the client is gone.
    void sendTo(std::uint64_t client, const nlohmann::json& message);
    void broadcast(const nlohmann::json& message);

private:
    struct Client {
        SoupWebsocketConnection* connection = nullptr;
        GSocket* socket = nullptr;
        gulong messageHandler = 0;
        gulong closedHandler = 0;
        // The kernel's count of acknowledged bytes when the connection became
        // a WebSocket, and the bytes sent since (with their frames' overhead).
        std::uint64_t acknowledgedAtStart = 0;
        std::uint64_t sent = 0;
        bool cut = false;
    };

    static void onMessage(SoupWebsocketConnection* connection, gint type, GBytes* data, gpointer self);
    static void onClosed(SoupWebsocketConnection* connection, gpointer self);

    void send(Client& client, const std::string& text);
    void cutOff(Client& client);
    void dropCut();
    std::uint64_t clientOf(SoupWebsocketConnection* connection) const;
    void drop(std::uint64_t client);

    MessageHandler onMessage_;
    DropHandler onDrop_;
    std::map<std::uint64_t, Client> clients_;
    std::uint64_t nextClient_ = 1;
    // At the priority of the sockets' own sources, which stay ready meanwhile.
    MainQueueTask dropCut_{[this] { dropCut(); }, MainQueueTask::Priority::Default};
};

}  // namespace zv::screen
