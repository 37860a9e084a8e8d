// Property lists no ordinary writer makes, for tests and fuzz seeds: nesting
// thousands of levels deep, binary references that multiply, dictionary keys
// holding NUL characters. Binary lists are written object by object here,
// independently of the codec under test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::test {

// A binary property list (bplist00) built object by object; each adding
// call returns the new object's index, for references from later objects.
class BinaryPlistBuilder {
public:
    std::size_t string(std::string_view ascii) { return add(0x50, ascii.size(), std::string(ascii)); }
    std::size_t utf16String(std::u16string_view text) {
        std::string payload;
        for (char16_t unit : text) appendBigEndian(payload, unit, 2);
        return add(0x60, text.size(), std::move(payload));
    }
    std::size_t boolean(bool value) {
        objects_.push_back({std::string(1, static_cast<char>(value ? 0x09 : 0x08)), {}});
        return objects_.size() - 1;
    }
    std::size_t array(const std::vector<std::size_t>& elements) { return add(0xA0, elements.size(), {}, elements); }
    std::size_t dict(const std::vector<std::pair<std::size_t, std::size_t>>& entries) {
        std::vector<std::size_t> references;
        for (const auto& entry : entries) references.push_back(entry.first);
        for (const auto& entry : entries) references.push_back(entry.second);
        return add(0xD0, entries.size(), {}, references);
    }

    std::string bytes(std::size_t root) const {
        const unsigned referenceSize = widthOf(objects_.size());
        std::string out = "bplist00";
        std::vector<std::uint64_t> offsets;
        for (const Object& o : objects_) {
            offsets.push_back(out.size());
            out += o.head;
            for (std::size_t r : o.references) appendBigEndian(out, r, referenceSize);
        }
        const std::uint64_t table = out.size();
        const unsigned offsetSize = widthOf(table);
        for (std::uint64_t offset : offsets) appendBigEndian(out, offset, offsetSize);
        out.append(6, '\0');
        out += static_cast<char>(offsetSize);
        out += static_cast<char>(referenceSize);
        appendBigEndian(out, objects_.size(), 8);
        appendBigEndian(out, root, 8);
        appendBigEndian(out, table, 8);
        return out;
    }

private:
    struct Object {
        std::string head;  // marker, length and inline bytes
        std::vector<std::size_t> references;
    };

    static unsigned widthOf(std::uint64_t value) { return value < 0x100 ? 1 : value < 0x10000 ? 2 : value < (1ull << 32) ? 4 : 8; }
    static void appendBigEndian(std::string& out, std::uint64_t value, unsigned width) {
        for (unsigned i = width; i-- > 0;) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    std::size_t add(unsigned char type, std::size_t count, std::string payload, std::vector<std::size_t> references = {}) {
        std::string head;
        if (count < 15) {
            head += static_cast<char>(type | count);
        } else {
            head += static_cast<char>(type | 0x0F);
            head += static_cast<char>(0x13);  // an 8-byte integer follows
            appendBigEndian(head, count, 8);
        }
        objects_.push_back({head + payload, std::move(references)});
        return objects_.size() - 1;
    }

    std::vector<Object> objects_;
};

// Arrays nested `levels` deep (the root counting as one), a string at the bottom.
inline std::size_t nestedArrays(BinaryPlistBuilder& plist, std::size_t levels) {
    std::size_t inner = plist.string("x");
    for (std::size_t i = 0; i < levels; ++i) inner = plist.array({inner});
    return inner;
}

inline std::string deepBinaryArrays(std::size_t levels) {
    BinaryPlistBuilder plist;
    return plist.bytes(nestedArrays(plist, levels));
}

// A settings file (enabled, with "11 Bluetooth" on the left, every other item
// where the system puts it) that nests `levels` deep through one more key.
inline std::string deepBinarySettings(std::size_t levels) {
    BinaryPlistBuilder plist;
    const std::size_t data = plist.string("data");
    const std::size_t left = plist.dict({{data, plist.array({plist.string("11 Bluetooth")})}});
    const std::size_t fallback = plist.dict({{data, plist.array({})}});
    const std::size_t deep = nestedArrays(plist, levels - 1);
    return plist.bytes(plist.dict({{plist.string("enabled"), plist.boolean(true)},
                                   {plist.string("schemaVersion"), plist.string("1.2")},
                                   {plist.string("left"), left},
                                   {plist.string("default"), fallback},
                                   {plist.string("deep"), deep}}));
}

// Arrays `levels` deep, each holding its inner array twice: a file of a few
// bytes per level that libplist would build as 2^levels objects.
inline std::string doublingBinaryArrays(std::size_t levels) {
    BinaryPlistBuilder plist;
    std::size_t inner = plist.boolean(true);
    for (std::size_t i = 0; i < levels; ++i) inner = plist.array({inner, inner});
    return plist.bytes(inner);
}

inline std::string xmlPlistText(std::string_view body) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">)") + std::string(body) + "</plist>\n";
}

inline std::string nestedXmlArrays(std::size_t levels) {
    std::string body;
    body.reserve(levels * 15);
    for (std::size_t i = 0; i < levels; ++i) body += "<array>";
    for (std::size_t i = 0; i < levels; ++i) body += "</array>";
    return body;
}

inline std::string deepXmlArrays(std::size_t levels) { return xmlPlistText(nestedXmlArrays(levels)); }

// The XML counterpart of deepBinarySettings.
inline std::string deepXmlSettings(std::size_t levels) {
    return xmlPlistText("<dict><key>enabled</key><true/><key>schemaVersion</key><string>1.2</string>"
                        "<key>left</key><dict><key>data</key><array><string>11 Bluetooth</string></array></dict>"
                        "<key>default</key><dict><key>data</key><array/></dict><key>deep</key>" +
                        nestedXmlArrays(levels - 1) + "</dict>");
}

}  // namespace zv::test
