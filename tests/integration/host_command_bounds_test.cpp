// What a status-bar host's own commands may cost it, in a real host: many
// item types at once, wait times out of range, and tables of names and
// waits that requests can only fill up to a bound.
#include <fstream>

#include "StatusBarHosts.h"

namespace zv::test {
namespace {

using namespace std::chrono_literals;

// AddressSanitizer keeps freed memory aside, so resident sizes say nothing
// of what a process keeps.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kResidentSizeTellsWhatIsKept = false;
#else
constexpr bool kResidentSizeTellsWhatIsKept = true;
#endif

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

std::string errorOf(const json& reply) {
    return reply.is_object() && !reply.value("ok", true) ? reply.value("error", "") : "(not an error: " + reply.dump() + ")";
}

TEST_F(StatusBarHosts, HostCommandsStayWithinBounds) {
    HostProcess host = startApp();
    ASSERT_TRUE(host.ready());

    // As many distinct item types as one request holds.
    Types many(150000);
    std::iota(many.begin(), many.end(), 0);
    EXPECT_EQ(request(host, {{"cmd", "items"}, {"types", many}})["types"].size(), many.size());
    request(host, {{"cmd", "items"}, {"types", Types{0, 7, 7, 11}}});
    EXPECT_TRUE(layoutBecomes(host, {}, {0}, {11, 7}));

    // Wait times: from 0 to an hour; nothing wraps around.
    const std::string range = "\"timeout_ms\" must be between 0 and 3600000";
    for (long long ms : {-1LL, 3600001LL, 4294967296LL, 4294967346LL})
        EXPECT_EQ(errorOf(host.request({{"cmd", "wait"}, {"name", "n"}, {"timeout_ms", ms}})), range) << ms;
    EXPECT_EQ(errorOf(host.request({{"cmd", "wait"}, {"name", "n"}, {"timeout_ms", 0}})), "timed out waiting for n");

    // Asking for the count of names never listened to keeps nothing: 100 MB
    // of names asked about leave the host's size as it was.
    const long before = residentKb(host.process().pid());
    for (int i = 0; i < (kResidentSizeTellsWhatIsKept ? 5000 : 50); ++i) {
        const std::string name = std::to_string(i) + std::string(20000, 'n');
        ASSERT_EQ(request(host, {{"cmd", "received"}, {"name", name}})["count"], 0);
    }
    if (kResidentSizeTellsWhatIsKept) {
        EXPECT_LT(residentKb(host.process().pid()) - before, 20 * 1024) << "kB kept for names asked about";
    }

    // Observed names and pending waits are bounded; waits that end make room.
    // "n" is observed already; 255 more make 256.
    for (int i = 0; i < 255; ++i) request(host, {{"cmd", "listen"}, {"name", "listened " + std::to_string(i)}});
    EXPECT_EQ(errorOf(host.request({{"cmd", "listen"}, {"name", "one too many"}})),
              "this host already observes 256 names");
    request(host, {{"cmd", "listen"}, {"name", "listened 0"}});  // observed already
    ChildProcess& process = host.process();
    for (int i = 0; i < 1000; ++i)
        process.writeLine(json({{"cmd", "wait"}, {"name", "n"}, {"timeout_ms", 3600000}, {"id", "w"}}).dump());
    EXPECT_EQ(errorOf(host.request({{"cmd", "wait"}, {"name", "n"}, {"timeout_ms", 3600000}})),
              "this host already has 1000 waits pending");
    request(host, {{"cmd", "post"}, {"name", "n"}});
    int answered = 0;
    while (answered < 1000) {
        const auto line = process.readLine(10s);
        if (!line) break;
        if (json::parse(*line).value("name", "") == "n") ++answered;
    }
    EXPECT_EQ(answered, 1000);
    EXPECT_EQ(errorOf(host.request({{"cmd", "wait"}, {"name", "n"}, {"timeout_ms", 0}})), "timed out waiting for n");
}

}  // namespace
}  // namespace zv::test
