// Code injection, as the device's injection framework does it: once a host
// process has registered its classes, every library in
// /Library/MobileSubstrate/DynamicLibraries/ of the device root is loaded,
// in name order, and each library's load-time initialisers run then.
#pragma once

#include <string>
#include <vector>

struct InjectionResult {
    std::vector<std::string> loaded;  // device paths of the libraries loaded
    std::vector<std::string> failed;  // "path: reason" of those that could not be
};

inline constexpr const char* kDynamicLibrariesFolder = "/Library/MobileSubstrate/DynamicLibraries/";

InjectionResult injectDynamicLibraries();
