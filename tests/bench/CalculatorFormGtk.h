/* The calculator's main window made directly with GTK+ 2 in C: the same 45
   controls (13 entries, 21 labels, 3 push buttons, 3 radio buttons and 5
   stepper arrows drawn in a drawing area) at the same places, with the same
   texts, fonts and colours, under the same menu bar with its shortcuts. The
   baseline of the benchmarks that open, draw and fill that window. */
#pragma once

#include <gtk/gtk.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { kCalculatorFormControls = 45 };

typedef struct {
    GtkWidget *window;
    const char *names[kCalculatorFormControls];
    GtkWidget *widgets[kCalculatorFormControls];
} CalculatorForm;

/* Builds the window (not yet shown) into `form`. */
void calculator_form_build(CalculatorForm *form);

/* The widget of the control named `name`, or NULL. */
GtkWidget *calculator_form_widget(const CalculatorForm *form, const char *name);

#ifdef __cplusplus
}
#endif
