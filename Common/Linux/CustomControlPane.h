// RuntimeCustomControlPane: the pane of a control that a plug-in supplies.
// A drawing area whose delegate (the custom control router) hands paint,
// mouse and focus callbacks to the control's behaviour callbacks.
#pragma once

#include "DrawingArea.h"

class RuntimeCustomControlPane : public SubPane {
  public:
    RuntimeCustomControlPane(ContainerPane *parent, bool acceptFocus);
};
