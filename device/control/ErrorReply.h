// The control protocol's error reply, {"ok":false,"error":text,"id":id},
// written by a process for a request it refuses and by the launcher and the
// screen for a request that reaches no process.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace zv::control {

// With "id" only when `id` is not null (a request without one, or one whose
// id was never read).
nlohmann::json errorReply(const std::string& text, const nlohmann::json& id = nullptr);

}  // namespace zv::control
