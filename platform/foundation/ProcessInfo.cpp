#include "foundation/ProcessInfo.h"

#include "foundation/DeviceFiles.h"

std::vector<std::string> processArguments() {
    std::vector<std::string> args;
    auto bytes = readHostFile("/proc/self/cmdline");
    if (!bytes || bytes->empty()) return args;
    size_t start = 0;
    while (start < bytes->size()) {
        size_t end = bytes->find('\0', start);
        if (end == std::string::npos) end = bytes->size();
        args.emplace_back(*bytes, start, end - start);
        start = end + 1;
    }
    return args;
}
