// The answer to POST /upload/check and /upload/add (ProfileUpload.h): the
// JSON of the check or the addition, never cached or sniffed. A profile
// added is shown at once: the Settings application is asked to list the
// Profiles page again.
#pragma once

#include <libsoup/soup.h>

#include <string>
#include <string_view>

#include "Device.h"

namespace zv::screen {

// The access checks let only the page's own POSTs to the two paths through,
// with a body of a known length within kMaxUploadBytes. `preferencesFolder`
// is the host path of the device's preferences folder.
void serveUpload(SoupServerMessage* message, std::string_view path, const std::string& preferencesFolder,
                 device::Device& device);

}  // namespace zv::screen
