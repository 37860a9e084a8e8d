#include "control/ErrorReply.h"

namespace zv::control {

nlohmann::json errorReply(const std::string& text, const nlohmann::json& id) {
    nlohmann::json reply{{"ok", false}, {"error", text}};
    if (!id.is_null()) reply["id"] = id;
    return reply;
}

}  // namespace zv::control
