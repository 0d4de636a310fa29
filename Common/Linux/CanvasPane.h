// RuntimeCanvas: the pane of a `Canvas`, a drawing area that holds child
// panes (controls placed on the canvas) and can scroll its contents.
#pragma once

#include "DrawingArea.h"

class RuntimeCanvas : public ContainerPane {
  public:
    // Makes the drawing area; `acceptFocus` lets it take the keyboard focus,
    // `acceptTabs` makes Tab a key for it instead of focus traversal.
    RuntimeCanvas(ContainerPane *parent, bool acceptFocus, bool acceptTabs);

    bool AcceptsTabs() const override { return mAcceptTabs; }

    // Scrolls the area (x, y, width, height; canvas coordinates) by dx, dy;
    // child panes inside the area move with it when `moveControls` is set.
    void Scroll(int dx, int dy, int x, int y, int width, int height, bool moveControls);

  private:
    bool mAcceptTabs;
};
