// The deliveries of notifications that wait for a process's main loop, in
// the order their posts arrived, across all names and observers.
//
// One observation (one observer added for one name) with coalescing holds at
// most one waiting delivery: a post that arrives while that delivery still
// waits merges into it and keeps its place in the queue. Once the delivery
// is taken off the queue, the next post queues a new one, so a handler that
// is already running never misses a later post.
//
// Plain data, not synchronised: the notification centre guards it.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <unordered_set>

struct Delivery {
    size_t observation = 0;  // index of the observation in the centre's table
    std::string name;
};

class DeliveryQueue {
public:
    // Queues a delivery for the observation; false when it merged into a
    // waiting one instead.
    bool push(size_t observation, std::string name, bool coalesce);
    // The oldest waiting delivery, if any.
    std::optional<Delivery> pop();
    size_t size() const { return waiting_.size(); }

private:
    std::deque<Delivery> waiting_;
    std::unordered_set<size_t> coalescing_;  // observations holding a mergeable delivery
};
