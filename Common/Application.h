// The application object: the one instance of `Application` (or of the
// image's subclass) that stands for the running program, its registration
// with the start events, the quit request and the unhandled-exception offer.
//
// Application record (instance size 60; the image's subclass places its own
// fields behind that):
//
//   offset  field               meaning
//   24      mouseCursor         MouseCursor or none (stored only)
//   28      mdiWindow           MDIWindow made at initialisation
//   32      balloonHelpVisible  stored flag
//   33      quitting            set while the quit sequence runs
//   36      menuBar             MenuBar or none
//   40      menuHandlers        menu item name -> handler address, made on
//                               first use (256 buckets), owned
//   44      further             a reference released by the finalizer
//   48      autoQuit            quit when the last window has closed
#pragma once

#include "ObjectDefinition.h"
#include "StringMap.h"

#include <cstddef>
#include <cstdint>

struct ApplicationObject {
    RuntimeObject header;
    RuntimeObject *mouseCursor;
    RuntimeObject *mdiWindow;
    uint8_t balloonHelpVisible;
    uint8_t quitting;
    RuntimeObject *menuBar;
    StringMap<void *> *menuHandlers;
    RuntimeObject *further;
    uint8_t autoQuit;
};
static_assert(offsetof(ApplicationObject, mouseCursor) == 24, "Application.mouseCursor");
static_assert(offsetof(ApplicationObject, mdiWindow) == 28, "Application.mdiWindow");
static_assert(offsetof(ApplicationObject, balloonHelpVisible) == 32, "Application.balloonHelp");
static_assert(offsetof(ApplicationObject, quitting) == 33, "Application.quitting");
static_assert(offsetof(ApplicationObject, menuBar) == 36, "Application.menuBar");
static_assert(offsetof(ApplicationObject, menuHandlers) == 40, "Application.menuHandlers");
static_assert(offsetof(ApplicationObject, further) == 44, "Application.further");
static_assert(offsetof(ApplicationObject, autoQuit) == 48, "Application.autoQuit");
constexpr uint32_t kApplicationInstanceSize = 60;
static_assert(sizeof(ApplicationObject) <= kApplicationInstanceSize, "Application fields fit");

// The events of Application in slot order.
#define KQ_APPLICATION_EVENTS(X)                                                                   \
    X(Open, "", nullptr)                                                                           \
    X(Close, "", nullptr)                                                                          \
    X(EnableMenuItems, "", nullptr)                                                                \
    X(NewDocument, "", nullptr)                                                                    \
    X(OpenDocument, "item as Object", nullptr)                                                     \
    X(HandleAppleEvent, "theEvent as Object, eventClass as String, eventID as String", "boolean")  \
    X(Activate, "", nullptr)                                                                       \
    X(Deactivate, "", nullptr)                                                                     \
    X(UnhandledException, "error as RuntimeException", "boolean")                                  \
    X(CancelClose, "", "boolean")

enum class AppEvent : uint32_t { KQ_APPLICATION_EVENTS(KQ_EVENT_SLOT) };

namespace application {

// The item of an Application event, for raising it (events::Raise).
const EventItem *Event(AppEvent event);

// The current application (no reference added), or null.
ApplicationObject *Current();
// Makes `app` current with a reference of its own (null clears it); the
// previous one's reference is released.
void SetCurrent(RuntimeObject *app);

// Registration shared by the windowed and the console application: `app`
// (or a new instance of `defn` when null) becomes current, the termination
// signals learn to quit it, and the start events are raised: Open, then
// OpenDocument once per command-line argument when there are any and the
// application handles it, else NewDocument.
void Register(RuntimeObject *app, ObjectDefinition *defn);

// Documents named on the command line become objects through this factory
// (the file layer's FolderItem); without it they are not offered.
using DocumentItemFactory = RuntimeObject *(*)(const char *path);
void SetDocumentItemFactory(DocumentItemFactory factory);

// The quit attempt of the quit request: asks CancelClose, closes the
// windows as closed by quitting, raises Close. False when refused or when a
// quit is already in progress.
bool QuitAttempt();

// The unhandled-exception offer: a ThreadEndException counts as handled; any
// other exception but an EndException goes to the application's
// UnhandledException event, whose result says whether it was handled.
bool OfferUnhandledException(RuntimeObject *exc);
bool InsideUnhandledException();

// The exit status of the process: 0, or what a console application's Run
// returned.
int32_t ExitStatus();
void SetExitStatus(int32_t status);

// Takes every adapter of ApplicationAddPollableObject out of the polled list
// and destroys it.
void RemovePollAdapters();

} // namespace application

extern "C" {
void ApplicationInitializer(RuntimeObject *app);
void ApplicationFinalizer(RuntimeObject *app);
void RuntimeRegisterAppObject(RuntimeObject *app);
RuntimeObject *getAppObject(void);
void ApplicationQuit(RuntimeObject *app, bool raise);
void KQ_ApplicationQuit(RuntimeObject *app);
void ApplicationNewDocument(RuntimeObject *app);
void ApplicationOpenDocument(RuntimeObject *app, RuntimeObject *item);
void ApplicationAddMenuHandler(RuntimeObject *app, KESTstring *name, void *handler);
void ApplicationAddPollableObject(RuntimeObject *app, RuntimeObject *object);
void ApplicationRemovePollableObject(RuntimeObject *app, RuntimeObject *object);
bool AppAutoCloseGetter(RuntimeObject *app, int32_t parameter);
void AppAutoCloseSetter(RuntimeObject *app, int32_t parameter, bool value);
bool AppBalloonHelpVisibleGetter(RuntimeObject *app, int32_t parameter);
void AppBalloonHelpVisibleSetter(RuntimeObject *app, int32_t parameter, bool value);
RuntimeObject *AppMenuBarGetter(RuntimeObject *app, int32_t parameter);
void AppMenuBarSetter(RuntimeObject *app, int32_t parameter, RuntimeObject *menuBar);
void appMouseCursorSetter(RuntimeObject *app, int32_t parameter, RuntimeObject *cursor);
}
