// The control-protocol commands of a status-bar host.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "HookableMethods.h"
#include "control/ControlChannel.h"
#include "foundation/MainQueueTask.h"
#include "substrate/Injection.h"

namespace zv::device {

struct HostContext {
    bool isSpringBoard = false;
    std::vector<HookableMethod> hookable;
    InjectionResult injection;
    // The battery-state field of the last battery data (0: not on external power).
    std::int32_t batteryState = 0;
    // The layout event queued for the end of this turn of the main loop
    // (made on the first announcement).
    std::unique_ptr<MainQueueTask> layoutAnnouncement;
};

// The exit status with which SpringBoard ends its process to be relaunched.
inline constexpr int kRelaunchExitStatus = 75;

void registerHostCommands(control::ControlChannel& channel, HostContext& context);

}  // namespace zv::device
