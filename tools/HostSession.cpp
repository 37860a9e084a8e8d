#include "HostSession.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "SettingsKeys.h"
#include "foundation/DeviceFiles.h"
#include "notifications/DeviceBus.h"

extern char** environ;

namespace zv::tools {

namespace {

constexpr const char* kSpringBoardPath = "/System/Library/CoreServices/SpringBoard.app/SpringBoard";
constexpr const char* kAppPath = "/Applications/Some.app/Some";
constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kReplyTimeout = std::chrono::seconds(15);

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
        std::filesystem::copy(stage, root_, std::filesystem::copy_options::recursive, error);
        if (error) throw HostSessionError("cannot install the deliverables: " + error.message());
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

    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a child of a threaded process.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (text.starts_with("ZV_DEVICE_ROOT=") || text.starts_with("ZV_HOST_ROLE=")) continue;
        environment.emplace_back(text);
    }
    environment.push_back("ZV_DEVICE_ROOT=" + root_);
    environment.push_back(std::string("ZV_HOST_ROLE=") + (setup.springBoard ? "springboard" : "app"));
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string argv0 = setup.springBoard ? kSpringBoardPath : kAppPath;
    char* argv[] = {argv0.data(), nullptr};

    int toHost[2];
    int fromHost[2];
    if (::pipe2(toHost, O_CLOEXEC) != 0) throw HostSessionError(systemError("cannot start zv-host"));
    if (::pipe2(fromHost, O_CLOEXEC) != 0) {
        ::close(toHost[0]);
        ::close(toHost[1]);
        throw HostSessionError(systemError("cannot start zv-host"));
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The host goes with the tool, however the tool ends.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ::dup2(toHost[0], STDIN_FILENO);
        ::dup2(fromHost[1], STDOUT_FILENO);
        if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);
        ::execve(executable.c_str(), argv, envp.data());
        ::_exit(127);
    }
    ::close(toHost[0]);
    ::close(fromHost[1]);
    if (pid < 0) {
        ::close(toHost[1]);
        ::close(fromHost[0]);
        throw HostSessionError(systemError("cannot start zv-host"));
    }
    host_ = pid;
    input_ = toHost[1];
    output_ = fromHost[0];
}

void HostSession::stopHost() {
    if (input_ >= 0) ::close(input_);  // end of input ends the host
    input_ = -1;
    if (host_ > 0) {
        int status = 0;
        bool ended = false;
        for (int i = 0; i < 200 && !ended; ++i) {  // up to 2 seconds
            const pid_t done = ::waitpid(host_, &status, WNOHANG);
            ended = done == host_ || (done < 0 && errno != EINTR);
            if (!ended) ::usleep(10000);
        }
        if (!ended) {
            ::kill(host_, SIGKILL);
            while (::waitpid(host_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        host_ = -1;
    }
    if (output_ >= 0) ::close(output_);
    output_ = -1;
}

std::string HostSession::readLine(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (const auto newline = buffer_.find('\n'); newline != std::string::npos) {
            std::string line = buffer_.substr(0, newline);
            buffer_.erase(0, newline + 1);
            return line;
        }
        if (interrupted) throw HostSessionError("interrupted");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) throw HostSessionError("the simulated host did not answer in time");
        pollfd poller{output_, POLLIN, 0};
        const int ready = ::poll(&poller, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) throw HostSessionError(systemError("cannot read from the simulated host"));
        if (ready <= 0) continue;
        char chunk[8192];
        const ssize_t n = ::read(output_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw HostSessionError("the simulated host ended unexpectedly");
        buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

nlohmann::json HostSession::request(nlohmann::json request) {
    const long id = nextId_++;
    request["id"] = id;
    const std::string line = request.dump() + "\n";
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(input_, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw HostSessionError("the simulated host ended unexpectedly");
        written += static_cast<std::size_t>(n);
    }
    const auto deadline = std::chrono::steady_clock::now() + kReplyTimeout;
    for (;;) {
        auto reply = nlohmann::json::parse(readLine(deadline), nullptr, false);
        if (!reply.is_object() || !reply.contains("id") || reply["id"] != id) continue;  // events, other lines
        if (!reply.value("ok", false))
            throw HostSessionError("the simulated host refused \"" + request.value("cmd", "") +
                                   "\": " + reply.value("error", "no reason given"));
        return reply;
    }
}

}  // namespace zv::tools
