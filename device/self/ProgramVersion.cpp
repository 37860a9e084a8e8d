#include "ProgramVersion.h"

namespace zv {

// ZV_VERSION comes from the project's version, on this file alone, so that a
// new version rebuilds one file.
const char* zorvaneVersion() { return ZV_VERSION; }

std::string versionLine(const std::string& program) { return program + " " + ZV_VERSION; }

}  // namespace zv
