// What the Settings application's screen shows, as JSON for the control
// protocol: the current page (its table's sections, rows, headers, footers
// and footer views), the alert on screen and the open-in menu on screen.
#pragma once

#include <nlohmann/json.hpp>

#include "foundation/plist/PropertyList.h"
#include "preferences/PSViewController.h"
#include "uikit/controls/UIAlertView.h"
#include "uikit/controls/UIDocumentInteractionController.h"
#include "uikit/table/UITableView.h"
#include "uikit/views/UIView.h"

namespace zv::device {

using Json = nlohmann::json;

// A property-list value as JSON: dates as seconds since 2001, data as an
// array of byte values.
Json plistToJson(const PlistValue& value);
// A JSON scalar (boolean, integer, real, string) as a property-list value;
// false for other JSON.
bool jsonToPlist(const Json& json, PlistValue& out);

Json rectJson(const CGRect& rect);
// A view and its subviews: class, frame, background, and a label's text and
// text attributes.
Json viewJson(const UIView& view);
// The table the page shows: the page's view, or the first table inside it.
UITableView* pageTable(PSViewController& page);
// {"title", "class", "depth", "table": {...}, "sections": [...]}.
Json pageJson(PSViewController& page, const std::string& className, std::size_t depth);
Json alertJson(const UIAlertView* alert);
Json menuJson(const UIDocumentInteractionController* menu);

}  // namespace zv::device
