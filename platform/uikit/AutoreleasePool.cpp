#include "uikit/AutoreleasePool.h"

#include <iterator>
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

AutoreleaseScope::AutoreleaseScope() : mark_(pool().size()) {}

AutoreleaseScope::~AutoreleaseScope() {
    auto& objects = pool();
    if (objects.size() <= mark_) return;
    std::vector<std::shared_ptr<void>> released(std::make_move_iterator(objects.begin() + static_cast<std::ptrdiff_t>(mark_)),
                                                std::make_move_iterator(objects.end()));
    objects.resize(mark_);
}

}  // namespace zv::platform
