#include "control/ControlChannel.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "control/ErrorReply.h"
#include "control/JsonNesting.h"
#include "foundation/MainQueue.h"

namespace zv::control {

namespace {

gboolean onInput(gint fd, GIOCondition, gpointer data) {
    auto* self = static_cast<ControlChannel*>(data);
    char chunk[1 << 16];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return G_SOURCE_CONTINUE;
    if (n > 0) {
        self->takeInput(std::string_view(chunk, static_cast<size_t>(n)));
        return G_SOURCE_CONTINUE;
    }
    // End of input (or an error on it): the controller has gone away.
    self->endInput();
    stopMainLoop();
    return G_SOURCE_REMOVE;
}

Json tooLongReply() { return errorReply("request longer than " + std::to_string(kLongestRequest) + " bytes"); }

Json withId(Json reply, const Json& id) {
    if (!id.is_null()) reply["id"] = id;
    return reply;
}

}  // namespace

void ControlChannel::on(const std::string& command, SyncHandler handler) {
    handlers_[command] = [handler = std::move(handler)](const Json& request, Reply reply) {
        reply(handler(request));
    };
}

void ControlChannel::onAsync(const std::string& command, AsyncHandler handler) {
    handlers_[command] = std::move(handler);
}

std::vector<std::string> ControlChannel::commands() const {
    std::vector<std::string> names;
    for (const auto& [name, handler] : handlers_) names.push_back(name);
    return names;
}

void ControlChannel::start() {
    g_unix_fd_add(STDIN_FILENO, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onInput, this);
}

void ControlChannel::takeInput(std::string_view bytes) {
    input_.feed(bytes, [this](RequestLine line) { handleRequestLine(std::move(line)); });
}

void ControlChannel::endInput() {
    if (auto last = input_.finish()) handleRequestLine(std::move(*last));
}

void ControlChannel::handleRequestLine(RequestLine line) {
    if (line.tooLong) {
        writeLine(tooLongReply());
    } else if (!line.text.empty()) {
        handleLine(line.text);
    }
}

void ControlChannel::writeLine(const Json& message) {
    const std::string text = message.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void ControlChannel::handleLine(const std::string& line) {
    if (line.size() > kLongestRequest) {
        writeLine(tooLongReply());
        return;
    }
    // Refused before parsing: parsing, answering and freeing a request
    // all recurse as deep as it nests.
    if (nestsDeeperThan(line, kDeepestRequest)) {
        writeLine(errorReply("request nested deeper than " + std::to_string(kDeepestRequest) + " levels"));
        return;
    }
    Json request = Json::parse(line, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        writeLine(errorReply("malformed request: expected one JSON object per line"));
        return;
    }
    const Json id = request.contains("id") ? request["id"] : Json();
    auto cmd = request.find("cmd");
    if (cmd == request.end() || !cmd->is_string()) {
        writeLine(errorReply("missing \"cmd\"", id));
        return;
    }
    auto handler = handlers_.find(cmd->get<std::string>());
    if (handler == handlers_.end()) {
        writeLine(errorReply("unknown command: " + cmd->get<std::string>(), id));
        return;
    }
    auto replied = std::make_shared<bool>(false);
    Reply reply = [id, replied](Json fields) {
        if (*replied) return;
        *replied = true;
        if (!fields.is_object()) fields = Json{{"value", fields}};
        if (!fields.contains("ok")) fields["ok"] = true;
        writeLine(withId(std::move(fields), id));
    };
    try {
        handler->second(request, reply);
    } catch (const std::exception& e) {
        reply(errorReply(e.what()));  // the reply adds the id
    }
}

std::string argString(const Json& request, const char* key) {
    auto it = request.find(key);
    if (it == request.end() || !it->is_string())
        throw ControlError(std::string("argument \"") + key + "\" must be a string");
    return it->get<std::string>();
}

long long argInt(const Json& request, const char* key) {
    auto it = request.find(key);
    if (it == request.end() || !it->is_number_integer())
        throw ControlError(std::string("argument \"") + key + "\" must be an integer");
    return it->get<long long>();
}

bool argBool(const Json& request, const char* key) {
    auto it = request.find(key);
    if (it == request.end() || !it->is_boolean())
        throw ControlError(std::string("argument \"") + key + "\" must be true or false");
    return it->get<bool>();
}

double argNumber(const Json& request, const char* key) {
    auto it = request.find(key);
    if (it == request.end() || !it->is_number())
        throw ControlError(std::string("argument \"") + key + "\" must be a number");
    return it->get<double>();
}

}  // namespace zv::control
