// The methods of this host's classes that an injected library may replace,
// with the implementation the host registered for each, so the host can
// tell which of them are replaced now.
#pragma once

#include <string>
#include <vector>

#include "runtime/Runtime.h"

namespace zv::device {

struct HookableMethod {
    std::string className;
    std::string selector;
    bool classMethod = false;
    IMP original = nullptr;  // null when the class is not registered in this process
};

// Records the current implementations; call after registering the classes
// and before injecting.
std::vector<HookableMethod> recordHookableMethods();

// Whether the method's implementation in force differs from the recorded one.
bool isReplaced(const HookableMethod& method);

}  // namespace zv::device
