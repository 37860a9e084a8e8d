#include "PageReport.h"

#include "preferences/PSTableCell.h"
#include "uikit/controls/UILongPressGestureRecognizer.h"
#include "uikit/views/UILabel.h"

namespace zv::device {

Json plistToJson(const PlistValue& value) {
    return std::visit(
        [](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, PlistDictionary>) {
                Json object = Json::object();
                for (const auto& [key, item] : v) object[key] = plistToJson(item);
                return object;
            } else if constexpr (std::is_same_v<T, PlistArray>) {
                Json array = Json::array();
                for (const auto& item : v) array.push_back(plistToJson(item));
                return array;
            } else if constexpr (std::is_same_v<T, PlistDate>) {
                return v.secondsSinceReferenceDate;
            } else if constexpr (std::is_same_v<T, PlistData>) {
                return Json(v);
            } else {
                return Json(v);
            }
        },
        value.storage());
}

bool jsonToPlist(const Json& json, PlistValue& out) {
    if (json.is_boolean()) out = PlistValue(json.get<bool>());
    else if (json.is_number_integer()) out = PlistValue(json.get<std::int64_t>());
    else if (json.is_number()) out = PlistValue(json.get<double>());
    else if (json.is_string()) out = PlistValue(json.get<std::string>());
    else return false;
    return true;
}

Json rectJson(const CGRect& rect) {
    return Json::array({rect.origin.x, rect.origin.y, rect.size.width, rect.size.height});
}

namespace {

Json colorJson(const UIColor& c) { return Json::array({c.red, c.green, c.blue, c.alpha}); }

Json optionalText(const std::optional<std::string>& text) { return text ? Json(*text) : Json(); }

Json rowJson(UITableView& table, NSIndexPath path, UITableViewCell& cell, bool selected) {
    Json row{{"title", cell.textLabel()->text()},
             {"titleColor", colorJson(cell.textLabel()->textColor())},
             {"style", static_cast<NSInteger>(cell.style())},
             {"reuseIdentifier", cell.reuseIdentifier()},
             {"selected", selected},
             {"movable", table.canUserMoveRow(path)},
             {"deletable", table.canUserDeleteRow(path)}};
    if (UILabel* detail = cell.detailTextLabel()) {
        row["detail"] = detail->text();
        row["detailColor"] = colorJson(detail->textColor());
    } else {
        row["detail"] = nullptr;
    }
    if (auto* psCell = dynamic_cast<PSTableCell*>(&cell)) {
        row["kind"] = PSCellTypeName(psCell->cellType());
        row["value"] = psCell->value() ? plistToJson(*psCell->value()) : Json();
        const PSSpecifier& specifier = psCell->specifier();
        if (const PlistValue* key = specifier.propertyForKey("key")) row["key"] = plistToJson(*key);
        if (const PlistValue* detail = specifier.propertyForKey("detail")) row["link"] = plistToJson(*detail);
        if (const PlistValue* action = specifier.propertyForKey("action")) row["action"] = plistToJson(*action);
    } else {
        row["kind"] = "cell";
    }
    return row;
}

// The minimum durations of the long-press recognizers on the table and the
// views around it (those a press on the table reaches).
Json longPressDurations(UITableView& table) {
    Json durations = Json::array();
    for (UIView* view = &table; view; view = view->superview())
        for (const auto& recognizer : view->gestureRecognizers())
            if (auto press = std::dynamic_pointer_cast<UILongPressGestureRecognizer>(recognizer))
                durations.push_back(press->minimumPressDuration());
    return durations;
}

UITableView* findTable(UIView& view) {
    if (auto* table = dynamic_cast<UITableView*>(&view)) return table;
    for (const auto& sub : view.subviews()) {
        if (UITableView* found = findTable(*sub)) return found;
    }
    return nullptr;
}

}  // namespace

Json viewJson(const UIView& view) {
    Json json{{"class", view.className()},
              {"frame", rectJson(view.frame())},
              {"backgroundColor", colorJson(view.backgroundColor())}};
    if (auto* label = dynamic_cast<const UILabel*>(&view)) {
        json["text"] = label->text();
        json["fontSize"] = label->font().pointSize;
        json["textAlignment"] = static_cast<NSInteger>(label->textAlignment());
        json["lineBreakMode"] = static_cast<NSInteger>(label->lineBreakMode());
        json["numberOfLines"] = label->numberOfLines();
        json["adjustsFontSizeToFitWidth"] = label->adjustsFontSizeToFitWidth();
        json["textColor"] = colorJson(label->textColor());
    }
    Json subviews = Json::array();
    for (const auto& sub : view.subviews()) subviews.push_back(viewJson(*sub));
    json["subviews"] = subviews;
    return json;
}

UITableView* pageTable(PSViewController& page) {
    auto view = page.view();
    return view ? findTable(*view) : nullptr;
}

Json pageJson(PSViewController& page, const std::string& className, std::size_t depth) {
    Json json{{"class", className}, {"depth", depth}};
    UITableView* table = pageTable(page);
    if (table) {
        const auto selected = table->indexPathForSelectedRow();
        Json sections = Json::array();
        const auto& all = table->sections();
        for (NSInteger s = 0; s < static_cast<NSInteger>(all.size()); ++s) {
            const UITableViewSection& section = all[s];
            Json rows = Json::array();
            for (NSInteger r = 0; r < static_cast<NSInteger>(section.cells.size()); ++r) {
                rows.push_back(rowJson(*table, NSIndexPath{s, r}, *section.cells[r], selected == NSIndexPath{s, r}));
            }
            sections.push_back({{"header", optionalText(section.headerTitle)},
                                {"footer", optionalText(section.footerTitle)},
                                {"headerHeight", section.headerHeight},
                                {"footerHeight", section.footerHeight},
                                {"footerFrame", rectJson(table->rectForFooterInSection(s))},
                                {"footerView", section.footerView ? viewJson(*section.footerView) : Json()},
                                {"headerView", section.headerView ? viewJson(*section.headerView) : Json()},
                                {"rows", rows}});
        }
        const UIEdgeInsets inset = table->contentInset();
        const UIEdgeInsets indicator = table->scrollIndicatorInsets();
        json["table"] = {{"style", static_cast<NSInteger>(table->style())},
                         {"frame", rectJson(table->frame())},
                         {"autoresizingMask", table->autoresizingMask()},
                         {"editing", table->isEditing()},
                         {"allowsSelection", table->allowsSelection()},
                         {"allowsMultipleSelection", table->allowsMultipleSelection()},
                         {"allowsSelectionDuringEditing", table->allowsSelectionDuringEditing()},
                         {"allowsMultipleSelectionDuringEditing", table->allowsMultipleSelectionDuringEditing()},
                         {"contentInset", Json::array({inset.top, inset.left, inset.bottom, inset.right})},
                         {"scrollIndicatorInsets",
                          Json::array({indicator.top, indicator.left, indicator.bottom, indicator.right})},
                         {"contentHeight", table->contentHeight()},
                         {"reloads", table->reloadCount()},
                         {"longPressRecognizers", table->gestureRecognizers().size()},
                         {"longPressDurations", longPressDurations(*table)}};
        json["sections"] = sections;
    } else {
        json["table"] = nullptr;
        json["sections"] = Json::array();
    }
    // Asked last: a list page learns its title from its specifier list,
    // which the table's load reads.
    json["title"] = page.title();
    return json;
}

Json alertJson(const UIAlertView* alert) {
    if (!alert) return Json{{"visible", false}};
    Json json{{"visible", true},
              {"title", optionalText(alert->title())},
              {"message", optionalText(alert->message())},
              {"buttons", alert->buttonTitles()},
              {"cancelButtonIndex", alert->cancelButtonIndex()},
              {"tag", alert->tag()},
              {"style", static_cast<NSInteger>(alert->alertViewStyle())},
              {"accessibilityValue", optionalText(alert->accessibilityValue())},
              {"hasDelegate", alert->delegate() != nullptr},
              {"queued", UIAlertView::queuedAlerts().size()}};
    UITextField* field = alert->textFieldAtIndex(0);
    json["textField"] = field ? Json(field->text()) : Json();
    return json;
}

Json menuJson(const UIDocumentInteractionController* menu) {
    if (!menu) return Json{{"visible", false}};
    return Json{{"visible", true},
                {"file", menu->URL().path},
                {"url", menu->URL().absoluteString()},
                {"handlers", menu->handlers()},
                {"fromRect", rectJson(menu->presentedFromRect())}};
}

}  // namespace zv::device
