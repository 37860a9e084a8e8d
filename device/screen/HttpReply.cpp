#include "HttpReply.h"

namespace zv::screen {

void refuse(SoupServerMessage* message, guint status, const char* why) {
    soup_server_message_set_status(message, status, nullptr);
    const std::string body = std::string(why) + "\n";
    soup_server_message_set_response(message, "text/plain; charset=utf-8", SOUP_MEMORY_COPY, body.data(), body.size());
}

std::string requestHeader(SoupServerMessage* message, const char* name) {
    const char* value = soup_message_headers_get_one(soup_server_message_get_request_headers(message), name);
    return value ? value : "";
}

}  // namespace zv::screen
