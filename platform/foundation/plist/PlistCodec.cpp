#include "foundation/plist/PlistCodec.h"

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <limits>
#include <memory>

namespace {

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

struct MallocDeleter {
    void operator()(void* p) const { std::free(p); }
};

struct XmlDeleter {
    void operator()(char* xml) const { plist_to_xml_free(xml); }
};

constexpr std::string_view kBinaryMagic = "bplist00";

PlistValue fromNode(plist_t node, int depth);

PlistValue fromDict(plist_t node, int depth) {
    PlistDictionary dict;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    std::unique_ptr<void, MallocDeleter> iterOwner(iter);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (!key) break;
        std::unique_ptr<char, MallocDeleter> keyOwner(key);
        if (value) dict.insert_or_assign(std::string(key), fromNode(value, depth + 1));
    }
    return PlistValue(std::move(dict));
}

PlistValue fromNode(plist_t node, int depth) {
    // libplist bounds nesting itself; this guard keeps our own recursion finite too.
    if (depth > 512) return PlistValue(std::string());
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return PlistValue(b != 0);
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        // libplist keeps negative integers as their two's-complement bits.
        return PlistValue(static_cast<std::int64_t>(u));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return PlistValue(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* p = plist_get_string_ptr(node, &length);
        if (!p) return PlistValue(std::string());
        // Text ends at a NUL character, as libplist's writer and its XML
        // reader end it, so a string reads the same after a write.
        return PlistValue(std::string(p, strnlen(p, length)));
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        std::unique_ptr<char, MallocDeleter> owner(bytes);
        const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes);
        return PlistValue(bytes ? PlistData(begin, begin + length) : PlistData());
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return PlistValue(PlistDate{sec + usec / 1e6});
    }
    case PLIST_ARRAY: {
        PlistArray array;
        const uint32_t n = plist_array_get_size(node);
        array.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            plist_t item = plist_array_get_item(node, i);
            if (item) array.push_back(fromNode(item, depth + 1));
        }
        return PlistValue(std::move(array));
    }
    case PLIST_DICT:
        return fromDict(node, depth);
    case PLIST_UID: {
        uint64_t u = 0;
        plist_get_uid_val(node, &u);
        return PlistValue(static_cast<std::int64_t>(u));
    }
    default:
        return PlistValue(std::string());
    }
}

plist_t toNode(const PlistValue& value) {
    struct Visitor {
        plist_t operator()(const std::string& s) const { return plist_new_string(s.c_str()); }
        plist_t operator()(std::int64_t i) const { return plist_new_uint(static_cast<uint64_t>(i)); }
        plist_t operator()(double d) const { return plist_new_real(d); }
        plist_t operator()(bool b) const { return plist_new_bool(b ? 1 : 0); }
        plist_t operator()(const PlistData& d) const {
            return plist_new_data(reinterpret_cast<const char*>(d.data()), d.size());
        }
        plist_t operator()(const PlistDate& d) const {
            // libplist takes whole seconds as a 32-bit value: dates beyond
            // that range are written as its nearest end, and NaN as the
            // reference date, so that the conversions below stay defined.
            double seconds = std::isnan(d.secondsSinceReferenceDate) ? 0.0 : d.secondsSinceReferenceDate;
            seconds = std::clamp(seconds, double{std::numeric_limits<int32_t>::min()},
                                 double{std::numeric_limits<int32_t>::max()});
            const double whole = std::floor(seconds);
            const auto usec = static_cast<int32_t>((seconds - whole) * 1e6);  // in [0, 1e6)
            return plist_new_date(static_cast<int32_t>(whole), usec);
        }
        plist_t operator()(const PlistArray& a) const {
            plist_t node = plist_new_array();
            for (const auto& item : a) plist_array_append_item(node, toNode(item));
            return node;
        }
        plist_t operator()(const PlistDictionary& d) const {
            plist_t node = plist_new_dict();
            for (const auto& [key, item] : d) plist_dict_set_item(node, key.c_str(), toNode(item));
            return node;
        }
    };
    return std::visit(Visitor{}, value.storage());
}

// Parses bytes into a tree that is safe to walk, or null.
//
// libplist aborts the process (an assertion in plist_get_key_val) when a
// dictionary key holds a NUL character, which a binary property list can
// encode. Its XML writer keeps such characters and its XML reader ends text
// at them, so a binary tree that has any is passed once through XML: each
// key and string then reads as its text up to the first NUL. XML input never
// yields such keys: its reader rejects the character reference &#0;.
Node parseTree(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return nullptr;
    plist_t raw = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &raw);
    Node root(raw);
    if (!root || !bytes.starts_with(kBinaryMagic)) return root;

    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    std::unique_ptr<char, XmlDeleter> xmlOwner(xml);
    if (!xml || std::memchr(xml, '\0', length) == nullptr) return root;
    plist_t laundered = nullptr;
    plist_from_xml(xml, length, &laundered);
    return Node(laundered);
}

}  // namespace

std::optional<PlistValue> plistFromBytes(std::string_view bytes) {
    Node root = parseTree(bytes);
    if (!root) return std::nullopt;
    return fromNode(root.get(), 0);
}

std::optional<PlistDictionary> plistDictionaryFromBytes(std::string_view bytes) {
    Node root = parseTree(bytes);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return std::nullopt;
    PlistValue value = fromDict(root.get(), 0);
    return std::move(*value.dictionary());
}

std::string plistToXml(const PlistValue& value) {
    Node root(toNode(value));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) return {};
    std::string text(xml, length);
    plist_to_xml_free(xml);
    return text;
}
