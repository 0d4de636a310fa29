// The quit request and the unhandled-exception offer of the application.
//
// Quit request: the quit attempt asks CancelClose, closes every window of
// the runtime as closed by quitting and raises Close; when it succeeds and
// the caller asks for it (the language's Quit does, a termination signal
// does not), every cooperative thread is killed and an EndException is
// raised, which unwinds the running handler; finally the quit request flag
// ends the main loop after the iteration in progress. While the
// application handles an unhandled exception, a quit request neither kills
// threads nor raises.
#include "Application.h"

#include "MainLoop.h"
#include "RuntimeException.h"
#include "SimpleVector.h"
#include "Thread.h"
#include "WindowList.h"

namespace {

bool gInsideUnhandledException = false;

// Closes the windows open at the start, front to back; false when one
// refuses or a runtime window lacks its object.
bool CloseWindowsForQuit() {
    const WindowLayerHooks &hooks = mainloop::Hooks();
    if (hooks.closeForQuit == nullptr) return true;
    SimpleVector<NativeWindow *> snapshot;
    for (uint32_t i = 0; i < windowlist::Count(); ++i)
        snapshot.Append(windowlist::At(i));
    for (NativeWindow *window : snapshot) {
        if (!windowlist::Contains(window)) continue;
        QuitCloseResult result = hooks.closeForQuit(window);
        if (result == QuitCloseResult::Refused || result == QuitCloseResult::NoWindowObject)
            return false;
    }
    return true;
}

} // namespace

namespace application {

bool QuitAttempt() {
    ApplicationObject *app = Current();
    if (app == nullptr) return true;
    if (app->quitting) return false;
    Ref<> keep(&app->header);
    app->quitting = 1;
    if (uint8_t(events::Raise(&app->header, Event(AppEvent::CancelClose))) != 0 ||
        !CloseWindowsForQuit()) {
        app->quitting = 0;
        return false;
    }
    events::Raise(&app->header, Event(AppEvent::Close));
    app->quitting = 0;
    return true;
}

bool OfferUnhandledException(RuntimeObject *exc) {
    gInsideUnhandledException = true;
    bool handled = false;
    ApplicationObject *app = Current();
    if (definitions::IsA(exc, &ThreadEndExceptionDefinition))
        handled = true;
    else if (!definitions::IsA(exc, &EndExceptionDefinition) && app != nullptr)
        handled = uint8_t(events::Raise(&app->header, Event(AppEvent::UnhandledException),
                                        {uint32_t(reinterpret_cast<uintptr_t>(exc))})) != 0;
    gInsideUnhandledException = false;
    return handled;
}

bool InsideUnhandledException() {
    return gInsideUnhandledException;
}

} // namespace application

extern "C" {

void ApplicationQuit(RuntimeObject *, bool raise) {
    if (!application::QuitAttempt()) return;
    if (raise && !gInsideUnhandledException) {
        threads::KillAll();
        exceptions::RaiseDefinition(&EndExceptionDefinition);
    }
    mainloop::SetQuitRequested(true);
}

void KQ_ApplicationQuit(RuntimeObject *app) {
    ApplicationQuit(app, true);
}

} // extern "C"
