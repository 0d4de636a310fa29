// RuntimeCanvas: the pane of a `Canvas`, a drawing area that holds child
// panes (controls placed on the canvas) and can scroll its contents. Unless
// it erases its background, an exposure finds what was drawn before (the
// area is neither double-buffered nor cleared); while it has the focus it
// can draw a focus ring along its edge.
#pragma once

#include "DrawingArea.h"

class RuntimeCanvas : public ContainerPane {
  public:
    // Makes the drawing area; `acceptFocus` lets it take the keyboard focus,
    // `acceptTabs` makes Tab a key for it instead of focus traversal.
    RuntimeCanvas(ContainerPane *parent, bool acceptFocus, bool acceptTabs);

    bool AcceptsTabs() const override { return mAcceptTabs; }

    // Whether an exposure starts from the background colour (the default)
    // or from what the area showed before.
    void SetEraseBackground(bool erase);
    // Draws the focus ring inside the area's edge when the pane has the
    // focus (during an exposure of `area`).
    void DrawFocusRing(const GdkRectangle &area);
    // The ring comes and goes with the focus.
    void FocusChanged(bool gained) override;

    // Scrolls the area (x, y, width, height; canvas coordinates) by dx, dy;
    // child panes inside the area move with it when `moveControls` is set.
    void Scroll(int dx, int dy, int x, int y, int width, int height, bool moveControls);

  private:
    static void ApplyBackground(GtkWidget *widget, gpointer self);

    bool mAcceptTabs;
    bool mErase = true;
};
