// The menu bar of a window: the MenuBar property, and the bar's place in
// the native window's menu box while the window is open. A bar shown by a
// second window moves there; closing the window takes the bar down so that
// it outlives the widgets of the window.
#include "Application.h"
#include "MenuItem.h"
#include "RuntimeErrorReport.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "XMenuGTK.h"

namespace windows {

void InstallMenuBar(WindowObject *w) {
    auto *bar = static_cast<XMenuGTK *>(menus::BarRecordOf(w->menuBar));
    if (bar != nullptr && w->mImp != nullptr) bar->InstallIn(w->mImp->MenuBox());
}

void TakeDownMenuBar(WindowObject *w) {
    auto *bar = static_cast<XMenuGTK *>(menus::BarRecordOf(w->menuBar));
    if (bar != nullptr && w->mImp != nullptr) bar->TakeDownFrom(w->mImp->MenuBox());
}

} // namespace windows

extern "C" {

RuntimeObject *WindowMenuBarGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return nullptr;
    RuntimeLockObject(w->menuBar);
    return w->menuBar;
}

void WindowMenuBarSetter(RuntimeObject *window, int32_t, RuntimeObject *menuBar) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    KQ_ASSERT_TEXT(KQ_WINDOW_SOURCE, application::Current() != nullptr, "app",
                   "You don't have an application object and we're expecting one");
    if (menuBar == w->menuBar) return;
    windows::TakeDownMenuBar(w);
    RuntimeLockObject(menuBar);
    RuntimeUnlockObject(w->menuBar);
    w->menuBar = menuBar;
    windows::InstallMenuBar(w);
}

// The item of that name in the window's menu bar (a new reference), or
// none: what the image's window classes return for their menu-item
// properties.
RuntimeObject *RuntimeMenuReference(RuntimeObject *window, KESTstring *name) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || w->menuBar == nullptr) return nullptr;
    return RuntimeMenuItemLookup(w->menuBar, name);
}

} // extern "C"
