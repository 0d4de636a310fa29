// The entry points of `Control` and `RectControl`: life cycle, property
// accessors (called with the object and the property's parameter) and
// methods. A null control raises NilObjectException; setters of a control
// without a pane only store the value, which the pane gets when it is made.
#pragma once

#include "KESTstring.h"

#include <cstdint>

struct RuntimeObject;

extern "C" {
void RuntimeControlInitializer(RuntimeObject *control);
void RuntimeControlFinalizer(RuntimeObject *control);
void RectControlInitializer(RuntimeObject *control);
void RectControlFinalizer(RuntimeObject *control);

// Control
void ControlTabPanelIndexSetter(RuntimeObject *control, int32_t parameter, int32_t value);
int32_t ControlPanelIndexGetter(RuntimeObject *control, int32_t parameter);
void ControlPanelIndexSetter(RuntimeObject *control, int32_t parameter, int32_t value);
int32_t controlMouseXGetter(RuntimeObject *control, int32_t parameter);
int32_t controlMouseYGetter(RuntimeObject *control, int32_t parameter);
RuntimeObject *controlWindowGetter(RuntimeObject *control, int32_t parameter);
int32_t controlMacControlHandleGetter(RuntimeObject *control, int32_t parameter);

// RectControl: the help texts and the cursor are stored at the offset the
// parameter gives; the position accessors take the index 0-3 (Left, Top,
// Width, Height).
void controlHelpTagSetter(RuntimeObject *control, int32_t offset, KESTstring *value);
void controlBalloonHelpSetter(RuntimeObject *control, int32_t offset, KESTstring *value);
void controlDisabledBalloonHelpSetter(RuntimeObject *control, int32_t offset, KESTstring *value);
void controlMouseCursorSetter(RuntimeObject *control, int32_t offset, RuntimeObject *cursor);
bool controlVisibleGetter(RuntimeObject *control, int32_t parameter);
void ControlVisibleSetter(RuntimeObject *control, int32_t parameter, bool value);
int32_t ctlPosGetter(RuntimeObject *control, int32_t index);
void ctlPosSetter(RuntimeObject *control, int32_t index, int32_t value);
bool controlEnabledGetter(RuntimeObject *control, int32_t parameter);
void controlEnabledSetter(RuntimeObject *control, int32_t parameter, bool value);
bool controlActiveGetter(RuntimeObject *control, int32_t parameter);
bool controlAutoDeactivateGetter(RuntimeObject *control, int32_t parameter);
void controlAutoDeactivateSetter(RuntimeObject *control, int32_t parameter, bool value);
bool controlLockLeftGetter(RuntimeObject *control, int32_t parameter);
bool controlLockTopGetter(RuntimeObject *control, int32_t parameter);
bool controlLockRightGetter(RuntimeObject *control, int32_t parameter);
bool controlLockBottomGetter(RuntimeObject *control, int32_t parameter);
void controlLockLeftSetter(RuntimeObject *control, int32_t parameter, bool value);
void controlLockTopSetter(RuntimeObject *control, int32_t parameter, bool value);
void controlLockRightSetter(RuntimeObject *control, int32_t parameter, bool value);
void controlLockBottomSetter(RuntimeObject *control, int32_t parameter, bool value);
RuntimeObject *ControlParentGetter(RuntimeObject *control, int32_t parameter);
void ControlParentSetter(RuntimeObject *control, int32_t parameter, RuntimeObject *parent);
void ControlInitialParentSetter(RuntimeObject *control, int32_t parameter, KESTstring *name);

// RectControl methods
void RuntimeControlRefresh(RuntimeObject *control, bool eraseBackground);
void RuntimeControlRefreshRect(RuntimeObject *control, int32_t left, int32_t top, int32_t width,
                               int32_t height, bool eraseBackground);
void RuntimeControlInvalidate(RuntimeObject *control, bool eraseBackground);
void RuntimeControlInvalidateRect(RuntimeObject *control, int32_t left, int32_t top, int32_t width,
                                  int32_t height, bool eraseBackground);
void RuntimeSetFocus(RuntimeObject *control);
void RuntimeControlDrawInto(RuntimeObject *control, RuntimeObject *g, int32_t left, int32_t top);
void RectControlDefaultConstructor(RuntimeObject *control);
void RuntimeControlMove(RuntimeObject *control, int32_t left, int32_t top, int32_t width,
                        int32_t height);
int32_t RuntimeControlDefaultHeight(RuntimeObject *control);
}
