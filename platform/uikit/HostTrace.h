// The ordered record of the messages that reach the host's application,
// status bar, state aggregator, lock-screen manager and Bluetooth manager
// through the runtime: what an injected library asked of the host, in the
// order it asked. The host reports it (control protocol "trace").
//
// Only the methods these objects answer through the runtime record; the
// host's own work on them (its layout, its reaction to a lock) goes through
// their C++ side and records nothing. Recording is cheap (no allocation
// but the list's growth), because some of these methods are asked on every
// status-bar layout. The record keeps at most kHostTraceCapacity entries
// and counts the ones it had to drop.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/Runtime.h"

namespace zv::platform {

struct TraceArgument {
    enum class Kind : std::uint8_t { Integer, Boolean };
    Kind kind = Kind::Integer;
    std::int64_t value = 0;

    static TraceArgument integer(std::int64_t v) { return {Kind::Integer, v}; }
    static TraceArgument boolean(bool v) { return {Kind::Boolean, v ? 1 : 0}; }
};

struct TraceEntry {
    const char* receiverClass = "";  // the receiver's class (for a class method, the class itself)
    bool classMethod = false;
    const char* selector = "";
    std::uint8_t argumentCount = 0;
    std::array<TraceArgument, 2> arguments{};

    // In the platform's notation: "+[UIApplication sharedApplication]",
    // "-[SBStatusBarStateAggregator _setItem:7 enabled:NO]".
    std::string text() const;
};

inline constexpr std::size_t kHostTraceCapacity = 100000;

// Appends a call of `sel` on `receiver` (an instance or a class object).
void recordHostCall(id receiver, SEL sel, std::initializer_list<TraceArgument> arguments = {});

const std::vector<TraceEntry>& hostTrace();
std::size_t hostTraceDropped();
void clearHostTrace();

}  // namespace zv::platform
