// What the plug-in's loader finds in the settings file the hosts read, for
// the screen to show beside the phone. The findings are `zorvane check`'s
// (the loader's own diagnostics, in the tool's words), so the page says what
// the tool would: nothing for a clean file, the warnings when keys or items
// are skipped, and for a file the plug-in cannot use that it is off and why.
// Notes (how a file is converted, what a spacer does) are left out: nothing
// is wrong with them.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "InputFile.h"

namespace zv::screen {

// {"status": "clean" | "warnings" | "unusable", "findings": [...]} of a file
// in hand, as below.
nlohmann::json findingsOf(const tools::InputFile& input);

// {"type":"findings","status":S,"summary":TEXT,"findings":[{"severity",
// "kind","path","message"}...]} for the file at `hostPath`. S is "clean"
// (summary and findings empty), "absent" (no file yet: the plug-in waits
// for the first settings; nothing to say either), "warnings" or "unusable".
nlohmann::json settingsFindings(const std::string& hostPath);

}  // namespace zv::screen
