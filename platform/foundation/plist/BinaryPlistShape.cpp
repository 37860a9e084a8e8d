// Measures a binary property list (bplist00) by following its object
// references with an explicit stack, in the order libplist's reader follows
// them. The reader's own checks of the trailer, the offset table and the
// references are repeated, since a reference outside the list can't be
// followed; a list that fails them is one libplist refuses as well.
#include <cstring>

#include "foundation/plist/PlistShape.h"

namespace {

constexpr std::size_t kHeaderSize = 8;    // "bplist00"
constexpr std::size_t kTrailerSize = 32;  // 6 unused, 2 sizes, 3 big-endian 64-bit values

enum Marker : unsigned char {
    kData = 0x40,
    kAsciiString = 0x50,
    kUtf16String = 0x60,
    kArray = 0xA0,
    kSet = 0xC0,
    kDict = 0xD0,
};

// A big-endian unsigned integer of `size` bytes; of a wider one, as libplist
// reads it, its last eight bytes.
std::uint64_t bigEndian(const unsigned char* p, std::size_t size) {
    if (size > 8) {
        p += size - 8;
        size = 8;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = (value << 8) | p[i];
    return value;
}

class BinaryShape {
public:
    explicit BinaryShape(std::string_view bytes)
        : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}

    std::optional<PlistShape> measure();

private:
    // An object as its marker describes it.
    struct Object {
        unsigned char type = 0;
        std::uint64_t count = 0;  // elements, entries, characters or bytes
        std::uint64_t body = 0;   // offset of what follows the marker
    };
    // A container being walked: where its references start, how many
    // elements (or entries) it has and which comes next.
    struct Frame {
        std::uint64_t references = 0;
        std::uint64_t count = 0;
        std::uint64_t next = 0;
        bool dict = false;
    };

    bool readTrailer();
    std::optional<Object> object(std::uint64_t index) const;
    std::optional<std::uint64_t> reference(std::uint64_t at) const;
    // Counts a reference to `index` and, for a container, starts walking it.
    bool enter(std::uint64_t index);
    // A key that holds a NUL or an unpaired surrogate, for droppedKeyEntries;
    // nothing for any other key.
    std::optional<PlistKeyNoText> keyNoText(const Object& key) const;

    const unsigned char* data_;
    std::size_t size_;
    unsigned offsetSize_ = 0;
    unsigned referenceSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t root_ = 0;
    std::uint64_t offsetTable_ = 0;

    std::vector<Frame> stack_;
    std::size_t objects_ = 0;
    std::uint64_t entries_ = 0;
    PlistShape shape_;
};

bool BinaryShape::readTrailer() {
    if (size_ < kHeaderSize + kTrailerSize) return false;
    const unsigned char* trailer = data_ + size_ - kTrailerSize;
    offsetSize_ = trailer[6];
    referenceSize_ = trailer[7];
    objectCount_ = bigEndian(trailer + 8, 8);
    root_ = bigEndian(trailer + 16, 8);
    offsetTable_ = bigEndian(trailer + 24, 8);
    const std::uint64_t end = size_ - kTrailerSize;
    if (objectCount_ == 0 || offsetSize_ == 0 || referenceSize_ == 0 || root_ >= objectCount_) return false;
    if (offsetTable_ >= end) return false;
    return objectCount_ <= (end - offsetTable_) / offsetSize_;
}

std::optional<BinaryShape::Object> BinaryShape::object(std::uint64_t index) const {
    if (index >= objectCount_) return std::nullopt;
    const std::uint64_t offset = bigEndian(data_ + offsetTable_ + index * offsetSize_, offsetSize_);
    // libplist takes an offset into the header too; the header's bytes are
    // no container's marker, so such an object is a leaf.
    if (offset >= offsetTable_) return std::nullopt;
    Object o;
    o.type = data_[offset] & 0xF0;
    o.count = data_[offset] & 0x0F;
    o.body = offset + 1;
    const bool sized = o.type == kData || o.type == kAsciiString || o.type == kUtf16String || o.type == kArray ||
                       o.type == kSet || o.type == kDict;
    if (sized && o.count == 0x0F) {
        // The length follows as an integer object of 2^n bytes.
        if (o.body >= offsetTable_ || (data_[o.body] & 0xF0) != 0x10) return std::nullopt;
        const std::uint64_t width = std::uint64_t{1} << (data_[o.body] & 0x0F);
        if (width > offsetTable_ - o.body - 1) return std::nullopt;
        o.count = bigEndian(data_ + o.body + 1, width);
        o.body += 1 + width;
    }
    return o;
}

std::optional<std::uint64_t> BinaryShape::reference(std::uint64_t at) const {
    if (at > offsetTable_ || referenceSize_ > offsetTable_ - at) return std::nullopt;
    return bigEndian(data_ + at, referenceSize_);
}

std::optional<PlistKeyNoText> BinaryShape::keyNoText(const Object& key) const {
    if (key.type == kAsciiString) {
        if (key.count > offsetTable_ - key.body) return std::nullopt;  // libplist refuses it
        const std::string_view text(reinterpret_cast<const char*>(data_ + key.body), key.count);
        if (text.find('\0') == std::string_view::npos) return std::nullopt;
        return PlistKeyNoText{entries_, escapedUtf8(text), TextFault::Nul};
    }
    if (key.count > (offsetTable_ - key.body) / 2) return std::nullopt;
    std::u16string units;
    units.reserve(key.count);
    for (std::uint64_t i = 0; i < key.count; ++i)
        units.push_back(static_cast<char16_t>(data_[key.body + 2 * i] << 8 | data_[key.body + 2 * i + 1]));
    const TextFault fault = utf16TextFault(units);
    if (fault == TextFault::None) return std::nullopt;
    return PlistKeyNoText{entries_, escapedUtf16(units), fault};
}

bool BinaryShape::enter(std::uint64_t index) {
    if (++objects_ > kMaxPlistObjects) return false;
    const auto o = object(index);
    if (!o) return false;
    if (o->type != kArray && o->type != kSet && o->type != kDict) return true;
    // The references must lie before the offset table.
    const std::uint64_t perElement = o->type == kDict ? 2 * std::uint64_t{referenceSize_} : referenceSize_;
    if (o->count > (offsetTable_ - o->body) / perElement) return false;
    if (stack_.size() == kMaxPlistDepth) return false;
    stack_.push_back(Frame{o->body, o->count, 0, o->type == kDict});
    return true;
}

std::optional<PlistShape> BinaryShape::measure() {
    if (!readTrailer() || !enter(root_)) return std::nullopt;
    while (!stack_.empty()) {
        Frame& top = stack_.back();
        if (top.next == top.count) {
            stack_.pop_back();
            continue;
        }
        const std::uint64_t i = top.next++;
        if (!top.dict) {
            const auto element = reference(top.references + i * referenceSize_);
            if (!element || !enter(*element)) return std::nullopt;
            continue;
        }
        // An entry: its key (a string), then its value.
        const std::uint64_t valueAt = top.references + (top.count + i) * referenceSize_;
        const auto keyIndex = reference(top.references + i * referenceSize_);
        const auto key = keyIndex ? object(*keyIndex) : std::nullopt;
        if (!key || (key->type != kAsciiString && key->type != kUtf16String) || ++objects_ > kMaxPlistObjects)
            return std::nullopt;
        if (auto noText = keyNoText(*key)) shape_.droppedKeyEntries.push_back(std::move(*noText));
        ++entries_;
        const auto value = reference(valueAt);
        if (!value || !enter(*value)) return std::nullopt;
    }
    return std::move(shape_);
}

}  // namespace

std::optional<PlistShape> measureBinaryPlist(std::string_view bytes) { return BinaryShape(bytes).measure(); }
