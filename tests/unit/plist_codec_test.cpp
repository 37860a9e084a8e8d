// The property-list codec: reading XML and binary, writing XML that reads
// back as the same value, and bytes that are no dictionary reading as nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "PlistFixtures.h"
#include "foundation/PlistCodec.h"

namespace {

using namespace std::string_literals;

std::string xmlPlist(std::string_view body) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">)") + std::string(body) + "</plist>";
}

const PlistValue& at(const PlistDictionary& dict, std::string_view key) {
    const PlistValue* value = plistLookup(dict, key);
    if (!value) throw std::runtime_error("missing key " + std::string(key));
    return *value;
}

TEST(PlistCodec, ReadsXml) {
    const auto dict = plistDictionaryFromBytes(xmlPlist(R"(<dict>
  <key>on</key><true/>
  <key>off</key><false/>
  <key>negative</key><integer>-42</integer>
  <key>large</key><integer>9000000000</integer>
  <key>real</key><real>2.5</real>
  <key>text</key><string>a &amp; b &lt;c&gt; &#x2713;</string>
  <key>empty</key><string></string>
  <key>blob</key><data>AAH/</data>
  <key>when</key><date>2020-01-01T00:00:00Z</date>
  <key>left</key><dict><key>data</key><array><string>00 Time</string><integer>3</integer></array></dict>
</dict>)"));
    ASSERT_TRUE(dict);
    EXPECT_EQ(at(*dict, "on"), PlistValue(true));
    EXPECT_EQ(at(*dict, "off"), PlistValue(false));
    EXPECT_EQ(at(*dict, "negative"), PlistValue(std::int64_t{-42}));
    EXPECT_EQ(at(*dict, "large"), PlistValue(std::int64_t{9000000000}));
    EXPECT_EQ(at(*dict, "real"), PlistValue(2.5));
    EXPECT_EQ(at(*dict, "text"), PlistValue("a & b <c> \u2713"));
    EXPECT_EQ(at(*dict, "empty"), PlistValue(""));
    EXPECT_EQ(at(*dict, "blob"), PlistValue(PlistData{0x00, 0x01, 0xff}));
    EXPECT_EQ(at(*dict, "when"), PlistValue(PlistDate{599529600}));
    const PlistDictionary left{{"data", PlistArray{"00 Time", 3}}};
    EXPECT_EQ(at(*dict, "left"), PlistValue(left));
}

TEST(PlistCodec, ReadsBinary) {
    const auto dict = plistDictionaryFromBytes(zv::test::binarySettings());
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->size(), 11u);
    EXPECT_EQ(at(*dict, "enabled"), PlistValue(true));
    EXPECT_EQ(at(*dict, "hideBattery"), PlistValue(false));
    EXPECT_EQ(at(*dict, "count"), PlistValue(std::int64_t{-3}));
    EXPECT_EQ(at(*dict, "big"), PlistValue(std::int64_t{5000000000}));
    EXPECT_EQ(at(*dict, "ratio"), PlistValue(0.25));
    EXPECT_EQ(at(*dict, "name"), PlistValue("Zorvane \u2713"));
    EXPECT_EQ(at(*dict, "blob"), PlistValue(PlistData{0x00, 0x01, 0xff}));
    EXPECT_EQ(at(*dict, "when"), PlistValue(PlistDate{599529600}));
    EXPECT_EQ(at(*dict, "schemaVersion"), PlistValue("1.0"));
    const PlistDictionary left{{"data", PlistArray{"21 VPN", "00 Time"}}};
    EXPECT_EQ(at(*dict, "left"), PlistValue(left));
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
    for (const auto& [key, value] : original) {
        ASSERT_TRUE(plistLookup(*back, key)) << key;
        EXPECT_EQ(at(*back, key), value) << key << "\n" << xml;
    }
    EXPECT_EQ(*back, original);
    EXPECT_TRUE(at(*back, "true").isBoolean());
    EXPECT_TRUE(at(*back, "one").isInteger());
}

TEST(PlistCodec, NulCharactersEndKeysAndStrings) {
    // libplist would abort the process on such a key; the codec reads every
    // key and string up to its first NUL instead.
    const auto binary = plistDictionaryFromBytes(zv::test::binaryWithNulKeys());
    ASSERT_TRUE(binary);
    const PlistDictionary expected{{"en", true}, {"left", PlistDictionary{{"da", PlistArray{"00 Ti"}}}}};
    EXPECT_EQ(*binary, expected);

    // A raw NUL inside XML text: what is read is what a write keeps.
    const auto xml = plistDictionaryFromBytes(xmlPlist("<dict><key>k</key><string>08 B\0x</string></dict>"s));
    ASSERT_TRUE(xml);
    EXPECT_EQ(at(*xml, "k"), PlistValue("08 B"));
    EXPECT_EQ(plistDictionaryFromBytes(plistToXml(PlistValue(*xml))), xml);
}

TEST(PlistCodec, DatesBeyondThirtyTwoBitSecondsAreWrittenAtTheNearestEnd) {
    const PlistDictionary dates{{"far", PlistDate{1e15}},
                                {"past", PlistDate{-1e15}},
                                {"nan", PlistDate{std::nan("")}},
                                {"half", PlistDate{10.5}}};
    const auto back = plistDictionaryFromBytes(plistToXml(PlistValue(dates)));
    ASSERT_TRUE(back);
    EXPECT_EQ(at(*back, "far"), PlistValue(PlistDate{2147483647}));
    EXPECT_EQ(at(*back, "past"), PlistValue(PlistDate{-2147483648.0}));
    EXPECT_EQ(at(*back, "nan"), PlistValue(PlistDate{0}));
    // XML keeps whole seconds only.
    EXPECT_EQ(at(*back, "half"), PlistValue(PlistDate{10}));
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
