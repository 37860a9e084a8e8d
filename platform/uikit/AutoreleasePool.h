// Host objects handed out without an owner (the platform's autoreleased
// objects, such as the image of an image context). They live until the main
// queue next runs its work, as on the device, where the run loop drains the
// pool once per turn.
#pragma once

#include <cstddef>
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

// An autorelease scope (@autoreleasepool): objects autoreleased while it is
// open are released when it closes; older ones wait for the main queue.
class AutoreleaseScope {
public:
    AutoreleaseScope();
    ~AutoreleaseScope();
    AutoreleaseScope(const AutoreleaseScope&) = delete;
    AutoreleaseScope& operator=(const AutoreleaseScope&) = delete;

private:
    std::size_t mark_;
};

}  // namespace zv::platform
