// Process start of the runtime: prepares GTK+ and hands over to the runtime.
#include <gtk/gtk.h>

int main(int argc, char **argv) {
    gtk_set_locale();
    gtk_init(&argc, &argv);
    return 0;
}
