// Storage for a process-wide object that is never destroyed.
//
// The notification centres' state is used by GDBus's worker thread, which
// keeps running while the process exits; destroying that state with the
// other statics would pull it away from under a delivery in progress.
#pragma once

#include <utility>

template <typename T>
union Immortal {
    template <typename... Args>
    explicit Immortal(Args&&... args) : value(std::forward<Args>(args)...) {}
    ~Immortal() {}  // deliberately leaves `value` alive

    T value;
};
