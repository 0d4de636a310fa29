// The main loop (see MainLoop.h), the cooperative check compiled loops make
// (RuntimeBackgroundTask) and the user-cancel check.
#include "MainLoop.h"

#include "Application.h"
#include "BackgroundTask.h"
#include "ConsoleApplication.h"
#include "KeyState.h"
#include "RuntimeClock.h"
#include "Thread.h"
#include "ThreadScheduler.h"
#include "WindowList.h"

#include <gtk/gtk.h>

namespace {

constexpr uint32_t kEscapeKey = 0xFF1B;
constexpr int32_t kCallsPerCheck = 50;
constexpr int32_t kCancelRefreshTicks = 60;

WindowLayerHooks gHooks;
bool gQuitRequested = false;
bool gBlocking = true;
bool gRunning = false;
bool gHasRun = false;
bool gUserCancelled = false;

int32_t gCheckCalls = 0;
int32_t gLastCheckTicks = 0;
int32_t gLastCancelRefresh = 0;

void RefreshUserCancel() {
    gUserCancelled = keystate::IsHeld(kEscapeKey);
}

void AutoQuit() {
    ApplicationObject *app = application::Current();
    if (windowlist::Count() == 0 && !gQuitRequested && gRunning && app != nullptr && app->autoQuit)
        ApplicationQuit(&app->header, true);
}

void RunIteration() {
    if (gHooks.housekeeping != nullptr) gHooks.housekeeping();
    bool tracked = gHooks.trackMouse != nullptr && gHooks.trackMouse();
    bool block = !tracked && !AnyPolledBackgroundTask() && gBlocking;
    gtk_main_iteration_do(block);
    if (gHooks.focusedIdle != nullptr) gHooks.focusedIdle();
    polling::PollAll();
    gUserCancelled = false;
    RunDueBackgroundTasks(true);
    AutoQuit();
}

} // namespace

namespace mainloop {

void SetWindowLayerHooks(const WindowLayerHooks &hooks) {
    gHooks = hooks;
}

const WindowLayerHooks &Hooks() {
    return gHooks;
}

bool QuitRequested() {
    return gQuitRequested;
}

void SetQuitRequested(bool value) {
    gQuitRequested = value;
}

void NestedIteration(bool block) {
    bool mark = gHooks.exchangeMouseDownMark != nullptr && gHooks.exchangeMouseDownMark(false);
    if (threads::OnMainThread()) {
        gBlocking = block;
        RunIteration();
        gBlocking = true;
    } else {
        threads::Yield();
    }
    if (gHooks.exchangeMouseDownMark != nullptr) gHooks.exchangeMouseDownMark(mark);
}

void CloseAllWindows() {
    while (NativeWindow *front = windowlist::At(0)) {
        if (gHooks.close == nullptr) return;
        gHooks.close(front);
        if (windowlist::At(0) == front) return;
    }
}

} // namespace mainloop

extern "C" {

void RuntimeRun(void) {
    if (gHasRun) return;
    gHasRun = true;
    gRunning = true;
    if (!console::RunConsoleApplication())
        while (!gQuitRequested)
            RunIteration();
    mainloop::CloseAllWindows();
    application::SetCurrent(nullptr);
    gRunning = false;
}

void RuntimeDoEvents(RuntimeObject *app, int32_t milliseconds) {
    mainloop::NestedIteration(false);
    if (milliseconds >= 0) AppSleepCurrentThread(app, milliseconds);
}

void ApplicationDoSingleEvent(RuntimeObject *, bool block) {
    gtk_main_iteration_do(block);
}

void RuntimeBackgroundTask(void) {
    if (++gCheckCalls < kCallsPerCheck) return;
    gCheckCalls = 0;
    int32_t ticks = runclock::Ticks();
    if (ticks == gLastCheckTicks) return;
    gLastCheckTicks = ticks;
    RunDueBackgroundTasks(true);
    if (ticks < gLastCancelRefresh || ticks > gLastCancelRefresh + kCancelRefreshTicks) {
        RefreshUserCancel();
        gLastCancelRefresh = ticks;
    }
    gLastCheckTicks = runclock::Ticks();
}

bool getUserCancelled(void) {
    gtk_main_iteration_do(FALSE);
    RefreshUserCancel();
    return gUserCancelled;
}

int32_t getWindowCount(void) {
    if (gHooks.windowObject == nullptr) return 0;
    int32_t count = 0;
    for (uint32_t i = 0; i < windowlist::Count(); ++i)
        if (gHooks.windowObject(windowlist::At(i)) != nullptr) ++count;
    return count;
}

RuntimeObject *getWindow(int32_t index) {
    if (gHooks.windowObject == nullptr || index < 0) return nullptr;
    for (uint32_t i = 0; i < windowlist::Count(); ++i) {
        RuntimeObject *window = gHooks.windowObject(windowlist::At(i));
        if (window == nullptr || index-- != 0) continue;
        RuntimeLockObject(window);
        return window;
    }
    return nullptr;
}

} // extern "C"
