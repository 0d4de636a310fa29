// Helpers of the application tests and their main(): the stack checker set
// up as start-up does, reports answered OK on standard error, exceptions that
// nothing takes offered to the application first, GTK+ on the display when
// there is one, and a check that no object outlives the tests of a run.
#include "AppTestSupport.h"

#include "Application.h"
#include "CompiledFrames.h"
#include "KeyState.h"
#include "MainLoop.h"
#include "StackCheck.h"
#include "UnhandledException.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace apptest {
namespace {

uint32_t Invoke(const std::function<void()> *body) {
    (*body)();
    return 0;
}

// The report shown for an exception nothing took: its message is noted.
void NoteReport(KESTstring *message, KESTstring *) {
    Unhandled().push_back(kstr::Text(message));
}

} // namespace

std::vector<std::string> &Log() {
    static std::vector<std::string> log;
    return log;
}

std::string Joined(const std::vector<std::string> &items, const char *separator) {
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

std::vector<std::string> &Unhandled() {
    static std::vector<std::string> names;
    return names;
}

RuntimeObject *Raised(const std::function<void()> &body) {
    return CatchCall(reinterpret_cast<void *>(&Invoke), &body);
}

void RunAsImage(const std::function<void()> &body) {
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(&body));
    RuntimeCallImageHandler(reinterpret_cast<void *>(&Invoke), 1, &argument);
}

Ref<> New(ObjectDefinition *defn) {
    return Ref<>::Adopt(definitions::Instantiate(defn));
}

void Handle(RuntimeObject *object, const char *event, void *handler) {
    KESTstring *name = kstr::FromC(event);
    RuntimeInstallInstanceEventHandler(object, name, handler);
    RuntimeUnlockString(name);
}

double NowMs() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

bool IterateUntil(const std::function<bool()> &done, int timeoutMs) {
    // A periodic wake-up, so that conditions set by other processes are seen.
    guint tick = g_timeout_add(
        10, [](gpointer) -> gboolean { return TRUE; }, nullptr);
    double deadline = NowMs() + timeoutMs;
    bool held;
    while (!(held = done()) && NowMs() < deadline)
        mainloop::NestedIteration(true);
    g_source_remove(tick);
    return held;
}

} // namespace apptest

int main(int argc, char **argv) {
    KESTInitStackChecker(0x40000, 0);
    setenv("KQ_ERROR_REPORT", "ok", 1);
    exceptions::SetUnhandledExceptionHook(UnhandledExceptionReport);
    SetUnhandledExceptionPresenter(apptest::NoteReport);
    testing::InitGoogleTest(&argc, argv);
    if (!testing::GTEST_FLAG(list_tests) && std::getenv("DISPLAY") != nullptr) {
        gtk_set_locale();
        if (!gtk_init_check(&argc, &argv)) {
            std::fprintf(stderr, "the display given cannot be opened\n");
            return 1;
        }
        keystate::InstallKeySnooper();
    }
    uint32_t liveAtStart = objects::LiveObjectCount();
    int status = RUN_ALL_TESTS();
    if (objects::LiveObjectCount() != liveAtStart) {
        std::fprintf(stderr, "%u objects outlived the tests\n",
                     objects::LiveObjectCount() - liveAtStart);
        return 1;
    }
    return status;
}
