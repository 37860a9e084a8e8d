#include "foundation/plist/PlistCodec.h"

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <limits>
#include <memory>

#include "foundation/Utf8.h"
#include "foundation/plist/PlistShape.h"

namespace {

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

struct MallocDeleter {
    void operator()(void* p) const { std::free(p); }
};

// What the text of an XML key holding a NUL character is replaced with
// before libplist reads the text, followed by the key's number among such
// keys: a name no reader knows, recognised and dropped when the tree is
// read. (libplist would end the key at the NUL, and an XML dictionary keeps
// one value per key text.)
constexpr std::string_view kNulKeyStandIn = "\x01" "zv:key-holding-nul:";

// libplist's tree of bytes that stay within the shape bounds.
struct Tree {
    Node root;
    PlistShape shape;
    std::string_view bytes;  // what was parsed, as given
    bool standIns = false;   // XML keys holding a NUL were replaced by kNulKeyStandIn and their number
};

// The XML text with the text of each listed key replaced by its stand-in.
std::string withStandIns(std::string_view text, const std::vector<std::pair<std::size_t, std::size_t>>& keys) {
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [offset, length] = keys[i];
        out.append(text.substr(copied, offset - copied));
        out.append(kNulKeyStandIn);
        out.append(std::to_string(i));
        copied = offset + length;
    }
    out.append(text.substr(copied));
    return out;
}

std::optional<Tree> parseTree(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    const auto size = static_cast<uint32_t>(bytes.size());
    const bool binary = plist_is_binary(bytes.data(), size) != 0;
    std::optional<PlistShape> shape = binary ? measureBinaryPlist(bytes) : measureXmlPlist(bytes);
    if (!shape) return std::nullopt;
    plist_t raw = nullptr;
    const bool standIns = !binary && !shape->nulKeyTexts.empty();
    if (standIns) {
        const std::string text = withStandIns(bytes, shape->nulKeyTexts);
        plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &raw);
    } else {
        plist_from_memory(bytes.data(), size, &raw);
    }
    if (!raw) return std::nullopt;
    return Tree{Node(raw), std::move(*shape), bytes, standIns};
}

// Turns libplist's tree into PlistValue, leaving out every entry whose key
// is no text. Arrays and dictionaries are walked with libplist's iterators:
// its access by index counts from the start each time. The tree's depth is
// within kMaxPlistDepth, so the recursion here is bounded.
class TreeReader {
public:
    TreeReader(const Tree& tree, std::vector<DroppedPlistKey>* dropped) : tree_(tree), dropped_(dropped) {}

    PlistValue value(plist_t node);
    PlistDictionary dictionary(plist_t node);

private:
    PlistArray array(plist_t node);
    // The key of a dictionary entry (item): into `key` when it is text, and
    // otherwise returned (its entry number left 0). Counts the entry.
    std::optional<PlistKeyNoText> keyNoText(plist_t item, std::string& key);
    void reportDropped(PlistKeyNoText key);
    // Reads a value whose entry is dropped, so that the entries within keep
    // their numbers, reporting nothing within it.
    void skip(plist_t node) {
        ++muted_;
        value(node);
        --muted_;
    }

    const Tree& tree_;
    std::vector<DroppedPlistKey>* dropped_;
    std::size_t nextDropped_ = 0;  // in tree_.shape.droppedKeyEntries
    std::uint64_t entry_ = 0;
    int muted_ = 0;
    std::string path_;  // key path of the value being read, kept only for `dropped_`
};

void TreeReader::reportDropped(PlistKeyNoText key) {
    if (!dropped_ || muted_ > 0) return;
    std::string path = path_;
    if (!path.empty()) path += '.';
    path += key.escapedKey;
    dropped_->push_back({std::move(path), std::move(key.escapedKey), key.fault});
}

std::optional<PlistKeyNoText> TreeReader::keyNoText(plist_t item, std::string& key) {
    const std::uint64_t entry = entry_++;
    const auto& found = tree_.shape.droppedKeyEntries;
    if (nextDropped_ < found.size() && found[nextDropped_].entry == entry) return found[nextDropped_++];
    char* raw = nullptr;
    plist_get_key_val(plist_dict_item_get_key(item), &raw);
    std::unique_ptr<char, MallocDeleter> owner(raw);
    key = raw ? raw : "";
    if (tree_.standIns && key.starts_with(kNulKeyStandIn)) {
        const std::size_t index = std::strtoull(key.c_str() + kNulKeyStandIn.size(), nullptr, 10);
        const auto& texts = tree_.shape.nulKeyTexts;
        if (index < texts.size())
            return PlistKeyNoText{0, escapedUtf8(tree_.bytes.substr(texts[index].first, texts[index].second)),
                                  TextFault::Nul};
    }
    if (const TextFault fault = utf8TextFault(key); fault != TextFault::None)
        return PlistKeyNoText{0, escapedUtf8(key), fault};
    return std::nullopt;
}

PlistDictionary TreeReader::dictionary(plist_t node) {
    PlistDictionary dict;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    std::unique_ptr<void, MallocDeleter> iterOwner(iter);
    std::string key;
    for (;;) {
        plist_t item = nullptr;
        plist_dict_next_item(node, iter, nullptr, &item);
        if (!item) break;
        if (auto noText = keyNoText(item, key)) {
            reportDropped(std::move(*noText));
            skip(item);
            continue;
        }
        const std::size_t pathLength = path_.size();
        if (dropped_) {
            if (!path_.empty()) path_ += '.';
            path_ += escapedUtf8(key);
        }
        dict.insert_or_assign(key, value(item));
        path_.resize(pathLength);
    }
    return dict;
}

PlistArray TreeReader::array(plist_t node) {
    PlistArray array;
    array.reserve(plist_array_get_size(node));
    plist_array_iter iter = nullptr;
    plist_array_new_iter(node, &iter);
    std::unique_ptr<void, MallocDeleter> iterOwner(iter);
    for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(node, iter, &item);
        if (!item) break;
        const std::size_t pathLength = path_.size();
        if (dropped_) path_ += '[' + std::to_string(array.size()) + ']';
        array.push_back(value(item));
        path_.resize(pathLength);
    }
    return array;
}

PlistValue TreeReader::value(plist_t node) {
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
    case PLIST_ARRAY:
        return PlistValue(array(node));
    case PLIST_DICT:
        return PlistValue(dictionary(node));
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

}  // namespace

std::optional<PlistValue> plistFromBytes(std::string_view bytes, std::vector<DroppedPlistKey>* dropped) {
    auto tree = parseTree(bytes);
    if (!tree) return std::nullopt;
    return TreeReader(*tree, dropped).value(tree->root.get());
}

std::optional<PlistDictionary> plistDictionaryFromBytes(std::string_view bytes, std::vector<DroppedPlistKey>* dropped) {
    auto tree = parseTree(bytes);
    if (!tree || plist_get_node_type(tree->root.get()) != PLIST_DICT) return std::nullopt;
    return TreeReader(*tree, dropped).dictionary(tree->root.get());
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
