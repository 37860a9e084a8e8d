// The property-list codec: reading XML and binary, writing XML that reads
// back as the same value, and bytes that are no dictionary reading as nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "PlistFixtures.h"
#include "foundation/plist/PlistCodec.h"

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

TEST(PlistCodec, NulCharactersEndKeysAndStrings) {
    // libplist would abort the process on such a key; the codec reads every
    // key and string up to its first NUL instead.
    const PlistDictionary expected{{"en", true}, {"left", PlistDictionary{{"da", PlistArray{"00 Ti"}}}}};
    EXPECT_EQ(plistDictionaryFromBytes(zv::test::binaryWithNulKeys()), expected);

    // A raw NUL inside XML text: what is read is what a write keeps.
    const auto xml = plistDictionaryFromBytes(xmlPlist("<dict><key>k</key><string>08 B\0x</string></dict>"s));
    ASSERT_EQ(xml, (PlistDictionary{{"k", "08 B"}}));
    EXPECT_EQ(plistDictionaryFromBytes(plistToXml(PlistValue(*xml))), xml);
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
