// Measures an XML property list by reading its markup as libplist's XML
// reader does, in one pass and without recursion: what that reader skips
// (processing instructions and the DOCTYPE with their quoted text, comments,
// CDATA sections, the quoted values of attributes) is skipped here too, so
// no <dict> or </dict> is counted that the reader does not see, and none it
// sees is missed. Markup that reader refuses ends the measure: such a list
// is unreadable anyway. Like the reader, the measure ends after the root
// object.
#include <cstring>

#include "foundation/plist/PlistShape.h"

namespace {

bool isWhitespace(char c) { return c <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n'); }

// Each level of nesting, and each object, takes a start tag of at least six
// bytes ("<dict>", "<key/>"): a shorter text cannot go beyond the bounds.
constexpr std::size_t kShortestUnbounded = 6 * (kMaxPlistDepth + 1);
static_assert(kShortestUnbounded / 6 <= kMaxPlistObjects);

class XmlShape {
public:
    explicit XmlShape(std::string_view text) : text_(text) {}

    std::optional<PlistShape> measure();

private:
    // A dictionary or an array being read; a <plist> element met inside the
    // root is a level too, though it adds no object.
    enum class Kind { Plist, Dict, Array };
    struct Level {
        Kind kind;
        bool keyRead = false;  // a dictionary's key waits for its value
    };

    bool at(std::string_view s) const {
        return text_.size() - pos_ >= s.size() && text_[pos_] == s.front() &&
               std::memcmp(text_.data() + pos_, s.data(), s.size()) == 0;
    }
    void skipWhitespace();
    // Moves past the next `s`, skipping quoted text when asked; false at the end.
    bool skipPast(std::string_view s, bool skipQuotes);
    // Moves to the next of `chars` outside quoted text; false at the end.
    bool skipToAny(std::string_view chars);
    bool skipDoctype();
    // Reads the text of an element up to its end tag; `nul` tells whether
    // the text (CDATA included, comments not) holds a NUL character.
    bool readText(std::string_view tag, bool& nul);
    // The innermost dictionary or array, null at the top. (Found without a
    // walk over the <plist> levels within it, of which there may be many.)
    Level* container();
    // A value element begins in the innermost container.
    bool valueBegins();
    bool elementEnds(std::string_view tag);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::vector<Level> levels_;
    std::vector<std::size_t> containers_;  // indexes in levels_ of its dictionaries and arrays
    std::size_t depth_ = 0;  // dictionaries and arrays among levels_
    std::size_t objects_ = 0;
    bool rootRead_ = false;
    PlistShape shape_;
};

void XmlShape::skipWhitespace() {
    const char* p = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    while (p != end && isWhitespace(*p)) ++p;
    pos_ = static_cast<std::size_t>(p - text_.data());
}

bool XmlShape::skipPast(std::string_view s, bool skipQuotes) {
    const char* p = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    for (; p != end; ++p) {
        if (*p == s.front() && static_cast<std::size_t>(end - p) >= s.size() && std::string_view(p, s.size()) == s) {
            pos_ = static_cast<std::size_t>(p - text_.data()) + s.size();
            return true;
        }
        if (skipQuotes && *p == '"') {
            p = static_cast<const char*>(std::memchr(p + 1, '"', static_cast<std::size_t>(end - p - 1)));
            if (!p) return false;
        }
    }
    return false;
}

bool XmlShape::skipToAny(std::string_view chars) {
    const char* p = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    for (; p != end; ++p) {
        if (*p == '"') {
            p = static_cast<const char*>(std::memchr(p + 1, '"', static_cast<std::size_t>(end - p - 1)));
            if (!p) return false;
            continue;
        }
        if (std::memchr(chars.data(), *p, chars.size())) {
            pos_ = static_cast<std::size_t>(p - text_.data());
            return true;
        }
    }
    return false;
}

bool XmlShape::skipDoctype() {
    for (;;) {
        if (!skipToAny(" \t\r\n[>")) return false;
        if (text_[pos_] == '[') return skipPast("]>", true);
        if (text_[pos_] == '>') {
            ++pos_;
            return true;
        }
        skipWhitespace();
    }
}

bool XmlShape::readText(std::string_view tag, bool& nul) {
    for (;;) {
        const auto lt = text_.find('<', pos_);
        if (lt == std::string_view::npos) return false;
        if (std::memchr(text_.data() + pos_, '\0', lt - pos_)) nul = true;
        pos_ = lt + 1;
        if (at("!--")) {
            if (!skipPast("-->", false)) return false;
        } else if (at("![CDATA[")) {
            const std::size_t begin = pos_ + 8;
            const auto end = text_.find("]]>", begin);
            if (end == std::string_view::npos) return false;
            if (std::memchr(text_.data() + begin, '\0', end - begin)) nul = true;
            pos_ = end + 3;
        } else if (at("/")) {
            ++pos_;
            if (!at(tag)) return false;
            pos_ += tag.size();
            skipWhitespace();
            if (!at(">")) return false;
            ++pos_;
            return true;
        } else {
            return false;
        }
    }
}

XmlShape::Level* XmlShape::container() { return containers_.empty() ? nullptr : &levels_[containers_.back()]; }

bool XmlShape::valueBegins() {
    if (++objects_ > kMaxPlistObjects) return false;
    Level* parent = container();
    if (!parent || parent->kind != Kind::Dict) return true;
    // A dictionary's value needs its key first.
    if (!parent->keyRead) return false;
    parent->keyRead = false;
    return true;
}

bool XmlShape::elementEnds(std::string_view tag) {
    const Kind kind = tag == "dict" ? Kind::Dict : tag == "array" ? Kind::Array : Kind::Plist;
    if (tag != "dict" && tag != "array" && tag != "plist") return false;
    if (levels_.empty() || levels_.back().kind != kind) return false;
    if (kind != Kind::Plist) {
        --depth_;
        containers_.pop_back();
    }
    levels_.pop_back();
    if (kind != Kind::Plist && depth_ == 0) rootRead_ = true;
    return true;
}

std::optional<PlistShape> XmlShape::measure() {
    while (!rootRead_) {
        skipWhitespace();
        if (pos_ == text_.size()) break;
        if (text_[pos_] != '<') return std::nullopt;
        ++pos_;
        if (at("?")) {
            if (!skipPast("?>", true)) return std::nullopt;
            continue;
        }
        if (at("!--")) {
            if (!skipPast("-->", false)) return std::nullopt;
            continue;
        }
        if (at("!DOCTYPE")) {
            pos_ += 8;
            if (!skipDoctype()) return std::nullopt;
            continue;
        }
        // A tag: its name, then whatever attributes up to the closing ">".
        const char* const nameBegin = text_.data() + pos_;
        const char* const end = text_.data() + text_.size();
        const char* nameEnd = nameBegin;
        while (nameEnd != end && !isWhitespace(*nameEnd) && *nameEnd != '<' && *nameEnd != '>') ++nameEnd;
        if (nameEnd == end) return std::nullopt;
        std::string_view name(nameBegin, static_cast<std::size_t>(nameEnd - nameBegin));
        pos_ = static_cast<std::size_t>(nameEnd - text_.data());
        if (text_[pos_] != '>' && (!skipToAny("<>") || text_[pos_] != '>')) return std::nullopt;
        const bool empty = text_[pos_ - 1] == '/';
        if (empty && name.ends_with('/')) name.remove_suffix(1);
        ++pos_;

        if (name.starts_with('/')) {
            if (!elementEnds(name.substr(1))) return std::nullopt;
            continue;
        }
        if (name == "plist") {
            // The reader takes the first object and stops at a second root <plist>.
            if (empty) return std::nullopt;
            if (levels_.empty() && objects_ > 0) break;
            levels_.push_back(Level{Kind::Plist});
            continue;
        }
        if (name == "dict" || name == "array") {
            if (!valueBegins()) return std::nullopt;
            if (empty) {
                if (depth_ == 0) break;  // the root, and an empty one
                continue;
            }
            if (++depth_ > kMaxPlistDepth) return std::nullopt;
            containers_.push_back(levels_.size());
            levels_.push_back(Level{name == "dict" ? Kind::Dict : Kind::Array});
            continue;
        }
        const bool isText = name == "key" || name == "string" || name == "integer" || name == "real" ||
                            name == "date" || name == "data" || name == "true" || name == "false";
        if (!isText) return std::nullopt;
        // A <key> in a dictionary names the next value; anywhere else it is a string.
        Level* parent = container();
        const bool isKey = name == "key" && parent && parent->kind == Kind::Dict && !parent->keyRead;
        if (isKey) {
            if (++objects_ > kMaxPlistObjects) return std::nullopt;
            parent->keyRead = true;
        } else if (!valueBegins()) {
            return std::nullopt;
        }
        bool nul = false;
        const std::size_t textBegin = pos_;
        if (!empty && !readText(name, nul)) return std::nullopt;
        if (isKey && nul) {
            const std::size_t textEnd = text_.rfind('<', pos_ - 1);
            shape_.nulKeyTexts.emplace_back(textBegin, textEnd - textBegin);
        }
        if (depth_ == 0) break;  // the root is no container: the reader is done
    }
    return std::move(shape_);
}

}  // namespace

std::optional<PlistShape> measureXmlPlist(std::string_view bytes) {
    // A settings file is short: unless it holds a NUL (a key may), there is
    // nothing to find in it.
    if (bytes.size() < kShortestUnbounded && !std::memchr(bytes.data(), '\0', bytes.size())) return PlistShape{};
    return XmlShape(bytes).measure();
}
