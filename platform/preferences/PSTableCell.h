// The cell of one specifier row on a list page (Preferences.framework's
// PSTableCell): a subtitle cell that also keeps the row's specifier and the
// value the page gave it (readPreferenceValue), which a switch shows.
#pragma once

#include <optional>

#include "foundation/plist/PropertyList.h"
#include "preferences/PSSpecifier.h"
#include "uikit/table/UITableViewCell.h"

class PSTableCell : public UITableViewCell {
public:
    PSTableCell(std::string reuseIdentifier, PSSpecifier specifier)
        : UITableViewCell(UITableViewCellStyleSubtitle, std::move(reuseIdentifier)),
          specifier_(std::move(specifier)) {}
    std::string className() const override { return "PSTableCell"; }

    const PSSpecifier& specifier() const { return specifier_; }
    PSCellType cellType() const { return specifier_.cellType(); }

    const std::optional<PlistValue>& value() const { return value_; }
    void setValue(std::optional<PlistValue> value) { value_ = std::move(value); }

private:
    PSSpecifier specifier_;
    std::optional<PlistValue> value_;
};
