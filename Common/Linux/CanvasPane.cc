// The pane of a Canvas (see CanvasPane.h).
#include "CanvasPane.h"

RuntimeCanvas::RuntimeCanvas(ContainerPane *parent, bool acceptFocus, bool acceptTabs)
    : ContainerPane(parent), mAcceptTabs(acceptTabs) {
    GtkWidget *area = drawingarea::New(this);
    gtk_widget_set_can_focus(area, acceptFocus);
    SetWidget(area);
    // GTK+ sets the window's background when it realises the widget and
    // when its style changes; an area that keeps its content has none.
    g_signal_connect_after(area, "realize", G_CALLBACK(ApplyBackground), this);
    g_signal_connect_after(area, "style-set", G_CALLBACK(ApplyBackground), this);
}

void RuntimeCanvas::SetEraseBackground(bool erase) {
    if (erase == mErase) return;
    mErase = erase;
    gtk_widget_set_double_buffered(Widget(), erase);
    ApplyBackground(Widget(), this);
}

void RuntimeCanvas::ApplyBackground(GtkWidget *widget, gpointer self) {
    GdkWindow *window = gtk_widget_get_window(widget);
    if (window == nullptr) return;
    if (static_cast<RuntimeCanvas *>(self)->mErase)
        gtk_style_set_background(gtk_widget_get_style(widget), window,
                                 gtk_widget_get_state(widget));
    else
        gdk_window_set_back_pixmap(window, nullptr, FALSE);
}

void RuntimeCanvas::DrawFocusRing(const GdkRectangle &area) {
    GtkWidget *widget = Widget();
    if (panes::FocusedPane() != this || !gtk_widget_has_focus(widget)) return;
    GdkRectangle clip = area;
    gtk_paint_focus(gtk_widget_get_style(widget), gtk_widget_get_window(widget),
                    gtk_widget_get_state(widget), &clip, widget, "canvas", 0, 0, mRect.Width(),
                    mRect.Height());
}

void RuntimeCanvas::FocusChanged(bool gained) {
    ContainerPane::FocusChanged(gained);
    drawingarea::Invalidate(this);
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
