#include "preferences/PageRegistry.h"

#include <map>

#include "foundation/NSBundle.h"

namespace {

struct Registration {
    PageFactory factory;
    std::string bundlePath;
};

// Process-wide, used on the main thread only (bundles load there).
std::map<std::string, Registration, std::less<>>& registrations() {
    static std::map<std::string, Registration, std::less<>> map;
    return map;
}

}  // namespace

bool PageRegistry::registerPage(std::string className, PageFactory factory) {
    if (!factory || className.empty()) return false;
    return registrations().try_emplace(std::move(className), Registration{std::move(factory), NSBundle::bundlePathBeingLoaded()}).second;
}

std::shared_ptr<PSViewController> PageRegistry::create(std::string_view className) {
    auto it = registrations().find(className);
    if (it == registrations().end()) return nullptr;
    auto page = it->second.factory();
    if (page) page->setBundlePath(it->second.bundlePath);
    return page;
}

bool PageRegistry::isRegistered(std::string_view className) {
    return registrations().find(className) != registrations().end();
}

std::vector<std::string> PageRegistry::registeredClassNames() {
    std::vector<std::string> names;
    for (const auto& [name, registration] : registrations()) names.push_back(name);
    return names;
}
