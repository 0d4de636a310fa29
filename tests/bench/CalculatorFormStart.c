/* The baseline of the start-up benchmark: a C program that opens the
   calculator's main window made directly with GTK+ (CalculatorFormGtk.c) and
   waits until it is closed. With KQ_TIMESTAMPS it writes the steps "main"
   and "drawn" exactly as the runtime does. */
#include "CalculatorFormGtk.h"
#include "StepTimestamps.h"

#include <gtk/gtk.h>

#include <stdio.h>

int main(int argc, char **argv) {
    kq_timestamps_init();
    kq_timestamp("main");
    gtk_set_locale();
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "calculator_form_start: cannot open the display\n");
        return 1;
    }
    kq_timestamp_when_first_drawn();
    CalculatorForm form;
    calculator_form_build(&form);
    g_signal_connect(form.window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(form.window);
    gtk_main();
    return 0;
}
