// The ordered, coalescing queue of deliveries waiting for the main loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "notifications/DeliveryQueue.h"

namespace {

// A script of arrivals ("+" observation name) and turns of the main loop
// ("-", one delivery handed out), and what the main loop must receive.
struct Step {
    char action{};  // '+' arrival, '-' hand out
    size_t observation{};
    std::string name{};
};

struct Case {
    const char* what;
    std::vector<size_t> coalescing;  // observations with the coalesce behaviour
    std::vector<Step> steps;
    std::vector<std::string> handedOut;  // "observation:name", in order
};

std::string label(const Delivery& delivery) { return std::to_string(delivery.observation) + ":" + delivery.name; }

TEST(DeliveryQueue, HandsOutInArrivalOrderAndMergesOnlyWaitingCoalescedDeliveries) {
    const std::vector<Case> cases = {
        {"each post of a non-coalescing observation is kept",
         {},
         {{'+', 0, "a"}, {'+', 0, "a"}, {'+', 0, "a"}},
         {"0:a", "0:a", "0:a"}},
        {"waiting coalesced delivery absorbs later posts and keeps its place",
         {0},
         {{'+', 0, "p"}, {'+', 1, "r"}, {'+', 0, "p"}, {'+', 1, "r"}, {'+', 0, "p"}},
         {"0:p", "1:r", "1:r"}},
        {"a post after the delivery was handed out is a new delivery",
         {0},
         {{'+', 0, "p"}, {'-'}, {'+', 0, "p"}, {'+', 0, "p"}},
         {"0:p", "0:p"}},
        {"coalescing is per observation: two observers of one name each keep one",
         {0, 1},
         {{'+', 0, "p"}, {'+', 1, "p"}, {'+', 0, "p"}, {'+', 1, "p"}},
         {"0:p", "1:p"}},
        {"a coalesced observation does not merge a different observation's deliveries",
         {0},
         {{'+', 0, "p"}, {'+', 2, "p"}, {'+', 2, "p"}, {'+', 0, "p"}},
         {"0:p", "2:p", "2:p"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeliveryQueue queue;
        std::vector<std::string> handedOut;
        auto coalesces = [&](size_t observation) {
            return std::find(c.coalescing.begin(), c.coalescing.end(), observation) != c.coalescing.end();
        };
        for (const Step& step : c.steps) {
            if (step.action == '+') {
                queue.push(step.observation, step.name, coalesces(step.observation));
            } else if (auto delivery = queue.pop()) {
                handedOut.push_back(label(*delivery));
            }
        }
        while (auto delivery = queue.pop()) handedOut.push_back(label(*delivery));
        EXPECT_EQ(handedOut, c.handedOut);
        EXPECT_EQ(queue.size(), 0u);
    }
}

}  // namespace
