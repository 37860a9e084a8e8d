// foundation/plist/ stands in for Foundation's property lists: the value
// type and its reading and writing (XML and binary) through libplist.
//
// The in-memory property-list value: dictionary, array, string, integer,
// real, boolean, data or date. Values are plain C++ values: copying a value
// copies the whole tree, so a container read from a file is never changed
// behind its reader's back.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class PlistValue;

using PlistDictionary = std::map<std::string, PlistValue, std::less<>>;
using PlistArray = std::vector<PlistValue>;
using PlistData = std::vector<std::uint8_t>;

// A date as seconds since 2001-01-01 00:00:00 UTC, as the platform keeps it.
struct PlistDate {
    double secondsSinceReferenceDate = 0;
    bool operator==(const PlistDate&) const = default;
};

class PlistValue {
public:
    using Storage = std::variant<std::string, std::int64_t, double, bool, PlistData, PlistDate, PlistArray,
                                 PlistDictionary>;

    PlistValue() : storage_(std::string()) {}
    PlistValue(std::string s) : storage_(std::move(s)) {}
    PlistValue(const char* s) : storage_(std::string(s)) {}
    PlistValue(std::string_view s) : storage_(std::string(s)) {}
    PlistValue(std::int64_t i) : storage_(i) {}
    PlistValue(int i) : storage_(std::int64_t{i}) {}
    PlistValue(double d) : storage_(d) {}
    PlistValue(bool b) : storage_(b) {}
    PlistValue(PlistData d) : storage_(std::move(d)) {}
    PlistValue(PlistDate d) : storage_(d) {}
    PlistValue(PlistArray a) : storage_(std::move(a)) {}
    PlistValue(PlistDictionary d) : storage_(std::move(d)) {}

    bool isString() const { return std::holds_alternative<std::string>(storage_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(storage_); }
    bool isReal() const { return std::holds_alternative<double>(storage_); }
    bool isBoolean() const { return std::holds_alternative<bool>(storage_); }
    bool isData() const { return std::holds_alternative<PlistData>(storage_); }
    bool isDate() const { return std::holds_alternative<PlistDate>(storage_); }
    bool isArray() const { return std::holds_alternative<PlistArray>(storage_); }
    bool isDictionary() const { return std::holds_alternative<PlistDictionary>(storage_); }
    // Booleans, integers and reals are the platform's number objects.
    bool isNumber() const { return isInteger() || isReal() || isBoolean(); }

    // Typed access; null when the value holds another type.
    const std::string* string() const { return std::get_if<std::string>(&storage_); }
    const PlistArray* array() const { return std::get_if<PlistArray>(&storage_); }
    PlistArray* array() { return std::get_if<PlistArray>(&storage_); }
    const PlistDictionary* dictionary() const { return std::get_if<PlistDictionary>(&storage_); }
    PlistDictionary* dictionary() { return std::get_if<PlistDictionary>(&storage_); }
    const PlistData* data() const { return std::get_if<PlistData>(&storage_); }
    const PlistDate* date() const { return std::get_if<PlistDate>(&storage_); }

    // Number conversions as the platform's number object makes them; empty
    // for values that are not numbers.
    std::optional<bool> boolValue() const;         // non-zero is true
    std::optional<std::int64_t> integerValue() const;  // reals truncate toward zero
    std::optional<double> doubleValue() const;
    std::optional<float> floatValue() const;

    const Storage& storage() const { return storage_; }
    bool operator==(const PlistValue& other) const { return storage_ == other.storage_; }

private:
    Storage storage_;
};

// Looks a key up in a dictionary; null when absent.
const PlistValue* plistLookup(const PlistDictionary& dict, std::string_view key);
