#include "DownloadReply.h"

#include <optional>

#include "HttpReply.h"
#include "PreferencesDownload.h"

namespace zv::screen {

void serveDownload(SoupServerMessage* message, std::string_view requestedName, const std::string& preferencesFolder) {
    const std::string method = soup_server_message_get_method(message);
    if (method != "GET" && method != "HEAD") return refuse(message, SOUP_STATUS_METHOD_NOT_ALLOWED, "Method not allowed");
    DownloadRefusal refusal;
    const std::optional<std::string> name = downloadName(requestedName, refusal);
    const std::optional<std::string> body = name ? readPreferencesFile(preferencesFolder, *name, refusal) : std::nullopt;
    if (!body) return refuse(message, refusal.status, refusal.why.c_str());
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    soup_message_headers_replace(headers, "Content-Disposition", contentDisposition(*name).c_str());
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    soup_message_headers_replace(headers, "X-Content-Type-Options", "nosniff");
    soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
    soup_server_message_set_response(message, "application/x-plist", SOUP_MEMORY_COPY, body->data(), body->size());
}

}  // namespace zv::screen
