// Who may use the screen server: it listens on 127.0.0.1 only and answers
// only requests that
//   - name the loopback address and its port in Host (a page of another
//     site that rebinds its name to 127.0.0.1 sends its own name: refused),
//   - carry the start's random token, in the address printed at start
//     (?token=...) or in the cookie that address sets,
//   - and, to open the WebSocket, come from a page of the server itself
//     (Origin), so no other site's page can drive the device.
// Plain functions of the request's fields.
#pragma once

#include <string>
#include <string_view>

namespace zv::screen {

// 32 random bytes as 64 hexadecimal digits, from the kernel's generator.
std::string makeAccessToken();

// "zv_token_<port>": cookies do not tell ports apart, so two devices on
// different ports keep their own.
std::string accessCookieName(int port);

// Host is "127.0.0.1:<port>" or "localhost:<port>".
bool hostAllowed(std::string_view host, int port);

// Origin is "http://" followed by an allowed host.
bool originAllowed(std::string_view origin, int port);

// The token of a Cookie header's entry `name`, or empty.
std::string cookieValue(std::string_view cookieHeader, std::string_view name);

// Compares in time that does not depend on where the texts differ.
bool tokensEqual(std::string_view given, std::string_view token);

}  // namespace zv::screen
