// The control-protocol commands of the Settings application
// (docs/control-protocol.md, "Settings application").
#pragma once

#include "SettingsApp.h"
#include "control/ControlChannel.h"

namespace zv::device {

void registerSettingsCommands(control::ControlChannel& channel, SettingsApp& app);

}  // namespace zv::device
