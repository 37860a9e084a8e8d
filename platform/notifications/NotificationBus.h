// The process's connection to the device's bus, as the notification centres
// use it. Internal to the notification centres.
//
// On the wire a post is a broadcast signal whose only argument is the name
// (D-Bus signature "s"): member "Posted" on object path
// "/zorvane/notifications", interface "zorvane.notifications.Darwin" for the
// Darwin centre and "zorvane.notifications.Distributed" for the distributed
// centre. `dbus-monitor --address <bus> "interface='zorvane.notifications.Darwin'"`
// shows the traffic.
#pragma once

#include <string>

enum class NotificationCentre { Darwin, Distributed };

namespace notification_bus {

// Called on GDBus's worker thread for every post that reaches this process,
// in the order of arrival.
using Receiver = void (*)(NotificationCentre centre, const char* name);

// Connects to the bus at the device path kDeviceBusSocket, once per process;
// later calls answer the first outcome. `receiver` is installed with the
// first call (later ones are ignored). False when there is no bus.
bool connect(Receiver receiver);
// Whether the connection is open (it closes when the bus goes away).
bool connected();

// Asks the bus to route posts of `name` on `centre` to this process, and
// returns once the bus has the rule. False without a bus or for a name the
// bus cannot carry (not UTF-8, or with a NUL byte).
bool listen(NotificationCentre centre, const std::string& name);

// Broadcasts a post and flushes it to the bus before returning, so it is not
// lost when the process exits right after. Silently does nothing without a
// bus or for a name the bus cannot carry.
void post(NotificationCentre centre, const std::string& name);

}  // namespace notification_bus
