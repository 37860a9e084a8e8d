// notify_probe: a peer process for the notification tests, driven one
// command per line on standard input; everything runs on its main loop.
//
//   observe NAME BEHAVIOUR     Darwin observer -> "observing ID"
//   observe-distributed NAME   distributed observer -> "observing ID"
//   post NAME                  Darwin post -> "posted"
//   post-distributed NAME      -> "posted"
//   post-pairs COUNT A B       posts A then B, COUNT times -> "posted"
//   hold COUNT MILLISECONDS    -> "holding", then keeps the main loop busy until
//                              COUNT deliveries wait for it (or the time is
//                              up) -> "held WAITING"
//   status                     -> "connected 0|1 observations N"
//   quit                       exits 0 (so does the end of input)
//
// Each delivery prints "darwin ID NAME" or "distributed ID NAME", ID being the
// observer's number from "observing".
#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "control/RequestLines.h"
#include "foundation/MainQueue.h"
#include "notifications/NotificationCenter.h"

namespace {

std::deque<int> observerIds;  // stable addresses, handed to the centre as observers
// Commands are short; a line beyond this is answered, not run.
zv::control::RequestLines commands(64 * 1024);

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void darwinDelivered(CFNotificationCenterRef, void* observer, CFStringRef name, const void*, CFDictionaryRef) {
    say("darwin " + std::to_string(*static_cast<int*>(observer)) + " " + name);
}

int nextObserverId() {
    observerIds.push_back(static_cast<int>(observerIds.size()) + 1);
    return observerIds.back();
}

// The probe waits for the bus as a tool may: observations are routed before
// "observing" and each post follows the bus's taking the one before.
void settle() { waitForNotificationBus(std::chrono::seconds(10)); }

void postDarwin(const std::string& name) {
    settle();
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name.c_str(), nullptr, nullptr,
                                         true);
}

void hold(size_t count, int milliseconds) {
    say("holding");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (notificationDeliveriesWaiting() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    say("held " + std::to_string(notificationDeliveriesWaiting()));
}

void run(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "observe") {
        std::string name;
        long behaviour = 0;
        words >> name >> behaviour;
        const int id = nextObserverId();
        CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), &observerIds.back(),
                                        darwinDelivered, name.c_str(), nullptr, behaviour);
        settle();
        say("observing " + std::to_string(id));
    } else if (command == "observe-distributed") {
        std::string name;
        words >> name;
        const int id = nextObserverId();
        NSDistributedNotificationCenter::defaultCenter().addObserverForName(
            name, nullptr, NSOperationQueue::mainQueue(), [id](const NSNotification& notification) {
                say("distributed " + std::to_string(id) + " " + notification.name);
            });
        settle();
        say("observing " + std::to_string(id));
    } else if (command == "post") {
        std::string name;
        words >> name;
        postDarwin(name);
        settle();
        say("posted");
    } else if (command == "post-distributed") {
        std::string name;
        words >> name;
        settle();
        NSDistributedNotificationCenter::defaultCenter().postNotificationName(name, nullptr);
        settle();
        say("posted");
    } else if (command == "post-pairs") {
        int count = 0;
        std::string first, second;
        words >> count >> first >> second;
        for (int i = 0; i < count; ++i) {
            postDarwin(first);
            postDarwin(second);
        }
        settle();
        say("posted");
    } else if (command == "hold") {
        size_t count = 0;
        int milliseconds = 0;
        words >> count >> milliseconds;
        hold(count, milliseconds);
    } else if (command == "status") {
        say(std::string("connected ") + (notificationBusConnected() ? "1" : "0") + " observations " +
            std::to_string(notificationObservations().size()));
    } else if (command == "quit") {
        stopMainLoop();
    } else if (!command.empty()) {
        say("unknown " + command);
    }
}

gboolean readInput(gint fd, GIOCondition, gpointer) {
    char chunk[4096];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) {
        stopMainLoop();
        return G_SOURCE_REMOVE;
    }
    commands.feed(std::string_view(chunk, static_cast<size_t>(n)), [](zv::control::RequestLine line) {
        if (line.tooLong) {
            say("too long");
        } else {
            run(line.text);
        }
    });
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main() {
    g_unix_fd_add(STDIN_FILENO, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), readInput, nullptr);
    runMainLoop();
    return 0;
}
