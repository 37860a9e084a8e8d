#include "uikit/table/UITableViewCell.h"

UITableViewCell::UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UIView(CGRect{{0, 0}, {320, 44}}), style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
    textLabel_ = std::make_shared<UILabel>();
    textLabel_->setFont(UIFont::systemFontOfSize(18));
    addSubview(textLabel_);
    if (style != UITableViewCellStyleDefault) {
        detailTextLabel_ = std::make_shared<UILabel>();
        detailTextLabel_->setFont(UIFont::systemFontOfSize(12));
        detailTextLabel_->setTextColor(UIColor::grayColor());
        addSubview(detailTextLabel_);
    }
}
