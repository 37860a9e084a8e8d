#include "RequestRouting.h"

#include "ScreenMessage.h"
#include "control/ErrorReply.h"

namespace zv::screen {

using nlohmann::json;

namespace {

constexpr std::string_view kRequestIdPrefix = "screen:";

json replyMessage(const std::string& process, json reply) {
    return {{"type", "reply"}, {"process", process.empty() ? json(nullptr) : json(process)}, {"reply", std::move(reply)}};
}

}  // namespace

RequestRouting::RequestRouting(device::Device& device, ScreenClients& clients) : device_(device), clients_(clients) {}

void RequestRouting::request(std::uint64_t client, bool text, std::string_view data) {
    if (!text)
        return clients_.sendTo(client, replyMessage({}, control::errorReply("the screen takes text messages only", nullptr)));
    ScreenMessage message = parseScreenMessage(data, device_);
    auto answer = [&](json reply) { clients_.sendTo(client, replyMessage(message.process, std::move(reply))); };
    if (!message.error.empty()) return answer(control::errorReply(message.error, message.id));
    if (pending_.size() >= kMaxPendingRequests)
        return answer(control::errorReply("too many requests are waiting for replies", message.id));
    const std::uint64_t request = nextRequest_++;
    message.request["id"] = std::string(kRequestIdPrefix) + std::to_string(request);
    if (std::optional<json> reply = device_.request(message.process, message.request.dump())) {
        if (message.id.is_null())
            reply->erase("id");
        else
            (*reply)["id"] = message.id;
        return answer(std::move(*reply));
    }
    pending_[request] = Pending{client, message.id, message.process};
}

void RequestRouting::reply(const std::string& process, const json& parsed) {
    auto id = parsed.find("id");
    if (id == parsed.end() || !id->is_string()) return;
    const std::string text = id->get<std::string>();
    if (!text.starts_with(kRequestIdPrefix)) return;  // a terminal request's reply
    std::uint64_t request = 0;
    try {
        request = std::stoull(text.substr(kRequestIdPrefix.size()));
    } catch (const std::exception&) {
        return;
    }
    auto pending = pending_.find(request);
    if (pending == pending_.end()) return;
    json answer = parsed;
    if (pending->second.id.is_null())
        answer.erase("id");
    else
        answer["id"] = pending->second.id;
    const std::uint64_t client = pending->second.client;
    pending_.erase(pending);
    clients_.sendTo(client, replyMessage(process, std::move(answer)));
}

void RequestRouting::processExited(const std::string& process) {
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->second.process != process) {
            ++it;
            continue;
        }
        clients_.sendTo(it->second.client,
                        replyMessage(process, control::errorReply(process + " ended before it answered", it->second.id)));
        it = pending_.erase(it);
    }
}

void RequestRouting::clientDropped(std::uint64_t client) {
    std::erase_if(pending_, [client](const auto& entry) { return entry.second.client == client; });
}

}  // namespace zv::screen

