// What the platform tells the program that runs it about the work it did
// for the system: a whole file written, a notification posted, a
// notification handed to this process's observers. The simulated device's
// programs install a hook to report these as control-protocol events (the
// screen's "road of the last change"); without a hook nothing is reported.
// The system's own code never sees the hook.
//
// The hook is called on the thread that does the work (for everything the
// system does: the main thread): after a file was written, as a post goes
// out, and as a delivery is handed to its observer.
#pragma once

#include <string_view>

enum class PlatformActivity {
    FileWritten,            // subject: the file's device path
    DarwinPosted,           // subject: the notification's name
    DistributedPosted,      // subject: the notification's name
    DarwinDelivered,        // subject: the notification's name
    DistributedDelivered,   // subject: the notification's name
};

using PlatformActivityHook = void (*)(PlatformActivity activity, std::string_view subject);

// Replaces the process's hook (null: none).
void setPlatformActivityHook(PlatformActivityHook hook);
// Calls the hook, when there is one.
void reportPlatformActivity(PlatformActivity activity, std::string_view subject);
