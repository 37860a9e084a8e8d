#include "bluetooth/BluetoothManager.h"

#include <memory>

#include "runtime/ClassDefinition.h"
#include "uikit/HostTrace.h"

using namespace zv::platform;

namespace {

std::unique_ptr<BluetoothManager>& manager() {
    static std::unique_ptr<BluetoothManager> m;
    return m;
}

id sharedInstance(id self, SEL cmd) {
    recordHostCall(self, cmd);
    BluetoothManager* m = manager().get();
    return m && m->state != BluetoothState::Absent ? m : nullptr;
}

bool enabled(id self, SEL cmd) {
    recordHostCall(self, cmd);
    const BluetoothState state = asHostObject<BluetoothManager>(self).state;
    return state == BluetoothState::On || state == BluetoothState::Connected;
}

bool connected(id self, SEL cmd) {
    recordHostCall(self, cmd);
    return asHostObject<BluetoothManager>(self).state == BluetoothState::Connected;
}

}  // namespace

void registerBluetoothClasses() {
    Class cls = defineClass("BluetoothManager");
    addClassMethod(cls, "sharedInstance", &sharedInstance);
    addMethod(cls, "enabled", &enabled);
    addMethod(cls, "connected", &connected);
    if (!manager()) manager() = makeObject<BluetoothManager>("BluetoothManager");
}

BluetoothManager& bluetoothManager() {
    if (!manager()) manager() = makeObject<BluetoothManager>("BluetoothManager");
    return *manager();
}
