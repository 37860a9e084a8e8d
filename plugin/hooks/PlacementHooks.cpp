// Replacements of the placement questions UIStatusBarItem answers: each
// gathers the inputs, asks the rule, and calls the previous implementation
// when the rule defers to it.
#include "PlacementRules.h"
#include "hooks/HostServices.h"
#include "hooks/PluginState.h"
#include "hooks/Replacements.h"

namespace zv::hooks {

host::IsTypeExclusive previousIsItemWithTypeExclusive = nullptr;
host::AppearsInRegion previousAppearsInRegion = nullptr;
host::IntegerGetter previousLeftOrder = nullptr;
host::IntegerGetter previousCenterOrder = nullptr;
host::IntegerGetter previousRightOrder = nullptr;
host::BoolGetter previousAppearsOnLeft = nullptr;
host::BoolGetter previousAppearsOnRight = nullptr;

namespace {

RuntimeFlags runtimeFlags() { return RuntimeFlags{isNotificationCenterPresented, lastBatteryState}; }

std::int64_t orderAnswer(id self, SEL cmd, rules::OrderQuestion question, host::IntegerGetter previous) {
    return rules::order(pluginSettings(), host::itemType(self), question).resolve([&] { return previous(self, cmd); });
}

bool sideAnswer(id self, SEL cmd, rules::SideQuestion question, host::BoolGetter previous) {
    return rules::appearsOnSide(pluginSettings(), host::itemType(self), question).resolve([&] {
        return previous(self, cmd);
    });
}

}  // namespace

bool isItemWithTypeExclusive(id cls, SEL _cmd, std::int32_t type) {
    return rules::isItemWithTypeExclusive(pluginSettings(), type).resolve([&] {
        return previousIsItemWithTypeExclusive(cls, _cmd, type);
    });
}

bool appearsInRegion(id self, SEL _cmd, std::int32_t region) {
    const host::HostLiveState live;
    return rules::appearsInRegion(pluginSettings(), host::itemType(self), region, runtimeFlags(), live).resolve([&] {
        return previousAppearsInRegion(self, _cmd, region);
    });
}

std::int64_t leftOrder(id self, SEL _cmd) {
    return orderAnswer(self, _cmd, rules::OrderQuestion::Left, previousLeftOrder);
}
std::int64_t centerOrder(id self, SEL _cmd) {
    return orderAnswer(self, _cmd, rules::OrderQuestion::Center, previousCenterOrder);
}
std::int64_t rightOrder(id self, SEL _cmd) {
    return orderAnswer(self, _cmd, rules::OrderQuestion::Right, previousRightOrder);
}
bool appearsOnLeft(id self, SEL _cmd) { return sideAnswer(self, _cmd, rules::SideQuestion::Left, previousAppearsOnLeft); }
bool appearsOnRight(id self, SEL _cmd) {
    return sideAnswer(self, _cmd, rules::SideQuestion::Right, previousAppearsOnRight);
}

}  // namespace zv::hooks
