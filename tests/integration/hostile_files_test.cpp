// Odd files in the preferences folder, met by real processes: SpringBoard
// and the Settings application start, reload and list profiles whatever
// lies there, and a file they cannot safely read counts as unreadable.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <thread>

#include "control/DevicePaths.h"
#include "CraftedPlists.h"
#include "SettingsAppFixture.h"
#include "foundation/plist/PlistShape.h"

namespace zv::test {
namespace {

using Types = std::vector<int>;

using zv::control::kSpringBoardPath;
const std::string kPreferences = std::string(zv::control::kPreferencesFolder) + "/";
const Types kDefaultLeft{3, 4, 5}, kDefaultCenter{0}, kDefaultRight{16, 13, 11, 8, 7};
// The crafted settings files put Bluetooth (11) on the left.
const Types kMovedLeft{11, 3, 4, 5}, kMovedRight{16, 13, 8, 7};

class HostileFilesTest : public SettingsAppTest {
protected:
    std::string preferencesPath(const std::string& name) const { return hostPath(kPreferences + name); }

    HostProcess startSpringBoard() { return HostProcess(HostOptions{root(), {kSpringBoardPath}, true}); }

    // Polls the host's layout until it is the expected one.
    static bool layoutBecomes(HostProcess& host, const Types& left, const Types& center, const Types& right) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            const json l = host.request({{"cmd", "layout"}});
            if (l.is_object() && l["left"] == json(left) && l["center"] == json(center) && l["right"] == json(right))
                return true;
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "layout stays " << l.dump();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    static bool isDefaultLayout(HostProcess& host) {
        return layoutBecomes(host, kDefaultLeft, kDefaultCenter, kDefaultRight);
    }
    static bool isMovedLayout(HostProcess& host) { return layoutBecomes(host, kMovedLeft, kDefaultCenter, kMovedRight); }

    void install(std::string_view bytes) {
        ASSERT_TRUE(writeHostFileAtomically(preferencesPath("net.quellit.zorvane.plist"), bytes));
    }
    // The Settings side's road: another process replaces the settings file,
    // then posts the preferences and reload notifications.
    void publish(std::string_view bytes) {
        const std::string source = root() + "/staged-settings.plist";
        ASSERT_TRUE(writeHostFileAtomically(source, bytes));
        ChildProcess writer({.executable = ZV_TEST_HELPER_DIR "/settings_writer",
                             .arguments = {"settings_writer", source},
                             .environment = bus_.environment()});
        auto status = writer.wait(std::chrono::seconds(20));
        ASSERT_TRUE(status && status->exitedWith(0)) << (status ? status->describe() : "still running");
    }

    void makeFifo(const std::string& hostFile) { ASSERT_EQ(::mkfifo(hostFile.c_str(), 0644), 0) << hostFile; }
    void makeSocket(const std::string& hostFile) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(hostFile.size(), sizeof address.sun_path);
        hostFile.copy(address.sun_path, hostFile.size());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << hostFile;
        sockets_.push_back(fd);
    }
    void TearDown() override {
        for (int fd : sockets_) ::close(fd);
    }

    std::vector<int> sockets_;
};

TEST_F(HostileFilesTest, FifoSocketOrDeviceInPlaceOfAFileIsUnreadableAtOnce) {
    // SpringBoard with a FIFO as its settings file starts, the plug-in off.
    makeFifo(preferencesPath("net.quellit.zorvane.plist"));
    {
        HostProcess springBoard = startSpringBoard();
        ASSERT_TRUE(springBoard.ready()) << "SpringBoard waits on the FIFO";
        EXPECT_TRUE(isDefaultLayout(springBoard));
    }

    // The Settings application, with the settings file a symlink to a FIFO,
    // starts and lists profiles that are a FIFO, a socket and a device.
    std::filesystem::remove(preferencesPath("net.quellit.zorvane.plist"));
    makeFifo(hostPath("/elsewhere.fifo"));
    std::filesystem::create_symlink(hostPath("/elsewhere.fifo"), preferencesPath("net.quellit.zorvane.plist"));
    makeFifo(preferencesPath("net.quellit.zorvane_pipe.plist"));
    makeSocket(preferencesPath("net.quellit.zorvane_sock.plist"));
    std::filesystem::create_symlink("/dev/zero", preferencesPath("net.quellit.zorvane_zero.plist"));
    std::filesystem::create_symlink(hostPath("/elsewhere.fifo"), preferencesPath("net.quellit.zorvane_link.plist"));

    ASSERT_TRUE(app().ready());
    EXPECT_EQ(page()["title"], "Zorvane");
    ok({{"cmd", "open"}, {"label", "Profiles"}});
    ok({{"cmd", "wait"}, {"ms", 400}});
    const json profiles = page();
    EXPECT_EQ(rowTitles(profiles, 1), (std::vector<std::string>{"link", "pipe", "sock", "zero"}));
    for (const auto& row : profiles["sections"][1]["rows"]) EXPECT_EQ(row["detail"], "Last Modified: ");
    // Loading one fails like any unreadable profile.
    ok({{"cmd", "tap"}, {"label", "pipe"}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_EQ(alert()["title"], "Error, Could not load profile");
}

// A settings file of exactly `size` bytes (Bluetooth on the left), padded
// with whitespace inside its dictionary.
std::string paddedSettings(std::size_t size) {
    std::string file = deepXmlSettings(2);
    file.insert(file.find("<dict>") + 6, size - file.size(), ' ');
    return file;
}

TEST_F(HostileFilesTest, DeepOrHugeSettingsFilesAreUnreadableAtStartAndOnReload) {
    // Nesting that exhausted SpringBoard's stack at every start.
    install(deepBinarySettings(30000));
    HostProcess springBoard = startSpringBoard();
    ASSERT_TRUE(springBoard.ready());
    EXPECT_TRUE(isDefaultLayout(springBoard));  // unreadable: the plug-in is off

    const std::pair<std::string, bool> files[] = {
        {deepBinarySettings(kMaxPlistDepth), true},
        {deepXmlSettings(200000), false},
        {deepXmlSettings(kMaxPlistDepth), true},
        {deepBinarySettings(kMaxPlistDepth + 1), false},
        {paddedSettings(kMaxPropertyListFileBytes), true},
        {paddedSettings(kMaxPropertyListFileBytes + 1), false},
    };
    for (const auto& [bytes, readable] : files) {
        publish(bytes);
        EXPECT_TRUE(readable ? isMovedLayout(springBoard) : isDefaultLayout(springBoard)) << bytes.size() << " bytes";
    }
    EXPECT_TRUE(springBoard.process().running());
}

TEST_F(HostileFilesTest, DeepFilesLeaveTheSettingsApplicationWorking) {
    install(deepXmlSettings(200000));
    ASSERT_TRUE(writeHostFileAtomically(preferencesPath("net.quellit.zorvane_deep.plist"), deepBinarySettings(30000)));
    ASSERT_TRUE(app().ready());
    EXPECT_EQ(page()["title"], "Zorvane");
    ok({{"cmd", "open"}, {"label", "Profiles"}});
    ok({{"cmd", "wait"}, {"ms", 400}});
    EXPECT_EQ(rowTitles(page(), 1), std::vector<std::string>{"deep"});
    ok({{"cmd", "tap"}, {"label", "deep"}});
    ok({{"cmd", "press"}, {"button", 1}});
    EXPECT_EQ(alert()["title"], "Error, Could not load profile");
}

TEST_F(HostileFilesTest, KeysHoldingANulDoNotShadowRealKeys) {
    // "enabled\0" = NO would switch the plug-in off and "left\0evil" would
    // empty the left region, were keys cut at the NUL.
    BinaryPlistBuilder plist;
    const auto data = plist.string("data");
    const auto bluetooth = plist.dict({{data, plist.array({plist.string("11 Bluetooth")})}});
    const auto empty = plist.dict({{data, plist.array({})}});
    using namespace std::string_literals;
    install(plist.bytes(plist.dict({{plist.string("enabled"), plist.boolean(true)},
                                    {plist.string("enabled\0"s), plist.boolean(false)},
                                    {plist.string("schemaVersion"), plist.string("1.2")},
                                    {plist.string("left"), bluetooth},
                                    {plist.string("left\0evil"s), empty},
                                    {plist.string("default"), empty}})));
    HostProcess springBoard = startSpringBoard();
    ASSERT_TRUE(springBoard.ready());
    EXPECT_TRUE(isMovedLayout(springBoard));
}

}  // namespace
}  // namespace zv::test
