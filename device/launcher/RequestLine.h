// One request line of the control protocol as the launcher reads it, to
// answer for a process or pass the line on: its command and its id. The
// launcher never walks text nested deeper than a process would take
// (control::kDeepestRequest).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>
namespace zv::device {

struct RequestLine {
    nlohmann::json request;  // the object; null when the line is not a JSON object (or too deep)
    nlohmann::json id;       // the request's "id", null when it has none
    std::string command;     // its "cmd" when that is a string, else empty
};

RequestLine parseRequestLine(std::string_view line);

}  // namespace zv::device
