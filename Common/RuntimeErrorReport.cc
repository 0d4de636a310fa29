#include "RuntimeErrorReport.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *const kCodeTexts[] = {
    "",
    "Plugin TOC Load Failure",
    "Invalid Class Definition",
    "Unknown Class",
    "Failed Assertion",
    "Unable to Write to Handle",
    "CarbonLib 1.1 or Later Required",
    "Cannot Connect to Debugger",
    "Unhandled Exception",
};

enum class Answer { Ok, Cancel };

Answer AskWithDialog(const char *text) {
    GtkWidget *dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                               GTK_BUTTONS_OK_CANCEL, "%s", text);
    gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    return response == GTK_RESPONSE_CANCEL ? Answer::Cancel : Answer::Ok;
}

} // namespace

const char *RuntimeErrorCodeText(int code) {
    if (code < 0 || code >= int(sizeof kCodeTexts / sizeof kCodeTexts[0])) return nullptr;
    return kCodeTexts[code];
}

char *RuntimeErrorReportText(int16_t code, const char *source, int32_t line, const char *condition,
                             const char *message) {
    const char *codeText = RuntimeErrorCodeText(code);
    return g_strdup_printf("Runtime Error %d: %s\nPress OK to Continue\nPress Cancel to Quit.\n\n"
                           "Please report what caused this error\nalong with the information "
                           "below.\n\n%s: %d\nFailure Condition: %s\n%s",
                           code, codeText != nullptr ? codeText : "", source ? source : "", line,
                           condition ? condition : "", message ? message : "");
}

void RuntimeErrorReport(int16_t code, const char *source, int32_t line, const char *condition,
                        const char *message) {
    char *text = RuntimeErrorReportText(code, source, line, condition, message);
    const char *mode = std::getenv("KQ_ERROR_REPORT");
    Answer answer;
    if (mode != nullptr && *mode != 0) {
        std::fprintf(stderr, "%s\n", text);
        answer = std::strcmp(mode, "cancel") == 0 ? Answer::Cancel : Answer::Ok;
    } else if (gdk_display_get_default() == nullptr) {
        std::fprintf(stderr, "%s\n", text);
        answer = Answer::Ok;
    } else {
        answer = AskWithDialog(text);
    }
    g_free(text);
    if (answer == Answer::Cancel) std::exit(0);
}
