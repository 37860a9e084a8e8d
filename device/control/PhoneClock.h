// The time as the phone's clock shows it (the status bar's and the lock
// screen's): the short time style of the current locale, "11:08 PM" in
// en_US. The screen and the zorvane tool draw it the same way.
#pragma once

#include <chrono>
#include <string>

namespace zv::control {

std::string phoneClockText(std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

}  // namespace zv::control
