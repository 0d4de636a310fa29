// The calculator itself, measured in its own process: this program starts
// the runtime as pillwerk does and loads pillwerk's image; once the image's
// main loop runs and its main window is open, the benchmarks run inside it
// and then quit the application. Against C baselines of the same run, made
// with the same window built directly with GTK+ (CalculatorFormGtk.c):
//   - a click on "Berechne" (enter, press and release events handed to
//     GTK+ as the X server's would be) until every result field is written,
//     against writing the same eleven texts into the C window's widgets;
//   - a keystroke in GHRabattField (key press and release on the window)
//     until the recalculated fields are written, against the same;
//   - opening the calculator's window (a new Hauptfenster as the image makes
//     one), drawing it and closing it, against the C window.
// Redraws are handled between the timed steps, outside the measurement. The
// iteration counts are fixed: pausing the timer for the redraws would make
// the library's own choice of counts run for many minutes under emulation.
// The two windows run in repetitions, interleaved with each other.
#include "Application.h"
#include "BenchRatio.h"
#include "CalculatorFormGtk.h"
#include "Control.h"
#include "Pane.h"
#include "RuntimeArguments.h"
#include "TerminationSignals.h"
#include "WindowAccessors.h"
#include "WindowObject.h"
#include "loaderX86.h"

#include <benchmark/benchmark.h>
#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

extern "C" void WindowDefaultConstructor(RuntimeObject *window);

namespace {

// The targets of the calculation's results, in the order it writes them:
// ten fields and one label.
const char *const kResults[] = {"AEKField",    "AEKNettoText",   "AufschlagField",   "nettoField",
                                "USTField",    "AVKField",       "AVKNeuField",      "AnzahlField",
                                "SpanneField", "RohgewinnField", "RohgewinnNeuField"};

RuntimeObject *gMainWindow = nullptr;

void HandlePending() {
    gdk_display_sync(gdk_display_get_default());
    while (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

GtkWidget *Widget(const char *control) {
    kstr::StringRef name(kstr::FromC(control));
    RuntimeObject *object = RuntimeControlReference(gMainWindow, name.Get());
    SubPane *pane = object != nullptr ? controls::PaneOf(object) : nullptr;
    RuntimeUnlockObject(object);
    return pane != nullptr ? pane->Widget() : nullptr;
}

std::string TextOf(GtkWidget *widget) {
    return GTK_IS_ENTRY(widget) ? gtk_entry_get_text(GTK_ENTRY(widget))
                                : gtk_label_get_text(GTK_LABEL(widget));
}

void SetText(GtkWidget *widget, const std::string &text) {
    if (GTK_IS_ENTRY(widget))
        gtk_entry_set_text(GTK_ENTRY(widget), text.c_str());
    else
        gtk_label_set_text(GTK_LABEL(widget), text.c_str());
}

std::vector<std::string> Results() {
    std::vector<std::string> texts;
    for (const char *name : kResults)
        texts.push_back(TextOf(Widget(name)));
    return texts;
}

// The server time of the next synthesised event: every event a new one, as
// the runtime tells a new press from a repeated report of one by its time.
guint32 NextEventTime() {
    static guint32 time = 1;
    return ++time;
}

// Puts the X pointer in the middle of the widget: the runtime asks the
// server where the pointer is when a button is released.
void PointAt(GtkWidget *widget) {
    GtkAllocation area;
    gtk_widget_get_allocation(widget, &area);
    int x, y;
    gdk_window_get_origin(gtk_widget_get_window(widget), &x, &y);
    gdk_display_warp_pointer(gdk_display_get_default(), gdk_screen_get_default(),
                             x + area.x + area.width / 2, y + area.y + area.height / 2);
    HandlePending();
}

// A click as the X server reports one, the pointer on the button: the
// pointer enters the button, which is pressed and released.
void Click(GtkWidget *button) {
    GdkWindow *window = GTK_BUTTON(button)->event_window;
    GdkEvent *crossing = gdk_event_new(GDK_ENTER_NOTIFY);
    crossing->crossing.window = GDK_WINDOW(g_object_ref(window));
    crossing->crossing.detail = GDK_NOTIFY_NONLINEAR;
    crossing->crossing.mode = GDK_CROSSING_NORMAL;
    crossing->crossing.time = NextEventTime();
    gtk_main_do_event(crossing);
    gdk_event_free(crossing);
    GdkEvent *press = gdk_event_new(GDK_BUTTON_PRESS);
    press->button.window = GDK_WINDOW(g_object_ref(window));
    press->button.button = 1;
    press->button.x = press->button.y = 5;
    press->button.device = gdk_device_get_core_pointer();
    press->button.time = NextEventTime();
    gtk_main_do_event(press);
    press->type = GDK_BUTTON_RELEASE;
    press->button.time = NextEventTime();
    press->button.state = GDK_BUTTON1_MASK;
    gtk_main_do_event(press);
    gdk_event_free(press);
}

// A key pressed and released on the window that holds the focus.
void Key(GtkWidget *toplevel, guint keyval, const char *text) {
    GdkEvent *key = gdk_event_new(GDK_KEY_PRESS);
    key->key.window = GDK_WINDOW(g_object_ref(toplevel->window));
    key->key.keyval = keyval;
    key->key.string = g_strdup(text);
    key->key.length = gint(std::string(text).size());
    key->key.time = NextEventTime();
    GdkKeymapKey *keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(nullptr, keyval, &keys, &count) && count > 0) {
        key->key.hardware_keycode = guint16(keys[0].keycode);
        key->key.group = guint8(keys[0].group);
    }
    g_free(keys);
    gtk_main_do_event(key);
    key->type = GDK_KEY_RELEASE;
    key->key.time = NextEventTime();
    gtk_main_do_event(key);
    gdk_event_free(key);
}

// The calculator's inputs: a purchase price (two in turn, so that every
// calculation writes new texts), mark-up, quantity and price change.
void EnterInputs(const char *price) {
    SetText(Widget("AEKField"), price);
    SetText(Widget("AufschlagField"), "30");
    SetText(Widget("AnzahlField"), "10");
    SetText(Widget("AnderungField"), "5");
    SetText(Widget("GHRabattField"), "");
    HandlePending();
}

const char *const kPrices[] = {"12.5", "13.5"};

// The two sets of result texts of the two prices, from the calculator,
// calculated before the benchmarks run (in an order of their own).
std::vector<std::string> gResultTexts[2];

bool CalculateResultTexts() {
    GtkWidget *button = Widget("OKButton");
    PointAt(button);
    for (int i = 0; i < 2; ++i) {
        EnterInputs(kPrices[i]);
        Click(button);
        HandlePending();
        gResultTexts[i] = Results();
    }
    return gResultTexts[0] != gResultTexts[1] && !gResultTexts[0][3].empty();
}

bool gCalculated = false;

void BM_CalculatorClick(benchmark::State &state) {
    if (!gCalculated) {
        state.SkipWithError("the click on Berechne did not calculate");
        return;
    }
    GtkWidget *button = Widget("OKButton");
    PointAt(button);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EnterInputs(kPrices[round++ % 2]);
        state.ResumeTiming();
        Click(button);
        state.PauseTiming();
        HandlePending();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CalculatorClick)->Unit(benchmark::kMillisecond)->Iterations(100);

// Every keystroke in GHRabattField recalculates: "1" and Backspace in turn.
void BM_CalculatorKeystroke(benchmark::State &state) {
    GtkWidget *field = Widget("GHRabattField");
    GtkWidget *toplevel = gtk_widget_get_toplevel(field);
    EnterInputs(kPrices[0]);
    gtk_widget_grab_focus(field);
    std::vector<std::string> before = Results();
    Key(toplevel, GDK_KEY_1, "1");
    HandlePending();
    if (TextOf(field) != "1" || Results() == before) {
        state.SkipWithError("the keystroke in GHRabattField did not recalculate");
        return;
    }
    int round = 1;
    for (auto _ : state) {
        if (round++ % 2 == 0)
            Key(toplevel, GDK_KEY_1, "1");
        else
            Key(toplevel, GDK_KEY_BackSpace, "");
        state.PauseTiming();
        HandlePending();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CalculatorKeystroke)->Unit(benchmark::kMillisecond)->Iterations(100);

// The C window with the eleven result texts of the calculation written into
// the same widgets; the two sets of texts in turn.
void BM_GtkWriteElevenTexts(benchmark::State &state) {
    if (!gCalculated) {
        state.SkipWithError("no result texts: the click on Berechne did not calculate");
        return;
    }
    CalculatorForm form;
    calculator_form_build(&form);
    gtk_widget_show_all(form.window);
    HandlePending();
    std::vector<GtkWidget *> targets;
    for (const char *name : kResults)
        targets.push_back(calculator_form_widget(&form, name));
    int round = 0;
    for (auto _ : state) {
        const std::vector<std::string> &texts = gResultTexts[round++ % 2];
        for (size_t i = 0; i < targets.size(); ++i)
            SetText(targets[i], texts[i]);
        state.PauseTiming();
        HandlePending();
        state.ResumeTiming();
    }
    gtk_widget_destroy(form.window);
    HandlePending();
}
BENCHMARK(BM_GtkWriteElevenTexts)->Unit(benchmark::kMillisecond)->Iterations(400);

void BM_GtkCalculatorWindowOpenClose(benchmark::State &state) {
    for (auto _ : state) {
        CalculatorForm form;
        calculator_form_build(&form);
        gtk_widget_show_all(form.window);
        HandlePending();
        gtk_widget_destroy(form.window);
        HandlePending();
    }
}
BENCHMARK(BM_GtkCalculatorWindowOpenClose)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(10);

// A new Hauptfenster as the image's code makes one: the object, then the
// window's constructor, which opens and shows it.
void BM_CalculatorWindowOpenClose(benchmark::State &state) {
    RuntimeClass *cls = gMainWindow->classPtr;
    for (auto _ : state) {
        RuntimeObject *window = RuntimeNewObject(cls);
        WindowDefaultConstructor(window);
        HandlePending();
        RuntimeCloseWindow(window);
        RuntimeUnlockObject(window);
        HandlePending();
    }
}
BENCHMARK(BM_CalculatorWindowOpenClose)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(10);

KQ_BENCH_RATIO("click on Berechne / eleven texts into GTK+ widgets", BM_GtkWriteElevenTexts,
               BM_CalculatorClick, 0);
KQ_BENCH_RATIO("keystroke in GHRabattField / eleven texts into GTK+", BM_GtkWriteElevenTexts,
               BM_CalculatorKeystroke, 0);
KQ_BENCH_RATIO("calculator window open+close / the same in GTK+ C", BM_GtkCalculatorWindowOpenClose,
               BM_CalculatorWindowOpenClose, 1.5);

// Runs from the image's main loop once the main window is open: the
// benchmarks, then the application's quit.
gboolean RunOnceTheWindowIsOpen(gpointer) {
    kstr::StringRef name(kstr::FromC("Hauptfenster"));
    gMainWindow = RuntimeGetImplicitWindow(name.Get());
    if (gMainWindow == nullptr) return TRUE; // not yet
    RuntimeObject *app = getAppObject();
    AppAutoCloseSetter(app, 0, false); // the measured windows come and go
    HandlePending();
    gCalculated = CalculateResultTexts();
    kqbench::RunAndReport();
    RuntimeUnlockObject(gMainWindow);
    KQ_ApplicationQuit(app);
    RuntimeUnlockObject(app);
    return FALSE;
}

} // namespace

int main(int argc, char **argv) {
    if (!kqbench::Initialize(&argc, argv)) return 1;
    RuntimeStartUp(argc, argv);
    if (gdk_display_get_default() == nullptr) {
        std::fprintf(stderr,
                     "pillwerk_gui_bench needs an X display (scripts/bench gives it one)\n");
        return 1;
    }
    InstallTerminationSignals();
    g_idle_add(RunOnceTheWindowIsOpen, nullptr);
    LoadAndRunImage(KQ_PILLWERK);
    return 0;
}
