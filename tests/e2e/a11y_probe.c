/* A window with an entry, a button and a label: pressing "Copy" puts the
 * entry's text into the label. The accessibility harness drives it. */
#include <gtk/gtk.h>

static GtkWidget *entry, *label;

static void on_copy(GtkButton *button, gpointer data) {
    (void)button;
    (void)data;
    gchar *text = g_strconcat("Copied: ", gtk_entry_get_text(GTK_ENTRY(entry)), NULL);
    gtk_label_set_text(GTK_LABEL(label), text);
    g_free(text);
}

int main(int argc, char **argv) {
    gtk_set_locale();
    gtk_init(&argc, &argv);
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "A11y Probe");
    GtkWidget *box = gtk_vbox_new(FALSE, 4);
    entry = gtk_entry_new();
    GtkWidget *button = gtk_button_new_with_label("Copy");
    label = gtk_label_new("nothing yet");
    gtk_box_pack_start(GTK_BOX(box), entry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), button, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    g_signal_connect(button, "clicked", G_CALLBACK(on_copy), NULL);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
