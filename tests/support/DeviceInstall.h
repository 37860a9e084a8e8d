// Installs the staged deliverables (the plug-in library, the Settings
// bundle) into a device root at their device paths, as a package install
// on a phone would.
#pragma once

#include <string>

namespace zv::test {

// Copies the build's stage tree into hostRoot; returns false on failure.
bool installDeliverables(const std::string& hostRoot);

}  // namespace zv::test
