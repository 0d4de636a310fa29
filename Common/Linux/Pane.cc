// Panes (see Pane.h): widgets, rectangles, delegates, the parent/child
// structure and the re-layout of locked children.
#include "Pane.h"

#include "GTKHelper.h"
#include "NativeWindow.h"
#include "RuntimeErrorReport.h"

// ---------------------------------------------------------------------------
// PaneDelegate: the defaults do nothing.

bool PaneDelegate::MouseDown(int, int) {
    return false;
}
void PaneDelegate::MouseDrag(int, int) {}
void PaneDelegate::MouseUp(int, int) {}
void PaneDelegate::MouseMove(int, int) {}
void PaneDelegate::MouseEnter() {}
void PaneDelegate::MouseExit() {}
bool PaneDelegate::MouseWheel(int, int, int, int) {
    return false;
}
void PaneDelegate::GotFocus() {}
void PaneDelegate::LostFocus() {}
bool PaneDelegate::KeyDown(KESTstring *) {
    return false;
}
bool PaneDelegate::ContextualMenu(int, int) {
    return false;
}
uint8_t PaneDelegate::Locks() {
    return 0;
}
void PaneDelegate::RectChanged(const PaneRect &) {}

// ---------------------------------------------------------------------------
// Pane

Pane::~Pane() {
    // A receiver may remove itself while it is told.
    while (!mDeathReceivers.IsEmpty())
        mDeathReceivers.Pop()->PaneDied(this);
    panes::Forget(this);
    // A signal that the widget sends while it is destroyed finds no
    // delegate.
    delete mDelegate;
    mDelegate = nullptr;
    if (mWidget != nullptr) {
        gtk_widget_destroy(mWidget);
        g_object_unref(mWidget);
    }
}

void Pane::SetWidget(GtkWidget *widget) {
    if (mWidget != nullptr || widget == nullptr) return;
    mWidget = widget;
    g_object_ref_sink(widget);
}

void Pane::ReplaceWidget(GtkWidget *widget) {
    GtkWidget *old = mWidget;
    if (old == nullptr || widget == nullptr || widget == old) return;
    mWidget = nullptr;
    SetWidget(widget);
    NativeWindow *window = Window();
    if (window != nullptr && gtk_widget_get_parent(old) != nullptr) {
        gtk_fixed_put(GTK_FIXED(window->Content()), widget, mRect.left, mRect.top);
        MoveWidget();
    }
    gtk_widget_set_sensitive(widget, gtk_widget_get_sensitive(old));
    gchar *tip = gtk_widget_get_tooltip_text(old);
    gtk_widget_set_tooltip_text(widget, tip);
    g_free(tip);
    if (gtk_widget_get_visible(old)) gtk_widget_show(widget);
    gtk_widget_destroy(old);
    g_object_unref(old);
}

void Pane::SetDelegate(PaneDelegate *delegate) {
    if (delegate == mDelegate) return;
    delete mDelegate;
    mDelegate = delegate;
}

void Pane::SetRect(const PaneRect &rect) {
    mRect = rect;
    MoveWidget();
}

void Pane::MoveWidget() {
    if (mWidget == nullptr) return;
    NativeWindow *window = Window();
    KQ_ASSERT_TEXT(KQ_GTKHELPER_SOURCE, window, "window", "No window?  Blasphemy!");
    if (window == nullptr || gtk_widget_get_parent(mWidget) == nullptr) return;
    gtk_fixed_move(GTK_FIXED(window->Content()), mWidget, mRect.left, mRect.top);
    gtk_widget_set_size_request(mWidget, mRect.Width() < 0 ? 0 : mRect.Width(),
                                mRect.Height() < 0 ? 0 : mRect.Height());
}

void Pane::SetVisible(bool visible) {
    if (mWidget == nullptr) return;
    if (visible)
        gtk_widget_show(mWidget);
    else
        gtk_widget_hide(mWidget);
}

void Pane::SetEnabled(bool enabled) {
    if (mWidget != nullptr) gtk_widget_set_sensitive(mWidget, enabled);
}

bool Pane::IsVisible() const {
    return mWidget != nullptr && gtk_widget_get_visible(mWidget);
}

bool Pane::IsEnabled() const {
    return mWidget != nullptr && gtk_widget_get_sensitive(mWidget);
}

void Pane::SetToolTip(const char *text) {
    if (mWidget != nullptr)
        gtk_widget_set_tooltip_text(mWidget, text != nullptr && *text ? text : nullptr);
}

void Pane::SetCursor(GdkCursor *cursor) {
    if (mWidget == nullptr) return;
    GdkWindow *window = gtk_widget_get_window(mWidget);
    // A widget without a window of its own shares its parent's: leave that.
    if (window != nullptr && gtk_widget_get_has_window(mWidget))
        gdk_window_set_cursor(window, cursor);
}

PressResult Pane::HandleMouseDown(int x, int y, uint16_t) {
    if (mDelegate == nullptr || !mDelegate->MouseDown(x - mRect.left, y - mRect.top))
        return PressResult::NotHandled;
    panes::SetTrackingPane(this);
    return PressResult::Handled;
}

PressResult Pane::HandleDoubleClick(int x, int y, uint16_t modifiers) {
    return HandleMouseDown(x, y, modifiers);
}

void Pane::HandleMouseDrag(int x, int y) {
    if (mDelegate != nullptr) mDelegate->MouseDrag(x - mRect.left, y - mRect.top);
}

void Pane::HandleMouseUp(int x, int y) {
    if (mDelegate != nullptr) mDelegate->MouseUp(x - mRect.left, y - mRect.top);
}

void Pane::HandleMouseMove(int x, int y) {
    if (mDelegate != nullptr) mDelegate->MouseMove(x - mRect.left, y - mRect.top);
}

void Pane::HandleMouseEnter() {
    if (mDelegate != nullptr) mDelegate->MouseEnter();
}

void Pane::HandleMouseExit() {
    if (mDelegate != nullptr) mDelegate->MouseExit();
}

bool Pane::HandleMouseWheel(int x, int y, int deltaX, int deltaY) {
    return mDelegate != nullptr &&
           mDelegate->MouseWheel(x - mRect.left, y - mRect.top, deltaX, deltaY);
}

bool Pane::HandleKeyDown(KESTstring *key) {
    return mDelegate != nullptr && mDelegate->KeyDown(key);
}

bool Pane::HandleContextualMenu(int x, int y) {
    return mDelegate != nullptr && mDelegate->ContextualMenu(x - mRect.left, y - mRect.top);
}

void Pane::FocusChanged(bool gained) {
    if (mDelegate == nullptr) return;
    if (gained)
        mDelegate->GotFocus();
    else
        mDelegate->LostFocus();
}

bool Pane::AcceptsFocus() const {
    GtkWidget *widget = FocusWidget();
    return widget != nullptr && gtk_widget_get_can_focus(widget) &&
           gtk_widget_is_sensitive(widget) && gtk_widget_get_visible(widget) &&
           (mWidget == nullptr || gtk_widget_get_visible(mWidget));
}

void Pane::TakeFocus() {
    GtkWidget *widget = FocusWidget();
    if (widget != nullptr) gtk_widget_grab_focus(widget);
}

TextKind Pane::TextWidgetKind() const {
    GtkWidget *widget = FocusWidget();
    if (widget == nullptr) return TextKind::None;
    if (GTK_IS_ENTRY(widget)) return TextKind::SingleLine;
    if (GTK_IS_TEXT_VIEW(widget)) return TextKind::MultiLine;
    if (GTK_IS_COMBO_BOX_ENTRY(widget)) return TextKind::SingleLine;
    return TextKind::None;
}

void Pane::AddDeathReceiver(PaneDeathNotificationReceiver *receiver) {
    if (receiver != nullptr) mDeathReceivers.Append(receiver);
}

void Pane::RemoveDeathReceiver(PaneDeathNotificationReceiver *receiver) {
    for (uint32_t i = mDeathReceivers.Count(); i-- > 0;)
        if (mDeathReceivers[i] == receiver) mDeathReceivers.RemoveAt(i);
}

// ---------------------------------------------------------------------------
// SubPane

SubPane::SubPane(ContainerPane *parent)
    : mParent(parent), mWindow(parent != nullptr ? parent->Window() : nullptr) {
    if (mParent != nullptr) mParent->mChildren.Append(this);
    if (mWindow != nullptr) mWindow->AddPane(this);
}

SubPane::SubPane(NativeWindow *window) : mParent(nullptr), mWindow(window) {}

SubPane::~SubPane() {
    SetParent(nullptr);
    if (mWindow != nullptr && mWindow != this) mWindow->RemovePane(this);
}

void SubPane::SetParent(ContainerPane *parent) {
    if (parent == mParent || (parent != nullptr && parent->Window() != mWindow)) return;
    if (mParent != nullptr) {
        SimpleVector<SubPane *> &siblings = mParent->mChildren;
        for (uint32_t i = siblings.Count(); i-- > 0;)
            if (siblings[i] == this) siblings.RemoveAt(i);
    }
    mParent = parent;
    if (mParent != nullptr) mParent->mChildren.Append(this);
}

void SubPane::PutWidget(bool show) {
    KQ_ASSERT_TEXT(KQ_GTKHELPER_SOURCE, mWindow, "window", "No window?  Blasphemy!");
    GtkWidget *widget = Widget();
    if (mWindow == nullptr || widget == nullptr) return;
    if (gtk_widget_get_parent(widget) == nullptr)
        gtk_fixed_put(GTK_FIXED(mWindow->Content()), widget, mRect.left, mRect.top);
    MoveWidget();
    if (show) gtk_widget_show(widget);
}

// ---------------------------------------------------------------------------
// ContainerPane

ContainerPane::~ContainerPane() {
    // Children that outlive their parent stand on their own.
    for (SubPane *child : mChildren)
        child->mParent = nullptr;
}

void ContainerPane::SetRect(const PaneRect &rect) {
    SubPane::SetRect(rect);
    RelayoutChildren();
}

PaneRect ContainerPane::LockedRect(PaneRect rect, uint8_t locks, int dW, int dH) {
    if (locks & kLockRight) {
        rect.right = int16_t(rect.right + dW);
        if (!(locks & kLockLeft)) rect.left = int16_t(rect.left + dW);
    }
    if (locks & kLockBottom) {
        rect.bottom = int16_t(rect.bottom + dH);
        if (!(locks & kLockTop)) rect.top = int16_t(rect.top + dH);
    }
    return rect;
}

void ContainerPane::RelayoutChildren() {
    int dW = int16_t(mRect.Width() - mPreviousRect.Width());
    int dH = int16_t(mRect.Height() - mPreviousRect.Height());
    if (dW != 0 || dH != 0) {
        for (uint32_t i = 0; i < mChildren.Count(); ++i) {
            SubPane *child = mChildren[i];
            PaneDelegate *delegate = child->Delegate();
            uint8_t locks = delegate != nullptr ? delegate->Locks() : 0;
            if (!(locks & (kLockRight | kLockBottom))) continue;
            PaneRect rect = LockedRect(child->Rect(), locks, dW, dH);
            child->SetRect(rect);
            delegate->RectChanged(rect);
        }
    }
    SettleRect();
}
