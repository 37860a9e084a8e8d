// The screen: the phone in the browser. A libsoup server on 127.0.0.1 that
// serves the page's files (device/screen/page/) and one WebSocket (/ws)
// carrying the control protocol between the page and the device's
// processes. Every request passes the checks of ScreenAccess.h first, on
// connections ScreenListener.h accepts and bounds.
//
// To the page the server pushes (one JSON object per WebSocket message):
//   {"type":"device","front":P,"time":T,"processes":[{"name","running","ready","exitStatus"}...]}
//       on connecting, whenever a process starts, answers, ends or comes to
//       the front, and each minute (the clock);
//   {"type":"layout","process":P,"layout":E,"statusBar":SVG}
//       on connecting (for each process that laid out) and on each layout
//       event E of a process, with the status-bar picture of E;
//   {"type":"page","process":P,"page":E}
//       on connecting and on each page event E of a process (the Settings
//       application's screen: its page, alert and open-in menu);
//   {"type":"road","road":R}
//       on connecting and whenever the road of the last change grows
//       (RoadOfChange.h), from the processes' activity and layout events;
//   {"type":"findings",...}
//       on connecting and whenever the check of the settings file changes
//       (SettingsFindings.h): the file is checked at start, and again after
//       each write of it and each delivery of its notification;
//   {"type":"event","process":P,"event":E}  every other event of a process;
//   {"type":"reply","process":P,"reply":R}  the reply to this page's request
//       (its id echoed), or the error for a message that was refused.
// The page sends ScreenMessage.h's messages. The page holds no state: a new
// connection is told the whole device again.
//
// GET /download/<name> serves a settings or profile file of the device's
// preferences folder, for the open-in menu's "This computer"
// (PreferencesDownload.h), with the token like the WebSocket.
//
// POST /upload/check and /upload/add bring a file from the person's computer
// in as a profile, for "Add from this computer" (ProfileUpload.h), with the
// token, the page's Origin and fetch site, and a body of a known length of
// at most 4 MiB.
#pragma once

#include <libsoup/soup.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "Device.h"
#include "RoadOfChange.h"
#include "ScreenListener.h"

namespace zv::screen {

struct ScreenServerError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ScreenServer {
public:
    // Listens on 127.0.0.1:port (0: a free port). Throws ScreenServerError
    // when it cannot (the port is taken ...). `pageFolder` holds the page;
    // `preferencesFolder` is the host path of the device's preferences folder.
    // `token` is the one the page must present (ScreenAccess.h).
    ScreenServer(device::Device& device, int port, std::string pageFolder, std::string preferencesFolder,
                 std::string token);
    ~ScreenServer();
    ScreenServer(const ScreenServer&) = delete;
    ScreenServer& operator=(const ScreenServer&) = delete;

    int port() const { return port_; }
    // The address to open: http://127.0.0.1:<port>/?token=<token>
    std::string address() const;

    // Bytes beyond which a message, all its fragments together, closes the
    // connection instead of being read (messages over kMaxScreenMessage and
    // up to this get an error).
    static constexpr std::size_t kMaxFrame = 4 * 1024 * 1024;
    // Bytes that may wait to be sent to one page before it is cut off.
    static constexpr std::size_t kMaxWaiting = 8 * 1024 * 1024;
    // Pages open at once.
    static constexpr std::size_t kMaxClients = 64;

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
    struct Pending {
        std::uint64_t client = 0;
        nlohmann::json id;
        std::string process;
    };

    static void onEarlyRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                               gpointer self);
    static void onRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                          gpointer self);
    static void onWebSocket(SoupServer*, SoupServerMessage* message, const char* path,
                            SoupWebsocketConnection* connection, gpointer self);
    static void onMessage(SoupWebsocketConnection* connection, gint type, GBytes* data, gpointer self);
    static void onClosed(SoupWebsocketConnection* connection, gpointer self);
    static gboolean onMinute(gpointer self);

    void checkAccess(SoupServerMessage* message, const char* path, GHashTable* query);
    void serveFile(SoupServerMessage* message, const char* path);
    void serveDownload(SoupServerMessage* message, std::string_view requestedName);
    void serveUpload(SoupServerMessage* message, std::string_view path);
    void handleMessage(std::uint64_t client, std::string_view text);
    void processLine(const std::string& process, const nlohmann::json& parsed);
    void processExited(const std::string& process);

    nlohmann::json deviceMessage() const;
    nlohmann::json layoutMessage(const std::string& process) const;
    nlohmann::json roadMessage() const;
    void announceRoad();
    // Checks the settings file once the events at hand are taken, and tells
    // the pages when the result differs.
    void checkSettingsFile();
    void sendTo(std::uint64_t client, const nlohmann::json& message);
    void broadcast(const nlohmann::json& message);
    void send(Client& client, const std::string& text);
    void cutOff(Client& client);
    std::uint64_t clientOf(SoupWebsocketConnection* connection) const;
    void dropClient(std::uint64_t client);
    void scheduleMinute();

    device::Device& device_;
    std::string pageFolder_;
    std::string preferencesFolder_;
    std::map<std::string, nlohmann::json> pages_;  // each process's last page event
    RoadOfChange road_;
    nlohmann::json findings_;
    std::map<std::string, std::string> pageFiles_;  // served name -> content type
    std::string token_;
    int port_ = 0;
    SoupServer* server_ = nullptr;
    std::unique_ptr<ScreenListener> listener_;
    std::map<std::uint64_t, Client> clients_;
    std::uint64_t nextClient_ = 1;
    std::map<std::uint64_t, Pending> pending_;
    std::uint64_t nextRequest_ = 1;
    guint minuteTimer_ = 0;
    guint roadAnnouncement_ = 0;
    guint settingsCheck_ = 0;
    guint cutClients_ = 0;
};

}  // namespace zv::screen
