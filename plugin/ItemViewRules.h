// The item-view rules: how the plug-in adjusts four of the host's status-bar
// item views to the user's choices. The two breadcrumb views put their image
// on the side matching their region and may show a short title; the battery
// view draws an invisible glyph under `hideBattery`. (The battery-percentage
// view's data update only records the battery state; it has no rule.)
#pragma once

#include "PluginSettings.h"
#include "RuleAnswer.h"

namespace zv::rules {

enum class BreadcrumbView {
    Breadcrumb,    // UIStatusBarBreadcrumbItemView, item "32 Breadcrumb"
    OpenInSafari,  // UIStatusBarOpenInSafariItemView, item "33 OpenInSafari"
};

// _shouldLayoutImageOnRight, with the plug-in on and a table present:
// the breadcrumb view answers YES when placed `right`; the OpenInSafari view
// answers NO when placed `left` or without an entry. Everything else is
// previous.
RuleAnswer<bool> shouldLayoutImageOnRight(const PluginSettings& settings, BreadcrumbView view);

// shortenedTitleWithCompressionLevel: answers the view's whole destination
// text, whatever the level, while the stored `shortBreadcrumb` switch is on
// (it already holds `enabled` of the load that set it); otherwise previous.
bool titleIsDestinationText(const PluginSettings& settings);

// contentsImage of the battery view: the previous image set gets a fully
// transparent glyph of kTransparentGlyphSize while the plug-in is on and
// `hideBattery` is on.
bool drawsTransparentBatteryGlyph(const PluginSettings& settings);
inline constexpr double kTransparentGlyphWidth = 5.1;
inline constexpr double kTransparentGlyphHeight = 5.0;

}  // namespace zv::rules
