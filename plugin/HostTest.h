// Whether a process is a status-bar host, judged from its argument list.
#pragma once

#include <string>
#include <vector>

namespace zv {

// A host is a process whose executable is named exactly "SpringBoard", or
// whose path contains "/Application", unless its lower-cased name contains
// "fileprovider". The name is the path's last component as the platform
// takes it, trailing slashes ignored. An empty list, or an empty first
// argument, is no host.
bool isStatusBarHost(const std::vector<std::string>& arguments);

}  // namespace zv
