// Drawing areas of self-drawn panes (see DrawingArea.h).
#include "DrawingArea.h"

#include "NativeWindow.h"

void DrawingDelegate::Paint(GdkDrawable *, int, int, const GdkRectangle &) {}

namespace {

gboolean OnExpose(GtkWidget *widget, GdkEventExpose *event, gpointer data) {
    auto *pane = static_cast<Pane *>(data);
    auto *delegate = static_cast<DrawingDelegate *>(pane->Delegate());
    if (delegate == nullptr) return FALSE;
    GtkAllocation size;
    gtk_widget_get_allocation(widget, &size);
    NativeWindow::EventBracket bracket(pane->Window());
    delegate->Paint(event->window, size.width, size.height, event->area);
    return TRUE;
}

} // namespace

namespace drawingarea {

GtkWidget *New(Pane *pane) {
    GtkWidget *area = gtk_drawing_area_new();
    g_signal_connect(area, "expose-event", G_CALLBACK(OnExpose), pane);
    pane->ConnectCommonHandlers(area);
    return area;
}

void Invalidate(Pane *pane) {
    if (pane->Widget() != nullptr) gtk_widget_queue_draw(pane->Widget());
}

} // namespace drawingarea
