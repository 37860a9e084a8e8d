// The page's files: those of its folder (device/screen/page/) whose kind the
// screen knows, by name, and nothing else. They hold no secret; each goes
// out with the headers that keep the page to itself: a Content-Security-
// Policy that lets it load only its own files, no framing, no referrer, no
// caching, no sniffing.
#pragma once

#include <libsoup/soup.h>

#include <map>
#include <stdexcept>
#include <string>

namespace zv::screen {

struct PageFilesError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class PageFiles {
public:
    // The files of `folder`; throws PageFilesError when it holds no index.html.
    explicit PageFiles(std::string folder);

    // Answers a GET or HEAD of `path` ("/" is index.html) with its file;
    // 404 for any other name, 405 for any other method.
    void serve(SoupServerMessage* message, const char* path) const;

private:
    std::string folder_;
    std::map<std::string, std::string> types_;  // served name -> content type
};

}  // namespace zv::screen
