#include "foundation/PlatformActivity.h"

#include <atomic>

namespace {

std::atomic<PlatformActivityHook> installedHook{nullptr};

}  // namespace

void setPlatformActivityHook(PlatformActivityHook hook) { installedHook.store(hook); }

void reportPlatformActivity(PlatformActivity activity, std::string_view subject) {
    if (PlatformActivityHook hook = installedHook.load()) hook(activity, subject);
}
