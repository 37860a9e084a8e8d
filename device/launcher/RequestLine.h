// One request line of the control protocol as the launcher reads it, to
// answer for a process or pass the line on: its command and its id. The
// launcher never walks text nested deeper than kMaxRequestNesting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zv::device {

inline constexpr std::size_t kMaxRequestNesting = 64;

struct RequestLine {
    nlohmann::json request;  // the object; null when the line is not a JSON object (or too deep)
    nlohmann::json id;       // the request's "id", null when it has none
    std::string command;     // its "cmd" when that is a string, else empty
};

RequestLine parseRequestLine(std::string_view line);

// {"ok":false,"error":text} with the id when there is one.
nlohmann::json errorReply(const std::string& text, const nlohmann::json& id);

}  // namespace zv::device
