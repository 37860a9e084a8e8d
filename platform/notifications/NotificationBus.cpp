#include "notifications/NotificationBus.h"

#include <gio/gio.h>
#include <sys/un.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "foundation/DeviceFiles.h"
#include "foundation/Immortal.h"
#include "notifications/NotificationCenter.h"

namespace notification_bus {
namespace {

constexpr const char* kObjectPath = "/zorvane/notifications";
constexpr const char* kMember = "Posted";
constexpr const char* kDarwinInterface = "zorvane.notifications.Darwin";
constexpr const char* kDistributedInterface = "zorvane.notifications.Distributed";
// The bus refuses longer match rules (DBUS_MAXIMUM_MATCH_RULE_LENGTH).
constexpr size_t kMaximumMatchRuleLength = 1024;
constexpr std::chrono::milliseconds kFirstRetry{50};
// Posts that may wait in the process for a bus that does not take them;
// further posts are dropped.
constexpr unsigned long kMostUnwrittenPosts = 64;
constexpr std::chrono::milliseconds kLongestRetry{2000};

const char* interfaceOf(NotificationCentre centre) {
    return centre == NotificationCentre::Darwin ? kDarwinInterface : kDistributedInterface;
}

// Where a route (one match rule) stands on the open connection.
enum class Route { Wanted, Asked, Installed, Refused };

// Shared by the calling threads, the bus thread and the flushing thread;
// every field below `mutex` is guarded by it, and `changed` is notified
// whenever one changes. Lives until the process ends: those threads and
// GDBus's worker thread keep running while the process exits, so nothing
// here is ever torn down.
struct Bus {
    std::once_flag started;
    Receiver receiver = nullptr;
    Resumed resumed = nullptr;
    GMainContext* context = nullptr;  // the bus thread's, set before it starts

    std::mutex mutex;
    std::condition_variable changed;
    GDBusConnection* connection = nullptr;  // the open connection (a reference of ours), or none
    unsigned long generation = 0;           // counts connections, to tell stale answers apart
    bool attempted = false;                 // an attempt to connect has finished
    // A caller's wait went unanswered, and the bus has answered nothing since.
    bool hung = false;
    std::map<std::string, Route> routes;  // by match rule: every route ever asked for
    unsigned long postsSent = 0;          // posts handed to the connection
    unsigned long postsWritten = 0;       // of those, written to the bus (or lost with it)
    std::chrono::milliseconds retryDelay = kFirstRetry;
    // The process has been without a connection since an earlier one (or
    // since a failed first attempt), and has not been told it is back.
    bool away = false;
};

Bus& bus() {
    static Immortal<Bus> instance;
    return instance.value;
}

bool carriable(const std::string& name) {
    return g_utf8_validate_len(name.data(), static_cast<gssize>(name.size()), nullptr);
}

// Runs `work` on the bus thread, after what is already queued there.
void onBusThread(GSourceFunc work, std::chrono::milliseconds delay = std::chrono::milliseconds(0)) {
    GSource* source = delay.count() > 0 ? g_timeout_source_new(static_cast<guint>(delay.count())) : g_idle_source_new();
    g_source_set_callback(source, work, nullptr, nullptr);
    g_source_attach(source, bus().context);
    g_source_unref(source);
}

// A caller's wait: at most kBusPatience for `done`, and not at all while the
// bus is hung. A wait that runs out marks the bus hung.
template <typename Predicate>
bool waitForBus(Bus& state, std::unique_lock<std::mutex>& lock, Predicate done) {
    if (done()) return true;
    if (state.hung) return false;
    if (state.changed.wait_for(lock, kBusPatience, done)) return true;
    state.hung = true;
    return false;
}

// Runs on the worker thread for every message in or out. Takes over posts
// and passes everything else on untouched.
GDBusMessage* filterPosts(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer) {
    if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_SIGNAL) return message;
    const char* interface = g_dbus_message_get_interface(message);
    const char* member = g_dbus_message_get_member(message);
    if (interface == nullptr || member == nullptr || std::strcmp(member, kMember) != 0) return message;
    NotificationCentre centre;
    if (std::strcmp(interface, kDarwinInterface) == 0) {
        centre = NotificationCentre::Darwin;
    } else if (std::strcmp(interface, kDistributedInterface) == 0) {
        centre = NotificationCentre::Distributed;
    } else {
        return message;
    }
    GVariant* body = g_dbus_message_get_body(message);
    if (body != nullptr && g_variant_is_of_type(body, G_VARIANT_TYPE("(s)"))) {
        const char* name = nullptr;
        g_variant_get(body, "(&s)", &name);
        bus().receiver(centre, name);
    }
    g_object_unref(message);
    return nullptr;
}

// --- The bus thread ---------------------------------------------------------

gboolean startConnecting(gpointer);

void retryLater() {
    std::chrono::milliseconds delay;
    {
        Bus& state = bus();
        std::lock_guard lock(state.mutex);
        delay = state.retryDelay;
        state.retryDelay = std::min(state.retryDelay * 2, kLongestRetry);
    }
    onBusThread(startConnecting, delay);
}

struct RouteRequest {
    std::string rule;
    unsigned long generation = 0;
};

// On the bus thread, with the lock held: whether the process is back from a
// time away and the open connection routes (or was refused) every name, so
// the return is to be announced now. Clears `away` when it is.
bool backWithEveryRoute(Bus& state) {
    if (!state.away || state.connection == nullptr) return false;
    for (const auto& [rule, route] : state.routes)
        if (route == Route::Wanted || route == Route::Asked) return false;
    state.away = false;
    return true;
}

void onRouteAnswered(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<RouteRequest> request(static_cast<RouteRequest*>(data));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    g_clear_error(&error);
    if (reply != nullptr) g_variant_unref(reply);
    Bus& state = bus();
    bool back = false;
    {
        std::lock_guard lock(state.mutex);
        state.hung = false;
        auto route = state.routes.find(request->rule);
        if (request->generation == state.generation && route != state.routes.end() && route->second == Route::Asked)
            route->second = reply != nullptr ? Route::Installed : Route::Refused;
        back = backWithEveryRoute(state);
    }
    state.changed.notify_all();
    if (back) state.resumed();
}

// Asks the open connection for every route it does not have yet. The answers
// come back here; nothing waits for them on this thread.
gboolean askForRoutes(gpointer) {
    Bus& state = bus();
    GDBusConnection* connection = nullptr;
    unsigned long generation = 0;
    std::vector<std::string> rules;
    bool back = false;
    {
        std::lock_guard lock(state.mutex);
        if (state.connection == nullptr) return G_SOURCE_REMOVE;
        connection = G_DBUS_CONNECTION(g_object_ref(state.connection));
        generation = state.generation;
        for (auto& [rule, route] : state.routes) {
            if (route != Route::Wanted) continue;
            route = Route::Asked;
            rules.push_back(rule);
        }
        back = rules.empty() && backWithEveryRoute(state);
    }
    if (back) state.resumed();
    for (const std::string& rule : rules) {
        auto request = std::make_unique<RouteRequest>(RouteRequest{rule, generation});
        // No time limit: a hung bus answers when it resumes, or the
        // connection closes and the next one is asked again.
        g_dbus_connection_call(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "AddMatch", g_variant_new("(s)", rule.c_str()), nullptr, G_DBUS_CALL_FLAGS_NONE,
                               G_MAXINT, nullptr, onRouteAnswered, request.release());
    }
    g_object_unref(connection);
    return G_SOURCE_REMOVE;
}

// The flushing thread: writes out what posts hand to the connection. It may
// wait as long as the bus takes; callers wait for it only so long.
void flushPosts() {
    Bus& state = bus();
    std::unique_lock lock(state.mutex);
    for (;;) {
        state.changed.wait(lock, [&] { return state.postsSent > state.postsWritten; });
        const unsigned long target = state.postsSent;
        if (state.connection == nullptr) {
            state.postsWritten = target;  // what was sent went with the connection
            state.changed.notify_all();
            continue;
        }
        GDBusConnection* connection = G_DBUS_CONNECTION(g_object_ref(state.connection));
        lock.unlock();
        // Returns once everything handed over is written, or the connection
        // has closed.
        g_dbus_connection_flush_sync(connection, nullptr, nullptr);
        g_object_unref(connection);
        lock.lock();
        state.postsWritten = std::max(state.postsWritten, target);
        state.hung = false;
        state.changed.notify_all();
    }
}

void onClosed(GDBusConnection* connection, gboolean, GError*, gpointer) {
    Bus& state = bus();
    {
        std::lock_guard lock(state.mutex);
        if (state.connection != connection) return;
        state.connection = nullptr;
        state.hung = false;
        state.away = true;
        state.postsWritten = state.postsSent;  // what is not written by now is lost
        for (auto& [rule, route] : state.routes) route = Route::Wanted;
    }
    state.changed.notify_all();
    g_object_unref(connection);
    retryLater();
}

void onConnected(GObject*, GAsyncResult* result, gpointer) {
    GError* error = nullptr;
    GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &error);
    g_clear_error(&error);
    Bus& state = bus();
    if (connection == nullptr) {
        {
            std::lock_guard lock(state.mutex);
            state.attempted = true;
            state.hung = false;
            state.away = true;
        }
        state.changed.notify_all();
        retryLater();
        return;
    }
    // Losing the bus must not end the process (GDBus's default for bus
    // connections would raise SIGTERM).
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    g_dbus_connection_add_filter(connection, filterPosts, nullptr, nullptr);
    // Emitted on this thread, which made the connection.
    g_signal_connect(connection, "closed", G_CALLBACK(onClosed), nullptr);
    {
        std::lock_guard lock(state.mutex);
        state.connection = connection;
        ++state.generation;
        state.attempted = true;
        state.hung = false;
        state.retryDelay = kFirstRetry;
        for (auto& [rule, route] : state.routes) route = Route::Wanted;
    }
    state.changed.notify_all();
    askForRoutes(nullptr);
}

gboolean startConnecting(gpointer) {
    Bus& state = bus();
    const std::string socket = resolveDevicePath(kDeviceBusSocket);
    if (socket.size() >= sizeof(sockaddr_un::sun_path)) {
        // Cannot be a socket, now or later.
        {
            std::lock_guard lock(state.mutex);
            state.attempted = true;
        }
        state.changed.notify_all();
        return G_SOURCE_REMOVE;
    }
    gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    const std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);
    g_dbus_connection_new_for_address(address.c_str(),
                                      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                                      nullptr, nullptr, onConnected, nullptr);
    return G_SOURCE_REMOVE;
}

void start(Bus& state, Receiver receiver, Resumed resumed) {
    state.receiver = receiver;
    state.resumed = resumed;
    state.context = g_main_context_new();
    onBusThread(startConnecting);
    std::thread([context = state.context] {
        g_main_context_push_thread_default(context);
        GMainLoop* loop = g_main_loop_new(context, FALSE);
        g_main_loop_run(loop);
    }).detach();
    std::thread(flushPosts).detach();
}

std::string quotedRuleValue(const std::string& value) {
    // Inside single quotes nothing is special; an apostrophe closes the
    // quotes, is escaped, and reopens them.
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

std::string ruleFor(NotificationCentre centre, const std::string& name) {
    const std::string centreRule = std::string("type='signal',interface='") + interfaceOf(centre) + "',member='" +
                                   kMember + "',path='" + kObjectPath + "'";
    std::string rule = centreRule + ",arg0=" + quotedRuleValue(name);
    // A name too long for a rule of its own: hear every post of the centre;
    // the centre picks out the observed names itself.
    return rule.size() > kMaximumMatchRuleLength ? centreRule : rule;
}

}  // namespace

// --- Calling threads --------------------------------------------------------

bool connect(Receiver receiver, Resumed resumed) {
    Bus& state = bus();
    std::call_once(state.started, start, std::ref(state), receiver, resumed);
    std::unique_lock lock(state.mutex);
    waitForBus(state, lock, [&] { return state.attempted; });
    return state.connection != nullptr;
}

bool connected() {
    Bus& state = bus();
    std::lock_guard lock(state.mutex);
    return state.connection != nullptr && !g_dbus_connection_is_closed(state.connection);
}

bool listen(NotificationCentre centre, const std::string& name) {
    if (!carriable(name)) return false;
    Bus& state = bus();
    std::unique_lock lock(state.mutex);
    // Not a structured binding: clang 14 cannot capture one in the lambda below.
    const auto emplaced = state.routes.try_emplace(ruleFor(centre, name), Route::Wanted);
    const auto route = emplaced.first;
    bool added = emplaced.second;
    if (route->second == Route::Refused) {
        route->second = Route::Wanted;  // the bus may take it this time
        added = true;
    }
    if (state.connection == nullptr) return false;  // asked for as soon as the process connects
    if (added) onBusThread(askForRoutes);
    const unsigned long generation = state.generation;
    const auto answered = [&] {
        return state.generation != generation || state.connection == nullptr || route->second == Route::Installed ||
               route->second == Route::Refused;
    };
    return waitForBus(state, lock, answered) && state.generation == generation &&
           route->second == Route::Installed;
}

void post(NotificationCentre centre, const std::string& name) {
    if (!carriable(name)) return;
    Bus& state = bus();
    GDBusConnection* connection = nullptr;
    {
        std::lock_guard lock(state.mutex);
        // Nobody can deliver it, or the bus has stopped taking posts.
        if (state.connection == nullptr || state.postsSent - state.postsWritten >= kMostUnwrittenPosts) return;
        connection = G_DBUS_CONNECTION(g_object_ref(state.connection));
    }
    // Only queues the message for GDBus's worker thread; never blocks.
    const bool sent = g_dbus_connection_emit_signal(connection, nullptr, kObjectPath, interfaceOf(centre), kMember,
                                                    g_variant_new("(s)", name.c_str()), nullptr);
    g_object_unref(connection);
    if (!sent) return;
    std::unique_lock lock(state.mutex);
    const unsigned long ticket = ++state.postsSent;
    state.changed.notify_all();  // wakes the flushing thread
    waitForBus(state, lock, [&] { return state.postsWritten >= ticket; });
}

bool settle(std::chrono::milliseconds patience) {
    Bus& state = bus();
    std::unique_lock lock(state.mutex);
    const auto settled = [&] {
        if (!state.attempted) return false;
        if (state.connection == nullptr) return true;
        if (state.postsWritten < state.postsSent) return false;
        return std::none_of(state.routes.begin(), state.routes.end(), [](const auto& entry) {
            return entry.second == Route::Wanted || entry.second == Route::Asked;
        });
    };
    return state.changed.wait_for(lock, patience, settled) && state.connection != nullptr;
}

}  // namespace notification_bus
