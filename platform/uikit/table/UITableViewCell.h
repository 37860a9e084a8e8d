// A row of a table (UIKit's UITableViewCell): a title label and, for the
// subtitle and value styles, a detail label. Cells are reused by their
// identifier (UITableView::dequeueReusableCellWithIdentifier).
#pragma once

#include <memory>
#include <string>

#include "uikit/views/UILabel.h"
#include "uikit/views/UIView.h"

enum UITableViewCellStyle : NSInteger {
    UITableViewCellStyleDefault = 0,
    UITableViewCellStyleValue1 = 1,
    UITableViewCellStyleValue2 = 2,
    UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellEditingStyle : NSInteger {
    UITableViewCellEditingStyleNone = 0,
    UITableViewCellEditingStyleDelete = 1,
    UITableViewCellEditingStyleInsert = 2,
};

class UITableViewCell : public UIView {
public:
    // initWithStyle:reuseIdentifier:. The subtitle style's detail label is
    // gray, the title black.
    UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier);
    std::string className() const override { return "UITableViewCell"; }

    UITableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    UILabel* textLabel() const { return textLabel_.get(); }
    // Null for the default style, which has no detail line.
    UILabel* detailTextLabel() const { return detailTextLabel_.get(); }

    // Called by the table before the cell is handed out again.
    virtual void prepareForReuse() {}

private:
    UITableViewCellStyle style_;
    std::string reuseIdentifier_;
    std::shared_ptr<UILabel> textLabel_;
    std::shared_ptr<UILabel> detailTextLabel_;
};
