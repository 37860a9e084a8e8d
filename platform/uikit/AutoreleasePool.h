// Host objects handed out without an owner (the platform's autoreleased
// objects, such as the image of an image context). They live until the main
// queue next runs its work, as on the device, where the run loop drains the
// pool once per turn.
#pragma once

#include <memory>

namespace zv::platform {

void autoreleaseObject(std::shared_ptr<void> object);

template <class T>
T* autorelease(std::unique_ptr<T> object) {
    T* raw = object.get();
    autoreleaseObject(std::shared_ptr<T>(std::move(object)));
    return raw;
}

// Releases every object in the pool now.
void drainAutoreleasePool();

}  // namespace zv::platform
