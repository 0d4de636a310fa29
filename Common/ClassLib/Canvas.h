// The class `Canvas` (Canvas.cc): the entry points of its properties,
// methods and pane.
#pragma once

#include "RuntimeObject.h"

#include <cstdint>

extern "C" {
void RuntimeCanvasInitializer(RuntimeObject *canvas);
void RuntimeCanvasDestructor(RuntimeObject *canvas);
void CanvasCreatePane(RuntimeObject *canvas);
RuntimeObject *canvasGraphicsGetter(RuntimeObject *canvas, int32_t);
void canvasBackdropSetter(RuntimeObject *canvas, int32_t, RuntimeObject *picture);
void canvasScroll(RuntimeObject *canvas, int32_t dx, int32_t dy, int32_t x, int32_t y,
                  int32_t width, int32_t height, bool moveControls);
}
