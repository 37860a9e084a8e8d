// The process's connection to the device's bus, as the notification centres
// use it. Internal to the notification centres.
//
// On the wire a post is a broadcast signal whose only argument is the name
// (D-Bus signature "s"): member "Posted" on object path
// "/zorvane/notifications", interface "zorvane.notifications.Darwin" for the
// Darwin centre and "zorvane.notifications.Distributed" for the distributed
// centre. `dbus-monitor --address <bus> "interface='zorvane.notifications.Darwin'"`
// shows the traffic.
//
// A bus thread of the process's own owns the connection (a second thread
// writes posts out, waiting as long as the bus takes): it connects, and
// when the connection closes (the bus ended or restarted) it connects again,
// waiting 50 ms after the first failure and twice as long after each further
// one, up to 2 s, and asks the new connection for every route the process
// asked for before. The calling thread never waits on the bus for more than
// kBusPatience per call, and not at all while the bus has left an earlier
// wait unanswered (it is hung): a hung bus costs a process one such wait
// until it answers again, never a stall.
#pragma once

#include <chrono>
#include <string>

enum class NotificationCentre { Darwin, Distributed };

namespace notification_bus {

// The longest a calling thread waits for the bus in one call.
inline constexpr std::chrono::milliseconds kBusPatience{250};

// Called on GDBus's worker thread for every post that reaches this process,
// in the order of arrival.
using Receiver = void (*)(NotificationCentre centre, const char* name);
// Called on the bus thread when the process is back on the bus after a time
// without it (the bus ended or restarted, or could not be reached when the
// process started): once the new connection routes every name asked for, so
// that a post made from then on is heard. Posts made while the process was
// away were lost; this tells the process so.
using Resumed = void (*)();

// Starts the bus thread, once per process; `receiver` and `resumed` are
// installed with the first call (later ones are ignored). The first call waits for the first
// attempt to connect (at most kBusPatience). Answers whether a connection
// is open now.
bool connect(Receiver receiver, Resumed resumed);
// Whether a connection is open now.
bool connected();

// Asks the bus to route posts of `name` on `centre` to this process, now and
// after every reconnection. Returns once the bus has the rule (true), or with
// false when the bus refused it, has not answered within kBusPatience, or
// there is no connection yet (the rule is then installed as soon as the bus
// answers or the process connects). False at once for a name the bus cannot
// carry (not UTF-8, or with a NUL byte).
bool listen(NotificationCentre centre, const std::string& name);

// Broadcasts a post and waits (at most kBusPatience) until it is written to
// the bus, so that it is not lost when the process exits right after.
// Dropped without a connection, when many earlier posts are still waiting
// for the bus to take them, and for a name the bus cannot carry.
void post(NotificationCentre centre, const std::string& name);

// For tools and tests, which may wait longer than the system's own code:
// waits up to `patience` until a connection is open, every route asked for
// is installed (or refused) and every post is written. False when that is
// not so in time, and at once when an attempt to connect has failed and no
// connection is open.
bool settle(std::chrono::milliseconds patience);

}  // namespace notification_bus
