// Settings pages by class name. A Settings bundle registers its page
// classes when it is loaded (a load-time constructor in the bundle's
// library); the Settings framework creates pages by the names in specifier
// lists ("detail") and in the bundle's Info.plist ("NSPrincipalClass").
//
// Registrations are attributed to the bundle being loaded at the time
// (NSBundle::bundlePathBeingLoaded), so a page knows where its resources are.
// Bundles are never unloaded, so factories stay valid for the process's life.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "preferences/PSViewController.h"

using PageFactory = std::function<std::shared_ptr<PSViewController>()>;

class PageRegistry {
public:
    // False, and the earlier registration stays, when the name is taken or
    // the factory is empty.
    static bool registerPage(std::string className, PageFactory factory);
    template <class T>
    static bool registerPage(std::string className) {
        return registerPage(std::move(className), [] { return std::make_shared<T>(); });
    }

    // A new, uninitialised page of the class, with its bundle path set; null
    // when the name is not registered or the factory makes nothing.
    static std::shared_ptr<PSViewController> create(std::string_view className);
    static bool isRegistered(std::string_view className);
    static std::vector<std::string> registeredClassNames();
};
