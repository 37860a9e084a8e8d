#include "ScreenServer.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <vector>

#include "PreferencesDownload.h"
#include "ProfileUpload.h"
#include "control/ActivityEvents.h"
#include "control/PhoneClock.h"
#include "RequestLine.h"
#include "ScreenAccess.h"
#include "ScreenListener.h"
#include "ScreenMessage.h"
#include "SettingsFindings.h"
#include "SettingsKeys.h"
#include "StatusBarImage.h"
#include "foundation/DeviceFiles.h"

namespace zv::screen {

using nlohmann::json;

namespace {

constexpr const char* kRequestIdPrefix = "screen:";
constexpr std::size_t kMaxPendingRequests = 4096;
constexpr std::string_view kWebSocketPath = "/ws";
constexpr std::string_view kUploadCheckPath = "/upload/check";
constexpr std::string_view kUploadAddPath = "/upload/add";
// What a WebSocket frame adds to its payload, at most (header and mask).
constexpr std::uint64_t kFrameOverhead = 14;

const std::map<std::string, std::string>& contentTypes() {
    static const std::map<std::string, std::string> types{{".html", "text/html; charset=utf-8"},
                                                          {".css", "text/css; charset=utf-8"},
                                                          {".js", "text/javascript; charset=utf-8"},
                                                          {".svg", "image/svg+xml"},
                                                          {".png", "image/png"}};
    return types;
}

void refuse(SoupServerMessage* message, guint status, const char* why) {
    soup_server_message_set_status(message, status, nullptr);
    const std::string body = std::string(why) + "\n";
    soup_server_message_set_response(message, "text/plain; charset=utf-8", SOUP_MEMORY_COPY, body.data(), body.size());
}

std::string header(SoupServerMessage* message, const char* name) {
    const char* value = soup_message_headers_get_one(soup_server_message_get_request_headers(message), name);
    return value ? value : "";
}

}  // namespace

ScreenServer::ScreenServer(device::Device& device, int port, std::string pageFolder, std::string preferencesFolder,
                           std::string token)
    : device_(device),
      pageFolder_(std::move(pageFolder)),
      preferencesFolder_(std::move(preferencesFolder)),
      token_(std::move(token)) {
    // The page is the files of its folder, by name: nothing else is served.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(pageFolder_, error)) {
        const auto type = contentTypes().find(entry.path().extension().string());
        if (entry.is_regular_file() && type != contentTypes().end())
            pageFiles_[entry.path().filename().string()] = type->second;
    }
    if (!pageFiles_.count("index.html")) throw ScreenServerError("no page at " + pageFolder_ + "/index.html");

    server_ = soup_server_new("server-header", "zv-launcher", nullptr);
    // Messages are bounded as they come over the wire: no compression.
    soup_server_remove_websocket_extension(server_, SOUP_TYPE_WEBSOCKET_EXTENSION_DEFLATE);
    try {
        // A whole message may take kMaxFrame and its frames' headers; one
        // frame over kMaxFrame is libsoup's to refuse, with a close frame.
        listener_ = std::make_unique<ScreenListener>(server_, port, kMaxFrame + 64 * 1024);
    } catch (const ScreenListenerError& e) {
        g_object_unref(server_);
        throw ScreenServerError(e.what());
    }
    port_ = listener_->port();

    // libsoup runs the handlers of the most specific path only, so the
    // checks are registered for the WebSocket's path too (which libsoup
    // also matches for /ws/anything).
    soup_server_add_early_handler(server_, nullptr, onEarlyRequest, this, nullptr);
    soup_server_add_early_handler(server_, "/ws", onEarlyRequest, this, nullptr);
    soup_server_add_handler(server_, nullptr, onRequest, this, nullptr);
    soup_server_add_websocket_handler(server_, "/ws", nullptr, nullptr, onWebSocket, this, nullptr);

    device_.onLine([this](const std::string& process, const std::string&, const json& parsed) {
        processLine(process, parsed);
    });
    device_.onChange([this] { broadcast(deviceMessage()); });
    device_.onExit([this](const std::string& process, int, bool) { processExited(process); });
    findings_ = settingsFindings(preferencesFolder_ + "/" + kSettingsIdentifier + ".plist");
    scheduleMinute();
}

ScreenServer::~ScreenServer() {
    if (minuteTimer_) g_source_remove(minuteTimer_);
    if (roadAnnouncement_) g_source_remove(roadAnnouncement_);
    if (settingsCheck_) g_source_remove(settingsCheck_);
    if (cutClients_) g_source_remove(cutClients_);
    while (!clients_.empty()) dropClient(clients_.begin()->first);
    listener_.reset();
    soup_server_disconnect(server_);
    g_object_unref(server_);
}

std::string ScreenServer::address() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token_;
}

// Runs before any handler, once the request's head is in: a request that
// fails a check is answered here and goes no further.
void ScreenServer::onEarlyRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                                  gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    server->listener_->requestArrived(soup_server_message_get_remote_address(message));
    server->checkAccess(message, path, query);
}

// The page's files hold no secret: they go to any request for the screen's
// own Host. The WebSocket and the downloads reach the device and its files:
// they need the token, presented as ?token= (the page keeps it from the
// printed address), and the page's own Origin or fetch site.
void ScreenServer::checkAccess(SoupServerMessage* message, const char* path, GHashTable* query) {
    if (!hostAllowed(header(message, "Host"), port_))
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: the screen answers only to 127.0.0.1 and localhost");
    const std::string_view requested(path);
    // Any upgrade, on whatever path, is the WebSocket's: only /ws itself.
    const bool upgrade = !header(message, "Upgrade").empty();
    if (upgrade && requested != kWebSocketPath)
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: the only WebSocket is /ws");
    const bool download = requested.starts_with(kDownloadPathPrefix);
    const bool upload = requested.starts_with("/upload/");
    if (!upgrade && !download && !upload && requested != kWebSocketPath) return;
    const char* queryToken = query ? static_cast<const char*>(g_hash_table_lookup(query, "token")) : nullptr;
    if (!queryToken || !tokensEqual(queryToken, token_))
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: open the address zv-launcher printed");
    const std::string origin = header(message, "Origin");
    if (download) {
        // A download is the page's own fetch: another site's page says so
        // in Origin or, for a link it follows, in Sec-Fetch-Site.
        if ((!origin.empty() && !originAllowed(origin, port_)) || !fetchSiteAllowed(header(message, "Sec-Fetch-Site")))
            return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: downloads are for the screen's own page");
        return;
    }
    if (upload) {
        // An upload is the page's own fetch, which always names its origin.
        if (!originAllowed(origin, port_) || !fetchSiteAllowed(header(message, "Sec-Fetch-Site")))
            return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: uploads are for the screen's own page");
        if (std::string(soup_server_message_get_method(message)) != "POST")
            return refuse(message, SOUP_STATUS_METHOD_NOT_ALLOWED, "Method not allowed");
        if (requested != kUploadCheckPath && requested != kUploadAddPath)
            return refuse(message, SOUP_STATUS_NOT_FOUND, "Not found");
        // The body's length is known before it is read, or it is not read.
        SoupMessageHeaders* headers = soup_server_message_get_request_headers(message);
        if (soup_message_headers_get_encoding(headers) != SOUP_ENCODING_CONTENT_LENGTH)
            return refuse(message, SOUP_STATUS_LENGTH_REQUIRED, "Length required");
        if (soup_message_headers_get_content_length(headers) > static_cast<goffset>(kMaxUploadBytes))
            return refuse(message, SOUP_STATUS_REQUEST_ENTITY_TOO_LARGE, "The file is larger than 4 MiB");
        return;
    }
    if (!originAllowed(origin, port_))
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: the WebSocket is for the screen's own page");
    if (clients_.size() >= kMaxClients)
        return refuse(message, SOUP_STATUS_SERVICE_UNAVAILABLE, "Too many pages are open on this screen");
}

void ScreenServer::onRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                             gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    if (std::string_view(path).starts_with("/upload/")) return server->serveUpload(message, path);
    server->serveFile(message, path);
}

// The checks let only the page's own POSTs to the two paths through, with
// a body of a known length within the bound.
void ScreenServer::serveUpload(SoupServerMessage* message, std::string_view path) {
    // From the raw query: libsoup's parsed one ends a value at a NUL byte.
    const char* rawQuery = g_uri_get_query(soup_server_message_get_uri(message));
    auto parameter = [rawQuery](const char* name) {
        return queryParameter(rawQuery ? rawQuery : "", name).value_or("");
    };
    SoupMessageBody* requestBody = soup_server_message_get_request_body(message);
    GBytes* flattened = soup_message_body_flatten(requestBody);
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(flattened, &size));
    std::string bytes(data ? data : "", size);
    g_bytes_unref(flattened);

    UploadAnswer answer = path == kUploadCheckPath
                              ? checkUpload(std::move(bytes), parameter("file"))
                              : addUpload(std::move(bytes), parameter("name"), parameter("replace") == "1",
                                          preferencesFolder_);
    if (path == kUploadAddPath && answer.status == SOUP_STATUS_OK) {
        // The Profiles page lists the folder when it appears: it lists the new profile at once.
        device_.request("settings", json{{"cmd", "appear"}, {"id", "launcher:upload"}}.dump());
    }
    const std::string text = answer.body.dump(-1, ' ', false, json::error_handler_t::replace);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    soup_message_headers_replace(headers, "X-Content-Type-Options", "nosniff");
    soup_server_message_set_status(message, answer.status, nullptr);
    soup_server_message_set_response(message, "application/json", SOUP_MEMORY_COPY, text.data(), text.size());
}

void ScreenServer::serveFile(SoupServerMessage* message, const char* path) {
    const std::string method = soup_server_message_get_method(message);
    if (method != "GET" && method != "HEAD") return refuse(message, SOUP_STATUS_METHOD_NOT_ALLOWED, "Method not allowed");
    if (std::string_view(path).starts_with(kDownloadPathPrefix))
        return serveDownload(message, std::string_view(path).substr(kDownloadPathPrefix.size()));
    std::string name = std::string(path) == "/" ? "index.html" : std::string(path).substr(1);
    auto file = pageFiles_.find(name);
    if (file == pageFiles_.end()) return refuse(message, SOUP_STATUS_NOT_FOUND, "Not found");
    const std::optional<std::string> body = readHostFile(pageFolder_ + "/" + name);
    if (!body) return refuse(message, SOUP_STATUS_NOT_FOUND, "Not found");
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    soup_message_headers_replace(headers, "X-Content-Type-Options", "nosniff");
    soup_message_headers_replace(headers, "X-Frame-Options", "DENY");
    soup_message_headers_replace(headers, "Referrer-Policy", "no-referrer");
    soup_message_headers_replace(headers, "Content-Security-Policy",
                                 "default-src 'self'; connect-src 'self'; img-src 'self' data:; "
                                 "style-src 'self'; script-src 'self'; frame-ancestors 'none'");
    soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
    soup_server_message_set_response(message, file->second.c_str(), SOUP_MEMORY_COPY, body->data(), body->size());
}

void ScreenServer::serveDownload(SoupServerMessage* message, std::string_view requestedName) {
    DownloadRefusal refusal;
    const std::optional<std::string> name = downloadName(requestedName, refusal);
    const std::optional<std::string> body = name ? readPreferencesFile(preferencesFolder_, *name, refusal) : std::nullopt;
    if (!body) return refuse(message, refusal.status, refusal.why.c_str());
    // The name as a quoted filename (anything unusual replaced) and, whole,
    // percent-encoded in UTF-8.
    std::string plain;
    std::string encoded;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : *name) {
        const bool safe = std::isalnum(c) || c == '.' || c == '_' || c == '-';
        plain += safe || c == ' ' ? static_cast<char>(c) : '_';
        if (safe) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    const std::string disposition = "attachment; filename=\"" + plain + "\"; filename*=UTF-8''" + encoded;
    soup_message_headers_replace(headers, "Content-Disposition", disposition.c_str());
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    soup_message_headers_replace(headers, "X-Content-Type-Options", "nosniff");
    soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
    soup_server_message_set_response(message, "application/x-plist", SOUP_MEMORY_COPY, body->data(), body->size());
}

void ScreenServer::onWebSocket(SoupServer*, SoupServerMessage* message, const char* path,
                               SoupWebsocketConnection* connection, gpointer data) {
    auto* self = static_cast<ScreenServer*>(data);
    GSocket* socket = self->listener_->becameWebSocket(soup_server_message_get_remote_address(message));
    // The checks refused every other path already; nothing unchecked or
    // uncounted ever gets a connection.
    if (!socket || std::string_view(path) != kWebSocketPath) {
        soup_websocket_connection_close(connection, SOUP_WEBSOCKET_CLOSE_POLICY_VIOLATION, nullptr);
        if (socket) ScreenListener::shutDown(socket);
        return;
    }
    const std::uint64_t id = self->nextClient_++;
    Client& client = self->clients_[id];
    client.connection = static_cast<SoupWebsocketConnection*>(g_object_ref(connection));
    client.socket = static_cast<GSocket*>(g_object_ref(socket));
    client.acknowledgedAtStart = ScreenListener::bytesAcknowledged(socket);
    soup_websocket_connection_set_max_incoming_payload_size(connection, kMaxFrame);
    client.messageHandler = g_signal_connect(connection, "message", G_CALLBACK(onMessage), self);
    client.closedHandler = g_signal_connect(connection, "closed", G_CALLBACK(onClosed), self);
    // A new page is told the whole device.
    self->sendTo(id, self->deviceMessage());
    for (const auto& process : self->device_.names())
        if (!self->device_.status(process).layout.is_null()) self->sendTo(id, self->layoutMessage(process));
    for (const auto& [process, page] : self->pages_)
        self->sendTo(id, {{"type", "page"}, {"process", process}, {"page", page}});
    self->sendTo(id, self->roadMessage());
    self->sendTo(id, self->findings_);
}

void ScreenServer::onMessage(SoupWebsocketConnection* connection, gint type, GBytes* data, gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    const std::uint64_t client = server->clientOf(connection);
    if (!client) return;
    if (type != SOUP_WEBSOCKET_DATA_TEXT) {
        server->sendTo(client, {{"type", "reply"}, {"process", nullptr},
                                {"reply", device::errorReply("the screen takes text messages only", nullptr)}});
        return;
    }
    gsize size = 0;
    const auto* bytes = static_cast<const char*>(g_bytes_get_data(data, &size));
    server->handleMessage(client, std::string_view(bytes ? bytes : "", size));
}

// Ends a client's connection at once, without a closing handshake: the
// peer sees the end of the stream, and the client is dropped as soon as the
// main loop is back (never inside one of libsoup's signals). The last
// reference to its connection goes then, and with it everything libsoup
// held for it.
void ScreenServer::cutOff(Client& client) {
    client.cut = true;
    ScreenListener::shutDown(client.socket);
    if (cutClients_) return;
    // At the priority of the sockets' own sources, which stay ready meanwhile.
    cutClients_ = g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer self) -> gboolean {
            auto* server = static_cast<ScreenServer*>(self);
            server->cutClients_ = 0;
            std::vector<std::uint64_t> cut;
            for (const auto& [id, client] : server->clients_)
                if (client.cut) cut.push_back(id);
            for (std::uint64_t id : cut) server->dropClient(id);
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
}

void ScreenServer::onClosed(SoupWebsocketConnection* connection, gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    if (const std::uint64_t client = server->clientOf(connection)) server->dropClient(client);
}

void ScreenServer::handleMessage(std::uint64_t client, std::string_view text) {
    ScreenMessage message = parseScreenMessage(text, device_);
    auto answer = [&](json reply) {
        sendTo(client, {{"type", "reply"},
                        {"process", message.process.empty() ? json(nullptr) : json(message.process)},
                        {"reply", std::move(reply)}});
    };
    if (!message.error.empty()) return answer(device::errorReply(message.error, message.id));
    if (pending_.size() >= kMaxPendingRequests)
        return answer(device::errorReply("too many requests are waiting for replies", message.id));
    // The process sees an id of the server's own, so its reply finds this page.
    const std::uint64_t request = nextRequest_++;
    message.request["id"] = kRequestIdPrefix + std::to_string(request);
    if (std::optional<json> reply = device_.request(message.process, message.request.dump())) {
        if (message.id.is_null())
            reply->erase("id");
        else
            (*reply)["id"] = message.id;
        return answer(std::move(*reply));
    }
    pending_[request] = Pending{client, message.id, message.process};
}

void ScreenServer::processLine(const std::string& process, const json& parsed) {
    if (!parsed.is_object()) return;
    if (auto event = parsed.find("event"); event != parsed.end()) {
        const bool onRoad = road_.take(process, parsed);
        if ((*event == "delivered" && parsed.value("name", "") == kPreferencesNotification) ||
            (*event == "wrote" && parsed.value("file", "") == kSettingsPath))
            checkSettingsFile();
        if (*event == "layout") {
            broadcast(layoutMessage(process));
        } else if (*event == "page") {
            pages_[process] = parsed;
            broadcast({{"type", "page"}, {"process", process}, {"page", parsed}});
        } else if (!onRoad) {
            broadcast({{"type", "event"}, {"process", process}, {"event", parsed}});
        }
        if (onRoad) announceRoad();
        return;
    }
    auto id = parsed.find("id");
    if (id == parsed.end() || !id->is_string()) return;
    const std::string text = id->get<std::string>();
    if (text.rfind(kRequestIdPrefix, 0) != 0) return;  // a terminal request's reply
    std::uint64_t request = 0;
    try {
        request = std::stoull(text.substr(std::string_view(kRequestIdPrefix).size()));
    } catch (const std::exception&) {
        return;
    }
    auto pending = pending_.find(request);
    if (pending == pending_.end()) return;
    json reply = parsed;
    if (pending->second.id.is_null())
        reply.erase("id");
    else
        reply["id"] = pending->second.id;
    const std::uint64_t client = pending->second.client;
    pending_.erase(pending);
    sendTo(client, {{"type", "reply"}, {"process", process}, {"reply", std::move(reply)}});
}

// A process that ended answers none of the requests it was sent, and
// shows no page.
void ScreenServer::processExited(const std::string& process) {
    if (pages_.erase(process)) broadcast({{"type", "page"}, {"process", process}, {"page", nullptr}});
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->second.process != process) {
            ++it;
            continue;
        }
        sendTo(it->second.client, {{"type", "reply"},
                                   {"process", process},
                                   {"reply", device::errorReply(process + " ended before it answered", it->second.id)}});
        it = pending_.erase(it);
    }
}

json ScreenServer::deviceMessage() const {
    json processes = json::array();
    for (const auto& name : device_.names()) {
        const device::ProcessStatus status = device_.status(name);
        processes.push_back({{"name", name},
                             {"running", status.running},
                             {"ready", status.ready},
                             {"exitStatus", status.exitStatus ? json(*status.exitStatus) : json(nullptr)}});
    }
    return {{"type", "device"}, {"front", device_.front()}, {"time", control::phoneClockText()}, {"processes", processes}};
}

json ScreenServer::layoutMessage(const std::string& process) const {
    const json layout = device_.status(process).layout;
    return {{"type", "layout"}, {"process", process}, {"layout", layout}, {"statusBar", statusBarImage(layout, control::phoneClockText())}};
}

json ScreenServer::roadMessage() const { return {{"type", "road"}, {"road", road_.toJson()}}; }

// A change's road grows by a dozen steps within milliseconds: the page gets
// it once the launcher has nothing more urgent to pass on (a status bar
// first), once for every step that arrived meanwhile.
void ScreenServer::announceRoad() {
    if (roadAnnouncement_) return;
    roadAnnouncement_ = g_idle_add_full(
        G_PRIORITY_LOW,
        [](gpointer self) -> gboolean {
            auto* server = static_cast<ScreenServer*>(self);
            server->roadAnnouncement_ = 0;
            server->broadcast(server->roadMessage());
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
}

// Every host reports the delivery that makes it read the file: one check
// after them all.
void ScreenServer::checkSettingsFile() {
    if (settingsCheck_) return;
    settingsCheck_ = g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer self) -> gboolean {
            auto* server = static_cast<ScreenServer*>(self);
            server->settingsCheck_ = 0;
            json findings = settingsFindings(server->preferencesFolder_ + "/" + kSettingsIdentifier + ".plist");
            if (findings == server->findings_) return G_SOURCE_REMOVE;
            server->findings_ = std::move(findings);
            server->broadcast(server->findings_);
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
}

void ScreenServer::sendTo(std::uint64_t client, const json& message) {
    auto it = clients_.find(client);
    if (it == clients_.end()) return;
    send(it->second, message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void ScreenServer::broadcast(const json& message) {
    if (clients_.empty()) return;
    const std::string text = message.dump(-1, ' ', false, json::error_handler_t::replace);
    for (auto& [id, client] : clients_) send(client, text);
}

// A page that stops reading is cut off once what waits for it (in libsoup
// and the kernel) passes kMaxWaiting, instead of being queued without end.
void ScreenServer::send(Client& client, const std::string& text) {
    if (client.cut || soup_websocket_connection_get_state(client.connection) != SOUP_WEBSOCKET_STATE_OPEN) return;
    const std::uint64_t acknowledged = ScreenListener::bytesAcknowledged(client.socket) - client.acknowledgedAtStart;
    if (client.sent > acknowledged + kMaxWaiting) return cutOff(client);
    client.sent += text.size() + kFrameOverhead;
    soup_websocket_connection_send_text(client.connection, text.c_str());
}

std::uint64_t ScreenServer::clientOf(SoupWebsocketConnection* connection) const {
    for (const auto& [id, client] : clients_)
        if (client.connection == connection) return id;
    return 0;
}

void ScreenServer::dropClient(std::uint64_t id) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    SoupWebsocketConnection* connection = it->second.connection;
    g_signal_handler_disconnect(connection, it->second.messageHandler);
    g_signal_handler_disconnect(connection, it->second.closedHandler);
    GSocket* socket = it->second.socket;
    const bool cut = it->second.cut;
    clients_.erase(it);
    std::erase_if(pending_, [id](const auto& entry) { return entry.second.client == id; });
    if (!cut && soup_websocket_connection_get_state(connection) == SOUP_WEBSOCKET_STATE_OPEN)
        soup_websocket_connection_close(connection, SOUP_WEBSOCKET_CLOSE_GOING_AWAY, nullptr);
    g_object_unref(connection);
    g_object_unref(socket);
}

// The clock on the phone turns with the minute: the device message and
// every status bar are sent again then.
void ScreenServer::scheduleMinute() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto next = ceil<minutes>(now + milliseconds(1));
    const auto wait = duration_cast<milliseconds>(next - now).count() + 5;
    minuteTimer_ = g_timeout_add(static_cast<guint>(wait), onMinute, this);
}

gboolean ScreenServer::onMinute(gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    server->minuteTimer_ = 0;
    server->broadcast(server->deviceMessage());
    for (const auto& process : server->device_.names())
        if (!server->device_.status(process).layout.is_null()) server->broadcast(server->layoutMessage(process));
    server->scheduleMinute();
    return G_SOURCE_REMOVE;
}

}  // namespace zv::screen
