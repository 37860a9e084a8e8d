// One entry of a Settings page's specifier list (Preferences.framework's
// PSSpecifier): the row's properties as read from the bundle's property list
// ("cell", "label", "key", "default", "action", "detail", "footerText" ...),
// and the page that is the target of its actions and values.
#pragma once

#include <string>
#include <string_view>

#include "foundation/plist/PropertyList.h"
#include "uikit/CGGeometry.h"

class PSListController;

// The cell types of the platform, with its numbering. The property-list
// names are the enumerators' names ("PSSwitchCell").
enum PSCellType : NSInteger {
    PSUnknownCell = -1,
    PSGroupCell = 0,
    PSLinkCell = 1,
    PSLinkListCell = 2,
    PSListItemCell = 3,
    PSTitleValueCell = 4,
    PSSliderCell = 5,
    PSSwitchCell = 6,
    PSStaticTextCell = 7,
    PSEditTextCell = 8,
    PSSegmentCell = 9,
    PSGiantIconCell = 10,
    PSGiantCell = 11,
    PSSecureEditTextCell = 12,
    PSButtonCell = 13,
    PSEditTextViewCell = 14,
};

// The cell type named by a property-list "cell" value; PSUnknownCell for
// any other text.
PSCellType PSCellTypeFromString(std::string_view name);
const char* PSCellTypeName(PSCellType type);

class PSSpecifier {
public:
    PSSpecifier() = default;
    explicit PSSpecifier(PlistDictionary properties, PSListController* target = nullptr)
        : properties_(std::move(properties)), target_(target) {}

    const PlistDictionary& properties() const { return properties_; }
    // The property, or null when absent.
    const PlistValue* propertyForKey(std::string_view key) const { return plistLookup(properties_, key); }
    void setProperty(PlistValue value, std::string key) { properties_[std::move(key)] = std::move(value); }

    // The text of a string property, "" when absent or not a string.
    std::string stringProperty(std::string_view key) const;
    // "label".
    std::string name() const { return stringProperty("label"); }
    // "id", else "label".
    std::string identifier() const;
    // From "cell".
    PSCellType cellType() const { return PSCellTypeFromString(stringProperty("cell")); }

    // Not owned: the page holds its specifiers.
    PSListController* target() const { return target_; }
    void setTarget(PSListController* target) { target_ = target; }

private:
    PlistDictionary properties_;
    PSListController* target_ = nullptr;
};
