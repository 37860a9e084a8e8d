#include "AccessCheck.h"

#include <string>

#include "HttpReply.h"
#include "PreferencesDownload.h"
#include "ProfileUpload.h"
#include "ScreenAccess.h"

namespace zv::screen {

void checkAccess(SoupServerMessage* message, const char* path, GHashTable* query, int port, std::string_view token,
                 bool roomForAnotherPage) {
    if (!hostAllowed(requestHeader(message, "Host"), port))
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: the screen answers only to 127.0.0.1 and localhost");
    const std::string_view requested(path);
    const bool upgrade = !requestHeader(message, "Upgrade").empty();
    if (upgrade && requested != kWebSocketPath)
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: the only WebSocket is /ws");
    const bool download = requested.starts_with(kDownloadPathPrefix);
    const bool upload = requested.starts_with(kUploadPathPrefix);
    if (!upgrade && !download && !upload && requested != kWebSocketPath) return;
    const char* queryToken = query ? static_cast<const char*>(g_hash_table_lookup(query, "token")) : nullptr;
    if (!queryToken || !tokensEqual(queryToken, token))
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: open the address zv-launcher printed");
    const std::string origin = requestHeader(message, "Origin");
    if (download) {
        // A download is the page's own fetch: another site's page says so
        // in Origin or, for a link it follows, in Sec-Fetch-Site.
        if ((!origin.empty() && !originAllowed(origin, port)) || !fetchSiteAllowed(requestHeader(message, "Sec-Fetch-Site")))
            return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: downloads are for the screen's own page");
        return;
    }
    if (upload) {
        // An upload is the page's own fetch, which always names its origin.
        if (!originAllowed(origin, port) || !fetchSiteAllowed(requestHeader(message, "Sec-Fetch-Site")))
            return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: uploads are for the screen's own page");
        if (std::string(soup_server_message_get_method(message)) != "POST")
            return refuse(message, SOUP_STATUS_METHOD_NOT_ALLOWED, "Method not allowed");
        if (requested != kUploadCheckPath && requested != kUploadAddPath)
            return refuse(message, SOUP_STATUS_NOT_FOUND, "Not found");
        // The body's length is known before it is read, or it is not read.
        SoupMessageHeaders* headers = soup_server_message_get_request_headers(message);
        if (soup_message_headers_get_encoding(headers) != SOUP_ENCODING_CONTENT_LENGTH)
            return refuse(message, SOUP_STATUS_LENGTH_REQUIRED, "Length required");
        if (soup_message_headers_get_content_length(headers) > static_cast<goffset>(kMaxUploadBytes))
            return refuse(message, SOUP_STATUS_REQUEST_ENTITY_TOO_LARGE, "The file is larger than 4 MiB");
        return;
    }
    if (!originAllowed(origin, port))
        return refuse(message, SOUP_STATUS_FORBIDDEN, "Forbidden: the WebSocket is for the screen's own page");
    if (!roomForAnotherPage)
        return refuse(message, SOUP_STATUS_SERVICE_UNAVAILABLE, "Too many pages are open on this screen");
}

}  // namespace zv::screen
