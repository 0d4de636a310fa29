// The runtime error report as the user meets it: a modal GTK+ error dialog
// on the display, answered with a real click on its OK button.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "RuntimeErrorReport.h"

#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct Answer {
    std::string text;
    std::string screenshot;
    bool clicked = false;
};

bool gInsideReport = false;

// Cancel ends the process with status 0; a test that ends that way must not
// count as passed.
void FailIfEndedInsideReport() {
    if (gInsideReport) _exit(1);
}

GtkWidget *ShownMessageDialog() {
    GList *toplevels = gtk_window_list_toplevels();
    GtkWidget *found = nullptr;
    for (GList *l = toplevels; l != nullptr; l = l->next) {
        GtkWidget *w = GTK_WIDGET(l->data);
        if (GTK_IS_MESSAGE_DIALOG(w) && gtk_widget_get_window(w) != nullptr &&
            gdk_window_is_viewable(gtk_widget_get_window(w)))
            found = w;
    }
    g_list_free(toplevels);
    return found;
}

// Polled from the dialog's own loop: reads the dialog, then clicks OK.
gboolean AnswerWithOk(gpointer data) {
    auto *answer = static_cast<Answer *>(data);
    GtkWidget *dialog = ShownMessageDialog();
    if (dialog == nullptr) return TRUE;
    GtkWidget *ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    if (ok == nullptr || !gtk_widget_get_mapped(ok)) return TRUE;
    gchar *text = nullptr;
    g_object_get(dialog, "text", &text, nullptr);
    answer->text = text != nullptr ? text : "";
    g_free(text);
    gdk_window_process_all_updates();
    answer->screenshot = kqtest::SaveScreenshot(dialog, "error-report-dialog");

    int x, y;
    gdk_window_get_origin(gtk_widget_get_window(ok), &x, &y);
    GtkAllocation box;
    gtk_widget_get_allocation(ok, &box);
    Display *display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XTestFakeMotionEvent(display, -1, x + box.x + box.width / 2, y + box.y + box.height / 2,
                         CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    answer->clicked = true;
    return FALSE;
}

} // namespace

TEST(ErrorReportDialog, ShowsTheReportAndGoesOnAfterOk) {
    unsetenv("KQ_ERROR_REPORT");
    std::atexit(FailIfEndedInsideReport);
    Answer answer;
    guint poll = g_timeout_add(50, AnswerWithOk, &answer);
    gInsideReport = true;
    RuntimeErrorReport(kRuntimeErrorFailedAssertion,
                       "../Common/Object Model/RuntimeObjectFoundation", 128, "objToAdd",
                       "extra words");
    gInsideReport = false;
    if (!answer.clicked) g_source_remove(poll);

    EXPECT_TRUE(answer.clicked);
    EXPECT_EQ(answer.text,
              "Runtime Error 4: Failed Assertion\nPress OK to Continue\nPress Cancel to Quit.\n\n"
              "Please report what caused this error\nalong with the information below.\n\n"
              "../Common/Object Model/RuntimeObjectFoundation: 128\n"
              "Failure Condition: objToAdd\nextra words");
    EXPECT_NE(answer.screenshot, "");
    EXPECT_TRUE(kqtest::WaitUntil([] { return ShownMessageDialog() == nullptr; }));
}
