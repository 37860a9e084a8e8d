// crafted_plist: writes one of the property lists of CraftedPlists.h to
// standard output, for fuzz seeds and for trying a device by hand.
//
//   crafted_plist deep-binary LEVELS        arrays nested LEVELS deep
//   crafted_plist deep-xml LEVELS
//   crafted_plist deep-binary-settings LEVELS   a settings file nesting LEVELS deep
//   crafted_plist deep-xml-settings LEVELS
//   crafted_plist doubling-binary LEVELS    references doubling at each level
//   crafted_plist nul-keys                  "enabled\0" and "left\0evil" beside the real keys
//   crafted_plist surrogate-keys            U+D800 "enabled", "ena" U+DC01 "bled" and U+D800 "left"
//                                           (lone UTF-16 surrogates) beside the real keys
//
// Exit status 2 for bad usage.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../support/CraftedPlists.h"

namespace {

std::string nulKeys() {
    using namespace std::string_literals;
    zv::test::BinaryPlistBuilder plist;
    const auto data = plist.string("data");
    const auto bluetooth = plist.dict({{data, plist.array({plist.string("11 Bluetooth")})}});
    const auto empty = plist.dict({{data, plist.array({})}});
    return plist.bytes(plist.dict({{plist.string("enabled"), plist.boolean(true)},
                                   {plist.string("enabled\0"s), plist.boolean(false)},
                                   {plist.string("schemaVersion"), plist.string("1.2")},
                                   {plist.string("left"), bluetooth},
                                   {plist.string("left\0evil"s), empty},
                                   {plist.string("default"), empty}}));
}

std::string surrogateKeys() {
    zv::test::BinaryPlistBuilder plist;
    const auto data = plist.string("data");
    const auto bluetooth = plist.dict({{data, plist.array({plist.string("11 Bluetooth")})}});
    const auto empty = plist.dict({{data, plist.array({})}});
    return plist.bytes(plist.dict({{plist.utf16String(u"\xD800" u"enabled"), plist.boolean(false)},
                                   {plist.string("enabled"), plist.boolean(true)},
                                   {plist.utf16String(u"ena\xDC01" u"bled"), plist.boolean(false)},
                                   {plist.string("schemaVersion"), plist.string("1.2")},
                                   {plist.string("left"), bluetooth},
                                   {plist.utf16String(u"\xD800left"), empty},
                                   {plist.string("default"), empty}}));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view kind = argc > 1 ? argv[1] : "";
    const std::size_t levels = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
    std::string bytes;
    if (kind == "nul-keys" && argc == 2) bytes = nulKeys();
    else if (kind == "surrogate-keys" && argc == 2) bytes = surrogateKeys();
    else if (argc != 3 || levels == 0) bytes.clear();
    else if (kind == "deep-binary") bytes = zv::test::deepBinaryArrays(levels);
    else if (kind == "deep-xml") bytes = zv::test::deepXmlArrays(levels);
    else if (kind == "deep-binary-settings") bytes = zv::test::deepBinarySettings(levels);
    else if (kind == "deep-xml-settings") bytes = zv::test::deepXmlSettings(levels);
    else if (kind == "doubling-binary") bytes = zv::test::doublingBinaryArrays(levels);
    if (bytes.empty()) {
        std::fprintf(stderr, "usage: crafted_plist deep-binary|deep-xml|deep-binary-settings|deep-xml-settings|"
                             "doubling-binary LEVELS, or crafted_plist nul-keys|surrogate-keys\n");
        return 2;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() ? 0 : 1;
}
