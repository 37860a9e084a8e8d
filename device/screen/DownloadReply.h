// The answer to GET /download/<name> (PreferencesDownload.h): the file as
// an attachment of its own name, never cached or sniffed, or the refusal.
#pragma once

#include <libsoup/soup.h>

#include <string>
#include <string_view>

namespace zv::screen {

// `requestedName` is the path after kDownloadPathPrefix; `preferencesFolder`
// the host path of the device's preferences folder.
void serveDownload(SoupServerMessage* message, std::string_view requestedName, const std::string& preferencesFolder);

}  // namespace zv::screen
