#include "control/ControlChannel.h"

#include <glib.h>

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "foundation/MainQueue.h"

namespace zv::control {

namespace {

gboolean onInput(GIOChannel* channel, GIOCondition condition, gpointer data) {
    auto* self = static_cast<ControlChannel*>(data);
    if (condition & G_IO_IN) {
        gchar* line = nullptr;
        gsize length = 0;
        GIOStatus status = g_io_channel_read_line(channel, &line, &length, nullptr, nullptr);
        if (status == G_IO_STATUS_NORMAL && line) {
            std::string text(line, length);
            g_free(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            if (!text.empty()) self->handleLine(text);
            return G_SOURCE_CONTINUE;
        }
        g_free(line);
        if (status == G_IO_STATUS_AGAIN) return G_SOURCE_CONTINUE;
    }
    // End of input (or an error on it): the controller has gone away.
    stopMainLoop();
    return G_SOURCE_REMOVE;
}

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
    GIOChannel* channel = g_io_channel_unix_new(0);
    g_io_channel_set_encoding(channel, nullptr, nullptr);
    g_io_add_watch(channel, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), onInput, this);
    g_io_channel_unref(channel);
}

void ControlChannel::writeLine(const Json& message) {
    const std::string text = message.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void ControlChannel::handleLine(const std::string& line) {
    Json request = Json::parse(line, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        writeLine({{"ok", false}, {"error", "malformed request: expected one JSON object per line"}});
        return;
    }
    const Json id = request.contains("id") ? request["id"] : Json();
    auto cmd = request.find("cmd");
    if (cmd == request.end() || !cmd->is_string()) {
        writeLine(withId({{"ok", false}, {"error", "missing \"cmd\""}}, id));
        return;
    }
    auto handler = handlers_.find(cmd->get<std::string>());
    if (handler == handlers_.end()) {
        writeLine(withId({{"ok", false}, {"error", "unknown command: " + cmd->get<std::string>()}}, id));
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
        reply({{"ok", false}, {"error", e.what()}});
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
