#include "notifications/NotificationBus.h"

#include <gio/gio.h>
#include <sys/un.h>

#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "foundation/DeviceFiles.h"
#include "notifications/Immortal.h"
#include "notifications/NotificationCenter.h"

namespace notification_bus {
namespace {

constexpr const char* kObjectPath = "/zorvane/notifications";
constexpr const char* kMember = "Posted";
constexpr const char* kDarwinInterface = "zorvane.notifications.Darwin";
constexpr const char* kDistributedInterface = "zorvane.notifications.Distributed";
// The bus refuses longer match rules (DBUS_MAXIMUM_MATCH_RULE_LENGTH).
constexpr size_t kMaximumMatchRuleLength = 1024;

const char* interfaceOf(NotificationCentre centre) {
    return centre == NotificationCentre::Darwin ? kDarwinInterface : kDistributedInterface;
}

// Lives until the process ends: the bus's worker thread may still run the
// filter while the process exits, so nothing here is ever torn down.
struct Bus {
    std::once_flag opened;
    GDBusConnection* connection = nullptr;
    Receiver receiver = nullptr;

    std::mutex rulesMutex;
    std::set<std::pair<NotificationCentre, std::string>> rules;  // names the bus routes here
};

Bus& bus() {
    static Immortal<Bus> instance;
    return instance.value;
}

bool carriable(const std::string& name) {
    return g_utf8_validate_len(name.data(), static_cast<gssize>(name.size()), nullptr);
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

void open(Bus& state, Receiver receiver) {
    state.receiver = receiver;
    const std::string socket = resolveDevicePath(kDeviceBusSocket);
    if (socket.size() >= sizeof(sockaddr_un::sun_path)) return;  // cannot be a socket
    gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    const std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);

    GError* error = nullptr;
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    if (connection == nullptr) {
        g_clear_error(&error);
        return;
    }
    // Losing the bus must not end the process (GDBus's default for bus
    // connections would raise SIGTERM).
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    g_dbus_connection_add_filter(connection, filterPosts, nullptr, nullptr);
    state.connection = connection;
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

bool addMatch(GDBusConnection* connection, const std::string& rule) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "AddMatch",
                                                  g_variant_new("(s)", rule.c_str()), nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &error);
    if (reply == nullptr) {
        g_clear_error(&error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

}  // namespace

bool connect(Receiver receiver) {
    Bus& state = bus();
    std::call_once(state.opened, open, std::ref(state), receiver);
    return state.connection != nullptr;
}

bool connected() {
    GDBusConnection* connection = bus().connection;
    return connection != nullptr && !g_dbus_connection_is_closed(connection);
}

bool listen(NotificationCentre centre, const std::string& name) {
    Bus& state = bus();
    if (state.connection == nullptr || !carriable(name)) return false;
    {
        std::lock_guard lock(state.rulesMutex);
        if (state.rules.count({centre, name}) != 0) return true;
    }
    const std::string centreRule = std::string("type='signal',interface='") + interfaceOf(centre) + "',member='" +
                                   kMember + "',path='" + kObjectPath + "'";
    std::string rule = centreRule + ",arg0=" + quotedRuleValue(name);
    if (rule.size() > kMaximumMatchRuleLength) {
        // A name too long for a rule of its own: hear every post of the
        // centre; the centre picks out the observed names itself.
        rule = centreRule;
    }
    // The call waits for the bus's answer, so posts made after it returns
    // are routed here. No lock is held: the answer comes through the worker
    // thread, which may be waiting for the centre in the filter.
    if (!addMatch(state.connection, rule)) return false;
    std::lock_guard lock(state.rulesMutex);
    state.rules.insert({centre, name});
    return true;
}

void post(NotificationCentre centre, const std::string& name) {
    Bus& state = bus();
    if (state.connection == nullptr || !carriable(name)) return;
    GError* error = nullptr;
    if (g_dbus_connection_emit_signal(state.connection, nullptr, kObjectPath, interfaceOf(centre), kMember,
                                      g_variant_new("(s)", name.c_str()), &error)) {
        g_dbus_connection_flush_sync(state.connection, nullptr, &error);
    }
    g_clear_error(&error);
}

}  // namespace notification_bus
