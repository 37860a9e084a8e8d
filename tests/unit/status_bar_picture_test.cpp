// The status-bar picture: well-formed SVG for any input, items in the given
// regions and order.
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "StatusBarPicture.h"

namespace zv {
namespace {

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;  // character data directly inside the element

    std::string attribute(const std::string& key) const {
        for (const auto& [name, value] : attributes) {
            if (name == key) return value;
        }
        return {};
    }
};

struct ParsedSvg {
    std::vector<Element> elements;  // in document order
    std::vector<std::size_t> open;  // indices of the elements being read
    std::string error;              // empty when the document is well-formed
};

// Reads the document with GLib's XML parser, which rejects anything that is
// not well-formed (unescaped markup, bad UTF-8, unbalanced tags).
ParsedSvg parseSvg(const std::string& svg) {
    GMarkupParser parser{};
    parser.start_element = [](GMarkupParseContext*, const gchar* name, const gchar** keys, const gchar** values,
                              gpointer data, GError**) {
        auto* parsed = static_cast<ParsedSvg*>(data);
        Element element{name, {}, {}};
        for (int i = 0; keys[i] != nullptr; ++i) element.attributes.emplace_back(keys[i], values[i]);
        parsed->open.push_back(parsed->elements.size());
        parsed->elements.push_back(std::move(element));
    };
    parser.end_element = [](GMarkupParseContext*, const gchar*, gpointer data, GError**) {
        static_cast<ParsedSvg*>(data)->open.pop_back();
    };
    parser.text = [](GMarkupParseContext*, const gchar* text, gsize length, gpointer data, GError**) {
        auto* parsed = static_cast<ParsedSvg*>(data);
        if (!parsed->open.empty()) parsed->elements[parsed->open.back()].text.append(text, length);
    };
    ParsedSvg parsed;
    std::unique_ptr<GMarkupParseContext, decltype(&g_markup_parse_context_free)> context(
        g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &parsed, nullptr), g_markup_parse_context_free);
    GError* error = nullptr;
    if (!g_markup_parse_context_parse(context.get(), svg.data(), static_cast<gssize>(svg.size()), &error) ||
        !g_markup_parse_context_end_parse(context.get(), &error)) {
        parsed.error = error != nullptr ? error->message : "parse failed";
        g_clear_error(&error);
    }
    return parsed;
}

std::vector<const Element*> items(const ParsedSvg& parsed) {
    std::vector<const Element*> found;
    for (const Element& element : parsed.elements) {
        if (element.name == "g" && element.attribute("class") == "item") found.push_back(&element);
    }
    return found;
}

double translateX(const Element& item) {
    const std::string transform = item.attribute("transform");  // "translate(X 0)"
    return std::stod(transform.substr(transform.find('(') + 1));
}

TEST(StatusBarPicture, ItemsInTheirRegionsInTheGivenOrder) {
    StatusBarPicture picture;
    picture.left = {3, 4, 5};
    picture.center = {0};
    picture.right = {16, 11, 8, 7};
    const ParsedSvg parsed = parseSvg(statusBarSvg(picture));
    ASSERT_EQ(parsed.error, "");

    ASSERT_FALSE(parsed.elements.empty());
    const Element& root = parsed.elements.front();
    EXPECT_EQ(root.name, "svg");
    EXPECT_EQ(root.attribute("width"), "320");
    EXPECT_EQ(root.attribute("height"), "20");

    const std::vector<std::pair<std::string, int>> expected{
        {"left", 3}, {"left", 4}, {"left", 5}, {"center", 0}, {"right", 16}, {"right", 11}, {"right", 8}, {"right", 7}};
    const auto found = items(parsed);
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i]->attribute("data-region"), expected[i].first) << i;
        EXPECT_EQ(found[i]->attribute("data-type"), std::to_string(expected[i].second)) << i;
    }
    // Each region runs left to right in its order: left from the left end,
    // center around the middle, right up to the right end.
    EXPECT_LT(translateX(*found[0]), translateX(*found[1]));
    EXPECT_LT(translateX(*found[1]), translateX(*found[2]));
    EXPECT_LT(translateX(*found[2]), translateX(*found[3]));
    EXPECT_GT(translateX(*found[3]), 130);
    EXPECT_LT(translateX(*found[3]), 160);
    for (std::size_t i = 4; i + 1 < found.size(); ++i) EXPECT_LT(translateX(*found[i]), translateX(*found[i + 1]));
    EXPECT_GT(translateX(*found.back()), 280);
    EXPECT_LT(translateX(*found.back()), 300);
}

TEST(StatusBarPicture, DrawsAtTheHostsFramesAtItsWidthAndOverADarkScreenLetsItShowThrough) {
    StatusBarPicture picture;
    picture.left = {99};  // not read when there are frames
    picture.width = 414;
    picture.dark = true;
    picture.frames = FittedStatusBar{{{3, 6, 17}}, {{0, 180, 50}}, {{11, 300, 0}, {7, 382, 26}}, {16}};
    const ParsedSvg parsed = parseSvg(statusBarSvg(picture));
    ASSERT_EQ(parsed.error, "");
    const Element& root = parsed.elements.front();
    EXPECT_EQ(root.attribute("width"), "414");
    EXPECT_EQ(root.attribute("color"), "#fff");
    for (const Element& element : parsed.elements) EXPECT_NE(element.attribute("class"), "background");

    const auto found = items(parsed);
    ASSERT_EQ(found.size(), 4u);
    const std::vector<std::pair<int, double>> expected{{3, 6}, {0, 180}, {11, 300}, {7, 382}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i]->attribute("data-type"), std::to_string(expected[i].first));
        EXPECT_EQ(translateX(*found[i]), expected[i].second);
    }
}

TEST(StatusBarPicture, AnyTextAndEveryTypeGiveWellFormedXml) {
    StatusBarPicture picture;
    for (int type = 0; type < 100; ++type) picture.right.push_back(type);
    picture.left = {-1, 2147483647, 0, 4, 0};
    picture.center = {0, 98, 99, 7, 8};
    picture.batteryLevel = -40;
    picture.charging = true;
    const std::vector<std::string> texts{
        "<b>&amp;\"'</b>]]>", std::string("9:4\0" "1", 5), "\x01\x1f\x7f", "\xff\xfe 9:41 \xc3\x28",
        "\xed\xa0\x80 \xef\xbf\xbe \xf4\x90\x80\x80",  // surrogate, U+FFFE, beyond U+10FFFF
        "\xe2\x82",                                   // cut off
        "12:30 \xe2\x80\xaf PM"};
    for (const std::string& text : texts) {
        picture.timeText = text;
        picture.carrierName = text;
        const ParsedSvg parsed = parseSvg(statusBarSvg(picture));
        EXPECT_EQ(parsed.error, "") << text;
        EXPECT_EQ(items(parsed).size(), picture.left.size() + picture.center.size() + picture.right.size());
    }

    // Text that is fine as it is reads back unchanged; the battery level is clamped.
    picture.timeText = "<b>&amp;\"'</b> 12:30\xe2\x80\xaf" "PM";
    const ParsedSvg parsed = parseSvg(statusBarSvg(picture));
    ASSERT_EQ(parsed.error, "");
    std::vector<std::string> shownTexts;
    for (const Element& element : parsed.elements) {
        if (element.name == "text") shownTexts.push_back(element.text);
    }
    EXPECT_NE(std::find(shownTexts.begin(), shownTexts.end(), picture.timeText), shownTexts.end());
    EXPECT_NE(std::find(shownTexts.begin(), shownTexts.end(), "0%"), shownTexts.end());
    for (const Element& element : parsed.elements) {
        if (element.attribute("class") == "level") {
            EXPECT_EQ(element.attribute("width"), "0");
        }
    }
}

}  // namespace
}  // namespace zv
