// Controls and their panes (see Control.h): where a control's pane is made,
// how it is attached and destroyed, and the stored values it receives.
#include "Control.h"

#include "ContainerControl.h"

#include "MouseCursor.h"
#include "NativeWindow.h"
#include "RuntimeViewWindow.h"

namespace {

ControlObject *Record(RuntimeObject *object) {
    return controls::IsControl(object) ? reinterpret_cast<ControlObject *>(object) : nullptr;
}

RectControlObject *RectRecord(RuntimeObject *object) {
    return controls::IsRectControl(object) ? reinterpret_cast<RectControlObject *>(object)
                                           : nullptr;
}

// The rectangle moved by dx, dy.
PaneRect Moved(PaneRect r, int dx, int dy) {
    return {int16_t(r.top + dy), int16_t(r.left + dx), int16_t(r.bottom + dy),
            int16_t(r.right + dx)};
}

} // namespace

namespace controls {

void OriginOf(RuntimeObject *control, int *dx, int *dy) {
    *dx = *dy = 0;
    WindowObject *window = windows::AsWindow(WindowOf(control));
    ContainerPane *content = window != nullptr ? containers::PaneOf(window) : nullptr;
    if (content == nullptr) return;
    *dx = content->Rect().left;
    *dy = content->Rect().top;
}

void StorePaneRect(RuntimeObject *control, const PaneRect &paneRect) {
    RectControlObject *c = RectRecord(control);
    if (c == nullptr) return;
    int dx, dy;
    OriginOf(control, &dx, &dy);
    c->rect = Moved(paneRect, -dx, -dy);
}

SubPane *PaneOf(RuntimeObject *control) {
    ControlObject *c = Record(control);
    return c != nullptr ? c->mImp : nullptr;
}

RuntimeObject *WindowOf(RuntimeObject *control) {
    ControlObject *c = Record(control);
    return c != nullptr ? c->mWindow : nullptr;
}

void SetWindow(RuntimeObject *control, RuntimeObject *window) {
    if (ControlObject *c = Record(control)) c->mWindow = window;
}

RuntimeObject *ParentOf(RuntimeObject *control) {
    RectControlObject *c = RectRecord(control);
    if (c == nullptr) return nullptr;
    if (c->parent != nullptr) return c->parent;
    WindowObject *window = windows::AsWindow(c->control.mWindow);
    RuntimeObject *named = nullptr;
    if (window != nullptr && window->mControls != nullptr && c->control.mInitialParent != nullptr)
        window->mControls->Lookup(c->control.mInitialParent, &named);
    return named != control ? named : nullptr;
}

ContainerPane *ParentPaneFor(RuntimeObject *control) {
    WindowObject *window = windows::AsWindow(WindowOf(control));
    if (window == nullptr || window->mContentPane == nullptr) return nullptr;
    if (auto *parentPane = dynamic_cast<ContainerPane *>(PaneOf(ParentOf(control))))
        if (parentPane->Window() == window->mContentPane->Window()) return parentPane;
    return window->mContentPane;
}

void AttachPane(RuntimeObject *control, SubPane *pane) {
    ControlObject *c = Record(control);
    if (c == nullptr || pane == nullptr) return;
    if (c->mImp != nullptr && c->mImp != pane) delete c->mImp;
    c->mImp = pane;
    RectControlObject *rect = RectRecord(control);
    if (rect == nullptr) return;
    int dx, dy;
    OriginOf(control, &dx, &dy);
    pane->SetRect(Moved(rect->rect, dx, dy));
    pane->PutWidget(false);
    pane->SetVisible(rect->visible);
    pane->SetEnabled(rect->enabled);
    RefreshToolTip(control);
    if (rect->mouseCursor != nullptr) pane->SetCursor(MouseCursorOf(rect->mouseCursor));
}

void CreatePane(RuntimeObject *control) {
    if (Record(control) == nullptr || PaneOf(control) != nullptr ||
        ParentPaneFor(control) == nullptr)
        return;
    events::Raise(control, Event(ControlEvent::CreatePane));
}

void DestroyPane(RuntimeObject *control) {
    ControlObject *c = Record(control);
    if (c == nullptr || c->mImp == nullptr) return;
    SubPane *pane = c->mImp;
    c->mImp = nullptr;
    delete pane;
}

PaneRect RectOf(RuntimeObject *control) {
    RectControlObject *c = RectRecord(control);
    return c != nullptr ? c->rect : PaneRect{};
}

uint8_t LocksOf(RuntimeObject *control) {
    RectControlObject *c = RectRecord(control);
    if (c == nullptr) return 0;
    return uint8_t((c->locks[0] ? kLockLeft : 0) | (c->locks[1] ? kLockTop : 0) |
                   (c->locks[2] ? kLockRight : 0) | (c->locks[3] ? kLockBottom : 0));
}

void SetRect(RuntimeObject *control, const PaneRect &rect) {
    RectControlObject *c = RectRecord(control);
    if (c == nullptr) return;
    c->rect = rect;
    if (c->control.mImp == nullptr) return;
    int dx, dy;
    OriginOf(control, &dx, &dy);
    c->control.mImp->SetRect(Moved(rect, dx, dy));
}

void Reparent(RuntimeObject *control) {
    SubPane *pane = PaneOf(control);
    ContainerPane *parent = ParentPaneFor(control);
    if (pane != nullptr && parent != nullptr && parent != pane) pane->SetParent(parent);
}

void RefreshToolTip(RuntimeObject *control) {
    RectControlObject *c = RectRecord(control);
    if (c == nullptr || c->control.mImp == nullptr) return;
    KESTstring *text = c->helpTag != nullptr ? c->helpTag : c->balloonHelp;
    if (!c->enabled && c->disabledBalloonHelp != nullptr) text = c->disabledBalloonHelp;
    kstr::StringRef utf8(kstr::ToUTF8(text));
    c->control.mImp->SetToolTip(kstr::Text(utf8.Get()));
}

} // namespace controls
