// The control-protocol commands of a status-bar host.
#pragma once

#include <vector>

#include "HookableMethods.h"
#include "control/ControlChannel.h"
#include "substrate/Injection.h"

namespace zv::device {

struct HostContext {
    bool isSpringBoard = false;
    std::vector<HookableMethod> hookable;
    InjectionResult injection;
};

// The exit status with which SpringBoard ends its process to be relaunched.
inline constexpr int kRelaunchExitStatus = 75;

void registerHostCommands(control::ControlChannel& channel, HostContext& context);

}  // namespace zv::device
