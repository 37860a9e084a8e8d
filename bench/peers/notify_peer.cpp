// zv-bench-notify-peer: the processes of the notification benchmark, on the
// device bus named by ZV_DEVICE_ROOT.
//
//   zv-bench-notify-peer echo     answers each Darwin "bench.ping" with "bench.pong"
//   zv-bench-notify-peer pinger   times round trips; commands on standard input:
//     ping N    N round trips one after another -> total nanoseconds
//     burst N   N pings posted back to back, then waits for the N pongs -> nanoseconds
//     self N    N posts to itself, one after another -> total nanoseconds
//
// Both print "ready" once observing, and end with their standard input.
#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

#include "control/RequestLines.h"
#include "foundation/MainQueue.h"
#include "notifications/NotificationCenter.h"

namespace {

constexpr const char* kPing = "bench.ping";
constexpr const char* kPong = "bench.pong";
constexpr const char* kSelf = "bench.self";

long delivered = 0;  // pongs (pinger) or self posts heard
// Commands are a word and a number; a longer line is answered as unknown.
zv::control::RequestLines commands(256);

void post(const char* name) {
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name, nullptr, nullptr, true);
}

void observe(const char* name, CFNotificationCallback callback) {
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, callback, name, nullptr,
                                    CFNotificationSuspensionBehaviorDeliverImmediately);
}

void answerPing(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) { post(kPong); }
void count(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) { ++delivered; }

void waitFor(long target) {
    while (delivered < target) g_main_context_iteration(nullptr, TRUE);
}

long long timed(const std::string& mode, long n) {
    const auto start = std::chrono::steady_clock::now();
    if (mode == "ping" || mode == "self") {
        const char* name = mode == "ping" ? kPing : kSelf;
        for (long i = 0; i < n; ++i) {
            post(name);
            waitFor(delivered + 1);
        }
    } else if (mode == "burst") {
        const long target = delivered + n;
        for (long i = 0; i < n; ++i) post(kPing);
        waitFor(target);
    } else {
        return -1;
    }
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
}

gboolean readCommands(gint fd, GIOCondition, gpointer) {
    char chunk[1024];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) {
        stopMainLoop();
        return G_SOURCE_REMOVE;
    }
    commands.feed(std::string_view(chunk, static_cast<size_t>(n)), [](zv::control::RequestLine line) {
        std::istringstream command(line.text);
        std::string mode;
        long count = 0;
        command >> mode >> count;
        std::printf("%lld\n", timed(mode, count));
        std::fflush(stdout);
    });
    return G_SOURCE_CONTINUE;
}

gboolean endWithInput(gint fd, GIOCondition, gpointer) {
    char chunk[256];
    if (::read(fd, chunk, sizeof chunk) > 0) return G_SOURCE_CONTINUE;
    stopMainLoop();
    return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string role = argc > 1 ? argv[1] : "";
    if (role != "echo" && role != "pinger") {
        std::fprintf(stderr, "usage: zv-bench-notify-peer echo|pinger\n");
        return 2;
    }
    if (!waitForNotificationBus(std::chrono::seconds(5))) {
        std::fprintf(stderr, "zv-bench-notify-peer: no device bus\n");
        return 1;
    }
    if (role == "echo") {
        observe(kPing, answerPing);
        g_unix_fd_add(STDIN_FILENO, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), endWithInput, nullptr);
    } else {
        observe(kPong, count);
        observe(kSelf, count);
        g_unix_fd_add(STDIN_FILENO, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), readCommands, nullptr);
    }
    waitForNotificationBus(std::chrono::seconds(5));  // routes in place before "ready"
    std::printf("ready\n");
    std::fflush(stdout);
    runMainLoop();
    return 0;
}
