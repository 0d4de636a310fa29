// Registering the application object and what hangs off it: the current
// application, the start events, the document and menu-handler entry points,
// the polled image objects and the exit status.
#include "Application.h"

#include "BackgroundTask.h"
#include "MainLoop.h"
#include "RuntimeArguments.h"
#include "RuntimeErrorReport.h"
#include "SimpleVector.h"
#include "TerminationSignals.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char kSource[] = "Common/ApplicationStart";
constexpr uint32_t kMenuHandlerBuckets = 256;

ApplicationObject *gCurrent = nullptr;
application::DocumentItemFactory gDocumentItems = nullptr;
SimpleVector<RuntimeObjectPoll *> gPollAdapters; // in the order they were added
int32_t gExitStatus = 0;

void QuitForSignal() {
    ApplicationQuit(nullptr, false);
}

void ReleaseForSignal() {
    application::SetCurrent(nullptr);
}

void OfferDocuments(RuntimeObject *app) {
    if (events::Handler(app, application::Event(AppEvent::OpenDocument)) == nullptr ||
        gDocumentItems == nullptr)
        return;
    for (int i = 1; i < gRuntimeArgc; ++i) {
        Ref<> item = Ref<>::Adopt(gDocumentItems(gRuntimeArgv[i]));
        events::Raise(app, application::Event(AppEvent::OpenDocument),
                      {uint32_t(reinterpret_cast<uintptr_t>(item.get()))});
    }
}

} // namespace

namespace application {

ApplicationObject *Current() {
    return gCurrent;
}

void SetCurrent(RuntimeObject *app) {
    ApplicationObject *old = gCurrent;
    RuntimeLockObject(app);
    gCurrent = reinterpret_cast<ApplicationObject *>(app);
    RuntimeUnlockObject(reinterpret_cast<RuntimeObject *>(old));
}

void Register(RuntimeObject *app, ObjectDefinition *defn) {
    Ref<> object = app != nullptr ? Ref<>(app) : Ref<>::Adopt(definitions::Instantiate(defn));
    SetCurrent(object.get());
    TerminationSteps steps;
    steps.quitRequest = QuitForSignal;
    steps.closeAllWindows = mainloop::CloseAllWindows;
    steps.releaseApplication = ReleaseForSignal;
    SetTerminationSteps(steps);
    events::Raise(object.get(), Event(AppEvent::Open));
    if (gRuntimeArgc >= 2)
        OfferDocuments(object.get());
    else
        events::Raise(object.get(), Event(AppEvent::NewDocument));
}

void SetDocumentItemFactory(DocumentItemFactory factory) {
    gDocumentItems = factory;
}

int32_t ExitStatus() {
    return gExitStatus;
}

void SetExitStatus(int32_t status) {
    gExitStatus = status;
}

void RemovePollAdapters() {
    while (!gPollAdapters.IsEmpty()) {
        RuntimeObjectPoll *adapter = gPollAdapters.Pop();
        polling::Remove(adapter);
        delete adapter;
    }
}

} // namespace application

extern "C" {

void RuntimeRegisterAppObject(RuntimeObject *app) {
    if (gdk_display_get_default() == nullptr) {
        std::fputs("This application needs an X display, and none could be opened "
                   "(is DISPLAY set to a running X server?).\n",
                   stderr);
        std::exit(1);
    }
    application::Register(app, &ApplicationDefinition);
}

RuntimeObject *getAppObject(void) {
    auto *app = reinterpret_cast<RuntimeObject *>(gCurrent);
    RuntimeLockObject(app);
    return app;
}

void ApplicationNewDocument(RuntimeObject *app) {
    events::Raise(app, application::Event(AppEvent::NewDocument));
}

void ApplicationOpenDocument(RuntimeObject *app, RuntimeObject *item) {
    events::Raise(app, application::Event(AppEvent::OpenDocument),
                  {uint32_t(reinterpret_cast<uintptr_t>(item))});
}

void ApplicationAddMenuHandler(RuntimeObject *object, KESTstring *name, void *handler) {
    KQ_ASSERT_TEXT(kSource, object != nullptr, "app", nullptr);
    KQ_ASSERT_TEXT(kSource, kstr::Length(name) != 0, "name", nullptr);
    if (object == nullptr || handler == nullptr) return;
    auto *app = reinterpret_cast<ApplicationObject *>(object);
    if (app->menuHandlers == nullptr)
        app->menuHandlers = new (std::nothrow) StringMap<void *>(kMenuHandlerBuckets);
    KQ_ASSERT_TEXT(kSource, app->menuHandlers != nullptr, "self->mMenuHandlers", nullptr);
    if (app->menuHandlers != nullptr) app->menuHandlers->Set(name, handler);
}

void ApplicationAddPollableObject(RuntimeObject *, RuntimeObject *object) {
    auto *adapter = new RuntimeObjectPoll(object);
    polling::Add(adapter);
    gPollAdapters.Append(adapter);
}

void ApplicationRemovePollableObject(RuntimeObject *, RuntimeObject *object) {
    for (uint32_t i = gPollAdapters.Count(); i > 0;) {
        RuntimeObjectPoll *adapter = gPollAdapters[--i];
        if (adapter->Object() != object) continue;
        polling::Remove(adapter);
        gPollAdapters.RemoveAt(i);
        delete adapter;
        if (i > gPollAdapters.Count()) i = gPollAdapters.Count();
    }
}

} // extern "C"
