#include "notifications/DeviceBus.h"

#include <glib.h>
#include <gio/gio.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <utility>

#include "foundation/DeviceFiles.h"
#include "notifications/NotificationCenter.h"

namespace {

constexpr const char* kConfigDevicePath = "/var/run/dbus/device_bus.conf";
constexpr const char* kLogDevicePath = "/var/run/dbus/device_bus.log";
constexpr auto kStopGrace = std::chrono::seconds(5);

std::string inRoot(std::string root, const char* devicePath) {
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root + devicePath;
}

std::string takeGString(gchar* text) {
    std::string copy = text ? text : "";
    g_free(text);
    return copy;
}

// Only the user who starts the bus may connect (EXTERNAL authentication
// tells the daemon the peer's uid), and nobody may eavesdrop: the rules that
// let messages through leave eavesdropping out.
std::string configFor(const std::string& socketPath) {
    const std::string address = "unix:path=" + takeGString(g_dbus_address_escape_value(socketPath.c_str()));
    const std::string listen = takeGString(g_markup_escape_text(address.c_str(), -1));
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<!-- The notification bus of one simulated device. Written by its starter. -->\n"
           "<busconfig>\n"
           "  <type>zorvane-device</type>\n"
           "  <listen>" + listen + "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow user=\"" + std::to_string(::geteuid()) + "\"/>\n"
           "    <allow own=\"*\"/>\n"
           "    <allow send_destination=\"*\"/>\n"
           "    <allow receive_type=\"method_call\"/>\n"
           "    <allow receive_type=\"method_return\"/>\n"
           "    <allow receive_type=\"error\"/>\n"
           "    <allow receive_type=\"signal\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

bool someoneListensOn(const std::string& socketPath) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const bool listening = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return listening;
}

std::string logTail(const std::string& logPath) {
    std::string log = readHostFile(logPath).value_or("");
    constexpr size_t kKeep = 2000;
    if (log.size() > kKeep) log = "..." + log.substr(log.size() - kKeep);
    while (!log.empty() && (log.back() == '\n' || log.back() == ' ')) log.pop_back();
    return log.empty() ? "(the log is empty)" : log;
}

std::string describe(const zv::process::ExitStatus& status) {
    if (status.signalled) return std::string("was killed by signal ") + strsignal(status.signal);
    return "exited with status " + std::to_string(status.code);
}

}  // namespace

DeviceBus::DeviceBus(const std::string& rootHostPath, std::chrono::milliseconds startTimeout)
    : socketPath_(inRoot(rootHostPath, kDeviceBusSocket)), logPath_(inRoot(rootHostPath, kLogDevicePath)) {
    if (socketPath_.size() >= sizeof(sockaddr_un::sun_path)) {
        throw DeviceBusError("device bus: the socket path " + socketPath_ + " is " +
                             std::to_string(socketPath_.size()) + " bytes long; unix sockets allow at most " +
                             std::to_string(sizeof(sockaddr_un::sun_path) - 1) + ". Use a shorter device root.");
    }
    std::error_code error;
    const std::string socketFolder = std::filesystem::path(socketPath_).parent_path();
    std::filesystem::create_directories(socketFolder, error);
    if (error) throw DeviceBusError("device bus: cannot create the folder of " + socketPath_ + ": " + error.message());
    // The socket's folder is the starter's alone, so no other user reaches the socket.
    if (::chmod(socketFolder.c_str(), 0700) != 0)
        throw DeviceBusError("device bus: cannot make " + socketFolder + " private: " + std::strerror(errno));

    struct stat existing {};
    if (::lstat(socketPath_.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            throw DeviceBusError("device bus: " + socketPath_ + " exists and is not a socket");
        }
        if (someoneListensOn(socketPath_)) {
            throw DeviceBusError("device bus: a bus already listens on " + socketPath_);
        }
        ::unlink(socketPath_.c_str());  // left behind by a bus that did not stop cleanly
    }

    const std::string configPath = inRoot(rootHostPath, kConfigDevicePath);
    if (!writeHostFileAtomically(configPath, configFor(socketPath_))) {
        throw DeviceBusError("device bus: cannot write " + configPath);
    }
    const std::string program = takeGString(g_find_program_in_path("dbus-daemon"));
    if (program.empty()) throw DeviceBusError("device bus: dbus-daemon is not on PATH");

    try {
        daemon_.emplace(zv::process::ChildProcess::Options{
            .executable = program,
            .arguments = {program, "--config-file=" + configPath, "--nofork", "--print-address"},
            .stderrFile = logPath_,
            .inputFromNull = true,
            .deathSignal = SIGTERM,
        });
    } catch (const std::runtime_error& error) {
        throw DeviceBusError(std::string("device bus: ") + error.what());
    }

    // The daemon prints its address once it listens.
    std::optional<std::string> printed = daemon_->readLine(startTimeout);
    if (!printed) {
        if (daemon_->outputFinished()) {  // the daemon closed its output: it has ended
            const zv::process::ExitStatus status = daemon_->stop(0, kStopGrace);
            daemon_.reset();
            throw DeviceBusError("device bus: dbus-daemon " + describe(status) + " before listening on " +
                                 socketPath_ + ". Its log: " + logTail(logPath_));
        }
        stop();
        throw DeviceBusError("device bus: dbus-daemon did not listen on " + socketPath_ + " within " +
                             std::to_string(startTimeout.count()) + " ms. Its log: " + logTail(logPath_));
    }
    address_ = *printed;
    ::chmod(socketPath_.c_str(), 0600);  // the daemon makes it world-accessible
}

DeviceBus::~DeviceBus() { stop(); }

DeviceBus::DeviceBus(DeviceBus&& other) noexcept
    : daemon_(std::exchange(other.daemon_, std::nullopt)),
      address_(std::move(other.address_)),
      socketPath_(std::move(other.socketPath_)),
      logPath_(std::move(other.logPath_)) {}

DeviceBus& DeviceBus::operator=(DeviceBus&& other) noexcept {
    if (this != &other) {
        stop();
        daemon_ = std::exchange(other.daemon_, std::nullopt);
        address_ = std::move(other.address_);
        socketPath_ = std::move(other.socketPath_);
        logPath_ = std::move(other.logPath_);
    }
    return *this;
}

pid_t DeviceBus::pid() const { return daemon_ ? daemon_->pid() : -1; }

void DeviceBus::stop() {
    if (daemon_) daemon_->stop(SIGTERM, kStopGrace);
    daemon_.reset();
}
