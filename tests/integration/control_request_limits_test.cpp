// Requests beyond the control protocol's limits, sent to real processes (a
// SpringBoard host and the Settings application): each gets an error reply
// without its id, the process keeps answering, and nothing of the line is
// kept.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "DeviceInstall.h"
#include "control/DevicePaths.h"
#include "HostProcess.h"
#include "PrivateBus.h"

namespace zv::test {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

const std::string kTooDeep = R"({"error":"request nested deeper than 64 levels","ok":false})";
const std::string kTooLong = R"({"error":"request longer than 1048576 bytes","ok":false})";

// A ping whose id is `levels` arrays inside one another (the request itself
// is one more level).
std::string pingNested(size_t levels) {
    return R"({"cmd":"ping","id":)" + std::string(levels, '[') + std::string(levels, ']') + "}";
}

// A ping of exactly `bytes` bytes, its id a string of x.
std::string pingOfSize(size_t bytes) {
    const std::string head = R"({"cmd":"ping","id":")", tail = R"("})";
    return head + std::string(bytes - head.size() - tail.size(), 'x') + tail;
}

// A field of /proc/<pid>/status, in kB.
long statusKb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

TEST(ControlRequestLimits, DeepAndOverlongRequestsAreRefusedAndForgotten) {
    PrivateBus device;
    ASSERT_TRUE(installDeliverables(device.root().path()));
    std::filesystem::create_directories(device.root().hostPath(zv::control::kPreferencesFolder));
    const std::vector<HostOptions> processes{
        {device.root().path(), {zv::control::kSpringBoardPath}, true},
        {device.root().path(), {zv::control::kSettingsAppPath}, false,
         std::string(ZV_BIN_DIR) + "/zv-settings-app"}};
    for (const HostOptions& options : processes) {
        SCOPED_TRACE(options.executable);
        HostProcess host(options);
        ASSERT_TRUE(host.ready());
        ChildProcess& process = host.process();
        // The reply, cut short for failure messages.
        const auto ask = [&](const std::string& line) {
            process.writeLine(line);
            return process.readLine(30s).value_or("(no reply)").substr(0, 200);
        };
        // Whether the reply echoes the request's id.
        const auto echoed = [&](const std::string& line) {
            process.writeLine(line);
            const json reply = json::parse(process.readLine(30s).value_or("null"), nullptr, false);
            return reply.is_object() && reply.value("ok", false) && reply["id"] == json::parse(line)["id"];
        };

        EXPECT_EQ(ask(pingNested(65000)), kTooDeep);
        EXPECT_EQ(ask(pingNested(64)), kTooDeep);
        EXPECT_TRUE(echoed(pingNested(63)));
        // Brackets inside strings are text.
        const std::string bracketText = R"({"cmd":"ping","id":"\"[[)" + std::string(100, '[') + R"("})";
        EXPECT_TRUE(echoed(bracketText));

        // The longest request is answered; one byte more is refused, and so
        // is a line many times that size, which the process never holds.
        EXPECT_TRUE(echoed(pingOfSize(1 << 20)));
        EXPECT_EQ(ask(pingOfSize((1 << 20) + 1)), kTooLong);
        const long peakBefore = statusKb(process.pid(), "VmHWM");
        const long residentBefore = statusKb(process.pid(), "VmRSS");
        EXPECT_EQ(ask(pingOfSize(64 << 20)), kTooLong);
        EXPECT_LT(statusKb(process.pid(), "VmHWM") - peakBefore, 8 * 1024) << "the long line was held";
        EXPECT_LT(statusKb(process.pid(), "VmRSS") - residentBefore, 8 * 1024) << "memory was not given back";

        EXPECT_EQ(ask(R"({"cmd":"ping","id":7})"), R"({"id":7,"ok":true,"pong":true})");
    }
}

}  // namespace
}  // namespace zv::test
