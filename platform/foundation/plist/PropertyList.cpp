#include "foundation/plist/PropertyList.h"

#include <cmath>
#include <limits>

std::optional<bool> PlistValue::boolValue() const {
    if (auto b = std::get_if<bool>(&storage_)) return *b;
    if (auto i = std::get_if<std::int64_t>(&storage_)) return *i != 0;
    if (auto d = std::get_if<double>(&storage_)) return *d != 0.0;
    return std::nullopt;
}

std::optional<std::int64_t> PlistValue::integerValue() const {
    if (auto b = std::get_if<bool>(&storage_)) return *b ? 1 : 0;
    if (auto i = std::get_if<std::int64_t>(&storage_)) return *i;
    if (auto d = std::get_if<double>(&storage_)) {
        // Out-of-range and NaN reals saturate instead of invoking undefined behaviour.
        if (std::isnan(*d)) return 0;
        if (*d >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
        if (*d <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(*d);
    }
    return std::nullopt;
}

std::optional<double> PlistValue::doubleValue() const {
    if (auto b = std::get_if<bool>(&storage_)) return *b ? 1.0 : 0.0;
    if (auto i = std::get_if<std::int64_t>(&storage_)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&storage_)) return *d;
    return std::nullopt;
}

std::optional<float> PlistValue::floatValue() const {
    auto d = doubleValue();
    if (!d) return std::nullopt;
    // Reals beyond single precision's range become infinities rather than undefined.
    if (*d > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (*d < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(*d);
}

const PlistValue* plistLookup(const PlistDictionary& dict, std::string_view key) {
    auto it = dict.find(key);
    return it == dict.end() ? nullptr : &it->second;
}
