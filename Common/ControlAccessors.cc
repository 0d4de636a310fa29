// The property accessors and methods of `Control` and `RectControl` (see
// ControlAccessors.h).
#include "ControlAccessors.h"

#include "Control.h"
#include "GTKHelper.h"
#include "Graphics.h"
#include "MouseCursor.h"
#include "NativeWindow.h"
#include "RuntimeException.h"

namespace {

ControlObject *AsControl(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<ControlObject *>(object);
}

RectControlObject *AsRect(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return reinterpret_cast<RectControlObject *>(object);
}

// A stored Boolean byte of a RectControl.
bool ReadFlag(RuntimeObject *object, uint8_t RectControlObject::*field) {
    RectControlObject *control = AsRect(object);
    return control != nullptr && control->*field != 0;
}

bool ReadLock(RuntimeObject *object, int lock) {
    RectControlObject *control = AsRect(object);
    return control != nullptr && control->locks[lock] != 0;
}

void WriteLock(RuntimeObject *object, int lock, bool value) {
    if (RectControlObject *control = AsRect(object)) control->locks[lock] = value;
}

void StoreString(RuntimeObject *object, int32_t offset, KESTstring *value) {
    stringSetter(object, offset, value);
    controls::RefreshToolTip(object);
}

void Pointer(RuntimeObject *object, int *x, int *y) {
    *x = *y = 0;
    SubPane *pane = controls::PaneOf(object);
    NativeWindow *window = pane != nullptr ? pane->Window() : nullptr;
    if (window != nullptr) window->PointerPosition(x, y);
}

GtkWidget *WidgetOf(RuntimeObject *object) {
    SubPane *pane = controls::PaneOf(object);
    return pane != nullptr ? pane->Widget() : nullptr;
}

// Redraws part of a control's widget (the whole widget for a negative
// width), at once (`now`, keeping what the area shows unless `erase`) or on
// the next turn of the loop.
void Redraw(RuntimeObject *object, int left, int top, int width, int height, bool now, bool erase) {
    if (AsRect(object) == nullptr) return;
    GtkWidget *widget = WidgetOf(object);
    if (widget == nullptr) return;
    GdkRectangle area = {left, top, width, height};
    if (width >= 0 && !gtk_widget_get_has_window(widget)) {
        GtkAllocation allocation{};
        gtk_widget_get_allocation(widget, &allocation);
        area.x += allocation.x;
        area.y += allocation.y;
    }
    GdkRectangle *part = width >= 0 ? &area : nullptr;
    if (now)
        gtkhelper::RedrawNow(widget, part, erase);
    else if (part != nullptr)
        gtk_widget_queue_draw_area(widget, area.x, area.y, area.width, area.height);
    else
        gtk_widget_queue_draw(widget);
}

} // namespace

extern "C" {

void ControlTabPanelIndexSetter(RuntimeObject *control, int32_t, int32_t value) {
    if (ControlObject *c = AsControl(control)) c->mTabPanelIndex = value;
}

int32_t ControlPanelIndexGetter(RuntimeObject *control, int32_t) {
    ControlObject *c = AsControl(control);
    return c != nullptr ? c->mPanelIndex : 0;
}

void ControlPanelIndexSetter(RuntimeObject *control, int32_t, int32_t value) {
    if (ControlObject *c = AsControl(control)) c->mPanelIndex = value;
}

int32_t controlMouseXGetter(RuntimeObject *control, int32_t) {
    int x, y;
    if (AsControl(control) == nullptr) return 0;
    Pointer(control, &x, &y);
    return x;
}

int32_t controlMouseYGetter(RuntimeObject *control, int32_t) {
    int x, y;
    if (AsControl(control) == nullptr) return 0;
    Pointer(control, &x, &y);
    return y;
}

RuntimeObject *controlWindowGetter(RuntimeObject *control, int32_t) {
    if (AsControl(control) == nullptr) return nullptr;
    RuntimeObject *window = controls::WindowOf(control);
    RuntimeLockObject(window);
    return window;
}

int32_t controlMacControlHandleGetter(RuntimeObject *control, int32_t) {
    if (AsControl(control) == nullptr) return 0;
    return int32_t(reinterpret_cast<intptr_t>(WidgetOf(control)));
}

void controlHelpTagSetter(RuntimeObject *control, int32_t offset, KESTstring *value) {
    StoreString(control, offset, value);
}

void controlBalloonHelpSetter(RuntimeObject *control, int32_t offset, KESTstring *value) {
    StoreString(control, offset, value);
}

void controlDisabledBalloonHelpSetter(RuntimeObject *control, int32_t offset, KESTstring *value) {
    StoreString(control, offset, value);
}

void controlMouseCursorSetter(RuntimeObject *control, int32_t offset, RuntimeObject *cursor) {
    objSetter(control, offset, cursor);
    if (SubPane *pane = controls::PaneOf(control)) pane->SetCursor(MouseCursorOf(cursor));
}

bool controlVisibleGetter(RuntimeObject *control, int32_t) {
    return ReadFlag(control, &RectControlObject::visible);
}

void ControlVisibleSetter(RuntimeObject *control, int32_t, bool value) {
    RectControlObject *c = AsRect(control);
    if (c == nullptr) return;
    c->visible = value;
    if (SubPane *pane = controls::PaneOf(control)) pane->SetVisible(value);
}

int32_t ctlPosGetter(RuntimeObject *control, int32_t index) {
    RectControlObject *c = AsRect(control);
    if (c == nullptr) return 0;
    switch (index) {
    case 0:
        return c->rect.left;
    case 1:
        return c->rect.top;
    case 2:
        return c->rect.Width();
    case 3:
        return c->rect.Height();
    }
    return 0;
}

void ctlPosSetter(RuntimeObject *control, int32_t index, int32_t value) {
    RectControlObject *c = AsRect(control);
    if (c == nullptr) return;
    PaneRect rect = c->rect;
    switch (index) {
    case 0:
        rect.right = int16_t(value + rect.Width());
        rect.left = int16_t(value);
        break;
    case 1:
        rect.bottom = int16_t(value + rect.Height());
        rect.top = int16_t(value);
        break;
    case 2:
        rect.right = int16_t(rect.left + value);
        break;
    case 3:
        rect.bottom = int16_t(rect.top + value);
        break;
    default:
        return;
    }
    controls::SetRect(control, rect);
}

bool controlEnabledGetter(RuntimeObject *control, int32_t) {
    return ReadFlag(control, &RectControlObject::enabled);
}

void controlEnabledSetter(RuntimeObject *control, int32_t, bool value) {
    RectControlObject *c = AsRect(control);
    if (c == nullptr) return;
    c->enabled = value;
    if (SubPane *pane = controls::PaneOf(control)) pane->SetEnabled(value);
    controls::RefreshToolTip(control);
}

bool controlActiveGetter(RuntimeObject *control, int32_t) {
    if (AsRect(control) == nullptr) return false;
    SubPane *pane = controls::PaneOf(control);
    NativeWindow *window = pane != nullptr ? pane->Window() : nullptr;
    return window != nullptr && gtk_window_is_active(GTK_WINDOW(window->Toplevel()));
}

bool controlAutoDeactivateGetter(RuntimeObject *control, int32_t) {
    return ReadFlag(control, &RectControlObject::autoDeactivate);
}

void controlAutoDeactivateSetter(RuntimeObject *control, int32_t, bool value) {
    if (RectControlObject *c = AsRect(control)) c->autoDeactivate = value;
}

bool controlLockLeftGetter(RuntimeObject *control, int32_t) {
    return ReadLock(control, 0);
}
bool controlLockTopGetter(RuntimeObject *control, int32_t) {
    return ReadLock(control, 1);
}
bool controlLockRightGetter(RuntimeObject *control, int32_t) {
    return ReadLock(control, 2);
}
bool controlLockBottomGetter(RuntimeObject *control, int32_t) {
    return ReadLock(control, 3);
}
void controlLockLeftSetter(RuntimeObject *control, int32_t, bool value) {
    WriteLock(control, 0, value);
}
void controlLockTopSetter(RuntimeObject *control, int32_t, bool value) {
    WriteLock(control, 1, value);
}
void controlLockRightSetter(RuntimeObject *control, int32_t, bool value) {
    WriteLock(control, 2, value);
}
void controlLockBottomSetter(RuntimeObject *control, int32_t, bool value) {
    WriteLock(control, 3, value);
}

RuntimeObject *ControlParentGetter(RuntimeObject *control, int32_t) {
    if (AsRect(control) == nullptr) return nullptr;
    RuntimeObject *parent = controls::ParentOf(control);
    RuntimeLockObject(parent);
    return parent;
}

void ControlParentSetter(RuntimeObject *control, int32_t, RuntimeObject *parent) {
    RectControlObject *c = AsRect(control);
    if (c == nullptr || parent == control) return;
    RuntimeLockUnlockObjects(parent, c->parent);
    c->parent = parent;
    controls::Reparent(control);
}

void ControlInitialParentSetter(RuntimeObject *control, int32_t, KESTstring *name) {
    ControlObject *c = AsControl(control);
    if (c == nullptr) return;
    RuntimeLockUnlockStrings(name, c->mInitialParent);
    c->mInitialParent = name;
}

void RuntimeControlRefresh(RuntimeObject *control, bool eraseBackground) {
    Redraw(control, 0, 0, -1, -1, true, eraseBackground);
}

void RuntimeControlRefreshRect(RuntimeObject *control, int32_t left, int32_t top, int32_t width,
                               int32_t height, bool eraseBackground) {
    if (width >= 0 && height >= 0) Redraw(control, left, top, width, height, true, eraseBackground);
}

void RuntimeControlInvalidate(RuntimeObject *control, bool) {
    Redraw(control, 0, 0, -1, -1, false, true);
}

void RuntimeControlInvalidateRect(RuntimeObject *control, int32_t left, int32_t top, int32_t width,
                                  int32_t height, bool) {
    if (width >= 0 && height >= 0) Redraw(control, left, top, width, height, false, true);
}

void RuntimeControlDrawInto(RuntimeObject *control, RuntimeObject *g, int32_t left, int32_t top) {
    if (AsRect(control) != nullptr) graphics::DrawWidgetInto(g, WidgetOf(control), left, top);
}

// The initializer has given the control its state; the constructor that the
// image's control classes call has nothing to add.
void RectControlDefaultConstructor(RuntimeObject *) {}

void RuntimeSetFocus(RuntimeObject *control) {
    if (AsRect(control) == nullptr) return;
    if (SubPane *pane = controls::PaneOf(control)) pane->TakeFocus();
}

void RuntimeControlMove(RuntimeObject *control, int32_t left, int32_t top, int32_t width,
                        int32_t height) {
    if (AsRect(control) == nullptr) return;
    controls::SetRect(control,
                      {int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)});
}

int32_t RuntimeControlDefaultHeight(RuntimeObject *control) {
    RectControlObject *c = AsRect(control);
    if (c == nullptr) return 0;
    GtkWidget *widget = WidgetOf(control);
    if (widget == nullptr) return c->rect.Height();
    // The height the widget asks for by itself, whatever size it was given.
    int width, height;
    gtk_widget_get_size_request(widget, &width, &height);
    gtk_widget_set_size_request(widget, -1, -1);
    GtkRequisition natural;
    gtk_widget_size_request(widget, &natural);
    gtk_widget_set_size_request(widget, width, height);
    return natural.height;
}

} // extern "C"
