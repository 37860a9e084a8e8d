#include "ChildProcess.h"

#include <csignal>
#include <mutex>
#include <utility>

namespace zv::test {

namespace {

// A child that stopped reading its input must not end the test with SIGPIPE.
ChildProcess::Options ignoringBrokenPipes(ChildProcess::Options options) {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
    return options;
}

}  // namespace

ChildProcess::ChildProcess(Options options) : zv::process::ChildProcess(ignoringBrokenPipes(std::move(options))) {}

}  // namespace zv::test
