/* Timestamps of the steps of a start (see StepTimestamps.h). */
#include "StepTimestamps.h"

#include <gtk/gtk.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static int gInitialised;
static int gFile = -1;

void kq_timestamps_init(void) {
    if (gInitialised) return;
    gInitialised = 1;
    const char *path = getenv("KQ_TIMESTAMPS");
    if (path == NULL || *path == 0) return;
    gFile = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (gFile < 0) fprintf(stderr, "KQ_TIMESTAMPS: cannot open %s; no timestamps\n", path);
}

void kq_timestamp(const char *step) {
    if (gFile < 0) return;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    char line[96];
    int length = snprintf(line, sizeof line, "%.40s %lld\n", step,
                          (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000);
    /* One write per line: a line is never split by another writer. */
    if (write(gFile, line, (size_t)length) != length)
        fprintf(stderr, "KQ_TIMESTAMPS: could not write the step %s\n", step);
}

/* Runs after the redraw pass (a lower priority than GDK's redraw): the
   window's widgets have drawn themselves; the round trip waits until the
   server has executed the drawing. */
static gboolean StampDrawn(gpointer unused) {
    (void)unused;
    gdk_display_sync(gdk_display_get_default());
    kq_timestamp("drawn");
    return FALSE;
}

static gboolean FirstExpose(GSignalInvocationHint *hint, guint count, const GValue *params,
                            gpointer unused) {
    (void)hint;
    (void)unused;
    GObject *widget = count > 0 ? g_value_get_object(&params[0]) : NULL;
    if (!GTK_IS_WINDOW(widget)) return TRUE; /* keep waiting for a toplevel */
    g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, StampDrawn, NULL, NULL);
    return FALSE; /* one stamp: the hook goes */
}

void kq_timestamp_when_first_drawn(void) {
    if (gFile < 0) return;
    g_type_class_ref(GTK_TYPE_WINDOW); /* the signal exists once the class does */
    guint expose = g_signal_lookup("expose-event", GTK_TYPE_WIDGET);
    g_signal_add_emission_hook(expose, 0, FirstExpose, NULL, NULL);
}
