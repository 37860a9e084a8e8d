#include "notifications/DeviceBus.h"

#include <fcntl.h>
#include <glib.h>
#include <gio/gio.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/DeviceFiles.h"
#include "notifications/NotificationCenter.h"

namespace {

using Clock = std::chrono::steady_clock;

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

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("was killed by signal ") + strsignal(WTERMSIG(status));
    return "stopped";
}

// Ends the child for good and reaps it.
void killAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// In the child, between fork and exec: only async-signal-safe calls.
void placeFd(int fd, int target) {
    if (fd == target) {
        ::fcntl(fd, F_SETFD, 0);  // keep it open across exec
    } else {
        ::dup2(fd, target);
    }
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

    // Everything the child needs is prepared here: after fork it may only
    // make async-signal-safe calls.
    std::vector<std::string> arguments = {program, "--config-file=" + configPath, "--nofork", "--print-address"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2] = {-1, -1};
    int execReport[2] = {-1, -1};
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(execReport, O_CLOEXEC) != 0) {
        closeFd(output[0]);
        closeFd(output[1]);
        throw DeviceBusError(std::string("device bus: pipe: ") + std::strerror(errno));
    }
    int nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int log = ::open(logPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t starter = ::getpid();

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != starter) ::_exit(127);  // the starter is already gone
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction defaultAction {};
        defaultAction.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &defaultAction, nullptr);
        if (nullInput >= 0) placeFd(nullInput, STDIN_FILENO);
        placeFd(output[1], STDOUT_FILENO);
        if (log >= 0) placeFd(log, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        const int failure = errno;
        [[maybe_unused]] ssize_t written = ::write(execReport[1], &failure, sizeof failure);
        ::_exit(127);
    }
    const int forkError = errno;
    closeFd(output[1]);
    closeFd(execReport[1]);
    closeFd(nullInput);
    closeFd(log);
    if (pid < 0) {
        closeFd(output[0]);
        closeFd(execReport[0]);
        throw DeviceBusError(std::string("device bus: fork: ") + std::strerror(forkError));
    }

    int execFailure = 0;
    ssize_t reported;
    do {
        reported = ::read(execReport[0], &execFailure, sizeof execFailure);
    } while (reported < 0 && errno == EINTR);
    closeFd(execReport[0]);
    if (reported == sizeof execFailure) {
        closeFd(output[0]);
        killAndReap(pid);
        throw DeviceBusError("device bus: cannot run " + program + ": " + std::strerror(execFailure));
    }

    // The daemon prints its address once it listens.
    pid_ = pid;
    addressPipe_ = output[0];
    std::string printed;
    const auto deadline = Clock::now() + startTimeout;
    while (printed.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            stop();
            throw DeviceBusError("device bus: dbus-daemon did not listen on " + socketPath_ + " within " +
                                 std::to_string(startTimeout.count()) + " ms. Its log: " + logTail(logPath_));
        }
        pollfd waitFor{addressPipe_, POLLIN, 0};
        const int ready = ::poll(&waitFor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            const int pollError = errno;
            stop();
            throw DeviceBusError(std::string("device bus: poll: ") + std::strerror(pollError));
        }
        if (ready <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(addressPipe_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {  // the daemon closed its output: it has ended
            int status = 0;
            while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            pid_ = -1;
            closeFd(addressPipe_);
            throw DeviceBusError("device bus: dbus-daemon " + describeStatus(status) + " before listening on " +
                                 socketPath_ + ". Its log: " + logTail(logPath_));
        }
        printed.append(buffer, static_cast<size_t>(n));
    }
    address_ = printed.substr(0, printed.find('\n'));
    ::chmod(socketPath_.c_str(), 0600);  // the daemon makes it world-accessible
}

DeviceBus::~DeviceBus() { stop(); }

DeviceBus::DeviceBus(DeviceBus&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      addressPipe_(std::exchange(other.addressPipe_, -1)),
      address_(std::move(other.address_)),
      socketPath_(std::move(other.socketPath_)),
      logPath_(std::move(other.logPath_)) {}

DeviceBus& DeviceBus::operator=(DeviceBus&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, -1);
        addressPipe_ = std::exchange(other.addressPipe_, -1);
        address_ = std::move(other.address_);
        socketPath_ = std::move(other.socketPath_);
        logPath_ = std::move(other.logPath_);
    }
    return *this;
}

void DeviceBus::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        const auto deadline = Clock::now() + kStopGrace;
        bool reaped = false;
        while (!reaped && Clock::now() < deadline) {
            const pid_t done = ::waitpid(pid_, nullptr, WNOHANG);
            reaped = done == pid_ || (done < 0 && errno != EINTR);
            if (!reaped) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (!reaped) killAndReap(pid_);
        pid_ = -1;
    }
    closeFd(addressPipe_);
}
