#include "HostTest.h"

#include <algorithm>
#include <cctype>

#include "foundation/NSPathUtilities.h"

namespace zv {

bool isStatusBarHost(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().empty()) return false;
    const std::string& path = arguments.front();
    const std::string name = lastPathComponent(path);

    const bool isSpringBoard = name == "SpringBoard";
    const bool isApplication = path.find("/Application") != std::string::npos;
    std::string lowered = name;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool isFileProvider = lowered.find("fileprovider") != std::string::npos;
    return (isSpringBoard || isApplication) && !isFileProvider;
}

}  // namespace zv
