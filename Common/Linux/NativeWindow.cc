// The native window (see NativeWindow.h): its GTK+ widgets, the window
// list, the size limits and the mapping of GTK+ signals to window events.
// The window list (WindowList.h) holds the native windows front to back: a
// window enters at the front when made, comes to the front on focus-in,
// goes to the back when hidden and leaves when destroyed.
#include "NativeWindow.h"

#include "GTKHelper.h"
#include "KeyState.h"
#include "WindowList.h"

namespace {

constexpr int kEventMask = 0x304; // pointer motion, button press, button release
constexpr int kNoMaximum = 32000;

} // namespace

// The GTK+ signal handlers, with access to the window's state.
struct NativeWindowSignals {
    // Runs before GTK+'s own handler, which then draws the controls that
    // have no window of their own over what the window painted.
    static gboolean Expose(GtkWidget *top, GdkEventExpose *event, NativeWindow *w) {
        if (event->window != gtk_widget_get_window(top)) return FALSE;
        NativeWindow::EventBracket bracket(w);
        w->WindowPaint(event);
        return FALSE;
    }

    static gboolean Motion(GtkWidget *, GdkEventMotion *, NativeWindow *w) {
        int x, y;
        w->PointerPosition(&x, &y);
        NativeWindow::EventBracket bracket(w);
        Pane *tracking = panes::TrackingPane();
        if (tracking == w) {
            w->WindowMouseDrag(x, y);
            return FALSE;
        }
        if (tracking != nullptr) return FALSE; // the main loop reports the drag
        SubPane *pane = w->PaneAt(x, y);
        if (pane != w->mPaneUnderPointer) {
            if (w->mPaneUnderPointer != nullptr) w->mPaneUnderPointer->HandleMouseExit();
            w->mPaneUnderPointer = pane;
            if (pane != nullptr) pane->HandleMouseEnter();
        }
        if (pane != nullptr)
            pane->HandleMouseMove(x, y);
        else
            w->WindowMouseMove(x, y);
        return FALSE;
    }

    static void Shown(GtkWidget *, NativeWindow *w) { w->ApplySizeLimits(); }

    static gboolean Configure(GtkWidget *, GdkEventConfigure *event, NativeWindow *w) {
        NativeWindow::EventBracket bracket(w);
        w->NoteConfigure(event);
        return FALSE;
    }

    static gboolean Delete(GtkWidget *, GdkEvent *, NativeWindow *w) {
        NativeWindow::EventBracket bracket(w);
        w->CloseRequested();
        return TRUE; // the window decides itself whether and when it goes
    }

    static gboolean KeyPress(GtkWidget *, GdkEventKey *event, NativeWindow *w) {
        return w->HandleKeyPress(event);
    }

    static gboolean Press(GtkWidget *, GdkEventButton *event, NativeWindow *w) {
        if (panes::MouseDownMark() || panes::IsRepeatedPress(event->time)) return FALSE;
        uint16_t modifiers = keystate::ModifierWordOf(event->state);
        keystate::SetModifierWord(modifiers);
        panes::NotePress(event->time);
        int x, y;
        w->PointerPosition(&x, &y);
        NativeWindow::EventBracket bracket(w);
        bool mark = panes::ExchangeMouseDownMark(true);
        if (NativeWindow::IsContextualClick(event) && w->ContextualClick(w->PaneAt(x, y), x, y)) {
            panes::ExchangeMouseDownMark(mark);
            return TRUE;
        }
        bool taken = w->DispatchMouseDown(x, y, modifiers);
        if (!taken && w->WindowMouseDown(x, y) && !w->IsClosing()) {
            panes::SetTrackingPane(w);
            taken = true;
        }
        panes::ExchangeMouseDownMark(mark);
        return taken;
    }

    static gboolean Release(GtkWidget *, GdkEventButton *, NativeWindow *w) {
        Pane *tracking = panes::TrackingPane();
        if (tracking == nullptr || tracking->Window() != w) return FALSE;
        panes::SetTrackingPane(nullptr);
        int x, y;
        w->PointerPosition(&x, &y);
        NativeWindow::EventBracket bracket(w);
        if (tracking == w)
            w->WindowMouseUp(x, y);
        else
            tracking->HandleMouseUp(x, y);
        return TRUE;
    }

    static gboolean Crossing(GtkWidget *, GdkEventCrossing *event, NativeWindow *w) {
        if (event->detail == GDK_NOTIFY_INFERIOR) return FALSE;
        NativeWindow::EventBracket bracket(w);
        if (event->type == GDK_ENTER_NOTIFY) {
            w->WindowMouseEnter();
            return FALSE;
        }
        if (w->mPaneUnderPointer != nullptr) {
            w->mPaneUnderPointer->HandleMouseExit();
            w->mPaneUnderPointer = nullptr;
        }
        w->WindowMouseExit();
        return FALSE;
    }

    static gboolean FocusIn(GtkWidget *, GdkEventFocus *, NativeWindow *w) {
        windowlist::BringToFront(w);
        NativeWindow::EventBracket bracket(w);
        w->WindowActivated(true);
        return FALSE;
    }

    static gboolean FocusOut(GtkWidget *, GdkEventFocus *, NativeWindow *w) {
        NativeWindow::EventBracket bracket(w);
        w->WindowActivated(false);
        return FALSE;
    }

    static gboolean Scroll(GtkWidget *, GdkEventScroll *event, NativeWindow *w) {
        int dx = event->direction == GDK_SCROLL_LEFT ? -1 : event->direction == GDK_SCROLL_RIGHT;
        int dy = event->direction == GDK_SCROLL_UP ? -1 : event->direction == GDK_SCROLL_DOWN;
        int x, y;
        w->PointerPosition(&x, &y);
        NativeWindow::EventBracket bracket(w);
        SubPane *pane = w->PaneAt(x, y);
        if (pane != nullptr && pane->HandleMouseWheel(x, y, dx, dy)) return TRUE;
        return w->WindowMouseWheel(x, y, dx, dy);
    }

    static gboolean State(GtkWidget *, GdkEventWindowState *event, NativeWindow *w) {
        NativeWindow::EventBracket bracket(w);
        GdkWindowState changed = event->changed_mask, now = event->new_window_state;
        if (changed & GDK_WINDOW_STATE_ICONIFIED) {
            if (now & GDK_WINDOW_STATE_ICONIFIED)
                w->WindowMinimized();
            else
                w->WindowRestored();
        } else if (changed & GDK_WINDOW_STATE_MAXIMIZED) {
            if (now & GDK_WINDOW_STATE_MAXIMIZED)
                w->WindowMaximized();
            else
                w->WindowRestored();
        }
        return FALSE;
    }
};

NativeWindow::NativeWindow(const NativeWindowSpec &spec) : ContainerPane(this), mKind(spec.kind) {
    Build(spec);
    windowlist::Add(this);
}

NativeWindow::~NativeWindow() {
    CancelDeferredShow();
    windowlist::Remove(this);
    g_signal_handlers_disconnect_matched(Toplevel(), G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr,
                                         this);
    // Panes still registered belong to objects that outlive the window:
    // they stand on their own from now on.
    for (SubPane *pane : mPanes)
        pane->mWindow = nullptr;
}

void NativeWindow::Build(const NativeWindowSpec &spec) {
    GtkWidget *top = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    SetWidget(top);
    mOuterBox = gtk_vbox_new(FALSE, 0);
    gtk_container_add(GTK_CONTAINER(top), mOuterBox);
    mMenuBox = gtk_vbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(mOuterBox), mMenuBox, FALSE, TRUE, 0);
    mContent = gtk_fixed_new();
    gtk_box_pack_end(GTK_BOX(mOuterBox), mContent, TRUE, TRUE, 0);
    gtk_widget_show(mOuterBox);
    gtk_widget_show(mMenuBox);
    gtk_widget_show(mContent);

    GtkWindow *window = GTK_WINDOW(top);
    gtk_window_set_gravity(window, GDK_GRAVITY_STATIC);
    SetTitle(spec.title);
    int width = spec.rect.Width() > 0 ? spec.rect.Width() : 1;
    int height = spec.rect.Height() > 0 ? spec.rect.Height() : 1;
    NativeWindow *front = windowlist::At(0);
    if (spec.positioning == -3 || (spec.positioning == -1 && front == nullptr)) {
        gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    } else if (spec.positioning == -1) {
        int frontX, frontY, frontWidth, frontHeight;
        gtk_window_get_position(GTK_WINDOW(front->Toplevel()), &frontX, &frontY);
        gtk_window_get_size(GTK_WINDOW(front->Toplevel()), &frontWidth, &frontHeight);
        MoveTo(frontX + (frontWidth - width) / 2, frontY + (frontHeight - height) / 2);
    } else {
        MoveTo(spec.rect.left, spec.rect.top);
    }
    gtk_window_resize(window, width, height);
    gtk_window_set_modal(window, spec.modal);
    if ((spec.modal || mKind == kKindModelessDialog) && front != nullptr && front != this)
        gtk_window_set_transient_for(window, GTK_WINDOW(front->Toplevel()));
    if (mKind == kKindPlain || mKind == kKindShadowed || spec.undecorated)
        gtk_window_set_decorated(window, FALSE);
    else if (mKind == kKindFloating || mKind == kKindGlobalFloating)
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);

    // The window paints its own background (the exposed area is cleared to
    // the background colour first); GTK+ would paint over it otherwise.
    gtk_widget_set_app_paintable(top, TRUE);
    gtk_widget_add_events(top, kEventMask);
    using S = NativeWindowSignals;
    g_signal_connect(top, "expose-event", G_CALLBACK(S::Expose), this);
    g_signal_connect(top, "motion-notify-event", G_CALLBACK(S::Motion), this);
    g_signal_connect(top, "show", G_CALLBACK(S::Shown), this);
    g_signal_connect(top, "configure-event", G_CALLBACK(S::Configure), this);
    g_signal_connect(top, "delete-event", G_CALLBACK(S::Delete), this);
    g_signal_connect(top, "key-press-event", G_CALLBACK(S::KeyPress), this);
    g_signal_connect(top, "button-press-event", G_CALLBACK(S::Press), this);
    g_signal_connect(top, "button-release-event", G_CALLBACK(S::Release), this);
    g_signal_connect(top, "enter-notify-event", G_CALLBACK(S::Crossing), this);
    g_signal_connect(top, "leave-notify-event", G_CALLBACK(S::Crossing), this);
    g_signal_connect(top, "focus-in-event", G_CALLBACK(S::FocusIn), this);
    g_signal_connect(top, "focus-out-event", G_CALLBACK(S::FocusOut), this);
    g_signal_connect(top, "scroll-event", G_CALLBACK(S::Scroll), this);
    g_signal_connect(top, "window-state-event", G_CALLBACK(S::State), this);

    mRect = {0, 0, int16_t(height), int16_t(width)};
    mSetWidth = width;
    mSetHeight = height;
    SettleRect();
}

// ---------------------------------------------------------------------------
// Showing, the event bracket, panes

namespace {

gboolean RefuseFocus(GtkWidget *, GtkDirectionType, gpointer) {
    return TRUE;
}

} // namespace

void NativeWindow::Show() {
    mShown = true;
    if (!IsShowDeferred()) {
        // Chosen before GTK+ would choose by the widgets' places.
        FocusFirstPane();
        gtk_widget_show(Toplevel());
        return;
    }
    CancelDeferredShow();
    // A window shown when built gets its focus after its Open events (its
    // constructor), as one shown before it had controls; GTK+ must not
    // choose one by the widgets' places meanwhile.
    gulong refusal = g_signal_connect(Toplevel(), "focus", G_CALLBACK(RefuseFocus), nullptr);
    gtk_widget_show(Toplevel());
    g_signal_handler_disconnect(Toplevel(), refusal);
}

void NativeWindow::ShowWhenBuilt() {
    mShown = true;
    if (mDeferredShow == 0)
        mDeferredShow = g_idle_add_full(G_PRIORITY_HIGH_IDLE, DeferredShow, this, nullptr);
}

void NativeWindow::CancelDeferredShow() {
    if (mDeferredShow != 0) g_source_remove(mDeferredShow);
    mDeferredShow = 0;
}

gboolean NativeWindow::DeferredShow(gpointer data) {
    auto *window = static_cast<NativeWindow *>(data);
    window->mDeferredShow = 0;
    window->Show();
    return G_SOURCE_REMOVE;
}

void NativeWindow::Hide() {
    mShown = false;
    CancelDeferredShow();
    windowlist::SendToBack(this);
    gtk_widget_hide(Toplevel());
}

void NativeWindow::Present() {
    if (IsShowDeferred()) Show();
    gtk_window_present(GTK_WINDOW(Toplevel()));
}

NativeWindow::EventBracket::EventBracket(NativeWindow *window) : mWindow(window) {
    if (mWindow != nullptr) ++mWindow->mBracket;
}

NativeWindow::EventBracket::~EventBracket() {
    if (mWindow == nullptr) return;
    if (--mWindow->mBracket == 0 && mWindow->mDestroyPending) mWindow->DestroyOutsideEvents();
}

void NativeWindow::DestroyWhenIdle() {
    mDestroyPending = true;
    if (mBracket == 0) DestroyOutsideEvents();
}

// GTK+ goes on with the event it is dispatching after the signal that
// closed the window has returned (an entry hides the pointer after a typed
// character changed its text): the widgets are then destroyed from an idle
// callback, once that event is done.
void NativeWindow::DestroyOutsideEvents() {
    if (GdkEvent *event = gtk_get_current_event()) {
        gdk_event_free(event);
        if (!mDestroyQueued) {
            mDestroyQueued = true;
            g_idle_add_full(G_PRIORITY_HIGH_IDLE, DestroyQueued, this, nullptr);
        }
        return;
    }
    delete this;
}

gboolean NativeWindow::DestroyQueued(gpointer data) {
    auto *window = static_cast<NativeWindow *>(data);
    window->mDestroyQueued = false;
    // A bracket entered meanwhile destroys the window when it is left.
    if (window->mBracket == 0) delete window;
    return G_SOURCE_REMOVE;
}

void NativeWindow::AddPane(SubPane *pane) {
    mPanes.Append(pane);
}

void NativeWindow::RemovePane(SubPane *pane) {
    for (uint32_t i = mPanes.Count(); i-- > 0;)
        if (mPanes[i] == pane) mPanes.RemoveAt(i);
    if (mPaneUnderPointer == pane) mPaneUnderPointer = nullptr;
}

SubPane *NativeWindow::PaneAt(int x, int y) const {
    for (uint32_t i = mPanes.Count(); i-- > 0;) {
        SubPane *pane = mPanes[i];
        if (pane->IsVisible() && pane->Contains(x, y)) return pane;
    }
    return nullptr;
}

bool NativeWindow::DispatchMouseDown(int x, int y, uint16_t modifiers) {
    for (uint32_t i = mPanes.Count(); i-- > 0;) {
        SubPane *pane = mPanes[i];
        if (!pane->IsVisible() || !pane->IsEnabled() || !pane->Contains(x, y)) continue;
        if (pane->HandleMouseDown(x, y, modifiers) != PressResult::NotHandled) return true;
        // The handler may have closed the window and its panes.
        if (i >= mPanes.Count() || mPanes[i] != pane) return true;
        if (!pane->LetsClicksThrough()) return true;
    }
    return false;
}

bool NativeWindow::IsContextualClick(const GdkEventButton *event) {
    return event->type == GDK_BUTTON_PRESS && event->button == 3;
}

bool NativeWindow::ContextualClick(Pane *pane, int x, int y) {
    if (pane != nullptr && pane != this && pane->HandleContextualMenu(x, y)) return true;
    return !IsClosing() && WindowContextualMenu(x, y);
}

// ---------------------------------------------------------------------------
// Geometry

void NativeWindow::PointerPosition(int *x, int *y) const {
    *x = *y = 0;
    GdkWindow *window = gtk_widget_get_window(Toplevel());
    if (window != nullptr) gdk_window_get_pointer(window, x, y, nullptr);
    *y -= ContentOffset();
}

int NativeWindow::ContentOffset() const {
    int offset = 0;
    GList *children = gtk_container_get_children(GTK_CONTAINER(mMenuBox));
    for (GList *l = children; l != nullptr; l = l->next) {
        GtkWidget *child = GTK_WIDGET(l->data);
        if (GTK_IS_MENU_BAR(child)) {
            offset += gtkhelper::MenuBarHeight(child);
        } else if (gtk_widget_get_visible(child)) {
            GtkAllocation allocation;
            gtk_widget_get_allocation(child, &allocation);
            offset += allocation.height > 1 ? allocation.height : 0;
        }
    }
    g_list_free(children);
    return offset;
}

void NativeWindow::SetTitle(const char *title) {
    gtk_window_set_title(GTK_WINDOW(Toplevel()), title != nullptr ? title : "");
}

void NativeWindow::SetSizeLimits(const int16_t limits[4], bool resizeable) {
    for (int i = 0; i < 4; ++i)
        mLimits[i] = limits[i];
    mResizeable = resizeable;
    ApplySizeLimits();
}

void NativeWindow::ApplySizeLimits() {
    if (mLimits[0] == 0 && mLimits[1] == 0 && mLimits[2] == 0 && mLimits[3] == 0) return;
    GdkGeometry hints{};
    bool noMaximum = false;
    if (mResizeable) {
        hints.min_width = mLimits[0];
        hints.min_height = mLimits[1];
        hints.max_width = mLimits[2];
        hints.max_height = mLimits[3];
        noMaximum = mLimits[2] == kNoMaximum && mLimits[3] == kNoMaximum;
    } else {
        hints.min_width = hints.max_width = mSetWidth;
        hints.min_height = hints.max_height = mSetHeight;
    }
    int offset = ContentOffset();
    hints.min_height += offset;
    hints.max_height += offset;
    auto mask =
        GdkWindowHints(noMaximum ? GDK_HINT_MIN_SIZE : GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE);
    if (mask == mHintsMask && hints.min_width == mHints.min_width &&
        hints.min_height == mHints.min_height && hints.max_width == mHints.max_width &&
        hints.max_height == mHints.max_height)
        return;
    mHints = hints;
    mHintsMask = mask;
    gtk_window_set_geometry_hints(GTK_WINDOW(Toplevel()), nullptr, &hints, mask);
}

void NativeWindow::MoveTo(int left, int top) {
    mScreenLeft = left;
    mScreenTop = top;
    gtk_window_move(GTK_WINDOW(Toplevel()), left, top);
}

void NativeWindow::ResizeTo(int width, int height) {
    mSetWidth = width;
    mSetHeight = height;
    ApplySizeLimits();
    gtk_window_resize(GTK_WINDOW(Toplevel()), width > 0 ? width : 1,
                      (height > 0 ? height : 1) + ContentOffset());
}

void NativeWindow::NoteConfigure(const GdkEventConfigure *event) {
    if (event->type == GDK_CONFIGURE) ApplySizeLimits();
    int left = mScreenLeft, top = mScreenTop;
    GdkWindow *window = gtk_widget_get_window(Toplevel());
    if (window != nullptr) gdk_window_get_origin(window, &left, &top);
    if (left != mScreenLeft || top != mScreenTop) {
        mScreenLeft = left;
        mScreenTop = top;
        WindowMoved(left, top);
    }
    int width = event->width, height = event->height - ContentOffset();
    if (width == mRect.Width() && height == mRect.Height()) return;
    mRect = {0, 0, int16_t(height), int16_t(width)};
    RelayoutChildren();
    WindowResized(width, height);
}

// ---------------------------------------------------------------------------
// Window events: by default nothing happens.

bool NativeWindow::WindowMouseDown(int, int) {
    return false;
}
void NativeWindow::WindowMouseDrag(int, int) {}
void NativeWindow::WindowMouseUp(int, int) {}
void NativeWindow::WindowMouseMove(int, int) {}
void NativeWindow::WindowMouseEnter() {}
void NativeWindow::WindowMouseExit() {}
bool NativeWindow::WindowMouseWheel(int, int, int, int) {
    return false;
}
void NativeWindow::WindowMoved(int, int) {}
void NativeWindow::WindowResized(int, int) {}
void NativeWindow::WindowActivated(bool) {}
void NativeWindow::WindowMinimized() {}
void NativeWindow::WindowMaximized() {}
void NativeWindow::WindowRestored() {}
void NativeWindow::WindowPaint(GdkEventExpose *) {}
void NativeWindow::CloseRequested() {}
bool NativeWindow::WindowKeyDown(KESTstring *) {
    return false;
}
bool NativeWindow::WindowContextualMenu(int, int) {
    return false;
}
void NativeWindow::FocusMovedTo(Pane *) {}
