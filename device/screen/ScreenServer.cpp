#include "ScreenServer.h"

#include <chrono>

#include "AccessCheck.h"
#include "DownloadReply.h"
#include "PreferencesDownload.h"
#include "ProfileUpload.h"
#include "SettingsFindings.h"
#include "SettingsFileNames.h"
#include "StatusBarImage.h"
#include "UploadReply.h"
#include "control/ActivityEvents.h"
#include "control/PhoneClock.h"

namespace zv::screen {

using nlohmann::json;

namespace {

// The page is the files of its folder, by name: nothing else is served.
PageFiles pageFilesIn(std::string folder) {
    try {
        return PageFiles(std::move(folder));
    } catch (const PageFilesError& e) {
        throw ScreenServerError(e.what());
    }
}

}  // namespace

ScreenServer::ScreenServer(device::Device& device, int port, std::string pageFolder, std::string preferencesFolder,
                           std::string token)
    : device_(device),
      pageFiles_(pageFilesIn(std::move(pageFolder))),
      preferencesFolder_(std::move(preferencesFolder)),
      token_(std::move(token)) {
    server_ = soup_server_new("server-header", "zv-launcher", nullptr);
    // Messages are bounded as they come over the wire: no compression.
    soup_server_remove_websocket_extension(server_, SOUP_TYPE_WEBSOCKET_EXTENSION_DEFLATE);
    try {
        // A whole message may take kMaxFrame and its frames' headers; one
        // frame over kMaxFrame is libsoup's to refuse, with a close frame.
        listener_ = std::make_unique<ScreenListener>(server_, port, ScreenClients::kMaxFrame + 64 * 1024);
    } catch (const ScreenListenerError& e) {
        g_object_unref(server_);
        throw ScreenServerError(e.what());
    }
    port_ = listener_->port();
    clients_ = std::make_unique<ScreenClients>(
        [this](std::uint64_t client, bool text, std::string_view data) { routing_->request(client, text, data); },
        [this](std::uint64_t client) { routing_->clientDropped(client); });
    routing_ = std::make_unique<RequestRouting>(device_, *clients_);

    // libsoup runs the handlers of the most specific path only, so the
    // checks are registered for the WebSocket's path too (which libsoup
    // also matches for /ws/anything).
    const std::string webSocketPath(kWebSocketPath);
    soup_server_add_early_handler(server_, nullptr, onEarlyRequest, this, nullptr);
    soup_server_add_early_handler(server_, webSocketPath.c_str(), onEarlyRequest, this, nullptr);
    soup_server_add_handler(server_, nullptr, onRequest, this, nullptr);
    soup_server_add_websocket_handler(server_, webSocketPath.c_str(), nullptr, nullptr, onWebSocket, this, nullptr);

    device_.onLine([this](const std::string& process, const std::string&, const json& parsed) {
        processLine(process, parsed);
    });
    device_.onChange([this] { clients_->broadcast(deviceMessage()); });
    device_.onExit([this](const std::string& process, int, bool) { processExited(process); });
    findings_ = settingsFindings(preferencesFolder_ + "/" + std::string(kSettingsFileName));
    scheduleMinute();
}

// The pages go first, while what they use is still there.
ScreenServer::~ScreenServer() {
    clients_.reset();
    listener_.reset();
    soup_server_disconnect(server_);
    g_object_unref(server_);
}

std::string ScreenServer::address() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token_;
}

// Runs before any handler, once the request's head is in.
void ScreenServer::onEarlyRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                                  gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    server->listener_->requestArrived(soup_server_message_get_remote_address(message));
    checkAccess(message, path, query, server->port_, server->token_, !server->clients_->full());
}

void ScreenServer::onRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                             gpointer self) {
    auto* server = static_cast<ScreenServer*>(self);
    const std::string_view requested(path);
    if (requested.starts_with(kUploadPathPrefix))
        return serveUpload(message, requested, server->preferencesFolder_, server->device_);
    if (requested.starts_with(kDownloadPathPrefix))
        return serveDownload(message, requested.substr(kDownloadPathPrefix.size()), server->preferencesFolder_);
    server->pageFiles_.serve(message, path);
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
    ScreenClients& clients = *self->clients_;
    const std::uint64_t id = clients.accept(connection, socket);
    // A new page is told the whole device.
    clients.sendTo(id, self->deviceMessage());
    for (const auto& process : self->device_.names())
        if (!self->device_.status(process).layout.is_null()) clients.sendTo(id, self->layoutMessage(process));
    for (const auto& process : self->device_.names())
        if (const auto page = self->device_.status(process).page)
            clients.sendTo(id, {{"type", "page"}, {"process", process}, {"page", *page}});
    clients.sendTo(id, self->roadMessage());
    clients.sendTo(id, self->findings_);
}

void ScreenServer::processLine(const std::string& process, const json& parsed) {
    if (!parsed.is_object()) return;
    auto event = parsed.find("event");
    if (event == parsed.end()) return routing_->reply(process, parsed);
    const bool onRoad = road_.take(process, parsed);
    if ((*event == "delivered" && parsed.value("name", "") == kPreferencesNotification) ||
        (*event == "wrote" && parsed.value("file", "") == kSettingsPath))
        settingsCheck_.schedule();
    if (*event == "layout") {
        clients_->broadcast(layoutMessage(process));
    } else if (*event == "page") {
        clients_->broadcast({{"type", "page"}, {"process", process}, {"page", parsed}});
    } else if (!onRoad) {
        clients_->broadcast({{"type", "event"}, {"process", process}, {"event", parsed}});
    }
    if (onRoad) roadAnnouncement_.schedule();
}

// A process that ended answers none of the requests it was sent, and
// shows no page (the device forgets it once its end is told).
void ScreenServer::processExited(const std::string& process) {
    if (device_.status(process).page)
        clients_->broadcast({{"type", "page"}, {"process", process}, {"page", nullptr}});
    routing_->processExited(process);
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

void ScreenServer::checkSettingsFile() {
    json findings = settingsFindings(preferencesFolder_ + "/" + std::string(kSettingsFileName));
    if (findings == findings_) return;
    findings_ = std::move(findings);
    clients_->broadcast(findings_);
}

// The clock on the phone turns with the minute: the device message and
// every status bar are sent again then.
void ScreenServer::scheduleMinute() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto next = ceil<minutes>(now + milliseconds(1));
    minuteTimer_.scheduleAfter(duration_cast<milliseconds>(next - now) + milliseconds(5));
}

void ScreenServer::announceMinute() {
    clients_->broadcast(deviceMessage());
    for (const auto& process : device_.names())
        if (!device_.status(process).layout.is_null()) clients_->broadcast(layoutMessage(process));
    scheduleMinute();
}

}  // namespace zv::screen
