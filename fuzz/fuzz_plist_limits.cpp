// Feeds arbitrary bytes to zorvane's check of a file before parsing
// (plistLimitProblem), and parses what it lets through. The check reads
// binary property lists by hand, so beyond "no crash, no sanitizer report"
// the run's -timeout and -rss_limit_mb catch bytes it passes that still
// stall the parse or make it expand without bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PlistLimits.h"
#include "foundation/plist/PlistCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (zv::tools::plistLimitProblem(input).empty()) {
        const auto parsed = plistFromBytes(input);
        (void)parsed;
    }
    return 0;
}
