// RuntimeViewWindow: the native window of a `Window` object. It holds a
// reference to the object, is tagged "RuntimeViewWindow" (menus and
// quitting tell runtime windows from other native windows by it), and
// raises the window's events for the native window's signals. Its
// Minimize, Maximize and Restore handlers are looked up once, when it is
// made. An exposure of the content draws the window's backdrop picture and
// raises Paint with a Graphics clipped to the exposed part.
#pragma once

#include "NativeWindow.h"
#include "WindowObject.h"

class RuntimeViewWindow : public NativeWindow {
  public:
    static constexpr const char *kTag = "RuntimeViewWindow";

    RuntimeViewWindow(WindowObject *window, const NativeWindowSpec &spec);
    ~RuntimeViewWindow() override;

    const char *Tag() const override { return kTag; }
    WindowObject *Object() const { return mWindow; }

    // The runtime window behind a native window, or null for another kind.
    static RuntimeViewWindow *From(NativeWindow *window);

    // Takes the window object's control list and name map over when the
    // window closes: the controls keep their panes until this native window
    // is deleted (after any event dispatch in progress), which releases them.
    void AdoptControls();

    void FocusMovedTo(Pane *pane) override;

  protected:
    bool WindowMouseDown(int x, int y) override;
    void WindowMouseDrag(int x, int y) override;
    void WindowMouseUp(int x, int y) override;
    void WindowMouseMove(int x, int y) override;
    void WindowMouseEnter() override;
    void WindowMouseExit() override;
    bool WindowMouseWheel(int x, int y, int deltaX, int deltaY) override;
    void WindowMoved(int left, int top) override;
    void WindowResized(int width, int height) override;
    void WindowActivated(bool active) override;
    void WindowMinimized() override;
    void WindowMaximized() override;
    void WindowRestored() override;
    void WindowPaint(GdkEventExpose *event) override;
    void CloseRequested() override;
    bool WindowKeyDown(KESTstring *key) override;
    bool WindowContextualMenu(int x, int y) override;

  private:
    void RaiseStateEvent(void *handler);

    WindowObject *mWindow; // counted
    SimpleVector<RuntimeObject *> *mControlList = nullptr;
    StringMap<RuntimeObject *> *mControls = nullptr;
    void *mMinimizeHandler;
    void *mMaximizeHandler;
    void *mRestoreHandler;
};
