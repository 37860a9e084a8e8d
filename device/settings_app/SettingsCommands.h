// The control-protocol commands of the Settings application
// (docs/control-protocol.md, "Settings application").
#pragma once

#include "PageEvent.h"
#include "PageOnScreen.h"
#include "SettingsApp.h"
#include "control/ControlChannel.h"

namespace zv::device {

void registerSettingsCommands(control::ControlChannel& channel, SettingsApp& app, PageOnScreen& screen, PageEvent& pageEvent);

}  // namespace zv::device
