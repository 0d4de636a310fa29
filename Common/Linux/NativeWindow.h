// The native window: the on-screen side of an open window, a ContainerPane
// on a GTK+ top-level window. It builds the widgets (an outer vertical box
// holding the menu-bar box and the fixed content container in which every
// control stands at absolute coordinates), applies the frame's decorations
// and the size limits, keeps the window list, the event bracket that defers
// its destruction while events are dispatched, its panes in creation order,
// and turns GTK+ signals into calls of the virtual event methods below,
// which the class-model binding (RuntimeViewWindow) overrides. It knows
// nothing of the class model.
//
// Key handling (NativeWindowKeys.cc), in this order: the modifier word; a
// contextual menu for Shift+F10; the key as a character and key text (dead
// keys and keys without text go on to GTK+); the menu shortcuts; the focused
// pane's key handler; a text widget keeps its keys except Tab (when it takes
// none), Return/Enter with a default button and Escape with a cancel button;
// the window's KeyDown; then Tab traversal, Escape for the cancel button and
// Return or Enter for the default button.
#pragma once

#include "Pane.h"

#include <cstdint>

// What a native window is made with.
struct NativeWindowSpec {
    int kind = 8;         // the native window kind of the frame type
    int positioning = -2; // -1 centre on the front window, -2 at rect, -3 centre on the screen
    PaneRect rect{};      // left and top on the screen; the content's size
    const char *title = "";
    bool modal = false;
    bool undecorated = false; // asked for apart from the kind
};

class NativeWindow : public ContainerPane {
  public:
    // Native window kinds with a meaning of their own here.
    static constexpr int kKindPlain = 4;
    static constexpr int kKindShadowed = 5;
    static constexpr int kKindFloating = 1;
    static constexpr int kKindGlobalFloating = 9;
    static constexpr int kKindModelessDialog = 13;

    explicit NativeWindow(const NativeWindowSpec &spec);
    ~NativeWindow() override;

    NativeWindow *Window() const override { return const_cast<NativeWindow *>(this); }

    // The name that tells runtime windows from other native windows.
    virtual const char *Tag() const { return "Window"; }

    GtkWidget *Toplevel() const { return Widget(); }
    GtkWidget *MenuBox() const { return mMenuBox; }
    GtkWidget *Content() const { return mContent; }
    int Kind() const { return mKind; }

    // The shown mark: set by Show, cleared by Hide.
    bool IsShown() const { return mShown; }
    void Show();
    // Sets the shown mark but puts the widgets on the screen only at the
    // next Show or main-loop turn: a window that is still receiving its
    // controls is then realised, sized and mapped once with all of them,
    // instead of once more for every control added to a mapped window.
    void ShowWhenBuilt();
    bool IsShowDeferred() const { return mDeferredShow != 0; }
    void Hide();
    void Present();

    bool IsClosing() const { return mClosing; }
    void MarkClosing() { mClosing = true; }

    // The event bracket: the nesting count of event dispatch on this window.
    // DestroyWhenIdle deletes the window at once when no dispatch is in
    // progress, else when the outermost bracket is left; while GTK+ is
    // dispatching an event, after that event.
    class EventBracket {
      public:
        explicit EventBracket(NativeWindow *window);
        ~EventBracket();
        EventBracket(const EventBracket &) = delete;
        EventBracket &operator=(const EventBracket &) = delete;

      private:
        NativeWindow *mWindow;
    };
    int BracketDepth() const { return mBracket; }
    void DestroyWhenIdle();

    // The panes of the window in creation order (SubPane registers itself).
    void AddPane(SubPane *pane);
    void RemovePane(SubPane *pane);
    uint32_t PaneCount() const { return mPanes.Count(); }
    SubPane *PaneAt(uint32_t index) const { return mPanes[index]; }
    // The topmost visible pane at a point (window coordinates), or null.
    SubPane *PaneAt(int x, int y) const;

    // The pointer in content coordinates, and the height above the content
    // (the menu bar).
    void PointerPosition(int *x, int *y) const;
    int ContentOffset() const;

    void SetTitle(const char *title);
    // The size limits in the order MinWidth, MinHeight, MaxWidth, MaxHeight,
    // and whether the window is resizeable; applied as geometry hints.
    void SetSizeLimits(const int16_t limits[4], bool resizeable);
    void ApplySizeLimits();
    // Moves the window on the screen and resizes its content.
    void MoveTo(int left, int top);
    void ResizeTo(int width, int height);

    // Mouse-down dispatch: the press is offered to the panes from the
    // topmost down; true when a pane took it.
    bool DispatchMouseDown(int x, int y, uint16_t modifiers);

    // A contextual click (a press of the third button) at (x, y) asks the
    // pane under it, then the window, for a contextual menu; true when one
    // was shown, which takes the press.
    static bool IsContextualClick(const GdkEventButton *event);
    bool ContextualClick(Pane *pane, int x, int y);

    // Key handling of a key press; true when the key is consumed.
    bool HandleKeyPress(const GdkEventKey *event);
    // Tab traversal: focuses the next (or previous) pane that accepts the
    // focus, wrapping around, the window standing before the first pane.
    void MoveFocus(bool forward);
    // The focus of a window being shown: unless the focus record already
    // lies in this window, the first pane in creation order that accepts
    // the focus takes it (the order Tab follows).
    void FocusFirstPane();
    // The focus record moved to `pane` of this window (or the window).
    virtual void FocusMovedTo(Pane *pane);

    // The global switch of Tab traversal (on by default).
    static void SetTabTraversal(bool enabled);

    // The menu-shortcut hook of the key handling (the menu layer installs
    // it): true when a shortcut took the key.
    using ShortcutHook = bool (*)(NativeWindow *window, KESTstring *key, uint16_t modifiers);
    static void SetShortcutHook(ShortcutHook hook);

    // Whether the window itself takes the keyboard focus in traversal.
    bool AcceptsFocus() const override { return false; }
    void TakeFocus() override;

  protected:
    // Events of the window, raised by the signal handlers; the binding
    // overrides them. Positions are content coordinates.
    virtual bool WindowMouseDown(int x, int y);
    virtual void WindowMouseDrag(int x, int y);
    virtual void WindowMouseUp(int x, int y);
    virtual void WindowMouseMove(int x, int y);
    virtual void WindowMouseEnter();
    virtual void WindowMouseExit();
    virtual bool WindowMouseWheel(int x, int y, int deltaX, int deltaY);
    virtual void WindowMoved(int left, int top);
    // The content has changed to `width` by `height`; the locked panes have
    // been re-laid.
    virtual void WindowResized(int width, int height);
    virtual void WindowActivated(bool active);
    virtual void WindowMinimized();
    virtual void WindowMaximized();
    virtual void WindowRestored();
    // An exposure of the toplevel's own window (coordinates of that window:
    // the content starts ContentOffset() pixels down).
    virtual void WindowPaint(GdkEventExpose *event);
    virtual void CloseRequested();
    virtual bool WindowKeyDown(KESTstring *key);
    virtual bool WindowContextualMenu(int x, int y);

  private:
    friend struct NativeWindowSignals;

    void Build(const NativeWindowSpec &spec);
    void NoteConfigure(const GdkEventConfigure *event);
    void PressButtonWithRole(bool defaultRole);
    bool HasButtonWithRole(bool defaultRole) const;
    void DestroyOutsideEvents();
    static gboolean DestroyQueued(gpointer window);
    void CancelDeferredShow();
    static gboolean DeferredShow(gpointer window);

    GtkWidget *mOuterBox = nullptr;
    GtkWidget *mMenuBox = nullptr;
    GtkWidget *mContent = nullptr;
    int mKind;
    bool mShown = false;
    guint mDeferredShow = 0; // the main-loop source of ShowWhenBuilt
    bool mClosing = false;
    bool mDestroyPending = false;
    bool mDestroyQueued = false;
    int mBracket = 0;
    int mScreenLeft = 0, mScreenTop = 0;
    int16_t mLimits[4] = {0, 0, 0, 0};
    bool mResizeable = true;
    // The content size the program gave the window: a window that cannot be
    // resized keeps it, whatever size a configure event reports meanwhile.
    int mSetWidth = 0, mSetHeight = 0;
    // The geometry hints last handed to GTK+, which are handed again only
    // when they change: every hand-over makes GTK+ configure the window
    // anew, and the configure event would apply them again.
    GdkGeometry mHints{};
    GdkWindowHints mHintsMask = GdkWindowHints(0);
    SimpleVector<SubPane *> mPanes;
    SubPane *mPaneUnderPointer = nullptr;
};
