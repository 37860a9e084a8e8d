// The screen's token, kept per device root so a launcher started again on
// the same root takes the open page back: the page still holds the token it
// was opened with.
//
// The file is <root>/.launcher/screen-token: the folder 0700 and the file
// 0600, both the person's own. A file that is anything else (another
// owner, readable by others, a symlink, not 64 hexadecimal digits) is never
// used: a new token replaces it. When the token cannot be kept, the
// launcher still runs with a new one.
#pragma once

#include <string>

namespace zv::screen {

// The token kept for `root`, or a new one (kept for the next start).
std::string keptAccessToken(const std::string& root);

}  // namespace zv::screen
