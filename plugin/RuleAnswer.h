// What a rule decides for one call of a replaced method: either a value of
// its own, or "previous", meaning the host's own implementation answers
// (called with the same receiver, selector and arguments) and its answer is
// returned unchanged.
#pragma once

#include <optional>
#include <ostream>

namespace zv {

template <class T>
class RuleAnswer {
public:
    static RuleAnswer previous() { return RuleAnswer(); }
    static RuleAnswer answer(T value) {
        RuleAnswer a;
        a.value_ = value;
        return a;
    }

    bool isPrevious() const { return !value_.has_value(); }
    // The rule's own value; only when !isPrevious().
    const T& value() const { return *value_; }
    // The rule's value, or the result of `previousImplementation()` when the
    // rule defers. The previous implementation runs only in that case.
    template <class F>
    T resolve(F&& previousImplementation) const {
        return value_ ? *value_ : previousImplementation();
    }

    bool operator==(const RuleAnswer&) const = default;

    friend std::ostream& operator<<(std::ostream& out, const RuleAnswer& a) {
        if (a.isPrevious()) return out << "previous";
        return out << +a.value();
    }

private:
    std::optional<T> value_;
};

}  // namespace zv
