#include "preferences/PSSpecifier.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<PSCellType, const char*>, 15> kCellTypes{{
    {PSGroupCell, "PSGroupCell"},
    {PSLinkCell, "PSLinkCell"},
    {PSLinkListCell, "PSLinkListCell"},
    {PSListItemCell, "PSListItemCell"},
    {PSTitleValueCell, "PSTitleValueCell"},
    {PSSliderCell, "PSSliderCell"},
    {PSSwitchCell, "PSSwitchCell"},
    {PSStaticTextCell, "PSStaticTextCell"},
    {PSEditTextCell, "PSEditTextCell"},
    {PSSegmentCell, "PSSegmentCell"},
    {PSGiantIconCell, "PSGiantIconCell"},
    {PSGiantCell, "PSGiantCell"},
    {PSSecureEditTextCell, "PSSecureEditTextCell"},
    {PSButtonCell, "PSButtonCell"},
    {PSEditTextViewCell, "PSEditTextViewCell"},
}};

}  // namespace

PSCellType PSCellTypeFromString(std::string_view name) {
    for (const auto& [type, text] : kCellTypes) {
        if (name == text) return type;
    }
    return PSUnknownCell;
}

const char* PSCellTypeName(PSCellType type) {
    for (const auto& [t, text] : kCellTypes) {
        if (t == type) return text;
    }
    return "PSUnknownCell";
}

std::string PSSpecifier::stringProperty(std::string_view key) const {
    const PlistValue* value = propertyForKey(key);
    const std::string* text = value ? value->string() : nullptr;
    return text ? *text : std::string();
}

std::string PSSpecifier::identifier() const {
    std::string id = stringProperty("id");
    return id.empty() ? name() : id;
}
