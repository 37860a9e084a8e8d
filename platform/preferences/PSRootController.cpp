#include "preferences/PSRootController.h"

#include "preferences/PageRegistry.h"

std::shared_ptr<PSViewController> PSRootController::controllerForClassName(std::string_view className,
                                                                           const PSSpecifier& specifier,
                                                                           std::string* error) {
    auto controller = PageRegistry::create(className);
    if (!controller) {
        if (error) *error = "no page class named " + std::string(className);
        return nullptr;
    }
    controller->setRootController(this);
    controller->setSpecifier(specifier);
    if (!controller->initForContentSize(contentSize_)) {
        if (error) *error = std::string(className) + " did not initialise";
        return nullptr;
    }
    return controller;
}

void PSRootController::pushController(std::shared_ptr<PSViewController> controller) {
    if (!controller) return;
    auto previous = topController();
    if (previous) previous->viewWillDisappear(true);
    controller->setRootController(this);
    controllers_.push_back(controller);
    controller->view();
    controller->viewWillAppear(true);
    controller->viewDidAppear(true);
    if (previous) previous->viewDidDisappear(true);
}

bool PSRootController::popController() {
    if (controllers_.size() <= 1) return false;
    auto leaving = controllers_.back();  // alive until the calls below are over
    leaving->viewWillDisappear(true);
    controllers_.pop_back();
    auto showing = controllers_.back();
    showing->viewWillAppear(true);
    leaving->viewDidDisappear(true);
    showing->viewDidAppear(true);
    return true;
}

std::shared_ptr<PSViewController> PSRootController::topController() const {
    return controllers_.empty() ? nullptr : controllers_.back();
}
