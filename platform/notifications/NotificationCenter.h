// System-wide notifications, carried over D-Bus on the device's bus.
//
// The Darwin centre carries bare names (no object, no user information); the
// distributed centre carries a name to observers on the main queue. A post
// reaches every process connected to the device's bus, the poster included.
// Handlers always run on the receiving process's main loop (MainQueue.h), in
// the order the posts arrived: two names posted back to back by one process
// are handled in that order by every observer.
//
// Suspension behaviour Coalesce: while a delivery of a name to an observer is
// still waiting for the main loop, further posts of that name merge into it
// (it keeps its place in the order). Every other behaviour, 0 included,
// delivers each post: processes here are never suspended.
//
// The bus is found through the device root (DeviceFiles.h): its socket is the
// device path kDeviceBusSocket. The process connects at its first use of
// either centre. Without a bus, posts go nowhere and observers hear nothing;
// nothing fails and nothing is printed. When the connection closes (the bus
// ended or restarted), the process connects again, with growing pauses
// between attempts, and restores every observation it had: posts made after
// that are heard again. Posts made while it was away are lost, so once it is
// back (and whenever it reaches a bus it could not reach at first) every
// Darwin observation is delivered its name once, as a post would: Darwin
// names mean "look again", and a look too many costs nothing where a missed
// one leaves stale state. Distributed observations are not repeated.
//
// No call waits on the bus for longer than a quarter of a second, so a hung
// bus never holds up a process: posts it does not take are dropped (beyond a
// few dozen waiting for it), and observations added meanwhile take effect
// once it answers again.
//
// With an answering bus, when CFNotificationCenterAddObserver or
// addObserverForName returns, the bus already routes the name to this
// process: a post made after that, by any process, is heard. A post is on
// its way to the bus before the posting call returns, so a process may exit
// right after posting.
//
// Names travel as D-Bus strings: a name that is not UTF-8 or holds a NUL
// byte is neither posted nor heard. A null centre, name or callback is
// ignored. Each call to add an observer makes a separate observation.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

inline constexpr const char* kDeviceBusSocket = "/var/run/dbus/device_bus_socket";

// --- Darwin centre (CoreFoundation's names) ---------------------------------
struct DarwinNotifyCenter;
using CFNotificationCenterRef = DarwinNotifyCenter*;
using CFStringRef = const char*;
using CFDictionaryRef = const void*;
using CFNotificationCallback = void (*)(CFNotificationCenterRef center, void* observer, CFStringRef name,
                                        const void* object, CFDictionaryRef userInfo);

enum CFNotificationSuspensionBehavior : long {
    CFNotificationSuspensionBehaviorDrop = 1,
    CFNotificationSuspensionBehaviorCoalesce = 2,
    CFNotificationSuspensionBehaviorHold = 3,
    CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();
// The callback is called with the centre, the observer and the name; object
// and user information are always null.
void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name, const void* object,
                                     long suspensionBehavior);
void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name, const void* object,
                                          CFDictionaryRef userInfo, bool deliverImmediately);

// --- Distributed centre (Foundation's names) --------------------------------
struct NSNotification {
    std::string name;
};

// Only the main queue exists in this platform.
struct NSOperationQueue {
    static NSOperationQueue* mainQueue();
};

class NSDistributedNotificationCenter {
public:
    static NSDistributedNotificationCenter& defaultCenter();
    // The block runs on the main queue each time the name is posted. The
    // observation lasts until the process ends.
    void addObserverForName(const std::string& name, const void* object, NSOperationQueue* queue,
                            std::function<void(const NSNotification&)> block);
    void postNotificationName(const std::string& name, const void* object);
};

// --- Introspection, for hosts and tools -------------------------------------
struct ObservationInfo {
    std::string centre;  // "darwin" or "distributed"
    std::string name;
    long suspensionBehavior = 0;  // Darwin only
};
// Every observation added in this process, in the order they were added.
std::vector<ObservationInfo> notificationObservations();
// Whether this process is connected to the device's bus (connects on first
// use, like the centres).
bool notificationBusConnected();
// For tools, which may wait longer than the system's own code: waits up to
// `patience` until this process is connected, the bus routes every observed
// name here and every post is written to the bus. False when that is not so
// in time, and at once when there is no bus to connect to.
bool waitForNotificationBus(std::chrono::milliseconds patience);
// How many deliveries are waiting for this process's main loop.
size_t notificationDeliveriesWaiting();
