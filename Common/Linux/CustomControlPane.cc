// The pane of a plug-in's control (see CustomControlPane.h).
#include "CustomControlPane.h"

RuntimeCustomControlPane::RuntimeCustomControlPane(ContainerPane *parent, bool acceptFocus)
    : SubPane(parent) {
    GtkWidget *area = drawingarea::New(this);
    gtk_widget_set_can_focus(area, acceptFocus);
    SetWidget(area);
}
