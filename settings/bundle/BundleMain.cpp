// The bundle's load-time initialiser: when the Settings application loads
// the bundle's library, its three page classes become known by name, so the
// framework can create the root page (the Info.plist's NSPrincipalClass)
// and the two pages the root page's link rows name.
#include "ZVProfileController.h"
#include "ZVSortOrderController.h"
#include "ZorvaneSettingsListController.h"
#include "preferences/PageRegistry.h"

namespace {

__attribute__((constructor)) void registerZorvanePages() {
    PageRegistry::registerPage<ZorvaneSettingsListController>("ZorvaneSettingsListController");
    PageRegistry::registerPage<ZVSortOrderController>("ZVSortOrderController");
    PageRegistry::registerPage<ZVProfileController>("ZVProfileController");
}

}  // namespace
