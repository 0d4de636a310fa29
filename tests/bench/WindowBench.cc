// Opening and closing a window of 45 controls (15 text fields, 15 labels,
// 15 push buttons) through the class model, against a bare GTK+ window of
// the same 45 widgets made directly in C. Both are shown and the events of
// showing and destroying are handled before the next round. The controls
// are the control base's test control (a RectControl routed through
// RuntimePaneDelegate) on the same three GTK+ widgets. Fixed iteration
// counts in interleaved repetitions: the library's own choice would time the
// first, slowest round of the baseline alone.
#include "BenchRatio.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include <cstdio>

namespace {

constexpr int kRows = 15;

// GTK+ on the display before the benchmarks run.
const bool kGtkReady = [] {
    int argc = 0;
    if (gtk_init_check(&argc, nullptr)) return true;
    std::fprintf(stderr, "window_gui_bench needs an X display (scripts/bench gives it one)\n");
    return false;
}();

using kqtest::HandlePending;

void Place(GtkWidget *fixed, GtkWidget *widget, int x, int y, int width, int height) {
    gtk_fixed_put(GTK_FIXED(fixed), widget, x, y);
    gtk_widget_set_size_request(widget, width, height);
}

void BM_BareGtkWindow45(benchmark::State &state) {
    if (!kGtkReady) state.SkipWithError("no display");
    for (auto _ : state) {
        GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        GtkWidget *box = gtk_vbox_new(FALSE, 0);
        GtkWidget *fixed = gtk_fixed_new();
        gtk_container_add(GTK_CONTAINER(window), box);
        gtk_box_pack_end(GTK_BOX(box), fixed, TRUE, TRUE, 0);
        gtk_window_set_title(GTK_WINDOW(window), "Bench");
        gtk_window_resize(GTK_WINDOW(window), 640, 480);
        for (int row = 0; row < kRows; ++row) {
            Place(fixed, gtk_label_new("Label"), 10, 10 + 30 * row, 100, 24);
            Place(fixed, gtk_entry_new(), 120, 10 + 30 * row, 150, 24);
            Place(fixed, gtk_button_new_with_label("Button"), 280, 10 + 30 * row, 90, 24);
        }
        gtk_widget_show_all(window);
        HandlePending();
        gtk_widget_destroy(window);
        HandlePending();
    }
}
BENCHMARK(BM_BareGtkWindow45)->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(10);

void AddRows(RuntimeObject *window) {
    for (int row = 0; row < kRows; ++row) {
        std::string n = std::to_string(row);
        kqtest::AddControl(window,
                           kqtest::NewControl(("Label" + n).c_str(), kqtest::TestPaneKind::Label,
                                              10, 10 + 30 * row, 100, 24));
        kqtest::AddControl(window,
                           kqtest::NewControl(("Field" + n).c_str(), kqtest::TestPaneKind::Entry,
                                              120, 10 + 30 * row, 150, 24));
        kqtest::AddControl(window,
                           kqtest::NewControl(("Button" + n).c_str(), kqtest::TestPaneKind::Button,
                                              280, 10 + 30 * row, 90, 24));
    }
}

void BM_RuntimeWindow45(benchmark::State &state) {
    if (!kGtkReady) state.SkipWithError("no display");
    RuntimeClass *cls = kqtest::ImageWindowClass("Bench", {});
    for (auto _ : state) {
        RuntimeObject *window = kqtest::NewWindow(cls, AddRows);
        WindowMove(window, 50, 50, 640, 480);
        RuntimeShowWindow(window);
        HandlePending();
        RuntimeCloseWindow(window);
        RuntimeUnlockObject(window);
        HandlePending();
    }
}
BENCHMARK(BM_RuntimeWindow45)->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(10);

KQ_BENCH_RATIO("window of 45 controls open+close / bare GTK+ window", BM_BareGtkWindow45,
               BM_RuntimeWindow45, 1.5);

} // namespace
