#include "notifications/DeliveryQueue.h"

bool DeliveryQueue::push(size_t observation, std::string name, bool coalesce) {
    if (coalesce && !coalescing_.insert(observation).second) return false;
    waiting_.push_back(Delivery{observation, std::move(name)});
    return true;
}

std::optional<Delivery> DeliveryQueue::pop() {
    if (waiting_.empty()) return std::nullopt;
    Delivery next = std::move(waiting_.front());
    waiting_.pop_front();
    // Only a coalescing observation is ever in the set, so erasing is harmless otherwise.
    coalescing_.erase(next.observation);
    return next;
}
