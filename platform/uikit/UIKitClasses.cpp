#include "uikit/UIKitClasses.h"

#include "uikit/StatusBarData.h"
#include "uikit/StatusBarItem.h"
#include "uikit/StatusBarItemViews.h"
#include "uikit/UIApplication.h"
#include "uikit/UIGraphics.h"
#include "uikit/UIStatusBar.h"

void registerUIKitClasses() {
    registerImageClasses();
    registerStatusBarDataClasses();
    registerStatusBarItemClass();
    registerStatusBarItemViewClasses();
    registerStatusBarClass();
    registerApplicationClass();
}
