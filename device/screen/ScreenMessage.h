// A message of the screen's page to the device, over the WebSocket:
//   {"process": "<name>", "request": {"cmd": "<command>", "id": ..., ...}}
// It is taken only when it is at most kMaxScreenMessage bytes, nested at
// most control::kDeepestRequest deep, names a process of the device and a
// command that process speaks (or one of the launcher's), or "device" and
// one of the device's own controls. Anything else is
// answered with an error and the connection stays open.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Device.h"

namespace zv::screen {

inline constexpr std::size_t kMaxScreenMessage = 64 * 1024;

struct ScreenMessage {
    std::string process;      // empty when the message names none
    nlohmann::json request;   // the request object, when taken
    nlohmann::json id;        // the request's id, null when it has none
    std::string error;        // why it is refused; empty when taken
};

ScreenMessage parseScreenMessage(std::string_view text, const device::Device& device);

}  // namespace zv::screen
