// The version of Zorvane, the project's own, which every program prints
// for --version.
#pragma once

#include <string>

namespace zv {

// "0.1.0"
const char* zorvaneVersion();

// "<program> <version>", the line --version prints.
std::string versionLine(const std::string& program);

}  // namespace zv
