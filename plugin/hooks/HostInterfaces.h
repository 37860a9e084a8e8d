// The signatures of the host methods the plug-in replaces or calls, as the
// host's classes define them. A replacement has exactly the signature of the
// method it replaces.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Runtime.h"

namespace zv::host {

using BoolGetter = bool (*)(id, SEL);
using IntegerGetter = std::int64_t (*)(id, SEL);
using ObjectGetter = id (*)(id, SEL);
using Action = void (*)(id, SEL);
using TitleForLevel = std::string (*)(id, SEL, std::int64_t level);
using UpdateForNewData = bool (*)(id, SEL, id data, std::int32_t actions);
using IsTypeExclusive = bool (*)(id cls, SEL, std::int32_t type);
using AppearsInRegion = bool (*)(id, SEL, std::int32_t region);
using SetGrabberHidden = void (*)(id, SEL, bool hidden, id requester);

}  // namespace zv::host
