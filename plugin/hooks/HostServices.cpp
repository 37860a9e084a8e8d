#include "hooks/HostServices.h"

#include <cstring>

#include "uikit/UIGraphics.h"

namespace zv::host {

namespace {

// A host class looked up by name on first use. A class that is missing is
// looked up again on the next use, so a class registered later is found.
class CachedClass {
public:
    explicit CachedClass(const char* name) : name_(name) {}
    Class get() {
        if (!cls_) cls_ = objc_getClass(name_);
        return cls_;
    }
    id object() { return class_asObject(get()); }

private:
    const char* name_;
    Class cls_ = nullptr;
};

struct HostClasses {
    CachedClass application{"UIApplication"};
    CachedClass aggregator{"SBStatusBarStateAggregator"};
    CachedClass lockScreenManager{"SBLockScreenManager"};
    CachedClass bluetoothManager{"BluetoothManager"};
};

HostClasses& classes() {
    static HostClasses c;
    return c;
}

struct Selectors {
    SEL sharedApplication = sel_registerName("sharedApplication");
    SEL sharedInstance = sel_registerName("sharedInstance");
    SEL statusBar = sel_registerName("statusBar");
    SEL setShowsOnlyCenterItems = sel_registerName("setShowsOnlyCenterItems:");
    SEL resetTimeItemFormatter = sel_registerName("_resetTimeItemFormatter");
    SEL updateTimeItems = sel_registerName("_updateTimeItems");
    SEL setItemEnabled = sel_registerName("_setItem:enabled:");
    SEL updateStatusBarItem = sel_registerName("updateStatusBarItem:");
    SEL relaunchSpringBoardNow = sel_registerName("_relaunchSpringBoardNow");
    SEL isUILocked = sel_registerName("isUILocked");
    SEL enabled = sel_registerName("enabled");
    SEL connected = sel_registerName("connected");
    SEL destinationText = sel_registerName("destinationText");
    SEL rawData = sel_registerName("rawData");
    SEL setImage = sel_registerName("setImage:");
};

const Selectors& sel() {
    static const Selectors s;
    return s;
}

constexpr std::size_t kBatteryStateOffset = 1544;

id sharedApplication() { return objc_msgSend<id>(classes().application.object(), sel().sharedApplication); }

}  // namespace

bool isUILocked() {
    id manager = objc_msgSend<id>(classes().lockScreenManager.object(), sel().sharedInstance);
    return objc_msgSend<bool>(manager, sel().isUILocked);
}

bool isBluetoothDeviceConnected() {
    id manager = objc_msgSend<id>(classes().bluetoothManager.object(), sel().sharedInstance);
    if (!manager) return false;
    if (!objc_msgSend<bool>(manager, sel().enabled)) return false;
    return objc_msgSend<bool>(manager, sel().connected);
}

std::string destinationText(id view) { return objc_msgSend<std::string>(view, sel().destinationText); }

std::int32_t batteryState(id data) {
    const void* raw = objc_msgSend<const void*>(data, sel().rawData);
    if (!raw) return 0;
    std::int32_t state = 0;
    std::memcpy(&state, static_cast<const unsigned char*>(raw) + kBatteryStateOffset, sizeof state);
    return state;
}

id applicationStatusBar() { return objc_msgSend<id>(sharedApplication(), sel().statusBar); }

void setShowsOnlyCenterItems(id statusBar, bool onlyCenter) {
    objc_msgSend(statusBar, sel().setShowsOnlyCenterItems, onlyCenter);
}

id stateAggregator() { return objc_msgSend<id>(classes().aggregator.object(), sel().sharedInstance); }

void resetTimeItemFormatter(id aggregator) { objc_msgSend(aggregator, sel().resetTimeItemFormatter); }
void updateTimeItems(id aggregator) { objc_msgSend(aggregator, sel().updateTimeItems); }

void setItemEnabled(id aggregator, std::int32_t type, bool enabled) {
    objc_msgSend(aggregator, sel().setItemEnabled, type, enabled);
}

void updateStatusBarItem(id aggregator, std::int32_t type) {
    objc_msgSend(aggregator, sel().updateStatusBarItem, type);
}

void relaunchSpringBoardNow() { objc_msgSend(sharedApplication(), sel().relaunchSpringBoardNow); }

id transparentImage(double width, double height) {
    UIGraphicsBeginImageContext(CGSize{width, height});
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColorGetCGColor(UIColor::clearColor()));
    CGContextFillRect(context, CGRectMake(0, 0, width, height));
    id image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

void setImage(id imageSet, id image) { objc_msgSend(imageSet, sel().setImage, image); }

}  // namespace zv::host
