#include "uikit/statusbar/StatusBarData.h"

#include "runtime/ClassDefinition.h"

using namespace zv::platform;

namespace {

const void* rawData(id self, SEL) { return asHostObject<UIStatusBarComposedData>(self).raw.bytes.data(); }

}  // namespace

void registerStatusBarDataClasses() { addMethod(defineClass("UIStatusBarComposedData"), "rawData", &rawData); }
