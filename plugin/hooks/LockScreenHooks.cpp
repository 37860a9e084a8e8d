// Replacements of SpringBoard's lock-screen and notification-centre methods.
#include "hooks/Replacements.h"

namespace zv::hooks {

host::SetGrabberHidden previousSetTopGrabberHidden = nullptr;
host::SetGrabberHidden previousSetBottomGrabberHidden = nullptr;
host::BoolGetter previousShouldShowLockStatusBarTime = nullptr;
host::Action previousHostWillDismiss = nullptr;
host::Action previousHostWillPresent = nullptr;
host::Action previousHostDidDismiss = nullptr;

void setTopGrabberHidden(id self, SEL _cmd, bool hidden, id requester) {
    previousSetTopGrabberHidden(self, _cmd, hidden, requester);
}

void setBottomGrabberHidden(id self, SEL _cmd, bool hidden, id requester) {
    previousSetBottomGrabberHidden(self, _cmd, hidden, requester);
}

bool shouldShowLockStatusBarTime(id self, SEL _cmd) { return previousShouldShowLockStatusBarTime(self, _cmd); }

void hostWillDismiss(id self, SEL _cmd) { previousHostWillDismiss(self, _cmd); }
void hostWillPresent(id self, SEL _cmd) { previousHostWillPresent(self, _cmd); }
void hostDidDismiss(id self, SEL _cmd) { previousHostDidDismiss(self, _cmd); }

}  // namespace zv::hooks
