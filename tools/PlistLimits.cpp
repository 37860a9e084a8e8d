#include "PlistLimits.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace zv::tools {

namespace {

std::string tooDeep() { return "nests deeper than " + std::to_string(kMaxPlistDepth) + " levels, not read"; }
std::string tooMany() { return "holds more than " + std::to_string(kMaxPlistValues) + " values, not read"; }

// XML: the nesting of <array> and <dict> elements; comments, CDATA sections
// and declarations are skipped.
std::string xmlProblem(std::string_view xml) {
    std::size_t depth = 0;
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        const std::string_view rest = xml.substr(at);
        std::string_view skipTo;
        if (rest.starts_with("<!--")) skipTo = "-->";
        else if (rest.starts_with("<![CDATA[")) skipTo = "]]>";
        else if (rest.starts_with("<?") || rest.starts_with("<!")) skipTo = ">";
        if (!skipTo.empty()) {
            at = xml.find(skipTo, at);
            if (at == std::string_view::npos) break;
            continue;
        }
        const bool closing = rest.starts_with("</");
        const std::string_view name = rest.substr(closing ? 2 : 1);
        if (!name.starts_with("array") && !name.starts_with("dict")) continue;
        const std::size_t end = xml.find('>', at);
        if (end == std::string_view::npos) break;
        if (closing) {
            if (depth > 0) --depth;
        } else if (xml[end - 1] != '/' && ++depth > kMaxPlistDepth) {
            return tooDeep();
        }
    }
    return {};
}

// Binary ("bplist00"): objects refer to each other by index; arrays, sets and
// dictionaries hold references. Walks the references from the top object
// without recursion, finding each object's depth and the number of values it
// expands to once.
class BinaryPlist {
public:
    explicit BinaryPlist(std::string_view bytes) : bytes_(bytes) {}

    std::string problem() {
        if (bytes_.size() < 8 + 32) return {};
        const std::size_t trailer = bytes_.size() - 32;
        offsetSize_ = byte(trailer + 6);
        refSize_ = byte(trailer + 7);
        const std::uint64_t count = number(trailer + 8, 8);
        const std::uint64_t top = number(trailer + 16, 8);
        tableOffset_ = number(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || count == 0 || top >= count)
            return {};
        if (count > kMaxPlistValues) return tooMany();
        if (tableOffset_ > trailer || (trailer - tableOffset_) / offsetSize_ < count) return {};
        count_ = static_cast<std::size_t>(count);
        return walk(static_cast<std::size_t>(top));
    }

private:
    struct Frame {
        std::size_t object;
        std::vector<std::size_t> children;
        std::size_t next = 0;
    };

    std::uint8_t byte(std::uint64_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
    std::uint64_t number(std::uint64_t at, std::size_t size) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value = (value << 8) | byte(at + i);
        return value;
    }

    // The objects a container refers to; none for other objects and for
    // anything malformed, which the parser rejects itself.
    std::vector<std::size_t> children(std::size_t object) const {
        const std::uint64_t at = number(tableOffset_ + object * offsetSize_, offsetSize_);
        if (at >= bytes_.size()) return {};
        const std::uint8_t marker = byte(at);
        const int type = marker >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) return {};
        std::uint64_t length = marker & 0x0F;
        std::uint64_t refs = at + 1;
        if (length == 0x0F) {
            if (at + 2 > bytes_.size() || (byte(at + 1) >> 4) != 0x1 || (byte(at + 1) & 0x0F) > 3) return {};
            const std::size_t size = std::size_t{1} << (byte(at + 1) & 0x0F);
            if (at + 2 + size > bytes_.size()) return {};
            length = number(at + 2, size);
            refs = at + 2 + size;
        }
        if (type == 0xD) length *= 2;  // keys, then values
        if (length > (bytes_.size() - refs) / refSize_) return {};
        std::vector<std::size_t> result;
        result.reserve(static_cast<std::size_t>(length));
        for (std::uint64_t i = 0; i < length; ++i) {
            const std::uint64_t child = number(refs + i * refSize_, refSize_);
            if (child < count_) result.push_back(static_cast<std::size_t>(child));
        }
        return result;
    }

    std::string walk(std::size_t top) {
        enum : std::uint8_t { Unseen, Open, Done };
        std::vector<std::uint8_t> state(count_, Unseen);
        std::vector<std::size_t> values(count_, 0);   // saturates just above the limit
        std::vector<std::size_t> heights(count_, 0);  // levels of the object's deepest branch
        std::vector<Frame> stack;
        stack.push_back({top, children(top)});
        state[top] = Open;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next < frame.children.size()) {
                const std::size_t child = frame.children[frame.next++];
                if (state[child] == Open) return "is a binary property list that contains itself";
                if (state[child] == Done && stack.size() + heights[child] > kMaxPlistDepth) return tooDeep();
                if (state[child] == Unseen) {
                    if (stack.size() >= kMaxPlistDepth) return tooDeep();
                    state[child] = Open;
                    stack.push_back({child, children(child)});
                }
                continue;
            }
            std::size_t total = 1;
            std::size_t height = 0;
            for (std::size_t child : frame.children) {
                total = std::min(total + values[child], kMaxPlistValues + 1);
                height = std::max(height, heights[child]);
            }
            if (total > kMaxPlistValues) return tooMany();
            values[frame.object] = total;
            heights[frame.object] = height + 1;
            state[frame.object] = Done;
            stack.pop_back();
        }
        return {};
    }

    std::string_view bytes_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::size_t count_ = 0;
};

}  // namespace

std::string plistLimitProblem(std::string_view bytes) {
    if (bytes.starts_with("bplist00")) return BinaryPlist(bytes).problem();
    return xmlProblem(bytes);
}

}  // namespace zv::tools
