// Replacements of the placement questions UIStatusBarItem answers.
#include "hooks/Replacements.h"

namespace zv::hooks {

host::IsTypeExclusive previousIsItemWithTypeExclusive = nullptr;
host::AppearsInRegion previousAppearsInRegion = nullptr;
host::IntegerGetter previousLeftOrder = nullptr;
host::IntegerGetter previousCenterOrder = nullptr;
host::IntegerGetter previousRightOrder = nullptr;
host::BoolGetter previousAppearsOnLeft = nullptr;
host::BoolGetter previousAppearsOnRight = nullptr;

bool isItemWithTypeExclusive(id cls, SEL _cmd, std::int32_t type) {
    return previousIsItemWithTypeExclusive(cls, _cmd, type);
}

bool appearsInRegion(id self, SEL _cmd, std::int32_t region) { return previousAppearsInRegion(self, _cmd, region); }

std::int64_t leftOrder(id self, SEL _cmd) { return previousLeftOrder(self, _cmd); }
std::int64_t centerOrder(id self, SEL _cmd) { return previousCenterOrder(self, _cmd); }
std::int64_t rightOrder(id self, SEL _cmd) { return previousRightOrder(self, _cmd); }
bool appearsOnLeft(id self, SEL _cmd) { return previousAppearsOnLeft(self, _cmd); }
bool appearsOnRight(id self, SEL _cmd) { return previousAppearsOnRight(self, _cmd); }

}  // namespace zv::hooks
