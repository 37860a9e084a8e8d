// Where a Zorvane program finds what it runs with: the simulated processes
// (zv-host, zv-settings-app), the staged deliverables and the screen's page.
//
// Installed, they lie at fixed places relative to the program's own folder
// (bin/ → lib/zorvane/ and share/zorvane/page/), so the installed tree can be
// moved as a whole. In the build tree the programs lie together in device/,
// the stage beside that folder and the page in the source folder. A program
// finds itself through /proc/self/exe: the simulated processes run with
// argv[0] set to a device path.
#pragma once

#include <string>

namespace zv {

struct ProgramLocations {
    std::string programs;  // the folder of zv-host and zv-settings-app
    std::string stage;     // the deliverables at their device paths, to copy into a device root
    std::string page;      // the screen's page (index.html and what it loads)
};

// The locations for the running program: the installed layout when it is
// there beside the program, else the build tree's.
ProgramLocations currentProgramLocations();

}  // namespace zv
