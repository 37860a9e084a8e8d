#include "control/PhoneClock.h"

#include "foundation/DateFormatter.h"

namespace zv::control {

std::string phoneClockText(std::chrono::system_clock::time_point when) {
    NSDateFormatter formatter;
    formatter.setTimeStyle(NSDateFormatterStyle::ShortStyle);
    return formatter.stringFromDate(when);
}

}  // namespace zv::control
