// zorvane: checks and shows a person's own settings and profile files.
//
//   zorvane check FILE... [--json]   what the plug-in's loader will do with each file
//   zorvane show FILE [--svg OUT|-] [--locked] [--bluetooth off|on|connected]
//                [--battery-state N] [--app] [--width 320|375|414]
//                                    the status bar the file gives, from a real host
//   zorvane --version
//
// Exit status of check: 0 clean, 1 warnings only, 2 a file cannot be used.
// Exit status of show: 0 shown, 2 the file cannot be used or the status bar
// could not be computed. Bad command lines exit with 2 as well. The manual
// page, zorvane.1 beside this file, lists every option --help lists.
#include <CLI/CLI.hpp>

#include <iostream>

#include "CheckReport.h"
#include "HostSession.h"
#include "InputFile.h"
#include "OutputFile.h"
#include "SettingsCheck.h"
#include "StatusBarShow.h"
#include "Wording.h"
#include "control/DeviceWords.h"
#include "control/LayoutPicture.h"
#include "control/PhoneClock.h"
#include "self/ProgramLocations.h"
#include "self/ProgramVersion.h"

namespace {

using namespace zv::tools;

constexpr int kFailure = 2;

int runCheck(const std::vector<std::string>& paths, bool json) {
    std::vector<CheckedFile> files;
    for (const std::string& path : paths) files.push_back({path, checkSettings(readInputFile(path))});
    std::cout << (json ? checkReportJson(files) : checkReportText(files)) << std::flush;
    return checkExitStatus(files);
}

int runShow(const std::string& path, const std::string& svgPath, const ShowOptions& options) {
    if (options.locked && options.app) {
        std::cerr << "zorvane: --locked needs SpringBoard's status bar; leave out --app\n";
        return kFailure;
    }
    const InputFile input = readInputFile(path);
    if (!input.settings) {
        std::cerr << "zorvane: " << printable(path) << ": " << input.problem << "\n";
        return kFailure;
    }
    const OutputFile svgFile = resolveOutputFile(svgPath);
    if (!svgPath.empty() && !svgFile.problem.empty()) {
        std::cerr << "zorvane: " << printable(svgFile.path) << ": " << svgFile.problem << "\n";
        return kFailure;
    }
    HostSession::cleanUpOnInterrupt();
    ShownLayout shown;
    try {
        shown = showStatusBar(input.bytes, options, zv::currentProgramLocations());
    } catch (const HostSessionError& e) {
        std::cerr << "zorvane: " << printable(path) << ": " << e.what() << "\n";
        return kFailure;
    }
    // The loader's own finding says when the file leaves the plug-in off:
    // what follows is then the system's layout, not the file's.
    for (const Finding& finding : checkSettings(input).findings) {
        if (finding.kind == "pluginOff")
            std::cerr << "zorvane: " << printable(path) << ": " << finding.message
                      << ", so the status bar shown is the system's own\n";
    }
    // With the picture on standard output, the text goes to standard error.
    (svgFile.path == "-" ? std::cerr : std::cout) << statusBarText(shown.bar) << std::flush;
    if (!svgPath.empty()) {
        const std::string svg = zv::statusBarSvg(zv::control::layoutPicture(shown.event, zv::control::phoneClockText()));
        std::string problem;
        if (!writeOutputFile(svgFile, svg, problem)) {
            std::cerr << "zorvane: " << printable(svgFile.path) << ": " << problem << "\n";
            return kFailure;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks and shows Zorvane settings and profile files."};
    app.require_subcommand(1);
    app.set_version_flag("--version", zv::versionLine("zorvane"));

    std::vector<std::string> checkPaths;
    bool json = false;
    CLI::App* check = app.add_subcommand("check", "List what the plug-in will do with each file (exit 0 clean, "
                                                  "1 warnings, 2 a file cannot be used)");
    check->add_option("FILE", checkPaths, "settings or profile files")->required();
    check->add_flag("--json", json, "print the findings as one JSON document");

    std::string showPath;
    std::string svgPath;
    ShowOptions options;
    std::optional<std::string> bluetooth;
    // "absent" is the host's own state, not one the tool can set.
    std::vector<std::string> bluetoothWords;
    for (BluetoothState state : zv::control::kBluetoothStates)
        if (state != BluetoothState::Absent) bluetoothWords.push_back(zv::control::bluetoothWord(state));
    int batteryState = 0;
    CLI::App* show = app.add_subcommand("show", "Show the status bar a file gives, computed by the plug-in in a "
                                                "simulated SpringBoard or application");
    show->add_option("FILE", showPath, "settings or profile file")->required();
    show->add_option("--svg", svgPath, "also draw the status bar as an SVG picture into this file (- for standard output, the text then going to standard error)");
    show->add_flag("--locked", options.locked, "SpringBoard's screen is locked");
    show->add_option("--bluetooth", bluetooth, "the Bluetooth state")
        ->check(CLI::IsMember(bluetoothWords));
    CLI::Option* battery = show->add_option("--battery-state", batteryState,
                                            "the battery-state field of the status-bar data (0 not on external "
                                            "power, 1 charging, 2 charged)");
    show->add_flag("--app", options.app, "an application's status bar instead of SpringBoard's");
    show->add_option("--width", options.width, "the phone's width in points (the status bar leaves out what "
                                               "does not fit)")
        ->check(CLI::IsMember(
            std::vector<int>(std::begin(zv::control::kPhoneWidths), std::end(zv::control::kPhoneWidths))));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : kFailure;
    }

    if (*check) return runCheck(checkPaths, json);

    if (bluetooth) options.bluetooth = zv::control::bluetoothStateNamed(*bluetooth);
    if (*battery) options.batteryState = batteryState;
    return runShow(showPath, svgPath, options);
}
