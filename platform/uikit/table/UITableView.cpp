#include "uikit/table/UITableView.h"

#include <algorithm>

namespace {

// Counts beyond these are taken as these: a data source answering nonsense
// must not exhaust the process.
constexpr NSInteger kMaxSections = 1000;
constexpr NSInteger kMaxRowsPerSection = 10000;

NSInteger clampCount(NSInteger n, NSInteger max) { return std::clamp<NSInteger>(n, 0, max); }

}  // namespace

UITableView::UITableView(CGRect frame, UITableViewStyle style) : UIView(frame), style_(style) {}

void UITableView::setDataSource(UITableViewDataSource* dataSource) {
    dataSource_ = dataSource;
    needsLoad_ = true;
}

void UITableView::setDelegate(UITableViewDelegate* delegate) {
    delegate_ = delegate;
    needsLoad_ = true;
}

void UITableView::setEditing(bool editing, bool /*animated*/) { editing_ = editing; }

double UITableView::automaticHeight(const std::optional<std::string>& title, const std::shared_ptr<UIView>& view) const {
    if (view) return view->frame().size.height;
    if (title && !title->empty()) return 28;
    return style_ == UITableViewStyleGrouped ? 18 : 0;
}

std::function<void()> UITableView::anyReloadObserver;

void UITableView::reloadData() {
    if (loading_) return;  // a data-source callback asked again: the running load answers it
    loading_ = true;
    auto keepAlive = weak_from_this().lock();

    for (auto& section : sections_) {
        for (auto& cell : section.cells) {
            if (!cell->reuseIdentifier().empty()) reusePool_[cell->reuseIdentifier()].push_back(cell);
        }
    }
    sections_.clear();
    selectedRow_.reset();

    std::vector<UITableViewSection> loaded;
    if (dataSource_) {
        const NSInteger sectionCount = clampCount(dataSource_->numberOfSectionsInTableView(*this), kMaxSections);
        for (NSInteger s = 0; s < sectionCount; ++s) {
            UITableViewSection section;
            section.headerTitle = dataSource_->titleForHeaderInSection(*this, s);
            section.footerTitle = dataSource_->titleForFooterInSection(*this, s);
            double headerHeight = UITableViewAutomaticDimension;
            double footerHeight = UITableViewAutomaticDimension;
            if (delegate_) {
                section.headerView = delegate_->viewForHeaderInSection(*this, s);
                section.footerView = delegate_->viewForFooterInSection(*this, s);
                headerHeight = delegate_->heightForHeaderInSection(*this, s);
                footerHeight = delegate_->heightForFooterInSection(*this, s);
            }
            section.headerHeight = headerHeight >= 0 ? headerHeight : automaticHeight(section.headerTitle, section.headerView);
            section.footerHeight = footerHeight >= 0 ? footerHeight : automaticHeight(section.footerTitle, section.footerView);

            const NSInteger rowCount = clampCount(dataSource_->numberOfRowsInSection(*this, s), kMaxRowsPerSection);
            for (NSInteger r = 0; r < rowCount; ++r) {
                const NSIndexPath path{s, r};
                auto cell = dataSource_->cellForRowAtIndexPath(*this, path);
                if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyleDefault, "");
                double height = delegate_ ? delegate_->heightForRowAtIndexPath(*this, path) : UITableViewAutomaticDimension;
                section.cells.push_back(std::move(cell));
                section.rowHeights.push_back(height >= 0 ? height : rowHeight_);
            }
            loaded.push_back(std::move(section));
        }
    }
    sections_ = std::move(loaded);
    ++reloadCount_;
    if (anyReloadObserver) anyReloadObserver();
    needsLoad_ = false;
    loading_ = false;
}

void UITableView::loadIfNeeded() {
    if (needsLoad_ && !loading_) reloadData();
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = reusePool_.find(identifier);
    if (it == reusePool_.end() || it->second.empty()) return nullptr;
    auto cell = std::move(it->second.back());
    it->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

const std::vector<UITableViewSection>& UITableView::sections() {
    loadIfNeeded();
    return sections_;
}

NSInteger UITableView::numberOfSections() { return static_cast<NSInteger>(sections().size()); }

NSInteger UITableView::numberOfRowsInSection(NSInteger section) {
    const auto& all = sections();
    if (section < 0 || section >= static_cast<NSInteger>(all.size())) return 0;
    return static_cast<NSInteger>(all[section].cells.size());
}

std::shared_ptr<UITableViewCell> UITableView::cellForRowAtIndexPath(NSIndexPath indexPath) {
    if (indexPath.row < 0 || indexPath.row >= numberOfRowsInSection(indexPath.section)) return nullptr;
    return sections_[indexPath.section].cells[indexPath.row];
}

CGRect UITableView::rectForSection(NSInteger section) {
    const auto& all = sections();
    double y = 0;
    const double width = frame().size.width;
    for (NSInteger s = 0; s < static_cast<NSInteger>(all.size()); ++s) {
        double height = all[s].headerHeight + all[s].footerHeight;
        for (double h : all[s].rowHeights) height += h;
        if (s == section) return CGRectMake(0, y, width, height);
        y += height;
    }
    return CGRect{};
}

CGRect UITableView::rectForHeaderInSection(NSInteger section) {
    CGRect rect = rectForSection(section);
    if (rect.size.height == 0) return CGRect{};
    rect.size.height = sections_[section].headerHeight;
    return rect;
}

CGRect UITableView::rectForFooterInSection(NSInteger section) {
    CGRect rect = rectForSection(section);
    if (rect.size.height == 0) return CGRect{};
    const double footer = sections_[section].footerHeight;
    rect.origin.y += rect.size.height - footer;
    rect.size.height = footer;
    return rect;
}

CGRect UITableView::rectForRowAtIndexPath(NSIndexPath indexPath) {
    if (indexPath.row < 0 || indexPath.row >= numberOfRowsInSection(indexPath.section)) return CGRect{};
    CGRect rect = rectForSection(indexPath.section);
    const auto& section = sections_[indexPath.section];
    double y = rect.origin.y + section.headerHeight;
    for (NSInteger r = 0; r < indexPath.row; ++r) y += section.rowHeights[r];
    return CGRectMake(0, y, rect.size.width, section.rowHeights[indexPath.row]);
}

double UITableView::contentHeight() {
    const NSInteger count = numberOfSections();
    if (count == 0) return 0;
    CGRect last = rectForSection(count - 1);
    return last.origin.y + last.size.height;
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint point) {
    const auto& all = sections();
    if (point.x < 0 || point.x >= frame().size.width) return std::nullopt;
    double y = 0;
    for (NSInteger s = 0; s < static_cast<NSInteger>(all.size()); ++s) {
        y += all[s].headerHeight;
        for (NSInteger r = 0; r < static_cast<NSInteger>(all[s].rowHeights.size()); ++r) {
            const double h = all[s].rowHeights[r];
            if (point.y >= y && point.y < y + h) return NSIndexPath{s, r};
            y += h;
        }
        y += all[s].footerHeight;
    }
    return std::nullopt;
}

void UITableView::selectRowAtIndexPath(NSIndexPath indexPath, bool /*animated*/) {
    if (cellForRowAtIndexPath(indexPath)) selectedRow_ = indexPath;
}

void UITableView::deselectRowAtIndexPath(NSIndexPath indexPath, bool /*animated*/) {
    if (selectedRow_ == indexPath) selectedRow_.reset();
}

std::string UITableView::userSelectRow(NSIndexPath indexPath) {
    auto keepAlive = weak_from_this().lock();
    if (!cellForRowAtIndexPath(indexPath)) return "no such row";
    if (!canUserSelectRow(indexPath)) return "selection is off";
    selectedRow_ = indexPath;
    if (delegate_) delegate_->didSelectRowAtIndexPath(*this, indexPath);
    return "";
}

bool UITableView::canUserSelectRow(NSIndexPath indexPath) {
    return cellForRowAtIndexPath(indexPath) && (editing_ ? allowsSelectionDuringEditing_ : allowsSelection_);
}

bool UITableView::canUserMoveRow(NSIndexPath indexPath) {
    return editing_ && cellForRowAtIndexPath(indexPath) && dataSource_ && dataSource_->canMoveRowAtIndexPath(*this, indexPath);
}

bool UITableView::canUserDeleteRow(NSIndexPath indexPath) {
    if (!cellForRowAtIndexPath(indexPath) || !dataSource_ || !dataSource_->canEditRowAtIndexPath(*this, indexPath))
        return false;
    const auto style = delegate_ ? delegate_->editingStyleForRowAtIndexPath(*this, indexPath) : UITableViewCellEditingStyleDelete;
    return style == UITableViewCellEditingStyleDelete;
}

std::string UITableView::userMoveRow(NSIndexPath source, NSIndexPath destination) {
    auto keepAlive = weak_from_this().lock();
    if (!cellForRowAtIndexPath(source)) return "no such row";
    if (!editing_) return "the table is not in editing mode";
    if (!canUserMoveRow(source)) return "the row cannot be moved";
    if (destination.section < 0 || destination.section >= static_cast<NSInteger>(sections_.size()))
        return "no such destination section";
    NSInteger limit = static_cast<NSInteger>(sections_[destination.section].cells.size());
    if (destination.section == source.section) --limit;
    if (destination.row < 0 || destination.row > limit) return "no such destination row";

    auto& from = sections_[source.section];
    auto cell = from.cells[source.row];
    const double height = from.rowHeights[source.row];
    from.cells.erase(from.cells.begin() + source.row);
    from.rowHeights.erase(from.rowHeights.begin() + source.row);
    auto& to = sections_[destination.section];
    to.cells.insert(to.cells.begin() + destination.row, std::move(cell));
    to.rowHeights.insert(to.rowHeights.begin() + destination.row, height);
    selectedRow_.reset();

    dataSource_->moveRowAtIndexPath(*this, source, destination);
    return "";
}

std::string UITableView::userDeleteRow(NSIndexPath indexPath) {
    auto keepAlive = weak_from_this().lock();
    if (!cellForRowAtIndexPath(indexPath)) return "no such row";
    if (!dataSource_ || !dataSource_->canEditRowAtIndexPath(*this, indexPath)) return "the row cannot be edited";
    if (!canUserDeleteRow(indexPath)) return "the row has no delete control";
    dataSource_->commitEditingStyle(*this, UITableViewCellEditingStyleDelete, indexPath);
    return "";
}
