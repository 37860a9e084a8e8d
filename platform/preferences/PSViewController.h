// A page of the Settings application (Preferences.framework's
// PSViewController). Pages are ordinary C++ classes, created by class name
// through the PageRegistry and owned by the navigation stack
// (PSRootController) as shared objects.
//
// Life of a page: created by its factory; initForContentSize (whose base
// version calls init) — a false result means the page could not be made;
// view() on first use loads the view (loadView, then viewDidLoad); then
// viewWillAppear / viewWillDisappear as the user comes and goes.
//
// Keyword operations translate as: initForContentSize: -> initForContentSize,
// viewWillAppear: -> viewWillAppear(animated) ...
#pragma once

#include <memory>
#include <string>

#include "uikit/CGGeometry.h"
#include "preferences/PSSpecifier.h"
#include "uikit/views/UIView.h"

class PSRootController;

class PSViewController : public std::enable_shared_from_this<PSViewController> {
public:
    PSViewController() = default;
    virtual ~PSViewController() = default;
    PSViewController(const PSViewController&) = delete;
    PSViewController& operator=(const PSViewController&) = delete;

    // Base: YES; the content size is the main screen's.
    virtual bool init();
    // Base: records the size, then returns init().
    virtual bool initForContentSize(CGSize size);
    CGSize contentSize() const { return contentSize_; }

    // The page's view, loaded on first use.
    virtual std::shared_ptr<UIView> view();
    virtual void setView(std::shared_ptr<UIView> view);
    bool isViewLoaded() const { return view_ != nullptr; }
    // Base: a plain view of the content size.
    virtual void loadView();

    virtual std::string title() const { return title_; }
    virtual void setTitle(std::string title) { title_ = std::move(title); }

    // Base versions do nothing.
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated);
    virtual void viewDidAppear(bool animated);
    virtual void viewWillDisappear(bool animated);
    virtual void viewDidDisappear(bool animated);

    // The specifier of the row that opened the page (empty for the root).
    const PSSpecifier& specifier() const { return specifier_; }
    void setSpecifier(PSSpecifier specifier) { specifier_ = std::move(specifier); }

    // The navigation stack showing the page; null before it is pushed. Not
    // owned: the stack owns the page.
    PSRootController* rootController() const { return rootController_; }
    void setRootController(PSRootController* controller) { rootController_ = controller; }

    // The device path of the bundle whose code defines the page's class ("" for
    // none); set by the registry that created it. Resources are read from here.
    const std::string& bundlePath() const { return bundlePath_; }
    void setBundlePath(std::string path) { bundlePath_ = std::move(path); }

    // This page as a shared object of a class it derives from (a delegate
    // interface); null when the page is not owned by a shared pointer.
    template <class T>
    std::shared_ptr<T> sharedSelf() {
        return std::dynamic_pointer_cast<T>(weak_from_this().lock());
    }

private:
    CGSize contentSize_;
    std::shared_ptr<UIView> view_;
    std::string title_;
    PSSpecifier specifier_;
    PSRootController* rootController_ = nullptr;
    std::string bundlePath_;
};
