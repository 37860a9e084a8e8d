#include "PageFiles.h"

#include <filesystem>
#include <optional>

#include "HttpReply.h"
#include "foundation/DeviceFiles.h"

namespace zv::screen {

namespace {

const std::map<std::string, std::string>& contentTypes() {
    static const std::map<std::string, std::string> types{{".html", "text/html; charset=utf-8"},
                                                          {".css", "text/css; charset=utf-8"},
                                                          {".js", "text/javascript; charset=utf-8"},
                                                          {".svg", "image/svg+xml"},
                                                          {".png", "image/png"}};
    return types;
}

}  // namespace

PageFiles::PageFiles(std::string folder) : folder_(std::move(folder)) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const auto type = contentTypes().find(entry.path().extension().string());
        if (entry.is_regular_file() && type != contentTypes().end())
            types_[entry.path().filename().string()] = type->second;
    }
    if (!types_.count("index.html")) throw PageFilesError("no page at " + folder_ + "/index.html");
}

void PageFiles::serve(SoupServerMessage* message, const char* path) const {
    const std::string method = soup_server_message_get_method(message);
    if (method != "GET" && method != "HEAD") return refuse(message, SOUP_STATUS_METHOD_NOT_ALLOWED, "Method not allowed");
    std::string name = std::string(path) == "/" ? "index.html" : std::string(path).substr(1);
    auto file = types_.find(name);
    if (file == types_.end()) return refuse(message, SOUP_STATUS_NOT_FOUND, "Not found");
    const std::optional<std::string> body = readHostFile(folder_ + "/" + name);
    if (!body) return refuse(message, SOUP_STATUS_NOT_FOUND, "Not found");
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    soup_message_headers_replace(headers, "X-Content-Type-Options", "nosniff");
    soup_message_headers_replace(headers, "X-Frame-Options", "DENY");
    soup_message_headers_replace(headers, "Referrer-Policy", "no-referrer");
    soup_message_headers_replace(headers, "Content-Security-Policy",
                                 "default-src 'self'; connect-src 'self'; img-src 'self' data:; "
                                 "style-src 'self'; script-src 'self'; frame-ancestors 'none'");
    soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
    soup_server_message_set_response(message, file->second.c_str(), SOUP_MEMORY_COPY, body->data(), body->size());
}

}  // namespace zv::screen
