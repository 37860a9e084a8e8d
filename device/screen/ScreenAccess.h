// Who may use the screen server: it listens on 127.0.0.1 only and answers
// only requests that
//   - name the loopback address and its port in Host (a page of another
//     site that rebinds its name to 127.0.0.1 sends its own name: refused),
//   - and, to open the WebSocket or download a file, carry the device's
//     random token as ?token= and come from a page of the server itself
//     (Origin; Sec-Fetch-Site for a download), so no other site's page can
//     drive the device or take its files.
// The token is never a cookie: cookies do not tell the ports of 127.0.0.1
// apart, so every other local server would be sent it. The page keeps the
// token of the address it was opened with for its own tab.
// Plain functions of the request's fields.
#pragma once

#include <string>
#include <string_view>

namespace zv::screen {

// 32 random bytes as 64 hexadecimal digits, from the kernel's generator.
std::string makeAccessToken();

// Host is "127.0.0.1:<port>" or "localhost:<port>".
bool hostAllowed(std::string_view host, int port);

// Origin is "http://" followed by an allowed host.
bool originAllowed(std::string_view origin, int port);

// Sec-Fetch-Site is absent (an older client), "same-origin" or "none" (the
// person typed or pasted the address).
bool fetchSiteAllowed(std::string_view fetchSite);

// Compares in time that does not depend on where the texts differ.
bool tokensEqual(std::string_view given, std::string_view token);

}  // namespace zv::screen
