#include "ScreenAccess.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace zv::screen {

std::string makeAccessToken() {
    std::array<unsigned char, 32> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("no random bytes for the screen's token");
        filled += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 0xF];
    }
    return token;
}

bool hostAllowed(std::string_view host, int port) {
    const std::size_t colon = host.rfind(':');
    if (colon == std::string_view::npos || host.substr(colon + 1) != std::to_string(port)) return false;
    const std::string_view name = host.substr(0, colon);
    return name == "127.0.0.1" || name == "localhost";
}

bool originAllowed(std::string_view origin, int port) {
    constexpr std::string_view scheme = "http://";
    return origin.substr(0, scheme.size()) == scheme && hostAllowed(origin.substr(scheme.size()), port);
}

bool fetchSiteAllowed(std::string_view fetchSite) {
    return fetchSite.empty() || fetchSite == "same-origin" || fetchSite == "none";
}

bool tokensEqual(std::string_view given, std::string_view token) {
    if (given.size() != token.size() || token.empty()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ token[i]);
    return difference == 0;
}

}  // namespace zv::screen
