// Events about the work the platform does for the system, written by the
// device's programs on their control channel, each stamped with a clock that
// every process of the machine shares. The launcher lines them up into the
// road of the last change: the user's action in the Settings application,
// the settings file written, the notifications posted and delivered, and
// every status bar laid out again.
//
//   {"event":"action","cmd":C,"t":T}    a user's command C began at T; written
//                                       just before the first activity it causes
//   {"event":"wrote","file":F,"t":T}    a whole file at device path F was written
//   {"event":"posted","name":N,"centre":"darwin"|"distributed","t":T}
//   {"event":"delivered","name":N,"centre":...,"t":T}
//                                       a notification reached an observer here
//
// T is in microseconds since the Unix epoch (CLOCK_REALTIME): one clock for
// every process of the machine, and one a browser can set its own times
// against (performance.timeOrigin + performance.now(), in milliseconds).
#pragma once

#include <cstdint>
#include <string>

namespace zv::control {

std::int64_t eventTime();

// Installs the platform's activity hook (foundation/PlatformActivity.h) that
// writes the events above.
void writeActivityEvents();

// A user's command while it runs: activity it causes is announced by one
// "action" event first. Only one at a time (commands run one after another).
class UserAction {
public:
    explicit UserAction(const std::string& command);
    ~UserAction();
    UserAction(const UserAction&) = delete;
    UserAction& operator=(const UserAction&) = delete;
};

// Names the running command's action by what it turned out to do (a touch
// that flipped a switch is the action "switch"), before it caused anything;
// nothing when no command runs or its action was announced already.
void nameUserAction(const std::string& command);

}  // namespace zv::control
