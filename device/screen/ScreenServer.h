// The screen: the phone in the browser. A libsoup server on 127.0.0.1 that
// serves the page's files (device/screen/page/, PageFiles.h) and one
// WebSocket (/ws, ScreenClients.h) carrying the control protocol between the
// page and the device's processes (RequestRouting.h). Every request passes
// the checks of AccessCheck.h first, on connections ScreenListener.h accepts
// and bounds. The server itself wires these together and tells the pages
// what happens on the device.
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
//       application's screen: its page, alert and open-in menu), and with
//       a null E when a process that showed a page ends;
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
// (PreferencesDownload.h, DownloadReply.h), with the token like the WebSocket.
//
// POST /upload/check and /upload/add bring a file from the person's computer
// in as a profile, for "Add from this computer" (ProfileUpload.h,
// UploadReply.h), with the token, the page's Origin and fetch site, and a
// body of a known length of at most 4 MiB.
#pragma once

#include <libsoup/soup.h>

#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "Device.h"
#include "PageFiles.h"
#include "RequestRouting.h"
#include "RoadOfChange.h"
#include "ScreenClients.h"
#include "ScreenListener.h"
#include "foundation/MainQueueTask.h"

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

private:
    static void onEarlyRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                               gpointer self);
    static void onRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable* query,
                          gpointer self);
    static void onWebSocket(SoupServer*, SoupServerMessage* message, const char* path,
                            SoupWebsocketConnection* connection, gpointer self);

    void processLine(const std::string& process, const nlohmann::json& parsed);
    void processExited(const std::string& process);

    nlohmann::json deviceMessage() const;
    nlohmann::json layoutMessage(const std::string& process) const;
    nlohmann::json roadMessage() const;
    // Checks the settings file and tells the pages when the result differs.
    void checkSettingsFile();
    // The clock on the phone turns with the minute.
    void announceMinute();
    void scheduleMinute();

    device::Device& device_;
    PageFiles pageFiles_;
    std::string preferencesFolder_;
    RoadOfChange road_;
    nlohmann::json findings_;
    std::string token_;
    int port_ = 0;
    SoupServer* server_ = nullptr;
    std::unique_ptr<ScreenListener> listener_;
    std::unique_ptr<ScreenClients> clients_;
    std::unique_ptr<RequestRouting> routing_;
    MainQueueTask minuteTimer_{[this] { announceMinute(); }};
    // A change's road grows by a dozen steps within milliseconds: the page
    // gets it once the launcher has nothing more urgent to pass on (a status
    // bar first), once for every step that arrived meanwhile.
    MainQueueTask roadAnnouncement_{[this] { clients_->broadcast(roadMessage()); }, MainQueueTask::Priority::Low};
    // Every host reports the delivery that makes it read the file: one
    // check after them all.
    MainQueueTask settingsCheck_{[this] { checkSettingsFile(); }, MainQueueTask::Priority::Idle};
};

}  // namespace zv::screen
