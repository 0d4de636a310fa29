// Panes: the native side of every window and visible control. A pane owns
// its GTK+ widget, keeps its rectangle (and the one it had before the last
// resize), knows its parent pane and its window, and reports what the user
// does to a delegate. Panes know GTK+ and their delegate interfaces, nothing
// of the class model: the routers (Common/) implement the delegates and turn
// the callbacks into events of the control objects.
//
//   Pane           widget, rectangles, delegate, handlers, death notices
//   SubPane        a pane inside a parent: registered with its window
//   ContainerPane  a pane with child panes, re-laid when it is resized
//   NativeWindow   the top-level window (NativeWindow.h)
//
// Coordinates are pixels of the window's content area, y downwards; every
// rectangle of every pane is in these window coordinates (all widgets stand
// in the window's one fixed container). Delegates receive mouse positions
// relative to the pane's own top-left corner.
//
// A control pane is made by its control class's CreatePane (Control.h has
// the helpers): construct the pane inside its parent, create the widget and
// SetWidget() it, ConnectCommonHandlers() on the widget that receives the
// clicks, give it its router with SetDelegate(), and attach it to the control
// object, which places the widget and applies the stored properties.
#pragma once

#include "KESTstring.h"
#include "SimpleVector.h"

#include <gtk/gtk.h>

#include <cstdint>

class ContainerPane;
class NativeWindow;
class Pane;

// A rectangle as windows and controls store it: four signed 16-bit values.
struct PaneRect {
    int16_t top, left, bottom, right;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PaneRect &o) const {
        return top == o.top && left == o.left && bottom == o.bottom && right == o.right;
    }
    bool operator!=(const PaneRect &o) const { return !(*this == o); }
};

// Lock flags of a control: the edges it keeps its distance to when its
// parent pane is resized.
enum PaneLocks : uint8_t {
    kLockLeft = 1,
    kLockTop = 2,
    kLockRight = 4,
    kLockBottom = 8,
};

// The common callbacks of a pane, implemented by the router of the object it
// serves. Every callback has a default that does nothing (a Boolean one
// answers false); mouse positions are relative to the pane.
class PaneDelegate {
  public:
    virtual ~PaneDelegate() = default;

    virtual bool MouseDown(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseUp(int x, int y);
    virtual void MouseMove(int x, int y);
    virtual void MouseEnter();
    virtual void MouseExit();
    virtual bool MouseWheel(int x, int y, int deltaX, int deltaY);
    virtual void GotFocus();
    virtual void LostFocus();
    // A key for the focused pane (the window's key handling); true consumes.
    virtual bool KeyDown(KESTstring *key);
    // Shift+F10 or a contextual click; true when a menu was shown.
    virtual bool ContextualMenu(int x, int y);

    // Re-layout: the lock flags of the object, and its new rectangle after
    // its parent was resized (the pane has already moved).
    virtual uint8_t Locks();
    virtual void RectChanged(const PaneRect &rect);
};

// Told when a pane is destroyed, before it goes; register with
// Pane::AddDeathReceiver. Objects that must not outlive a pane use it.
class PaneDeathNotificationReceiver {
  public:
    virtual ~PaneDeathNotificationReceiver() = default;
    virtual void PaneDied(Pane *pane) = 0;
};

// What a pane's mouse-down handler did with a press.
enum class PressResult {
    NotHandled,       // the pane passes (GTK+ handles the press)
    Handled,          // taken; GTK+ does not see it
    HandledLetGtkToo, // taken, and GTK+ handles it as well
};

// What kind of text widget a pane is, for the window's key handling.
enum class TextKind { None, SingleLine, MultiLine };

// Enables the menu item of a command name (the menu layer's enabling pass).
using MenuCommandEnabler = void (*)(const char *name, void *context);

class Pane {
  public:
    Pane() = default;
    virtual ~Pane();
    Pane(const Pane &) = delete;
    Pane &operator=(const Pane &) = delete;

    // The widget, with one reference of the pane (a floating widget is
    // sunk); destroyed with the pane. SetWidget may be called once.
    GtkWidget *Widget() const { return mWidget; }
    void SetWidget(GtkWidget *widget);
    // The widget that takes the keyboard focus (the widget by default).
    virtual GtkWidget *FocusWidget() const { return mWidget; }

    virtual ContainerPane *Parent() const { return nullptr; }
    virtual NativeWindow *Window() const { return nullptr; }

    const PaneRect &Rect() const { return mRect; }
    const PaneRect &PreviousRect() const { return mPreviousRect; }
    // Moves and resizes the pane and its widget (a container re-lays its
    // children). The previous rectangle stays until the re-layout.
    virtual void SetRect(const PaneRect &rect);

    // The delegate, owned by the pane (null: none).
    PaneDelegate *Delegate() const { return mDelegate; }
    void SetDelegate(PaneDelegate *delegate);

    // Shows or hides the widget; enables or disables it.
    virtual void SetVisible(bool visible);
    virtual void SetEnabled(bool enabled);
    bool IsVisible() const;
    bool IsEnabled() const;
    virtual void SetToolTip(const char *text);
    virtual void SetCursor(GdkCursor *cursor);

    // Handlers, with window coordinates; the defaults tell the delegate. A
    // default mouse-down that the delegate takes makes this pane the mouse-
    // tracking pane, so that drags and the release follow.
    virtual PressResult HandleMouseDown(int x, int y, uint16_t modifiers);
    virtual PressResult HandleDoubleClick(int x, int y, uint16_t modifiers);
    virtual void HandleMouseDrag(int x, int y);
    virtual void HandleMouseUp(int x, int y);
    virtual void HandleMouseMove(int x, int y);
    virtual void HandleMouseEnter();
    virtual void HandleMouseExit();
    virtual bool HandleMouseWheel(int x, int y, int deltaX, int deltaY);
    virtual bool HandleKeyDown(KESTstring *key);
    virtual bool HandleContextualMenu(int x, int y);
    // The focus notifications (from the focus record, panes::SetFocusedPane).
    virtual void FocusChanged(bool gained);
    // Called once per main-loop iteration while the pane has the focus.
    virtual void Idle() {}

    // Whether a press that this pane did not take goes on to the pane below
    // it (mouse-down dispatch); false: the press stops here.
    virtual bool LetsClicksThrough() const { return false; }

    // Focus: whether the pane can take the keyboard focus now (its widget
    // can focus and is visible and enabled), and taking it.
    virtual bool AcceptsFocus() const;
    virtual void TakeFocus();

    // For the window's key handling: the kind of text widget, whether a Tab
    // is typed into it, and the push-button roles (a push button pane
    // answers these and is pressed by Return or Escape).
    virtual TextKind TextWidgetKind() const;
    virtual bool AcceptsTabs() const { return false; }
    virtual bool IsDefaultButton() const { return false; }
    virtual bool IsCancelButton() const { return false; }
    virtual void PressButton() {}

    // Menu commands that the focused pane carries out itself (an edit
    // field's "EditCut", "EditCopy", "EditPaste", "EditClear" and
    // "EditSelectAll"): true when it carried out the named one. The
    // enabling pass asks it which of them it can carry out now.
    virtual bool DoMenuCommand(const char *) { return false; }
    virtual void EnableMenuCommands(MenuCommandEnabler, void *) {}

    void AddDeathReceiver(PaneDeathNotificationReceiver *receiver);
    void RemoveDeathReceiver(PaneDeathNotificationReceiver *receiver);

    // Connects the common mouse and focus handlers (PaneEvents.cc) to a
    // widget of this pane: "button-press-event", "button-release-event" and
    // "grab-focus".
    void ConnectCommonHandlers(GtkWidget *widget);

    // Whether the point (window coordinates) lies inside the pane.
    bool Contains(int x, int y) const { return mRect.Contains(x, y); }

  protected:
    // Puts a new widget in the place of the current one: it takes over the
    // position in the window, the visibility, sensitivity and tool tip, and
    // the old widget is destroyed.
    void ReplaceWidget(GtkWidget *widget);
    // Ends the re-layout: the current rectangle becomes the previous one.
    void SettleRect() { mPreviousRect = mRect; }
    // Moves the widget to the current rectangle (nothing without a widget).
    void MoveWidget();

    PaneRect mRect{};
    PaneRect mPreviousRect{};

  private:
    GtkWidget *mWidget = nullptr;
    PaneDelegate *mDelegate = nullptr;
    SimpleVector<PaneDeathNotificationReceiver *> mDeathReceivers;
};

// A pane inside a parent pane of a window. Constructing one registers it
// with its parent and its window (the window's panes in creation order are
// the order of mouse-down dispatch and of Tab traversal); destroying it
// removes it from both.
class SubPane : public Pane {
  public:
    explicit SubPane(ContainerPane *parent);
    ~SubPane() override;

    ContainerPane *Parent() const override { return mParent; }
    NativeWindow *Window() const override { return mWindow; }

    // Places the widget in the window's fixed container at the pane's
    // rectangle and shows it when asked (the widget must be set).
    void PutWidget(bool show);

    // Moves the pane under another parent of the same window.
    virtual void SetParent(ContainerPane *parent);

  protected:
    // A pane without parent: the window itself.
    explicit SubPane(NativeWindow *window);

  private:
    friend class ContainerPane;
    friend class NativeWindow;
    ContainerPane *mParent;
    NativeWindow *mWindow;
};

// A pane with child panes. When it is resized, children whose delegates
// lock them to the right or bottom edge move or stretch with it.
class ContainerPane : public SubPane {
  public:
    explicit ContainerPane(ContainerPane *parent) : SubPane(parent) {}
    ~ContainerPane() override;

    void SetRect(const PaneRect &rect) override;

    uint32_t ChildCount() const { return mChildren.Count(); }
    Pane *Child(uint32_t index) const { return mChildren[index]; }

    // The re-layout of the locked children after this pane changed from its
    // previous rectangle to its current one; then the current rectangle
    // becomes the previous one. A child locked right moves with the right
    // edge, or stretches when it is also locked left; likewise bottom/top.
    void RelayoutChildren();

    // The rectangle of a child locked by `locks` after its parent grew by
    // dW and dH (16-bit arithmetic).
    static PaneRect LockedRect(PaneRect rect, uint8_t locks, int dW, int dH);

  protected:
    // The window itself, which has no parent.
    explicit ContainerPane(NativeWindow *window) : SubPane(window) {}

  private:
    friend class SubPane;
    SimpleVector<SubPane *> mChildren;
};

// The focus record and the mouse-tracking pane (PaneEvents.cc): one focused
// pane and one tracking pane for the whole program.
namespace panes {

// The pane with the keyboard focus, or null. Setting it tells the old pane
// that it lost the focus and the new one that it got it.
Pane *FocusedPane();
void SetFocusedPane(Pane *pane);

// The pane that took the mouse-down and receives the drags and the release.
Pane *TrackingPane();
void SetTrackingPane(Pane *pane);

// The control layer's mark that a mouse-down handler is running; returns
// the previous value. While it is set, further presses are not dispatched.
bool ExchangeMouseDownMark(bool value);
bool MouseDownMark();

// The time stamp of the last button press handled: a press seen again
// through an enclosing widget carries the same stamp and is ignored.
bool IsRepeatedPress(uint32_t time);
void NotePress(uint32_t time);

// Forgets a pane that is going away (focus and tracking).
void Forget(Pane *pane);

} // namespace panes
