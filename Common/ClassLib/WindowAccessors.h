// The entry points of `Window`: life cycle, methods and property accessors
// (getters are called with the window and the property's parameter, setters
// with the value after them). Every one asserts that the window is not
// nothing. A property set while the window is not open is only stored and
// applied when the native window is made.
#pragma once

#include "KESTstring.h"

#include <cstdint>

struct RuntimeObject;
struct RuntimeClass;

extern "C" {
// Life cycle and methods (RuntimeWindow.cc, WindowControls.cc).
void RuntimeCreateWindow(RuntimeObject *window);
void RuntimeWindowFinalizer(RuntimeObject *window);
void WindowDefaultConstructor(RuntimeObject *window);
RuntimeObject *WindowAllocateObject(RuntimeClass *classToCreate);
RuntimeObject *RuntimeGetImplicitWindow(KESTstring *className);
void RuntimeShowWindow(RuntimeObject *window);
void RuntimeShowWithinWindow(RuntimeObject *window, RuntimeObject *parentWindow, int32_t facing);
void RuntimeShowModalWithinWindow(RuntimeObject *window, RuntimeObject *parentWindow);
void RuntimeHideWindow(RuntimeObject *window);
void RuntimeCloseWindow(RuntimeObject *window);
void RuntimeShowModal(RuntimeObject *window);
void WindowMove(RuntimeObject *window, int32_t left, int32_t top, int32_t width, int32_t height);
void WindowMaximize(RuntimeObject *window);
void WindowMinimize(RuntimeObject *window);
void WindowRestore(RuntimeObject *window);
void formRefresh(RuntimeObject *window, bool eraseBackground);
void formRefreshRect(RuntimeObject *window, int32_t x, int32_t y, int32_t width, int32_t height,
                     bool eraseBackground);
void formSetFocus(RuntimeObject *window);
void formDrawInto(RuntimeObject *window, RuntimeObject *g, int32_t x, int32_t y, bool asActive);
void formDrawBackground(RuntimeObject *window, RuntimeObject *g, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t srcLeft, int32_t srcTop);
void WindowForceUpdateFrontBuffer(RuntimeObject *window);
int32_t WindowToWindowPtr(RuntimeObject *window);

// Controls of a window.
void WindowAddControl(RuntimeObject *window, KESTstring *name, RuntimeObject *control);
void WindowAddMenuHandler(RuntimeObject *window, KESTstring *name, void *handler);
RuntimeObject *RuntimeControlReference(RuntimeObject *window, KESTstring *name);
RuntimeObject *RuntimeControlArrayItemReference(RuntimeObject *window, KESTstring *name,
                                                int32_t index);
int32_t windowControlCountGetter(RuntimeObject *window, int32_t parameter);
RuntimeObject *windowControl(RuntimeObject *window, int32_t index);

// Properties (WindowAccessors.cc).
bool WindowVisibleGetter(RuntimeObject *window, int32_t parameter);
void WindowVisibleSetter(RuntimeObject *window, int32_t parameter, bool value);
int32_t windowPosGetter(RuntimeObject *window, int32_t index);
void windowPosSetter(RuntimeObject *window, int32_t index, int32_t value);
int32_t windowPlacementGetter(RuntimeObject *window, int32_t parameter);
void windowPlacementSetter(RuntimeObject *window, int32_t parameter, int32_t value);
KESTstring *windowTitleGetter(RuntimeObject *window, int32_t parameter);
void windowTitleSetter(RuntimeObject *window, int32_t parameter, KESTstring *title);
bool windowFullScreenGetter(RuntimeObject *window, int32_t parameter);
void windowFullScreenSetter(RuntimeObject *window, int32_t parameter, bool value);
RuntimeObject *WindowMenuBarGetter(RuntimeObject *window, int32_t parameter);
void WindowMenuBarSetter(RuntimeObject *window, int32_t parameter, RuntimeObject *menuBar);
RuntimeObject *RuntimeMenuReference(RuntimeObject *window, KESTstring *name);
bool windowMenusVisibleGetter(RuntimeObject *window, int32_t parameter);
void windowMenusVisibleSetter(RuntimeObject *window, int32_t parameter, bool value);
bool windowCloseBoxGetter(RuntimeObject *window, int32_t parameter);
void windowCloseBoxSetter(RuntimeObject *window, int32_t parameter, bool value);
bool windowGrowIconGetter(RuntimeObject *window, int32_t parameter);
void windowGrowIconSetter(RuntimeObject *window, int32_t parameter, bool value);
bool windowZoomIconGetter(RuntimeObject *window, int32_t parameter);
void windowZoomIconSetter(RuntimeObject *window, int32_t parameter, bool value);
int32_t windowFrameGetter(RuntimeObject *window, int32_t parameter);
void windowFrameSetter(RuntimeObject *window, int32_t parameter, int32_t value);
bool windowLiveResizeGetter(RuntimeObject *window, int32_t parameter);
void windowLiveResizeSetter(RuntimeObject *window, int32_t parameter, bool value);
RuntimeObject *windowBackdropGetter(RuntimeObject *window, int32_t parameter);
void windowBackdropSetter(RuntimeObject *window, int32_t parameter, RuntimeObject *picture);
// A Graphics drawing on the open window's content; nothing while it is
// closed.
RuntimeObject *windowGraphicsGetter(RuntimeObject *window, int32_t parameter);
bool windowHasBackColorGetter(RuntimeObject *window, int32_t parameter);
void windowHasBackColorSetter(RuntimeObject *window, int32_t parameter, bool value);
uint32_t windowBackColorGetter(RuntimeObject *window, int32_t parameter);
void windowBackColorSetter(RuntimeObject *window, int32_t parameter, uint32_t color);
void windowBalloonHelpSetter(RuntimeObject *window, int32_t offset, KESTstring *text);
int32_t windowMinMaxWidthHeightGetter(RuntimeObject *window, int32_t index);
void windowMinMaxWidthHeightSetter(RuntimeObject *window, int32_t index, int32_t value);
void formMouseCursorSetter(RuntimeObject *window, int32_t offset, RuntimeObject *cursor);
int32_t windowMouseXGetter(RuntimeObject *window, int32_t parameter);
int32_t windowMouseYGetter(RuntimeObject *window, int32_t parameter);
int32_t windowWindowPtrGetter(RuntimeObject *window, int32_t parameter);
int32_t windowHWNDGetter(RuntimeObject *window, int32_t parameter);
int32_t WindowHandleGetter(RuntimeObject *window, int32_t parameter);
RuntimeObject *WindowFocusGetter(RuntimeObject *window, int32_t parameter);
void WindowFocusSetter(RuntimeObject *window, int32_t parameter, RuntimeObject *control);
}
