#include "RequestLine.h"

namespace zv::device {

std::size_t jsonNestingDepth(std::string_view text) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

RequestLine parseRequestLine(std::string_view line) {
    RequestLine parsed;
    if (jsonNestingDepth(line) > kMaxRequestNesting) return parsed;
    nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
    if (value.is_discarded() || !value.is_object()) return parsed;
    if (auto id = value.find("id"); id != value.end()) parsed.id = *id;
    if (auto cmd = value.find("cmd"); cmd != value.end() && cmd->is_string()) parsed.command = cmd->get<std::string>();
    parsed.request = std::move(value);
    return parsed;
}

nlohmann::json errorReply(const std::string& text, const nlohmann::json& id) {
    nlohmann::json reply{{"ok", false}, {"error", text}};
    if (!id.is_null()) reply["id"] = id;
    return reply;
}

}  // namespace zv::device
