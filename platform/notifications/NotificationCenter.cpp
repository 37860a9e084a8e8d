#include "notifications/NotificationCenter.h"

#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "foundation/MainQueue.h"
#include "foundation/PlatformActivity.h"
#include "notifications/DeliveryQueue.h"
#include "foundation/Immortal.h"
#include "notifications/NotificationBus.h"

struct DarwinNotifyCenter {};

namespace {

using Block = std::function<void(const NSNotification&)>;

struct Observation {
    NotificationCentre centre = NotificationCentre::Darwin;
    std::string name;
    long suspensionBehavior = 0;
    // Darwin observers.
    CFNotificationCallback callback = nullptr;
    const void* observer = nullptr;
    // Distributed observers.
    std::shared_ptr<const Block> block;
};

// The process's observations and the deliveries waiting for its main loop.
// Written by the main thread (observers) and by the bus's worker thread
// (arrivals); every access holds `mutex`. Never destroyed, for the same
// reason as the bus connection: the worker may deliver while the process exits.
struct Centres {
    std::mutex mutex;
    std::vector<Observation> observations;  // append-only; indices stay valid
    DeliveryQueue queue;
    bool drainScheduled = false;
};

Centres& centres() {
    static Immortal<Centres> instance;
    return instance.value;
}

// How many deliveries one turn of the main loop hands out before yielding,
// so that a burst of posts cannot starve the rest of the main queue.
constexpr size_t kDeliveriesPerTurn = 64;

void drainDeliveries();

// Worker thread: queues one delivery per observation of the name, in the
// order the observations were added.
void receive(NotificationCentre centre, const char* name) {
    Centres& state = centres();
    std::lock_guard lock(state.mutex);
    for (size_t index = 0; index < state.observations.size(); ++index) {
        const Observation& observation = state.observations[index];
        if (observation.centre != centre || observation.name != name) continue;
        const bool coalesce = observation.suspensionBehavior == CFNotificationSuspensionBehaviorCoalesce;
        state.queue.push(index, observation.name, coalesce);
    }
    if (state.queue.size() > 0 && !state.drainScheduled) {
        state.drainScheduled = true;
        dispatch_async_main(drainDeliveries);
    }
}

// Bus thread: the process is back on the bus after a time away, in which
// posts to it were lost. A Darwin notification says only "look again", so
// every Darwin observation hears its name once (merged into a delivery that
// already waits), as after any post it might have missed. Distributed
// notifications are requests to act, not to look, and are not repeated.
void resume() {
    Centres& state = centres();
    std::lock_guard lock(state.mutex);
    for (size_t index = 0; index < state.observations.size(); ++index) {
        const Observation& observation = state.observations[index];
        if (observation.centre == NotificationCentre::Darwin) state.queue.push(index, observation.name, true);
    }
    if (state.queue.size() > 0 && !state.drainScheduled) {
        state.drainScheduled = true;
        dispatch_async_main(drainDeliveries);
    }
}

// Main loop: hands the waiting deliveries to their observers. Handlers run
// without the lock, so they may add observers and post.
void drainDeliveries() {
    Centres& state = centres();
    for (size_t handed = 0;; ++handed) {
        Delivery delivery;
        Observation observation;
        {
            std::lock_guard lock(state.mutex);
            if (handed == kDeliveriesPerTurn) {
                dispatch_async_main(drainDeliveries);  // drainScheduled stays set
                return;
            }
            std::optional<Delivery> next = state.queue.pop();
            if (!next) {
                state.drainScheduled = false;
                return;
            }
            delivery = std::move(*next);
            observation = state.observations[delivery.observation];
        }
        if (observation.centre == NotificationCentre::Darwin) {
            reportPlatformActivity(PlatformActivity::DarwinDelivered, delivery.name);
            observation.callback(CFNotificationCenterGetDarwinNotifyCenter(),
                                 const_cast<void*>(observation.observer), delivery.name.c_str(), nullptr, nullptr);
        } else {
            reportPlatformActivity(PlatformActivity::DistributedDelivered, delivery.name);
            (*observation.block)(NSNotification{delivery.name});
        }
    }
}

bool connectBus() { return notification_bus::connect(receive, resume); }

void addObservation(Observation observation) {
    const NotificationCentre centre = observation.centre;
    const std::string name = observation.name;
    {
        Centres& state = centres();
        std::lock_guard lock(state.mutex);
        state.observations.push_back(std::move(observation));
    }
    // Recorded first, so a post routed here as soon as the rule is in place
    // finds its observer. The bus keeps the route across reconnections.
    connectBus();
    notification_bus::listen(centre, name);
}

}  // namespace

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter() {
    static DarwinNotifyCenter darwin;
    return &darwin;
}

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name, const void*,
                                     long suspensionBehavior) {
    if (center == nullptr || callback == nullptr || name == nullptr) return;
    Observation observation;
    observation.centre = NotificationCentre::Darwin;
    observation.name = name;
    observation.suspensionBehavior = suspensionBehavior;
    observation.callback = callback;
    observation.observer = observer;
    addObservation(std::move(observation));
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name, const void*,
                                          CFDictionaryRef, bool) {
    if (center == nullptr || name == nullptr) return;
    reportPlatformActivity(PlatformActivity::DarwinPosted, name);
    if (connectBus()) notification_bus::post(NotificationCentre::Darwin, name);
}

NSOperationQueue* NSOperationQueue::mainQueue() {
    static NSOperationQueue main;
    return &main;
}

NSDistributedNotificationCenter& NSDistributedNotificationCenter::defaultCenter() {
    static NSDistributedNotificationCenter center;
    return center;
}

void NSDistributedNotificationCenter::addObserverForName(const std::string& name, const void*, NSOperationQueue*,
                                                         std::function<void(const NSNotification&)> block) {
    if (!block) return;
    Observation observation;
    observation.centre = NotificationCentre::Distributed;
    observation.name = name;
    observation.block = std::make_shared<const Block>(std::move(block));
    addObservation(std::move(observation));
}

void NSDistributedNotificationCenter::postNotificationName(const std::string& name, const void*) {
    reportPlatformActivity(PlatformActivity::DistributedPosted, name);
    if (connectBus()) notification_bus::post(NotificationCentre::Distributed, name);
}

std::vector<ObservationInfo> notificationObservations() {
    Centres& state = centres();
    std::lock_guard lock(state.mutex);
    std::vector<ObservationInfo> infos;
    infos.reserve(state.observations.size());
    for (const Observation& observation : state.observations) {
        const bool darwin = observation.centre == NotificationCentre::Darwin;
        infos.push_back(ObservationInfo{darwin ? "darwin" : "distributed", observation.name,
                                        darwin ? observation.suspensionBehavior : 0});
    }
    return infos;
}

bool notificationBusConnected() { return connectBus() && notification_bus::connected(); }

bool waitForNotificationBus(std::chrono::milliseconds patience) {
    connectBus();
    return notification_bus::settle(patience);
}

size_t notificationDeliveriesWaiting() {
    Centres& state = centres();
    std::lock_guard lock(state.mutex);
    return state.queue.size();
}
