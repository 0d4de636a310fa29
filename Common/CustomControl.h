// Custom controls: controls whose behaviour a plug-in library supplies
// (PluginInterface.h). PluginRegisterControl turns a plug-in's control
// description into a runtime class derived from RectControl: its events
// follow the RectControl events, its instances carry the plug-in's data
// after the RectControl fields, and its pane is a RuntimeCustomControlPane
// whose router calls the behaviour callbacks. Registered classes are found
// by name like the runtime's own (a definition finder).
#pragma once

#include "ObjectDefinition.h"
#include "PluginInterface.h"

#include <cstdint>

namespace customcontrols {

// The definitions registered so far, in registration order.
uint32_t Count();
ObjectDefinition *At(uint32_t index);

} // namespace customcontrols

extern "C" {
void PluginRegisterControl(KQPluginControl *control);
void CustomControlConstructor(RuntimeObject *control);
void CustomControlDestructor(RuntimeObject *control);
void CustomControlCreatePane(RuntimeObject *control);
void PluginGetControlBounds(RuntimeObject *control, KQPluginRect *bounds);
bool KESTGetControlEnabled(RuntimeObject *control);
void KESTInvalidateControl(RuntimeObject *control);
RuntimeObject *KESTGetControlGraphics(RuntimeObject *control);
void KESTLockObject(RuntimeObject *object);
void KESTUnlockObject(RuntimeObject *object);
}
