// The process's argument list, as the platform's NSProcessInfo gives it.
#pragma once

#include <string>
#include <vector>

// The arguments read from /proc/self/cmdline. Element 0 is the executable's
// path as its starter gave it, which may be a device path. An empty list when
// the process was started without arguments or the list cannot be read.
std::vector<std::string> processArguments();
