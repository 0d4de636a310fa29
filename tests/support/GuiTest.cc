#include "GuiTest.h"

#include <gdk/gdkx.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace kqtest {

bool WaitUntil(const std::function<bool()> &done, int timeoutMs) {
    gint64 deadline = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
    // A periodic wake-up so that conditions which change without a GLib
    // event (another process, the X server) are looked at again.
    guint tick = g_timeout_add(
        10, [](gpointer) -> gboolean { return TRUE; }, nullptr);
    bool ok;
    while (!(ok = done()) && g_get_monotonic_time() < deadline)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(tick);
    return ok;
}

bool WaitForWindow(GtkWidget *window, int timeoutMs) {
    bool shown = WaitUntil(
        [window] {
            GdkWindow *w = gtk_widget_get_window(window);
            return w != nullptr && gdk_window_is_viewable(w);
        },
        timeoutMs);
    if (!shown) return false;
    gdk_window_process_all_updates();
    gdk_display_sync(gdk_display_get_default());
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    return true;
}

unsigned long XidOf(GtkWidget *widget) {
    GdkWindow *window = gtk_widget_get_window(widget);
    return window != nullptr ? GDK_WINDOW_XID(window) : 0;
}

bool XWindowExists(unsigned long xid) {
    XWindowAttributes attributes;
    gdk_error_trap_push();
    Status status =
        XGetWindowAttributes(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), xid, &attributes);
    gdk_flush();
    bool failed = gdk_error_trap_pop() != 0;
    return status != 0 && !failed;
}

std::string SaveScreenshot(GtkWidget *window, const std::string &name) {
    const char *dir = std::getenv("KQ_ARTIFACT_DIR");
    std::string folder = dir != nullptr && *dir != 0 ? dir : "artifacts";
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return "";
    GdkWindow *root = gdk_get_default_root_window();
    int x = 0, y = 0, width, height;
    gdk_drawable_get_size(root, &width, &height);
    if (window != nullptr && gtk_widget_get_window(window) != nullptr) {
        GdkRectangle frame;
        gdk_window_get_frame_extents(gtk_widget_get_window(window), &frame);
        x = frame.x, y = frame.y, width = frame.width, height = frame.height;
    }
    GdkPixbuf *shot =
        gdk_pixbuf_get_from_drawable(nullptr, root, nullptr, x, y, 0, 0, width, height);
    if (shot == nullptr) return "";
    std::string path = folder + "/" + name + ".png";
    gboolean saved = gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(shot);
    return saved ? path : "";
}

} // namespace kqtest
