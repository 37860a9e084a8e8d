#include "LauncherOptions.h"

#include <CLI/CLI.hpp>

#include "self/ProgramVersion.h"

namespace zv::device {

ParsedCommandLine parseLauncherCommandLine(const std::vector<std::string>& arguments) {
    LauncherOptions options;
    bool noScreen = false;
    CLI::App app{"Starts the simulated device: its bus, SpringBoard, an application and the Settings "
                 "application, and serves its screen in the browser.",
                 "zv-launcher"};
    app.add_option("--root", options.root,
                   "device root folder, yours alone; one launcher at a time (default: the embedded device at "
                   "$XDG_STATE_HOME/zorvane/device, or ~/.local/state/zorvane/device, kept between starts)")
        ->check([](const std::string& value) { return value.empty() ? std::string("must not be empty") : ""; });
    app.add_option("--port", options.port, "port of the screen on 127.0.0.1 (default 8370; 0 picks a free one)")
        ->check(CLI::Range(0, 65535));
    app.add_flag("--no-screen", noScreen, "serve no screen: the terminal only");
    const std::string version = versionLine("zv-launcher");
    app.set_version_flag("--version", version);

    // CLI11 takes the arguments last to first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    ParsedCommandLine parsed;
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.output = app.help();
        return parsed;
    } catch (const CLI::CallForVersion&) {
        parsed.output = version + "\n";
        return parsed;
    } catch (const CLI::ParseError& e) {
        std::string what = e.what();
        for (char& c : what)
            if (c == '\n') c = ' ';
        parsed.error = "zv-launcher: " + what + " (zv-launcher --help lists the options)";
        parsed.exitStatus = kUsageExitStatus;
        return parsed;
    }
    options.screen = !noScreen;
    parsed.options = options;
    return parsed;
}

}  // namespace zv::device
