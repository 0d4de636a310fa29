// The life of a `Window` object: construction and implicit instances,
// opening the native window, the Open events, showing, hiding, the modal
// loop, closing (CancelClose, Close, deferred destruction) and the window
// methods that act on the native window.
#include "WindowAccessors.h"

#include "Application.h"
#include "ContainerControl.h"
#include "Control.h"
#include "ControlAccessors.h"
#include "GTKHelper.h"
#include "MainLoop.h"
#include "MenuDispatch.h"
#include "RuntimeErrorReport.h"
#include "RuntimeViewWindow.h"
#include "WindowList.h"

namespace {

// The native window kind of each frame type (FrameTypeDocument to
// FrameTypeModelessDialog); a frame outside the table is a document.
const int kFrameKinds[] = {8, 3, 2, 1, 4, 5, 6, 9, 10, 11, 12, 13};
constexpr int kDefaultKind = 8;
constexpr int32_t kPlacementParent = 1;
constexpr int32_t kPlacementMainScreen = 2;
constexpr int32_t kUndecoratedProcId = 1040;

// The registry of implicit window instances: class name -> the instance, or
// null while the caller is still creating it. Made on first use.
StringMap<RuntimeObject *> *gImplicitWindows = nullptr;

void RemoveImplicitInstance(WindowObject *w) {
    KESTstring *name = w->header.classPtr->name;
    RuntimeObject *held = nullptr;
    if (gImplicitWindows == nullptr || !gImplicitWindows->Lookup(name, &held) || held != &w->header)
        return;
    gImplicitWindows->Remove(name);
    RuntimeUnlockObject(held);
}

// The front window of the window list other than `except`.
NativeWindow *FrontWindowBut(NativeWindow *except) {
    for (uint32_t i = 0; i < windowlist::Count(); ++i)
        if (windowlist::At(i) != except) return windowlist::At(i);
    return nullptr;
}

// Opens the window when it is closed and makes it transient for the
// parent's native window.
void OpenWithin(WindowObject *w, RuntimeObject *parentWindow) {
    if (w->mImp == nullptr) windows::Open(w);
    RuntimeViewWindow *parent = windows::NativeOf(parentWindow);
    if (w->mImp != nullptr && parent != nullptr && parent != w->mImp)
        gtk_window_set_transient_for(GTK_WINDOW(w->mImp->Toplevel()),
                                     GTK_WINDOW(parent->Toplevel()));
}

// The Close events: the controls from the last to the first (a container
// among them closes its own controls and itself), then the window's own.
void RaiseCloseEvents(WindowObject *w) {
    for (uint32_t i = w->mControlList != nullptr ? w->mControlList->Count() : 0; i-- > 0;) {
        if (i >= w->mControlList->Count()) continue;
        RuntimeObject *member = (*w->mControlList)[i];
        if (ContainerObject *inner = containers::AsContainer(member))
            RaiseCloseEvents(&inner->window);
        else if (controls::IsControl(member))
            events::Raise(member, controls::Event(ControlEvent::Close));
    }
    events::Raise(&w->header, windows::Event(WindowEvent::Close));
}

// Whether the window (or container) is open and not closing.
bool OpenAndNotClosing(WindowObject *w) {
    if (containers::AsContainer(&w->header) != nullptr) {
        ContainerPane *pane = containers::PaneOf(w);
        return pane != nullptr && !w->closing && !pane->Window()->IsClosing();
    }
    return w->mImp != nullptr && !w->mImp->IsClosing();
}

// Destroys the native window: the Close events (controls last to first,
// then the window), the window leaves the screen and the window list, and
// the native window is deleted with the controls once no event dispatch of
// the window is in progress.
void Destroy(WindowObject *w) {
    RuntimeViewWindow *native = w->mImp;
    if (native == nullptr || native->IsClosing()) return;
    native->MarkClosing();
    w->closing = 1;
    {
        NativeWindow::EventBracket bracket(native);
        Pane *focus = panes::FocusedPane();
        if (focus != nullptr && focus->Window() == native) panes::SetFocusedPane(nullptr);
        RaiseCloseEvents(w);
    }
    windowlist::Remove(native);
    gtk_widget_hide(native->Toplevel());
    windows::TakeDownMenuBar(w);
    native->AdoptControls();
    w->mImp = nullptr;
    w->mContentPane = nullptr;
    w->mFocusControl = nullptr;
    w->closing = 0;
    native->DestroyWhenIdle();
}

} // namespace

namespace windows {

void Open(WindowObject *w, bool building) {
    if (w->mImp != nullptr) return;
    w->opening = 1;
    if (w->mControlList == nullptr) w->mControlList = new SimpleVector<RuntimeObject *>(256);
    if (w->mControls == nullptr) w->mControls = new StringMap<RuntimeObject *>(256);

    NativeWindowSpec spec;
    spec.kind = w->frame >= 0 && w->frame < 12 ? kFrameKinds[w->frame] : kDefaultKind;
    spec.positioning = w->placement == kPlacementParent       ? -1
                       : w->placement == kPlacementMainScreen ? -3
                                                              : -2;
    spec.rect = w->rect;
    kstr::StringRef title(kstr::ToUTF8(w->title));
    spec.title = kstr::Text(title.Get());
    spec.undecorated = w->macProcId == kUndecoratedProcId;

    InstallMainLoopHooks();
    menus::InstallHandlers();
    RuntimeViewWindow *native = new RuntimeViewWindow(w, spec);
    w->mImp = native;
    w->mContentPane = native;
    ApplyStoredProperties(w);
    InstallMenuBar(w);
    CreateControlPanes(w);
    w->opening = 0;
    if (!w->visible) return;
    if (building)
        native->ShowWhenBuilt();
    else
        native->Show();
}

bool Close(WindowObject *w, bool appQuitting) {
    bool container = containers::AsContainer(&w->header) != nullptr;
    Pane *pane = container ? static_cast<Pane *>(containers::PaneOf(w)) : w->mImp;
    if (pane == nullptr) return false;
    {
        NativeWindow::EventBracket bracket(pane->Window());
        std::vector<WindowObject *> views = containers::ViewTree(w);
        for (size_t i = views.size(); i-- > 0;)
            if (OpenAndNotClosing(views[i]) &&
                (events::Raise(&views[i]->header, Event(WindowEvent::CancelClose), {appQuitting}) &
                 0xFF))
                return true;
    }
    Ref<> keep(&w->header);
    if (container) {
        NativeWindow::EventBracket bracket(pane->Window());
        RaiseCloseEvents(w);
        containers::Close(w);
        return false;
    }
    Destroy(w);
    RemoveImplicitInstance(w);
    return false;
}

void RaiseOpenEvents(WindowObject *w) {
    ContainerPane *pane = w->mImp != nullptr ? w->mImp : containers::PaneOf(w);
    NativeWindow::EventBracket bracket(pane != nullptr ? pane->Window() : nullptr);
    for (uint32_t i = 0; w->mControlList != nullptr && i < w->mControlList->Count(); ++i) {
        RuntimeObject *member = (*w->mControlList)[i];
        if (ContainerObject *inner = containers::AsContainer(member)) {
            RaiseOpenEvents(&inner->window);
            controls::SetRect(inner->embedding, inner->window.rect);
        } else if (controls::IsControl(member)) {
            events::Raise(member, controls::Event(ControlEvent::Open));
        }
    }
    events::Raise(&w->header, Event(WindowEvent::Open));
}

} // namespace windows

extern "C" {

void RuntimeCreateWindow(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->opening = w->closing = 0;
    // What a window has before its design-time properties say otherwise.
    w->rect = {50, 50, 350, 450};
    w->closeBox = w->resizeable = w->maximizeButton = w->minimizeButton = 1;
    w->menuBarVisible = 1;
    KESTstring *name = window->classPtr->name;
    RuntimeObject *held = window;
    bool container = containers::AsContainer(window) != nullptr;
    if (container) {
        containers::Attach(w);
    } else if (gImplicitWindows != nullptr && gImplicitWindows->Lookup(name, &held) &&
               held == nullptr) {
        gImplicitWindows->Set(name, window);
        RuntimeLockObject(window);
    }
    events::Raise(window, windows::Event(WindowEvent::Layout));
    if (!container) {
        windows::Open(w, true); // makes the control list and the name map first
        return;
    }
    w->mControlList = new SimpleVector<RuntimeObject *>(256);
    w->mControls = new StringMap<RuntimeObject *>(256);
    w->mInitialControlsCreated = 0;
    events::Raise(window, windows::Event(WindowEvent::CreateControls));
    w->mInitialControlsCreated = 1;
}

void RuntimeWindowFinalizer(RuntimeObject *window) {
    auto *w = reinterpret_cast<WindowObject *>(window);
    windows::ReleaseControls(w->mControlList, w->mControls);
    delete w->mMenuHandlers;
    w->mMenuHandlers = nullptr;
    RuntimeUnlockString(w->title);
    RuntimeUnlockString(w->balloonHelp);
    RuntimeUnlockString(w->floaterProcess);
    RuntimeUnlockObject(w->backdrop);
    RuntimeUnlockObject(w->mouseCursor);
    RuntimeUnlockObject(w->menuBar);
    w->title = w->balloonHelp = w->floaterProcess = nullptr;
    w->backdrop = w->mouseCursor = w->menuBar = nullptr;
}

void WindowDefaultConstructor(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    ApplicationObject *app = application::Current();
    // A container raises its Open events when it opens in a window.
    if ((app != nullptr && app->quitting) || containers::AsContainer(window) != nullptr) return;
    // The controls are there: the window goes on the screen before its Open
    // events, as when it is shown.
    if (w->mImp != nullptr && w->mImp->IsShowDeferred()) w->mImp->Show();
    w->mInitialControlsCreated = 1;
    windows::RaiseOpenEvents(w);
    // The window was shown with its controls before the Open events; an
    // Open handler may have placed the focus already.
    if (w->mImp != nullptr && w->mImp->IsShown()) w->mImp->FocusFirstPane();
}

RuntimeObject *WindowAllocateObject(RuntimeClass *classToCreate) {
    return RuntimeNewObject(classToCreate);
}

RuntimeObject *RuntimeGetImplicitWindow(KESTstring *className) {
    if (gImplicitWindows == nullptr) gImplicitWindows = new StringMap<RuntimeObject *>(256);
    RuntimeObject *window = nullptr;
    if (gImplicitWindows->Lookup(className, &window)) {
        RuntimeLockObject(window);
        return window;
    }
    gImplicitWindows->Set(className, nullptr);
    return nullptr;
}

void RuntimeShowWindow(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->visible = 1;
    if (ContainerObject *container = containers::AsContainer(window)) {
        ControlVisibleSetter(container->embedding, 0, true);
        return;
    }
    RuntimeViewWindow *native = w->mImp;
    if (native == nullptr)
        windows::Open(w);
    else if (!native->IsShown() || native->IsShowDeferred())
        native->Show();
    else if (!native->IsClosing() && gtk_widget_get_visible(native->Toplevel()))
        native->Present();
}

void RuntimeHideWindow(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    w->visible = 0;
    if (ContainerObject *container = containers::AsContainer(window))
        ControlVisibleSetter(container->embedding, 0, false);
    if (w->mImp != nullptr && w->mImp->IsShown()) w->mImp->Hide();
}

void RuntimeShowWithinWindow(RuntimeObject *window, RuntimeObject *parentWindow, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    OpenWithin(w, parentWindow);
    RuntimeShowWindow(window);
}

void RuntimeShowModal(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    Ref<> keep(window);
    if (w->mImp == nullptr) windows::Open(w);
    RuntimeViewWindow *native = w->mImp;
    if (native == nullptr) return;
    GtkWindow *top = GTK_WINDOW(native->Toplevel());
    NativeWindow *front = FrontWindowBut(native);
    if (front != nullptr && gtk_window_get_transient_for(top) == nullptr)
        gtk_window_set_transient_for(top, GTK_WINDOW(front->Toplevel()));
    gtk_window_set_modal(top, TRUE);
    w->visible = 1;
    native->Show();
    native->Present();
    while ((native = w->mImp) != nullptr && native->IsShown())
        mainloop::NestedIteration(true);
    if (native != nullptr) gtk_window_set_modal(GTK_WINDOW(native->Toplevel()), FALSE);
}

void RuntimeShowModalWithinWindow(RuntimeObject *window, RuntimeObject *parentWindow) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    OpenWithin(w, parentWindow);
    RuntimeShowModal(window);
}

void RuntimeCloseWindow(RuntimeObject *window) {
    if (WindowObject *w = KQ_CHECKED_WINDOW(window)) windows::Close(w, false);
}

void WindowMove(RuntimeObject *window, int32_t left, int32_t top, int32_t width, int32_t height) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    PaneRect old = w->rect;
    w->rect = {int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
    if (ContainerObject *container = containers::AsContainer(window)) {
        controls::SetRect(container->embedding, w->rect);
        return;
    }
    RuntimeViewWindow *native = w->mImp;
    if (native == nullptr) return;
    if (old.left != w->rect.left || old.top != w->rect.top) native->MoveTo(left, top);
    if (old.Width() != w->rect.Width() || old.Height() != w->rect.Height())
        native->ResizeTo(w->rect.Width(), w->rect.Height());
}

void WindowMaximize(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w != nullptr && w->mImp != nullptr) gtk_window_maximize(GTK_WINDOW(w->mImp->Toplevel()));
}

void WindowMinimize(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w != nullptr && w->mImp != nullptr) gtk_window_iconify(GTK_WINDOW(w->mImp->Toplevel()));
}

void WindowRestore(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || w->mImp == nullptr) return;
    gtk_window_deiconify(GTK_WINDOW(w->mImp->Toplevel()));
    gtk_window_unmaximize(GTK_WINDOW(w->mImp->Toplevel()));
}

void formRefresh(RuntimeObject *window, bool eraseBackground) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || w->mImp == nullptr) return;
    gtkhelper::RedrawNow(w->mImp->Toplevel(), nullptr, eraseBackground);
}

void formRefreshRect(RuntimeObject *window, int32_t x, int32_t y, int32_t width, int32_t height,
                     bool eraseBackground) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || w->mImp == nullptr || width < 0 || height < 0) return;
    GdkRectangle area = {x, y + w->mImp->ContentOffset(), width, height};
    gtkhelper::RedrawNow(w->mImp->Toplevel(), &area, eraseBackground);
}

void formSetFocus(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w != nullptr && w->mImp != nullptr) w->mImp->TakeFocus();
}

void WindowForceUpdateFrontBuffer(RuntimeObject *window) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    GdkWindow *gdkWindow =
        w != nullptr && w->mImp != nullptr ? gtk_widget_get_window(w->mImp->Toplevel()) : nullptr;
    if (gdkWindow != nullptr) gdk_window_process_updates(gdkWindow, TRUE);
}

} // extern "C"
