// The `Window` object of the class model: its record, its events and the
// operations the rest of the runtime uses on windows. The image's window
// classes (subclasses made with RuntimeNewClass) place their own fields
// after kWindowInstanceSize.
//
//   offset  field                 property / meaning
//   24      mImp                  __kqf_mImp: the native window, or null
//   28      mControls             __kqf_mControls: name -> control (256 buckets)
//   32      mControlList          __kqf_mControlList: members in order of addition
//   36      mMenuHandlers         __kqf_mMenuHandlers: menu item name -> handler
//   40      mContentPane          __kqf_mContentPane: the pane of the controls
//   44      mInitialControlsCreated
//   45      opening, 46 closing   the two busy flags
//   48      mFocusControl         __kqf_mFocusControl (not counted)
//   52      rect                  top, left, bottom, right (16-bit): Left, Top,
//                                 Width, Height; left/top on the screen
//   60      limits                MinWidth, MinHeight, MaxWidth, MaxHeight
//   68      title                 Title
//   72      placement, 76 frame, 80 backColor, 84 macProcId
//   88      balloonHelp, 92 floaterProcess (strings)
//   96      backdrop, 100 mouseCursor, 104 menuBar (objects, counted)
//   108...  Boolean bytes: visible, fullScreen, menuBarVisible, closeBox,
//           resizeable, maximizeButton, minimizeButton, composite,
//           liveResize, hasBackColor
//
// Property slots: 0 Visible, 1-4 Left, Top, Width, Height, 5 Placement,
// 6 Title, then FullScreen, MenuBarVisible, CloseBox, CloseButton, GrowIcon,
// Resizeable, ZoomIcon, MaximizeButton, MinimizeButton, Frame, Composite,
// LiveResize, Backdrop, Graphics, HasBackColor, BackColor, BalloonHelp,
// MinWidth, MinHeight, MaxWidth, MaxHeight, MacProcId, MouseCursor,
// ControlCount, FloaterProcess, MouseX, MouseY, MacWindowPtr, WinHWND,
// Handle, DockItem, MenuBar, Focus (in this order, from 7 to 39).
#pragma once

#include "ObjectDefinition.h"
#include "Pane.h"
#include "SimpleVector.h"
#include "StringMap.h"
#include "ViewDeclarations.h"

#include <cstddef>
#include <cstdint>

// The source name of the window layer's reports.
#define KQ_WINDOW_SOURCE "RuntimeWindow"

class RuntimeViewWindow;

struct WindowObject {
    RuntimeObject header;
    RuntimeViewWindow *mImp;
    StringMap<RuntimeObject *> *mControls;
    SimpleVector<RuntimeObject *> *mControlList;
    StringMap<void *> *mMenuHandlers;
    ContainerPane *mContentPane;
    uint8_t mInitialControlsCreated;
    uint8_t opening;
    uint8_t closing;
    RuntimeObject *mFocusControl;
    PaneRect rect;
    int16_t limits[4];
    KESTstring *title;
    int32_t placement;
    int32_t frame;
    uint32_t backColor;
    int32_t macProcId;
    KESTstring *balloonHelp;
    KESTstring *floaterProcess;
    RuntimeObject *backdrop;
    RuntimeObject *mouseCursor;
    RuntimeObject *menuBar;
    uint8_t visible;
    uint8_t fullScreen;
    uint8_t menuBarVisible;
    uint8_t closeBox;
    uint8_t resizeable;
    uint8_t maximizeButton;
    uint8_t minimizeButton;
    uint8_t composite;
    uint8_t liveResize;
    uint8_t hasBackColor;
};
static_assert(offsetof(WindowObject, mImp) == 24, "Window.mImp");
static_assert(offsetof(WindowObject, mControls) == 28, "Window.mControls");
static_assert(offsetof(WindowObject, mControlList) == 32, "Window.mControlList");
static_assert(offsetof(WindowObject, mMenuHandlers) == 36, "Window.mMenuHandlers");
static_assert(offsetof(WindowObject, mContentPane) == 40, "Window.mContentPane");
static_assert(offsetof(WindowObject, mInitialControlsCreated) == 44, "Window.mInitialControls");
static_assert(offsetof(WindowObject, opening) == 45, "Window.opening");
static_assert(offsetof(WindowObject, closing) == 46, "Window.closing");
static_assert(offsetof(WindowObject, mFocusControl) == 48, "Window.mFocusControl");
static_assert(offsetof(WindowObject, rect) == 52, "Window.rect");
static_assert(offsetof(WindowObject, limits) == 60, "Window.limits");
static_assert(offsetof(WindowObject, title) == 68, "Window.title");
static_assert(offsetof(WindowObject, placement) == 72, "Window.placement");
static_assert(offsetof(WindowObject, frame) == 76, "Window.frame");
static_assert(offsetof(WindowObject, backColor) == 80, "Window.backColor");
static_assert(offsetof(WindowObject, macProcId) == 84, "Window.macProcId");
static_assert(offsetof(WindowObject, balloonHelp) == 88, "Window.balloonHelp");
static_assert(offsetof(WindowObject, floaterProcess) == 92, "Window.floaterProcess");
static_assert(offsetof(WindowObject, backdrop) == 96, "Window.backdrop");
static_assert(offsetof(WindowObject, mouseCursor) == 100, "Window.mouseCursor");
static_assert(offsetof(WindowObject, menuBar) == 104, "Window.menuBar");
static_assert(offsetof(WindowObject, visible) == 108, "Window.visible");
static_assert(offsetof(WindowObject, fullScreen) == 109, "Window.fullScreen");
static_assert(offsetof(WindowObject, menuBarVisible) == 110, "Window.menuBarVisible");
static_assert(offsetof(WindowObject, closeBox) == 111, "Window.closeBox");
static_assert(offsetof(WindowObject, resizeable) == 112, "Window.resizeable");
static_assert(offsetof(WindowObject, maximizeButton) == 113, "Window.maximizeButton");
static_assert(offsetof(WindowObject, minimizeButton) == 114, "Window.minimizeButton");
static_assert(offsetof(WindowObject, composite) == 115, "Window.composite");
static_assert(offsetof(WindowObject, liveResize) == 116, "Window.liveResize");
static_assert(offsetof(WindowObject, hasBackColor) == 117, "Window.hasBackColor");
constexpr uint32_t kWindowInstanceSize = 120;
static_assert(sizeof(WindowObject) <= kWindowInstanceSize, "Window fields fit");

// The events of Window in slot order; HIDDEN rows are the hidden events
// (kHiddenEventFlag), the image's layout and set-up handlers.
#define KQ_WINDOW_EVENTS(HIDDEN, X)                                                                \
    HIDDEN(Layout, "", nullptr)                                                                    \
    HIDDEN(CreateControls, "", nullptr)                                                            \
    HIDDEN(AddMenuHandlers, "MenuHandlerSourceWindow as Window", nullptr)                          \
    HIDDEN(SetupBindings, "", nullptr)                                                             \
    X(Open, "", nullptr)                                                                           \
    X(Close, "", nullptr)                                                                          \
    X(CancelClose, "appQuitting as Boolean", "Boolean")                                            \
    X(KeyDown, "Key As String", "Boolean")                                                         \
    KQ_MOUSE_MOVE_EVENTS(X)                                                                        \
    X(Paint, "g As Graphics", nullptr)                                                             \
    X(MouseDown, "X As Integer, Y As Integer", "Boolean")                                          \
    X(MouseDrag, "X As Integer, Y As Integer", nullptr)                                            \
    X(MouseUp, "X As Integer, Y As Integer", nullptr)                                              \
    X(EnableMenuItems, "", nullptr)                                                                \
    X(Resized, "", nullptr)                                                                        \
    X(Resizing, "", nullptr)                                                                       \
    X(Moved, "", nullptr)                                                                          \
    KQ_DROP_OBJECT_EVENT(X)                                                                        \
    X(Activate, "", nullptr)                                                                       \
    X(Deactivate, "", nullptr)                                                                     \
    X(Minimize, "", nullptr)                                                                       \
    X(Maximize, "", nullptr)                                                                       \
    X(Restore, "", nullptr)                                                                        \
    X(MouseWheel, "X As Integer, Y As Integer, DeltaX as Integer, DeltaY as Integer", "Boolean")   \
    KQ_MENU_AND_DRAG_EVENTS(X)

enum class WindowEvent : uint32_t { KQ_WINDOW_EVENTS(KQ_EVENT_SLOT, KQ_EVENT_SLOT) };

// The definition flag of the hidden events and of alias properties.
constexpr uint32_t kHiddenEventFlag = 0x40;
constexpr uint32_t kAliasPropertyFlag = 0x8000;

namespace windows {

// The item of a Window event, for events::Raise.
const EventItem *Event(WindowEvent event);

// The window an entry point received, after the check that it is not
// nothing (a report naming `line` and "window" when it is).
WindowObject *Checked(RuntimeObject *window, int line);
#define KQ_CHECKED_WINDOW(object) windows::Checked((object), __LINE__)

// Whether the object is a Window (false for null).
bool IsWindow(RuntimeObject *object);

// The window object as its record; null for an object that is no window.
WindowObject *AsWindow(RuntimeObject *object);

// The native window of a window object, or null when it is not open.
RuntimeViewWindow *NativeOf(RuntimeObject *window);

// Opening: creates the native window with the window's stored properties
// and the panes of its controls (nothing when it is open already). A
// visible window is shown at once, or, while it is `building` (opened by its
// construction, before the image adds its controls), when its constructor
// runs or the main loop next turns, whichever comes first.
void Open(WindowObject *window, bool building = false);

// Closing as the close box, Close and quitting do it; true when the window
// (or a window embedded in it) cancelled.
bool Close(WindowObject *window, bool appQuitting);

// The Open events: each member control's Open in the order of addition,
// then the window's own.
void RaiseOpenEvents(WindowObject *window);

// The panes of every member control are made (when the window opens).
void CreateControlPanes(WindowObject *window);

// Releases a control list and its name map (when the native window goes or
// the window object dies): each control loses its pane and its window, and
// the list's reference; both are deleted and the pointers cleared.
void ReleaseControls(SimpleVector<RuntimeObject *> *&list, StringMap<RuntimeObject *> *&map);

// The stored properties applied to a new native window, and the background
// colour on its own (HasBackColor and BackColor).
void ApplyStoredProperties(WindowObject *window);
void ApplyBackColor(WindowObject *window);

// The window's menu bar enters the native window's menu box (at opening
// and when it is set) and leaves it (when the native window goes).
void InstallMenuBar(WindowObject *window);
void TakeDownMenuBar(WindowObject *window);

// Installs the window layer's hooks into the main loop (once).
void InstallMainLoopHooks();

} // namespace windows
