// The pane of a Canvas (see CanvasPane.h).
#include "CanvasPane.h"

RuntimeCanvas::RuntimeCanvas(ContainerPane *parent, bool acceptFocus, bool acceptTabs)
    : ContainerPane(parent), mAcceptTabs(acceptTabs) {
    GtkWidget *area = drawingarea::New(this);
    gtk_widget_set_can_focus(area, acceptFocus);
    SetWidget(area);
}

void RuntimeCanvas::Scroll(int dx, int dy, int x, int y, int width, int height, bool moveControls) {
    if (dx == 0 && dy == 0) return;
    GdkWindow *window = Widget() != nullptr ? gtk_widget_get_window(Widget()) : nullptr;
    if (window != nullptr) {
        GdkRectangle r = {x, y, width, height};
        GdkRegion *region = gdk_region_rectangle(&r);
        gdk_window_move_region(window, region, dx, dy);
        gdk_region_destroy(region);
    }
    if (!moveControls) return;
    // Children are in window coordinates; the area in canvas coordinates.
    PaneRect area = {int16_t(mRect.top + y), int16_t(mRect.left + x),
                     int16_t(mRect.top + y + height), int16_t(mRect.left + x + width)};
    for (uint32_t i = 0; i < ChildCount(); ++i) {
        Pane *child = Child(i);
        PaneRect r = child->Rect();
        if (!area.Contains(r.left, r.top)) continue;
        r = {int16_t(r.top + dy), int16_t(r.left + dx), int16_t(r.bottom + dy),
             int16_t(r.right + dx)};
        child->SetRect(r);
        if (child->Delegate() != nullptr) child->Delegate()->RectChanged(r);
    }
}
