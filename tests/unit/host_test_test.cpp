// Which processes the plug-in treats as status-bar hosts.
#include <gtest/gtest.h>

#include "HostTest.h"

TEST(HostTest, DecidesFromTheFirstArgumentAlone) {
    struct Case {
        std::vector<std::string> args;
        bool host;
    };
    const Case cases[] = {
        {{"/System/Library/CoreServices/SpringBoard.app/SpringBoard"}, true},
        {{"SpringBoard"}, true},
        {{"/Applications/Some.app/Some"}, true},
        {{"/var/containers/Bundle/Application/1F2E-77/Some.app/Some", "--flag"}, true},
        {{"/var/mobile/Library/Application Support/Tool/tool"}, true},
        {{"/Applications/Some.app/PlugIns/FileProvider.appex/FileProvider"}, false},
        {{"/Applications/Some.app/PlugIns/X.appex/MyFILEPROVIDERExt"}, false},
        {{"/usr/libexec/backboardd"}, false},
        {{"/System/Library/CoreServices/SpringBoard.app/springboard"}, false},
        {{"/Applications/Some.app/springboard"}, true},
        {{"/applications/Some.app/Some"}, false},
        {{"/usr/bin/SpringBoardX"}, false},
        // The name is the last path component, trailing slashes ignored.
        {{"/System/Library/CoreServices/SpringBoard.app/SpringBoard/"}, true},
        {{"/System/Library/CoreServices/SpringBoard.app/SpringBoard//"}, true},
        {{"/Applications/Some.app/PlugIns/FileProvider.appex/FileProvider/"}, false},
        {{"/"}, false},
        {{""}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zv::isStatusBarHost(c.args), c.host) << (c.args.empty() ? "<no arguments>" : c.args.front());
    }
}
