// The UIKit classes a status-bar host registers in the object runtime, with
// their default ("previous") behaviour.
#pragma once

void registerUIKitClasses();
