#include "RequestLine.h"

#include "control/ControlChannel.h"
#include "control/JsonNesting.h"

namespace zv::device {

RequestLine parseRequestLine(std::string_view line) {
    RequestLine parsed;
    if (control::nestsDeeperThan(line, control::kDeepestRequest)) return parsed;
    nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
    if (value.is_discarded() || !value.is_object()) return parsed;
    if (auto id = value.find("id"); id != value.end()) parsed.id = *id;
    if (auto cmd = value.find("cmd"); cmd != value.end() && cmd->is_string()) parsed.command = cmd->get<std::string>();
    parsed.request = std::move(value);
    return parsed;
}

}  // namespace zv::device
