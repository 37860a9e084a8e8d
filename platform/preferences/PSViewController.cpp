#include "preferences/PSViewController.h"

#include "uikit/views/UIScreen.h"

bool PSViewController::init() {
    if (contentSize_.width <= 0 || contentSize_.height <= 0) contentSize_ = UIScreen::mainScreen().bounds().size;
    return true;
}

bool PSViewController::initForContentSize(CGSize size) {
    contentSize_ = size;
    return init();
}

std::shared_ptr<UIView> PSViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) view_ = std::make_shared<UIView>(CGRect{{0, 0}, contentSize_});
        viewDidLoad();
    }
    return view_;
}

void PSViewController::setView(std::shared_ptr<UIView> view) { view_ = std::move(view); }

void PSViewController::loadView() { view_ = std::make_shared<UIView>(CGRect{{0, 0}, contentSize_}); }

void PSViewController::viewWillAppear(bool) {}
void PSViewController::viewDidAppear(bool) {}
void PSViewController::viewWillDisappear(bool) {}
void PSViewController::viewDidDisappear(bool) {}
