// The control-protocol commands that drive and observe the host's status
// bar, its item views, the lock screen, the notification centre, Bluetooth,
// the battery and the trace of the calls an injected library made
// (docs/control-protocol.md, "Status-bar hosts").
#pragma once

#include "HostCommands.h"

namespace zv::device {

void registerStatusBarCommands(control::ControlChannel& channel, HostContext& context);
void registerSpringBoardCommands(control::ControlChannel& channel, HostContext& context);

}  // namespace zv::device
