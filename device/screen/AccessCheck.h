// ScreenAccess.h's rules applied to each request the screen gets, once its
// head is in and before any handler runs: a request that fails a check is
// answered here (403, and for uploads 405, 404, 411 or 413) and goes no
// further.
//
// The page's files hold no secret: they go to any request for the screen's
// own Host. The WebSocket, the downloads and the uploads reach the device
// and its files: they need the token, presented as ?token= (the page keeps
// it from the printed address), and the page's own Origin or fetch site.
// Any upgrade, on whatever path, is the WebSocket's, and only kWebSocketPath
// is one; a WebSocket beyond the bound on open pages is refused (503).
#pragma once

#include <libsoup/soup.h>

#include <string_view>

namespace zv::screen {

inline constexpr std::string_view kWebSocketPath = "/ws";

// `port` and `token` are the screen's; `roomForAnotherPage` whether one
// more WebSocket may open.
void checkAccess(SoupServerMessage* message, const char* path, GHashTable* query, int port, std::string_view token,
                 bool roomForAnotherPage);

}  // namespace zv::screen
