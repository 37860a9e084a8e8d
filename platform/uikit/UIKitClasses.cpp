#include "uikit/UIKitClasses.h"

#include "uikit/statusbar/StatusBarData.h"
#include "uikit/statusbar/StatusBarItem.h"
#include "uikit/statusbar/StatusBarItemViews.h"
#include "uikit/UIApplication.h"
#include "uikit/UIGraphics.h"
#include "uikit/statusbar/UIStatusBar.h"

void registerUIKitClasses() {
    registerImageClasses();
    registerStatusBarDataClasses();
    registerStatusBarItemClass();
    registerStatusBarItemViewClasses();
    registerStatusBarClass();
    registerApplicationClass();
}
