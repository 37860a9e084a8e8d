// What the screen's HTTP handlers share: a refusal as a line of plain text,
// and a request header read as text.
#pragma once

#include <libsoup/soup.h>

#include <string>

namespace zv::screen {

// Answers `message` with `status` and the line `why`.
void refuse(SoupServerMessage* message, guint status, const char* why);

// The request's header `name`; empty when it is absent.
std::string requestHeader(SoupServerMessage* message, const char* name);

}  // namespace zv::screen
