#include "uikit/AutoreleasePool.h"

#include <vector>

#include "foundation/MainQueue.h"

namespace zv::platform {

namespace {

std::vector<std::shared_ptr<void>>& pool() {
    static std::vector<std::shared_ptr<void>> objects;
    return objects;
}

}  // namespace

void autoreleaseObject(std::shared_ptr<void> object) {
    auto& objects = pool();
    if (objects.empty()) dispatch_async_main([] { drainAutoreleasePool(); });
    objects.push_back(std::move(object));
}

void drainAutoreleasePool() {
    // Releasing may autorelease again; those wait for the next turn.
    auto released = std::move(pool());
    pool().clear();
}

}  // namespace zv::platform
