// Odd files in the preferences folder, met by real processes: SpringBoard
// and the Settings application start, reload and list profiles whatever
// lies there, and a file they cannot safely read counts as unreadable.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <thread>

#include "SettingsAppFixture.h"

namespace zv::test {
namespace {

using Types = std::vector<int>;

constexpr const char* kSpringBoardPath = "/System/Library/CoreServices/SpringBoard.app/SpringBoard";
constexpr const char* kPreferences = "/var/mobile/Library/Preferences/";
const Types kDefaultLeft{3, 4, 5}, kDefaultCenter{0}, kDefaultRight{16, 13, 11, 8, 7};

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

}  // namespace
}  // namespace zv::test
