// The control-protocol commands of a status-bar host.
#pragma once

#include <cstdint>
#include <vector>

#include "HookableMethods.h"
#include "control/ControlChannel.h"
#include "substrate/Injection.h"

namespace zv::device {

struct HostContext {
    bool isSpringBoard = false;
    std::vector<HookableMethod> hookable;
    InjectionResult injection;
    // The battery-state field of the last battery data (0: not on external power).
    std::int32_t batteryState = 0;
    // A layout event is queued for the end of this turn of the main loop.
    bool layoutAnnouncementQueued = false;
};

// The exit status with which SpringBoard ends its process to be relaunched.
inline constexpr int kRelaunchExitStatus = 75;

void registerHostCommands(control::ControlChannel& channel, HostContext& context);

}  // namespace zv::device
