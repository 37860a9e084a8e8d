#include "UploadReply.h"

#include <nlohmann/json.hpp>

#include "ProfileUpload.h"

namespace zv::screen {

using nlohmann::json;

void serveUpload(SoupServerMessage* message, std::string_view path, const std::string& preferencesFolder,
                 device::Device& device) {
    // From the raw query: libsoup's parsed one ends a value at a NUL byte.
    const char* rawQuery = g_uri_get_query(soup_server_message_get_uri(message));
    auto parameter = [rawQuery](const char* name) {
        return queryParameter(rawQuery ? rawQuery : "", name).value_or("");
    };
    SoupMessageBody* requestBody = soup_server_message_get_request_body(message);
    GBytes* flattened = soup_message_body_flatten(requestBody);
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(flattened, &size));
    std::string bytes(data ? data : "", size);
    g_bytes_unref(flattened);

    UploadAnswer answer = path == kUploadCheckPath
                              ? checkUpload(std::move(bytes), parameter("file"))
                              : addUpload(std::move(bytes), parameter("name"), parameter("replace") == "1",
                                          preferencesFolder);
    if (path == kUploadAddPath && answer.status == SOUP_STATUS_OK) {
        // The Profiles page lists the folder when it appears: it lists the new profile at once.
        device.request("settings", json{{"cmd", "appear"}, {"id", "launcher:upload"}}.dump());
    }
    const std::string text = answer.body.dump(-1, ' ', false, json::error_handler_t::replace);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    soup_message_headers_replace(headers, "X-Content-Type-Options", "nosniff");
    soup_server_message_set_status(message, answer.status, nullptr);
    soup_server_message_set_response(message, "application/json", SOUP_MEMORY_COPY, text.data(), text.size());
}

}  // namespace zv::screen
