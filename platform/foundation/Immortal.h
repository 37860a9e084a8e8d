// Storage for a process-wide object that is never destroyed.
//
// The notification centres' state, and the device root they resolve the bus
// socket in, are used by the bus's own threads, which keep running while the
// process exits; destroying them with the other statics would pull them away
// from under a delivery or a reconnection in progress.
#pragma once

#include <utility>

template <typename T>
union Immortal {
    template <typename... Args>
    explicit Immortal(Args&&... args) : value(std::forward<Args>(args)...) {}
    ~Immortal() {}  // deliberately leaves `value` alive

    T value;
};
