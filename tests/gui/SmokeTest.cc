// The GUI test chain itself: an i386 GTK+ program on the private display.
#include <gtest/gtest.h>

#include "GuiTest.h"

#include <cstdlib>

TEST(Smoke, OpensAndClosesAWindowOnThePrivateDisplay) {
    const char *display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);

    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Smoke");
    gtk_window_set_default_size(GTK_WINDOW(window), 240, 120);
    gtk_container_add(GTK_CONTAINER(window), gtk_label_new("pillwerk"));
    gtk_widget_show_all(window);
    ASSERT_TRUE(kqtest::WaitForWindow(window));

    unsigned long xid = kqtest::XidOf(window);
    EXPECT_TRUE(kqtest::XWindowExists(xid));
    int width = 0, height = 0;
    gdk_drawable_get_size(gtk_widget_get_window(window), &width, &height);
    EXPECT_EQ(width, 240);
    EXPECT_EQ(height, 120);
    EXPECT_NE(kqtest::SaveScreenshot(window, "gui-smoke"), "");

    gtk_widget_destroy(window);
    EXPECT_TRUE(kqtest::WaitUntil([xid] { return !kqtest::XWindowExists(xid); }));
}
