// Panes that their objects draw themselves (canvases, custom controls): a
// GtkDrawingArea with a window of its own, whose exposures go to the pane's
// delegate as Paint callbacks with the widget's window and the exposed
// rectangle (coordinates of the drawing area).
#pragma once

#include "Pane.h"

class DrawingDelegate : public PaneDelegate {
  public:
    virtual void Paint(GdkDrawable *drawable, int width, int height, const GdkRectangle &area);
};

namespace drawingarea {

// A new drawing area for the pane, with the common mouse handlers
// connected; its exposures call the pane's delegate, which must be a
// DrawingDelegate (or none).
GtkWidget *New(Pane *pane);

// Asks for the whole widget to be drawn again (nothing without a widget).
void Invalidate(Pane *pane);

} // namespace drawingarea
