#include "HostSession.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "SettingsKeys.h"
#include "control/ControlRequest.h"
#include "control/DevicePaths.h"
#include "control/DeviceRoot.h"
#include "foundation/ChildProcess.h"
#include "foundation/DeviceFiles.h"
#include "notifications/DeviceBus.h"

namespace zv::tools {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kReplyTimeout = std::chrono::seconds(15);
constexpr auto kStopGrace = std::chrono::seconds(2);

volatile sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

void removeTree(const std::string& path) {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// Temporary device roots: folders of /tmp named kRootPrefix and six letters
// or digits, as mkdtemp makes them (short: the bus socket inside must fit a
// unix socket path). A session holds an exclusive lock (flock) on its root
// folder from just after making it until it has removed it, so a root of
// this naming that is not locked was left by a session that died (a
// SIGKILL): the next session removes it. Only roots marked as locked ones
// are removed (a file kSessionMark in them, made under the lock), so a root
// of a session that takes no lock is never taken for an abandoned one.
constexpr std::string_view kTemporaryFolder = "/tmp";
constexpr std::string_view kRootPrefix = "zorvane-show-";
constexpr std::size_t kRootSuffixLength = 6;
constexpr const char* kSessionMark = ".zorvane-show-session";

bool isRootName(std::string_view name) {
    if (!name.starts_with(kRootPrefix) || name.size() != kRootPrefix.size() + kRootSuffixLength) return false;
    for (char c : name.substr(kRootPrefix.size())) {
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Removes the roots of this user's sessions that ended without removing them.
void removeAbandonedRoots() {
    DIR* folder = ::opendir(std::string(kTemporaryFolder).c_str());
    if (folder == nullptr) return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (!isRootName(name)) continue;
        const int fd = ::openat(::dirfd(folder), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat status {};
        // Held while the tree goes, so a session never finds its root half removed.
        if (::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() &&
            ::faccessat(fd, kSessionMark, F_OK, AT_SYMLINK_NOFOLLOW) == 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            removeTree(std::string(kTemporaryFolder) + "/" + std::string(name));
        ::close(fd);
    }
    ::closedir(folder);
}

// Makes a root and locks it; the lock's descriptor goes to `lock`.
std::string makeLockedRoot(int& lock) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = std::string(kTemporaryFolder) + "/" + std::string(kRootPrefix) + "XXXXXX";
        if (::mkdtemp(path.data()) == nullptr) throw HostSessionError(systemError("cannot make a temporary device root"));
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) throw HostSessionError(systemError("cannot open the temporary device root"));
        // Another session's clean-up may have taken the new folder for an
        // abandoned one before the lock: then it is (being) removed, and
        // another is made.
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            const int mark = ::openat(fd, kSessionMark, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (mark < 0) {
                const std::string error = systemError("cannot mark the temporary device root");
                removeTree(path);
                ::close(fd);
                throw HostSessionError(error);
            }
            ::close(mark);
            lock = fd;
            return path;
        }
        ::close(fd);
    }
    throw HostSessionError("cannot make a temporary device root: each was taken away");
}

}  // namespace

void HostSession::cleanUpOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a waiting poll() returns at once
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);  // a host that ended makes writes fail, not the tool
}

HostSession::HostSession(const HostSessionSetup& setup) {
    removeAbandonedRoots();
    root_ = makeLockedRoot(rootLock_);
    try {
        const std::string& stage = setup.stageFolder;
        std::error_code error;
        if (!std::filesystem::is_directory(stage, error))
            throw HostSessionError("no staged deliverables at " + stage + " (build the project first)");
        if (const std::string failure = zv::device::prepareDeviceRoot(root_, stage); !failure.empty())
            throw HostSessionError("cannot install the deliverables: " + failure);
        const std::string settingsPath = root_ + kSettingsPath;
        std::filesystem::create_directories(std::filesystem::path(settingsPath).parent_path(), error);
        if (error || !writeHostFileAtomically(settingsPath, setup.settingsBytes))
            throw HostSessionError("cannot write the settings file into the temporary device root");
        try {
            bus_ = std::make_unique<DeviceBus>(root_);
        } catch (const DeviceBusError& e) {
            throw HostSessionError(std::string("cannot start the device's bus: ") + e.what());
        }
        startHost(setup);
        const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
        for (;;) {
            const auto message = nlohmann::json::parse(readLine(deadline), nullptr, false);
            if (message.is_object() && message.value("event", "") == "ready") break;
        }
    } catch (...) {
        stopHost();
        bus_.reset();
        removeTree(root_);
        ::close(rootLock_);
        throw;
    }
}

HostSession::~HostSession() {
    stopHost();
    bus_.reset();
    removeTree(root_);
    ::close(rootLock_);
}

void HostSession::startHost(const HostSessionSetup& setup) {
    const std::string executable = setup.programFolder + "/zv-host";
    if (::access(executable.c_str(), X_OK) != 0) throw HostSessionError(systemError("cannot run " + executable));
    try {
        host_ = std::make_unique<zv::process::ChildProcess>(zv::process::ChildProcess::Options{
            .executable = executable,
            .arguments = {setup.springBoard ? zv::control::kSpringBoardPath : zv::control::kSomeAppPath},
            .environment = {{"ZV_DEVICE_ROOT", root_}, {"ZV_HOST_ROLE", setup.springBoard ? "springboard" : "app"}},
            .stderrFile = "/dev/null",
        });
    } catch (const std::runtime_error& e) {
        throw HostSessionError(e.what());
    }
}

void HostSession::stopHost() {
    if (!host_) return;
    host_->closeInput();  // end of input ends the host
    host_->stop(0, kStopGrace);
    host_.reset();
}

std::string HostSession::readLine(std::chrono::steady_clock::time_point deadline) {
    using std::chrono::steady_clock;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
    std::optional<std::string> line =
        left.count() > 0 ? host_->readLine(left, &interrupted) : std::optional<std::string>();
    if (line) return *line;
    if (interrupted) throw HostSessionError("interrupted");
    if (host_->outputFinished()) throw HostSessionError("the simulated host ended unexpectedly");
    throw HostSessionError("the simulated host did not answer in time");
}

nlohmann::json HostSession::request(nlohmann::json request) {
    const std::string command = request.value("cmd", "");
    const zv::control::ControlReply answer =
        zv::control::sendControlRequest(*host_, std::move(request), nextId_++, kReplyTimeout, {}, &interrupted);
    switch (answer.outcome) {
        case zv::control::ControlReply::Outcome::Replied:
            break;
        case zv::control::ControlReply::Outcome::Interrupted:
            throw HostSessionError("interrupted");
        case zv::control::ControlReply::Outcome::TimedOut:
            throw HostSessionError("the simulated host did not answer in time");
        case zv::control::ControlReply::Outcome::NotSent:
        case zv::control::ControlReply::Outcome::Ended:
            throw HostSessionError("the simulated host ended unexpectedly");
    }
    const nlohmann::json& reply = answer.reply;
    if (!reply.value("ok", false))
        throw HostSessionError("the simulated host refused \"" + command +
                               "\": " + reply.value("error", "no reason given"));
    return reply;
}

}  // namespace zv::tools
