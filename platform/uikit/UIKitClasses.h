// The UIKit classes a status-bar host registers in the object runtime, with
// their default ("previous") behaviour (docs/host-classes.md): status-bar
// items, the status bar, its item views and data, images and image sets,
// and the application.
#pragma once

void registerUIKitClasses();
