// The page's requests on their way to the device's processes and their
// replies on the way back, each to the page that asked and no other. A
// request goes to its process with an id of the screen's own ("screen:<n>"),
// so the process's reply finds the page; the reply carries the page's own
// id again (or none, when the page gave none). The launcher's replies (its
// own commands, a process that is not running) come back at once.
//
// Every request gets one reply: a message the screen refuses
// (ScreenMessage.h, a binary message, more than kMaxPendingRequests
// waiting) is answered with an error, and a process that ends answers each
// request it did not with an error. Nothing is kept for a page that is gone.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Device.h"
#include "ScreenClients.h"

namespace zv::screen {

class RequestRouting {
public:
    static constexpr std::size_t kMaxPendingRequests = 4096;

    RequestRouting(device::Device& device, ScreenClients& clients);

    // A message of the page `client`: its text, or `text` false for bytes.
    void request(std::uint64_t client, bool text, std::string_view data);
    // A line of a process that holds no event: the reply to one of the
    // screen's requests goes to its page; anything else is left alone.
    void reply(const std::string& process, const nlohmann::json& parsed);
    // The process ended: every request it did not answer gets an error.
    void processExited(const std::string& process);
    // The page is gone: its replies have nowhere to go.
    void clientDropped(std::uint64_t client);

private:
    struct Pending {
        std::uint64_t client = 0;
        nlohmann::json id;
        std::string process;
    };

    device::Device& device_;
    ScreenClients& clients_;
    std::map<std::uint64_t, Pending> pending_;
    std::uint64_t nextRequest_ = 1;
};

}  // namespace zv::screen
