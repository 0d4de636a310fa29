// The native window of a `Window` object (see RuntimeViewWindow.h): the
// native window's events become the window object's events.
#include "RuntimeViewWindow.h"

#include "ContainerControl.h"
#include "Control.h"
#include "Graphics.h"
#include "RuntimeException.h"
#include "RuntimePaneDelegate.h"

#include <cstring>

namespace {

// Raises an event of the window; the result is the handler's edx:eax (a
// Boolean result is the low byte).
uint64_t RaiseOn(WindowObject *window, WindowEvent event,
                 std::initializer_list<uint32_t> arguments = {}) {
    return events::Raise(&window->header, windows::Event(event), arguments);
}

} // namespace

RuntimeViewWindow::RuntimeViewWindow(WindowObject *window, const NativeWindowSpec &spec)
    : NativeWindow(spec), mWindow(window) {
    RuntimeLockObject(&window->header);
    mMinimizeHandler = events::Handler(&window->header, windows::Event(WindowEvent::Minimize));
    mMaximizeHandler = events::Handler(&window->header, windows::Event(WindowEvent::Maximize));
    mRestoreHandler = events::Handler(&window->header, windows::Event(WindowEvent::Restore));
}

RuntimeViewWindow::~RuntimeViewWindow() {
    if (mWindow->mImp == this) {
        AdoptControls();
        mWindow->mImp = nullptr;
        mWindow->mContentPane = nullptr;
    }
    windows::ReleaseControls(mControlList, mControls);
    RuntimeUnlockObject(&mWindow->header);
}

RuntimeViewWindow *RuntimeViewWindow::From(NativeWindow *window) {
    if (window == nullptr || std::strcmp(window->Tag(), kTag) != 0) return nullptr;
    return static_cast<RuntimeViewWindow *>(window);
}

void RuntimeViewWindow::AdoptControls() {
    if (mControlList != nullptr) return;
    mControlList = mWindow->mControlList;
    mControls = mWindow->mControls;
    mWindow->mControlList = nullptr;
    mWindow->mControls = nullptr;
}

namespace {

// Records the focused control in the window and in every container on the
// way down to it: a window whose focused control stands in a container
// has that container's embedding control as its focus. False when the pane
// belongs to none of the window's controls.
bool RecordFocus(WindowObject *window, Pane *pane) {
    window->mFocusControl = nullptr;
    SimpleVector<RuntimeObject *> *list = window->mControlList;
    for (uint32_t i = 0; list != nullptr && i < list->Count(); ++i) {
        RuntimeObject *member = (*list)[i];
        ContainerObject *container = containers::AsContainer(member);
        if (container != nullptr ? RecordFocus(&container->window, pane)
                                 : controls::PaneOf(member) == pane) {
            window->mFocusControl = containers::MemberControl(member);
            return true;
        }
    }
    return false;
}

} // namespace

void RuntimeViewWindow::FocusMovedTo(Pane *pane) {
    if (pane == this)
        mWindow->mFocusControl = nullptr;
    else
        RecordFocus(mWindow, pane);
}

bool RuntimeViewWindow::WindowMouseDown(int x, int y) {
    return (RaiseOn(mWindow, WindowEvent::MouseDown, {uint32_t(x), uint32_t(y)}) & 0xFF) != 0;
}

void RuntimeViewWindow::WindowMouseDrag(int x, int y) {
    RaiseOn(mWindow, WindowEvent::MouseDrag, {uint32_t(x), uint32_t(y)});
}

void RuntimeViewWindow::WindowMouseUp(int x, int y) {
    RaiseOn(mWindow, WindowEvent::MouseUp, {uint32_t(x), uint32_t(y)});
}

void RuntimeViewWindow::WindowMouseMove(int x, int y) {
    RaiseOn(mWindow, WindowEvent::MouseMove, {uint32_t(x), uint32_t(y)});
}

void RuntimeViewWindow::WindowMouseEnter() {
    RaiseOn(mWindow, WindowEvent::MouseEnter);
}

void RuntimeViewWindow::WindowMouseExit() {
    RaiseOn(mWindow, WindowEvent::MouseExit);
}

bool RuntimeViewWindow::WindowMouseWheel(int x, int y, int deltaX, int deltaY) {
    return (RaiseOn(mWindow, WindowEvent::MouseWheel,
                    {uint32_t(x), uint32_t(y), uint32_t(deltaX), uint32_t(deltaY)}) &
            0xFF) != 0;
}

void RuntimeViewWindow::WindowMoved(int left, int top) {
    PaneRect &rect = mWindow->rect;
    rect = {int16_t(top), int16_t(left), int16_t(top + rect.Height()),
            int16_t(left + rect.Width())};
    RaiseOn(mWindow, WindowEvent::Moved);
}

void RuntimeViewWindow::WindowResized(int width, int height) {
    PaneRect &rect = mWindow->rect;
    rect.right = int16_t(rect.left + width);
    rect.bottom = int16_t(rect.top + height);
    if (IsClosing() || !mWindow->mInitialControlsCreated) return;
    // A size change while a button is held is the user dragging the frame.
    GdkModifierType mask = GdkModifierType(0);
    GdkWindow *window = gtk_widget_get_window(Toplevel());
    if (window != nullptr) gdk_window_get_pointer(window, nullptr, nullptr, &mask);
    if (mask & GDK_BUTTON1_MASK) RaiseOn(mWindow, WindowEvent::Resizing);
    RaiseOn(mWindow, WindowEvent::Resized);
}

void RuntimeViewWindow::WindowActivated(bool active) {
    RaiseOn(mWindow, active ? WindowEvent::Activate : WindowEvent::Deactivate);
}

void RuntimeViewWindow::RaiseStateEvent(void *handler) {
    if (handler == nullptr) return;
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(&mWindow->header));
    RuntimeCallImageHandler(handler, 1, &argument);
}

void RuntimeViewWindow::WindowMinimized() {
    RaiseStateEvent(mMinimizeHandler);
}

void RuntimeViewWindow::WindowMaximized() {
    RaiseStateEvent(mMaximizeHandler);
}

void RuntimeViewWindow::WindowRestored() {
    RaiseStateEvent(mRestoreHandler);
}

void RuntimeViewWindow::WindowPaint(GdkEventExpose *event) {
    const EventItem *paint = windows::Event(WindowEvent::Paint);
    if (mWindow->backdrop == nullptr && events::Handler(&mWindow->header, paint) == nullptr) return;
    int offset = ContentOffset();
    GdkRectangle content = {0, offset, mRect.Width(), mRect.Height()}, area;
    if (!gdk_rectangle_intersect(&event->area, &content, &area)) return;
    Ref<> keep(&mWindow->header);
    Ref<> g =
        Ref<>::Adopt(graphics::NewForWidget(Toplevel(), content.width, content.height, offset));
    if (!g) return;
    graphics::BackendOf(g.get())->SetClip(area.x, area.y - offset, area.width, area.height);
    graphics::DrawBackdrop(g.get(), mWindow->backdrop);
    events::Raise(&mWindow->header, paint, {uint32_t(reinterpret_cast<uintptr_t>(g.get()))});
}

void RuntimeViewWindow::CloseRequested() {
    windows::Close(mWindow, false);
}

bool RuntimeViewWindow::WindowKeyDown(KESTstring *key) {
    return (RaiseOn(mWindow, WindowEvent::KeyDown, {uint32_t(reinterpret_cast<uintptr_t>(key))}) &
            0xFF) != 0;
}

bool RuntimeViewWindow::WindowContextualMenu(int x, int y) {
    routing::ContextualMenuHook hook = routing::ContextualMenuHandler();
    return hook != nullptr && hook(&mWindow->header, x, y);
}
