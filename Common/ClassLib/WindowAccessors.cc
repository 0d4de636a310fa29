// The property accessors of `Window` (see WindowAccessors.h): each stores
// its value in the window object and, while the window is open, applies it
// to the native window at once.
#include "WindowAccessors.h"

#include "ContainerControl.h"
#include "Control.h"
#include "GTKHelper.h"
#include "Graphics.h"
#include "MouseCursor.h"
#include "RuntimeErrorReport.h"
#include "RuntimeViewWindow.h"

namespace {

GtkWindow *Toplevel(WindowObject *w) {
    return w->mImp != nullptr ? GTK_WINDOW(w->mImp->Toplevel()) : nullptr;
}

void ApplyLimits(WindowObject *w) {
    if (w->mImp != nullptr) w->mImp->SetSizeLimits(w->limits, w->resizeable);
}

int32_t Handle(WindowObject *w) {
    return w != nullptr ? int32_t(reinterpret_cast<intptr_t>(Toplevel(w))) : 0;
}

// A stored Boolean byte of the window.
bool Flag(RuntimeObject *window, uint8_t WindowObject::*field, int line) {
    WindowObject *w = windows::Checked(window, line);
    return w != nullptr && w->*field != 0;
}

} // namespace

namespace windows {

WindowObject *Checked(RuntimeObject *window, int line) {
    if (window == nullptr)
        RuntimeErrorReport(kRuntimeErrorFailedAssertion, KQ_WINDOW_SOURCE, line, "window", nullptr);
    return reinterpret_cast<WindowObject *>(window);
}

void ApplyBackColor(WindowObject *w) {
    if (w->mImp == nullptr) return;
    GdkColor color = gtkhelper::ColorOf(w->backColor);
    gtk_widget_modify_bg(w->mImp->Toplevel(), GTK_STATE_NORMAL, w->hasBackColor ? &color : nullptr);
}

void ApplyStoredProperties(WindowObject *w) {
    RuntimeViewWindow *native = w->mImp;
    if (native == nullptr) return;
    GtkWindow *top = GTK_WINDOW(native->Toplevel());
    gtk_window_set_deletable(top, w->closeBox);
    if (w->fullScreen) gtk_window_fullscreen(top);
    gtk_widget_set_visible(native->MenuBox(), w->menuBarVisible);
    ApplyLimits(w);
    ApplyBackColor(w);
    kstr::StringRef help(kstr::ToUTF8(w->balloonHelp));
    if (w->balloonHelp != nullptr)
        gtk_widget_set_tooltip_text(native->Content(), kstr::Text(help.Get()));
    if (w->mouseCursor != nullptr && gtk_widget_get_window(native->Toplevel()) != nullptr)
        gdk_window_set_cursor(gtk_widget_get_window(native->Toplevel()),
                              MouseCursorOf(w->mouseCursor));
}

} // namespace windows

extern "C" {

bool WindowVisibleGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::visible, __LINE__);
}

void WindowVisibleSetter(RuntimeObject *window, int32_t, bool value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    if (w->mImp == nullptr)
        w->visible = value;
    else if (value)
        RuntimeShowWindow(window);
    else
        RuntimeHideWindow(window);
}

int32_t windowPosGetter(RuntimeObject *window, int32_t index) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return 0;
    // A container's place is its embedding control's, which re-layout moves.
    PaneRect rect = w->rect;
    if (ContainerObject *container = containers::AsContainer(window))
        rect = controls::RectOf(container->embedding);
    switch (index) {
    case 0:
        return rect.left;
    case 1:
        return rect.top;
    case 2:
        return rect.Width();
    case 3:
        return rect.Height();
    }
    return 0;
}

void windowPosSetter(RuntimeObject *window, int32_t index, int32_t value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || index < 0 || index > 3) return;
    int32_t left = windowPosGetter(window, 0), top = windowPosGetter(window, 1);
    int32_t width = windowPosGetter(window, 2), height = windowPosGetter(window, 3);
    (index == 0 ? left : index == 1 ? top : index == 2 ? width : height) = value;
    WindowMove(window, left, top, width, height);
}

int32_t windowPlacementGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    return w != nullptr ? w->placement : 0;
}

void windowPlacementSetter(RuntimeObject *window, int32_t, int32_t value) {
    if (WindowObject *w = KQ_CHECKED_WINDOW(window)) w->placement = value;
}

KESTstring *windowTitleGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    return w != nullptr ? kstr::Share(w->title) : nullptr;
}

void windowTitleSetter(RuntimeObject *window, int32_t, KESTstring *title) {
    KQ_ASSERT_TEXT(KQ_WINDOW_SOURCE, window, "window",
                   "Trying to set the window's title, but there was no window");
    auto *w = reinterpret_cast<WindowObject *>(window);
    if (w == nullptr) return;
    RuntimeLockUnlockStrings(title, w->title);
    w->title = title;
    if (w->mImp != nullptr) {
        kstr::StringRef utf8(kstr::ToUTF8(title));
        w->mImp->SetTitle(kstr::Text(utf8.Get()));
    }
}

bool windowFullScreenGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::fullScreen, __LINE__);
}

void windowFullScreenSetter(RuntimeObject *window, int32_t, bool value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->fullScreen = value;
    if (GtkWindow *top = Toplevel(w)) {
        if (value)
            gtk_window_fullscreen(top);
        else
            gtk_window_unfullscreen(top);
    }
}

bool windowMenusVisibleGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::menuBarVisible, __LINE__);
}

void windowMenusVisibleSetter(RuntimeObject *window, int32_t, bool value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->menuBarVisible = value;
    if (w->mImp != nullptr) gtk_widget_set_visible(w->mImp->MenuBox(), value);
}

bool windowCloseBoxGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::closeBox, __LINE__);
}

void windowCloseBoxSetter(RuntimeObject *window, int32_t, bool value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->closeBox = value;
    if (GtkWindow *top = Toplevel(w)) gtk_window_set_deletable(top, value);
}

bool windowGrowIconGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::resizeable, __LINE__);
}

void windowGrowIconSetter(RuntimeObject *window, int32_t, bool value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->resizeable = value;
    ApplyLimits(w);
}

bool windowZoomIconGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::maximizeButton, __LINE__);
}

void windowZoomIconSetter(RuntimeObject *window, int32_t, bool value) {
    if (WindowObject *w = KQ_CHECKED_WINDOW(window)) w->maximizeButton = value;
}

int32_t windowFrameGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    return w != nullptr ? w->frame : 0;
}

void windowFrameSetter(RuntimeObject *window, int32_t, int32_t value) {
    if (WindowObject *w = KQ_CHECKED_WINDOW(window)) w->frame = value;
}

bool windowLiveResizeGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::liveResize, __LINE__);
}

void windowLiveResizeSetter(RuntimeObject *window, int32_t, bool value) {
    if (WindowObject *w = KQ_CHECKED_WINDOW(window)) w->liveResize = value;
}

RuntimeObject *windowBackdropGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return nullptr;
    RuntimeLockObject(w->backdrop);
    return w->backdrop;
}

void windowBackdropSetter(RuntimeObject *window, int32_t, RuntimeObject *picture) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    RuntimeLockUnlockObjects(picture, w->backdrop);
    w->backdrop = picture;
    if (w->mImp != nullptr) gtk_widget_queue_draw(w->mImp->Toplevel());
}

RuntimeObject *windowGraphicsGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || w->mImp == nullptr) return nullptr;
    const PaneRect &content = w->mImp->Rect();
    return graphics::NewForWidget(w->mImp->Toplevel(), content.Width(), content.Height(),
                                  w->mImp->ContentOffset());
}

bool windowHasBackColorGetter(RuntimeObject *window, int32_t) {
    return Flag(window, &WindowObject::hasBackColor, __LINE__);
}

void windowHasBackColorSetter(RuntimeObject *window, int32_t, bool value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->hasBackColor = value;
    windows::ApplyBackColor(w);
}

uint32_t windowBackColorGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    return w != nullptr ? w->backColor : 0;
}

void windowBackColorSetter(RuntimeObject *window, int32_t, uint32_t color) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->backColor = color;
    windows::ApplyBackColor(w);
}

void windowBalloonHelpSetter(RuntimeObject *window, int32_t offset, KESTstring *text) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    stringSetter(window, offset, text);
    if (w->mImp != nullptr) {
        kstr::StringRef utf8(kstr::ToUTF8(w->balloonHelp));
        gtk_widget_set_tooltip_text(w->mImp->Content(),
                                    w->balloonHelp != nullptr ? kstr::Text(utf8.Get()) : nullptr);
    }
}

int32_t windowMinMaxWidthHeightGetter(RuntimeObject *window, int32_t index) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    return w != nullptr && index >= 0 && index < 4 ? w->limits[index] : 0;
}

void windowMinMaxWidthHeightSetter(RuntimeObject *window, int32_t index, int32_t value) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || index < 0 || index > 3) return;
    w->limits[index] = int16_t(value);
    ApplyLimits(w);
}

void formMouseCursorSetter(RuntimeObject *window, int32_t offset, RuntimeObject *cursor) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    objSetter(window, offset, cursor);
    GdkWindow *gdkWindow =
        w->mImp != nullptr ? gtk_widget_get_window(w->mImp->Toplevel()) : nullptr;
    if (gdkWindow != nullptr) gdk_window_set_cursor(gdkWindow, MouseCursorOf(cursor));
}

int32_t windowMouseXGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    int x = 0, y = 0;
    if (w != nullptr && w->mImp != nullptr) w->mImp->PointerPosition(&x, &y);
    return x;
}

int32_t windowMouseYGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    int x = 0, y = 0;
    if (w != nullptr && w->mImp != nullptr) w->mImp->PointerPosition(&x, &y);
    return y;
}

int32_t windowWindowPtrGetter(RuntimeObject *window, int32_t) {
    return Handle(KQ_CHECKED_WINDOW(window));
}

int32_t windowHWNDGetter(RuntimeObject *window, int32_t) {
    return Handle(KQ_CHECKED_WINDOW(window));
}

int32_t WindowHandleGetter(RuntimeObject *window, int32_t) {
    return Handle(KQ_CHECKED_WINDOW(window));
}

int32_t WindowToWindowPtr(RuntimeObject *window) {
    return Handle(KQ_CHECKED_WINDOW(window));
}

RuntimeObject *WindowFocusGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return nullptr;
    RuntimeLockObject(w->mFocusControl);
    return w->mFocusControl;
}

void WindowFocusSetter(RuntimeObject *window, int32_t, RuntimeObject *control) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || w->mImp == nullptr) return;
    SubPane *pane = controls::PaneOf(control);
    if (pane != nullptr && pane->Window() == w->mImp)
        pane->TakeFocus();
    else if (control == nullptr)
        w->mImp->TakeFocus();
}

} // extern "C"
