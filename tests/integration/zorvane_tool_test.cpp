// The zorvane program as a person runs it: `show` gives what a running host
// lays out for the same file, and `check` ends with 0, 1 or 2 on every seed
// file of the loader's fuzz corpus and on files that are no settings file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "StatusBarHosts.h"
#include "StatusBarShow.h"

namespace zv::test {
namespace {

constexpr auto kPatience = std::chrono::seconds(60);

struct ToolRun {
    ExitStatus status;
    std::string out;
    std::vector<std::string> errors;
};

ToolRun runZorvane(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "zorvane");
    ChildProcess tool({.executable = ZV_BIN_DIR "/zorvane", .arguments = arguments, .captureStderr = true});
    ToolRun run;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!tool.outputFinished() && std::chrono::steady_clock::now() < deadline) {
        if (auto line = tool.readLine(std::chrono::seconds(1))) run.out += *line + "\n";
    }
    while (auto line = tool.readErrorLine(std::chrono::milliseconds(100))) run.errors.push_back(*line);
    auto status = tool.wait(std::chrono::seconds(5));
    if (!status) status = tool.kill();
    run.status = *status;
    return run;
}

// The item types an SVG picture shows, per region, in order.
json regionsOfPicture(const std::string& svg) {
    json regions{{"left", json::array()}, {"center", json::array()}, {"right", json::array()}};
    const std::regex item("data-region=\"(\\w+)\" data-type=\"(-?\\d+)\"");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), item); it != std::sregex_iterator(); ++it)
        regions[(*it)[1].str()].push_back(std::stoi((*it)[2].str()));
    return regions;
}

class ZorvaneTool : public StatusBarHosts {
protected:
    std::string writeFile(const std::string& name, const std::string& bytes) {
        const std::string path = bus_.root().path() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Checks `zorvane show FILE options --svg` against the host's layout.
    void expectShowMatches(HostProcess& host, const std::string& file, std::vector<std::string> options) {
        const std::string svgPath = bus_.root().path() + "/bar.svg";
        std::filesystem::remove(svgPath);
        std::vector<std::string> arguments{"show", file, "--svg", svgPath};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolRun run = runZorvane(arguments);
        ASSERT_TRUE(run.status.exitedWith(0)) << run.status.describe() << " " << testing::PrintToString(run.errors);

        // The host may still be following a notification: wait for it to
        // settle on what the tool reported, then compare.
        const json shown = regionsOfPicture(readHostFile(svgPath).value_or(""));
        const json hostLayout = layoutBecomes(host, shown["left"], shown["center"], shown["right"]) ? layout(host) : json();
        ASSERT_TRUE(hostLayout.is_object());
        tools::ShownStatusBar bar{hostLayout["left"], hostLayout["center"], hostLayout["right"],
                                  hostLayout["onlyCenter"], hostLayout["width"], {}};
        EXPECT_EQ(run.out, tools::statusBarText(bar));
    }
};

const Layout kPlaced{{{"left", {"11 Bluetooth", "03 SignalStrength (Cellular)", "98 libstatusbar spacer 1", "04 Carrier"}},
                      {"center", {"07 Battery"}},
                      {"right", {"00 Time", "16 Location"}},
                      {"hidden", {"05 DataNetwork (WiFi)"}}},
                     {{"bluetoothConnectedOnly", true}, {"hideBattery", true}}};

TEST_F(ZorvaneTool, ShowGivesWhatARunningSpringBoardLaysOut) {
    const std::string file = writeFile("mine.plist", plistToXml(PlistValue(settingsFile(kPlaced))));
    install(kPlaced);
    HostProcess springBoard = startSpringBoard();
    ASSERT_TRUE(springBoard.ready());
    expectShowMatches(springBoard, file, {});

    // The same user actions on both: Bluetooth connected, the charger plugged
    // in (the system's power-source notification), the screen locked.
    request(springBoard, {{"cmd", "bluetooth"}, {"state", "connected"}});
    request(springBoard, {{"cmd", "battery"}, {"state", 1}});
    request(springBoard, {{"cmd", "charger"}});
    request(springBoard, {{"cmd", "lock"}});
    expectShowMatches(springBoard, file, {"--bluetooth", "connected", "--battery-state", "1", "--locked"});
    // The picture is drawn from the state the host reports: over the dark
    // lock screen (no background of its own), the battery with the charger's bolt.
    const std::string svg = readHostFile(bus_.root().path() + "/bar.svg").value_or("");
    EXPECT_EQ(svg.find("class=\"background\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("class=\"bolt\""), std::string::npos) << svg;
}

TEST_F(ZorvaneTool, ShowSaysWhenTheFileLeavesThePluginOff) {
    const std::string file = writeFile("off.plist", plistToXml(PlistValue(PlistDictionary{{"enabled", false}})));
    const ToolRun run = runZorvane({"show", file});
    ASSERT_TRUE(run.status.exitedWith(0)) << run.status.describe();
    EXPECT_EQ(run.errors, std::vector<std::string>{"zorvane: " + file + ": enabled is false: the plug-in stays off, "
                                                   "so the status bar shown is the system's own"});
    EXPECT_TRUE(run.out.starts_with("Left:")) << run.out;
}

TEST_F(ZorvaneTool, ShowWithAppGivesWhatARunningApplicationLaysOut) {
    const Layout layout{{{"left", {"00 Time"}}, {"right", {"04 Carrier", "99 libstatusbar spacer 2", "13 Alarm"}}}, {}};
    const std::string file = writeFile("app.plist", plistToXml(PlistValue(settingsFile(layout))));
    install(layout);
    HostProcess app = startApp();
    ASSERT_TRUE(app.ready());
    expectShowMatches(app, file, {"--app"});
}

// The picture goes where it is told: through a symlink (which stays one),
// to standard output for "-", and never over a FIFO or a folder. Roots of
// sessions that were killed are removed by the next one.
TEST_F(ZorvaneTool, ShowWritesThePictureWhereItIsTold) {
    const std::string file = writeFile("mine.plist", plistToXml(PlistValue(settingsFile(kPlaced))));
    const std::string folder = bus_.root().path();
    const std::string fifo = folder + "/fifo.svg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder + "/pictures");
    for (const std::string& out : {fifo, folder + "/pictures"}) {
        const ToolRun show = runZorvane({"show", file, "--svg", out});
        EXPECT_TRUE(show.status.exitedWith(2)) << out << ": " << show.status.describe();
        EXPECT_EQ(show.out, "");
        ASSERT_EQ(show.errors.size(), 1u);
        EXPECT_TRUE(show.errors[0].starts_with("zorvane: " + out + ": is a ")) << show.errors[0];
    }
    struct stat status {};
    ASSERT_EQ(::lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // A root left by a killed session (marked, unlocked), one of a live
    // session (locked), and a folder of another naming.
    const auto makeRoot = [](const std::string& path) {
        std::filesystem::create_directory(path);
        std::ofstream(path + "/.zorvane-show-session").flush();
        std::ofstream(path + "/settings.plist") << "x";
    };
    const std::string abandoned = "/tmp/zorvane-show-zvTst1";
    const std::string live = "/tmp/zorvane-show-zvTst2";
    const std::string other = "/tmp/zorvane-show-zvTst";
    for (const std::string& path : {abandoned, live, other}) makeRoot(path);
    const int liveLock = ::open(live.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(liveLock, LOCK_EX | LOCK_NB), 0);

    std::filesystem::create_directory(folder + "/pictures/real");
    const std::string target = folder + "/pictures/real/bar.svg";
    writeFile("pictures/real/bar.svg", "old");
    std::filesystem::create_symlink("pictures/real/bar.svg", folder + "/link.svg");
    const ToolRun linked = runZorvane({"show", file, "--svg", folder + "/link.svg"});
    ASSERT_TRUE(linked.status.exitedWith(0)) << linked.status.describe() << testing::PrintToString(linked.errors);
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "/link.svg"));
    EXPECT_TRUE(readHostFile(target).value_or("").starts_with("<svg")) << readHostFile(target).value_or("");
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_TRUE(std::filesystem::exists(live + "/settings.plist"));
    EXPECT_TRUE(std::filesystem::exists(other + "/settings.plist"));
    ::close(liveLock);
    for (const std::string& path : {abandoned, live, other}) std::filesystem::remove_all(path);

    // "-": the picture alone on standard output, the text on standard error.
    const ToolRun toOutput = runZorvane({"show", file, "--svg", "-"});
    ASSERT_TRUE(toOutput.status.exitedWith(0)) << toOutput.status.describe();
    EXPECT_TRUE(toOutput.out.starts_with("<svg")) << toOutput.out;
    ASSERT_FALSE(toOutput.errors.empty());
    EXPECT_TRUE(toOutput.errors[0].starts_with("Left: ")) << toOutput.errors[0];
    EXPECT_FALSE(std::filesystem::exists(folder + "/-"));
}

TEST_F(ZorvaneTool, CheckEndsWithZeroOneOrTwoOnEverySeedFile) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(ZV_FUZZ_CORPUS_DIR)) files.push_back(entry.path());
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        const ToolRun run = runZorvane({"check", "--json", file});
        EXPECT_FALSE(run.status.signalled) << file << ": " << run.status.describe();
        EXPECT_TRUE(run.status.code >= 0 && run.status.code <= 2) << file << ": " << run.status.describe();
        const json report = json::parse(run.out, nullptr, false);
        ASSERT_TRUE(report.is_object()) << file << ": " << run.out;
        EXPECT_EQ(report["status"], run.status.code) << file;
    }
}

TEST_F(ZorvaneTool, FilesThatAreNoSettingsFileGetOneLineAndStatusTwo) {
    const std::string fifo = bus_.root().path() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = bus_.root().path();
    const std::string binaryArray = writeFile("array.bin", "bplist00\xA0\x08\0\0\0\0\0\0\x01\x01" +
                                                               std::string(7, '\0') + "\x01" + std::string(8, '\0') +
                                                               std::string(7, '\0') + "\x09");
    for (const std::string& file : {fifo, folder, folder + "/missing.plist", binaryArray}) {
        const ToolRun check = runZorvane({"check", file});
        EXPECT_TRUE(check.status.exitedWith(2)) << file << ": " << check.status.describe();
        EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 1) << check.out;
        EXPECT_TRUE(check.out.starts_with(file + ": error: ")) << check.out;

        const ToolRun show = runZorvane({"show", file});
        EXPECT_TRUE(show.status.exitedWith(2)) << file << ": " << show.status.describe();
        EXPECT_EQ(show.out, "");
        ASSERT_EQ(show.errors.size(), 1u);
        EXPECT_TRUE(show.errors[0].starts_with("zorvane: " + file + ": ")) << show.errors[0];
    }
}

}  // namespace
}  // namespace zv::test
