// The property-list codec: reading XML and binary, writing XML that reads
// back as the same value, and bytes that are no dictionary reading as nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CraftedPlists.h"
#include "PlistFixtures.h"
#include "foundation/plist/PlistCodec.h"
#include "foundation/plist/PlistShape.h"

namespace {

using namespace std::string_literals;

std::string xmlPlist(std::string_view body) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">)") + std::string(body) + "</plist>";
}

TEST(PlistCodec, ReadsXmlAndBinary) {
    const auto xml = plistDictionaryFromBytes(xmlPlist(R"(<dict>
  <key>on</key><true/> <key>off</key><false/>
  <key>negative</key><integer>-42</integer> <key>large</key><integer>9000000000</integer>
  <key>real</key><real>2.5</real> <key>text</key><string>a &amp; b &lt;c&gt; &#x2713;</string>
  <key>blob</key><data>AAH/</data> <key>when</key><date>2020-01-01T00:00:00Z</date>
  <key>left</key><dict><key>data</key><array><string>00 Time</string><integer>3</integer></array></dict>
</dict>)"));
    const PlistDictionary expectedXml{
        {"on", true}, {"off", false}, {"negative", std::int64_t{-42}}, {"large", std::int64_t{9000000000}},
        {"real", 2.5}, {"text", "a & b <c> \u2713"}, {"blob", PlistData{0x00, 0x01, 0xff}},
        {"when", PlistDate{599529600}}, {"left", PlistDictionary{{"data", PlistArray{"00 Time", 3}}}}};
    EXPECT_EQ(xml, expectedXml);

    const auto binary = plistDictionaryFromBytes(zv::test::binarySettings());
    const PlistDictionary expectedBinary{
        {"enabled", true}, {"hideBattery", false}, {"count", -3}, {"big", std::int64_t{5000000000}},
        {"ratio", 0.25}, {"name", "Zorvane \u2713"}, {"blob", PlistData{0x00, 0x01, 0xff}},
        {"when", PlistDate{599529600}}, {"schemaVersion", "1.0"},
        {"left", PlistDictionary{{"data", PlistArray{"21 VPN", "00 Time"}}}},
        {"default", PlistDictionary{{"data", PlistArray{"04 Carrier"}}}}};
    EXPECT_EQ(binary, expectedBinary);
}

TEST(PlistCodec, XmlRoundTripKeepsEveryValueAndType) {
    const PlistDictionary original{
        {"true", true},
        {"false", false},
        {"zero", 0},
        {"one", 1},  // an integer 1 stays an integer, true stays a boolean
        {"negative", std::int64_t{-7}},
        {"min", std::numeric_limits<std::int64_t>::min()},
        {"max", std::numeric_limits<std::int64_t>::max()},
        {"real", -0.125},
        {"text", "<&> \"quoted\" 'single' \u00e9\u2713"},
        {"empty text", ""},
        {"blob", PlistData{0, 1, 2, 254, 255}},
        {"empty blob", PlistData{}},
        {"when", PlistDate{599529600}},
        {"list", PlistArray{"a", 1, PlistArray{}, PlistDictionary{}}},
        {"", "empty key"},
        {"nested", PlistDictionary{{"data", PlistArray{"00 Time", "98 libstatusbar spacer 1"}}}},
    };
    const std::string xml = plistToXml(PlistValue(original));
    ASSERT_FALSE(xml.empty());
    const auto back = plistDictionaryFromBytes(xml);
    ASSERT_TRUE(back);
    // Equality compares types too: a boolean never comes back as an integer.
    EXPECT_EQ(*back, original) << xml;
}

TEST(PlistCodec, KeysHoldingANulAreLeftOutAndStringsEndAtOne) {
    // libplist ends a key at its NUL, so "left\0evil" would replace "left" and
    // "enabled\0" switch the plug-in off; in UTF-16 such a key aborts it. A
    // key holding a NUL is no key anyone knows: the entry is left out.
    zv::test::BinaryPlistBuilder b;
    const auto data = b.string("data");
    const auto left = b.dict({{data, b.array({b.string("11 Bluetooth")})}});
    const auto evil = b.dict({{data, b.array({})}, {b.utf16String(u"data\0"), b.array({})}});
    const auto root = b.dict({{b.string("enabled"), b.boolean(true)},
                              {b.string("enabled\0"s), b.boolean(false)},
                              {b.utf16String(u"left\0\u2713"), b.boolean(false)},
                              {b.string("left"), left},
                              {b.string("left\0evil"s), evil},
                              {b.string("right"), b.dict({{data, b.array({b.string("08 B\0x"s)})}})}});
    const PlistDictionary expected{{"enabled", true},
                                   {"left", PlistDictionary{{"data", PlistArray{"11 Bluetooth"}}}},
                                   {"right", PlistDictionary{{"data", PlistArray{"08 B"}}}}};
    EXPECT_EQ(plistDictionaryFromBytes(b.bytes(root)), expected);
    EXPECT_EQ(plistDictionaryFromBytes(zv::test::binaryWithNulKeys()), (PlistDictionary{{"left", PlistDictionary{}}}));

    // XML: a raw NUL in a key's text or CDATA; in a <key> of an array (a
    // string) and in a string it ends the text, as the writer keeps it.
    const auto xml = plistDictionaryFromBytes(xmlPlist(
        "<dict><key>enabled</key><true/><key>enabled\0</key><false/><key><![CDATA[left\0]]></key><false/>"
        "<key>left</key><array><key>a\0b</key><string>08 B\0x</string></array></dict>"s));
    ASSERT_EQ(xml, (PlistDictionary{{"enabled", true}, {"left", PlistArray{"a", "08 B"}}}));
    EXPECT_EQ(plistDictionaryFromBytes(plistToXml(PlistValue(*xml))), xml);
}

TEST(PlistCodec, KeysThatAreNoTextAreLeftOutAndReported) {
    // libplist leaves an unpaired surrogate out of a UTF-16 key, so U+D800
    // "enabled" read as "enabled" and replaced the real one; it keeps bytes
    // that are no UTF-8, and an XML character reference to a surrogate, as
    // they are. Each such key is a key of its own, which no reader knows.
    zv::test::BinaryPlistBuilder b;
    const auto data = b.string("data");
    const auto left = b.dict({{data, b.array({b.string("11 Bluetooth")})}});
    const auto empty = b.dict({{data, b.array({})}});
    const auto inner = b.dict({{b.utf16String(u"\xDC01x"), b.boolean(true)}, {b.string("ok\\"), b.boolean(true)}});
    const auto root = b.dict({{b.utf16String(u"\xD800" u"enabled"), b.boolean(false)},
                              {b.string("enabled"), b.boolean(true)},
                              {b.utf16String(u"ena\xDC01" u"bled"), b.boolean(false)},
                              {b.string("left"), left},
                              {b.utf16String(u"\xD800left"), empty},
                              {b.utf16String(u"\xD83D\xDE00"), b.array({inner})},
                              {b.string("hide\xFF" "Battery"), b.boolean(true)},
                              {b.string("a\0b"s), b.array({})}});
    std::vector<DroppedPlistKey> dropped;
    const auto read = plistDictionaryFromBytes(b.bytes(root), &dropped);
    const PlistDictionary expected{{"enabled", true},
                                   {"left", PlistDictionary{{"data", PlistArray{"11 Bluetooth"}}}},
                                   {"\U0001F600", PlistArray{PlistDictionary{{"ok\\", true}}}}};
    EXPECT_EQ(read, expected);
    const std::vector<std::pair<std::string, std::string>> expectedDrops{
        {"\\uD800enabled", "\\uD800enabled"}, {"ena\\uDC01bled", "ena\\uDC01bled"},
        {"\\uD800left", "\\uD800left"},       {"\U0001F600[0].\\uDC01x", "\\uDC01x"},
        {"hide\\xFFBattery", "hide\\xFFBattery"}, {"a\\x00b", "a\\x00b"}};
    std::vector<std::pair<std::string, std::string>> drops;
    for (const auto& key : dropped) drops.emplace_back(key.path, key.escapedKey);
    EXPECT_EQ(drops, expectedDrops);
    ASSERT_EQ(dropped.size(), 6u);
    EXPECT_EQ(dropped[0].fault, TextFault::Surrogate);
    EXPECT_EQ(dropped[4].fault, TextFault::NotUtf8);
    EXPECT_EQ(dropped[5].fault, TextFault::Nul);

    dropped.clear();
    const auto xml = plistDictionaryFromBytes(
        xmlPlist("<dict><key>&#xD800;enabled</key><false/><key>enabled</key><true/><key>en\xC0\x80x</key><true/>"
                 "<key>left\0</key><false/><key>\xC3\xA9</key><true/></dict>"s),
        &dropped);
    EXPECT_EQ(xml, (PlistDictionary{{"enabled", true}, {"\xC3\xA9", true}}));
    drops.clear();
    for (const auto& key : dropped) drops.emplace_back(key.path, key.escapedKey);
    EXPECT_EQ(drops, (std::vector<std::pair<std::string, std::string>>{
                         {"\\uD800enabled", "\\uD800enabled"}, {"en\\xC0\\x80x", "en\\xC0\\x80x"},
                         {"left\\x00", "left\\x00"}}));
    ASSERT_EQ(dropped.size(), 3u);
    EXPECT_EQ(dropped[0].fault, TextFault::Surrogate);
    EXPECT_EQ(dropped[1].fault, TextFault::NotUtf8);
    EXPECT_EQ(dropped[2].fault, TextFault::Nul);
}

TEST(PlistCodec, NestingAndObjectCountAreBoundedBeforeLibplistReads) {
    using zv::test::deepBinaryArrays;
    using zv::test::deepXmlArrays;
    // At the bound a list reads; one level more reads as nothing.
    EXPECT_TRUE(plistFromBytes(deepBinaryArrays(kMaxPlistDepth)));
    EXPECT_FALSE(plistFromBytes(deepBinaryArrays(kMaxPlistDepth + 1)));
    EXPECT_TRUE(plistFromBytes(deepXmlArrays(kMaxPlistDepth)));
    EXPECT_FALSE(plistFromBytes(deepXmlArrays(kMaxPlistDepth + 1)));
    // Depths that exhausted libplist's stack, and a binary list whose
    // references multiply to 2^21 objects in 130 bytes.
    EXPECT_FALSE(plistFromBytes(deepBinaryArrays(30000)));
    EXPECT_FALSE(plistFromBytes(deepXmlArrays(200000)));
    EXPECT_FALSE(plistFromBytes(zv::test::doublingBinaryArrays(20)));
    EXPECT_TRUE(plistFromBytes(zv::test::doublingBinaryArrays(10)));

    // Large but shallow lists read: many containers side by side.
    std::string wide = "<array>";
    for (int i = 0; i < 40000; ++i) wide += "<dict><key>k</key><array/></dict>";
    const auto read = plistFromBytes(zv::test::xmlPlistText(wide + "</array>"));
    ASSERT_TRUE(read && read->array());
    EXPECT_EQ(read->array()->size(), 40000u);

    // Nesting hidden from libplist's reader in comments, CDATA and quoted
    // attribute values does not count; what that reader sees does.
    std::string opens, hidden;
    for (int i = 0; i < 600; ++i) opens += "<dict>";
    hidden = "<array><!-- " + opens + " --><string><![CDATA[" + opens + "]]></string>" +
             "<array a=\"<dict>\"></array><?pi x=\"?>" + opens + "\"?></array>";
    EXPECT_TRUE(plistFromBytes(zv::test::xmlPlistText(hidden)));
    std::string quotedSlash;
    for (int i = 0; i < 600; ++i) quotedSlash += "<array a=\"/>\">";  // not self-closing
    EXPECT_FALSE(plistFromBytes(zv::test::xmlPlistText(quotedSlash)));
}

TEST(PlistCodec, DatesBeyondThirtyTwoBitSecondsAreWrittenAtTheNearestEnd) {
    const PlistDictionary dates{{"far", PlistDate{1e15}},
                                {"past", PlistDate{-1e15}},
                                {"nan", PlistDate{std::nan("")}},
                                {"half", PlistDate{10.5}}};
    // XML keeps whole seconds only.
    const PlistDictionary expected{{"far", PlistDate{2147483647}},
                                   {"past", PlistDate{-2147483648.0}},
                                   {"nan", PlistDate{0}},
                                   {"half", PlistDate{10}}};
    EXPECT_EQ(plistDictionaryFromBytes(plistToXml(PlistValue(dates))), expected);
}

TEST(PlistCodec, NonDictionaryOrBrokenBytesReadAsNothing) {
    const std::string good = xmlPlist("<dict><key>enabled</key><true/></dict>");
    const std::string_view binary = zv::test::binarySettings();
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases{
        {"empty", ""},
        {"garbage", "this is not a property list"},
        {"zero bytes", std::string(64, '\0')},
        {"truncated xml", good.substr(0, good.size() / 2)},
        {"truncated binary", std::string(binary.substr(0, binary.size() - 10))},
        {"binary header only", "bplist00"},
        {"array root", xmlPlist("<array><string>a</string></array>")},
        {"string root", xmlPlist("<string>a</string>")},
        {"unclosed dict", xmlPlist("<dict><key>a</key>")},
    };
    for (const Case& c : cases) EXPECT_FALSE(plistDictionaryFromBytes(c.bytes)) << c.name;
    // A root that is a value but not a dictionary is still a property list.
    EXPECT_EQ(plistFromBytes(xmlPlist("<array><string>a</string></array>")), PlistValue(PlistArray{"a"}));
    EXPECT_TRUE(plistDictionaryFromBytes(good));
}

}  // namespace
