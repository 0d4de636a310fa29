// The Application class: its declaration (properties, events, methods,
// constants), MDIWindow and the `_Pollable` interface beside it, the life
// cycle of an application object and its property accessors.
//
// Properties whose types are classes of other modules (FolderItem,
// ResourceFork, DockItem) and the methods taking such objects join the table
// when those classes exist; their entry points that need no such class are
// here already.
#include "Application.h"

#include "MainLoop.h"
#include "ResourceManagerCommon.h"
#include "RuntimeClock.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "Thread.h"

namespace {

const char kSource[] = "Common/ApplicationClass";

// Calls without an object stop with a report naming the check "self".
ApplicationObject *Self(RuntimeObject *app) {
    KQ_ASSERT_TEXT(kSource, app != nullptr, "self", nullptr);
    return reinterpret_cast<ApplicationObject *>(app);
}

// The document and the Apple event are passed as plain objects until the
// file layer's FolderItem and an AppleEvent class exist.
EventEntry kApplicationEvents[] = {KQ_APPLICATION_EVENTS(KQ_EVENT_ROW)};

const PropertyEntry kApplicationProperties[] = {
    KQ_CONSTANT("Developement", &kTypeInteger, 0),
    KQ_CONSTANT("Alpha", &kTypeInteger, 1),
    KQ_CONSTANT("Beta", &kTypeInteger, 2),
    KQ_CONSTANT("Final", &kTypeInteger, 3),
    KQ_PROPERTY("MouseCursor", &MouseCursorDefinition, objGetter, appMouseCursorSetter,
                offsetof(ApplicationObject, mouseCursor)),
    KQ_READONLY_PROPERTY("MDIWindow", &MDIWindowDefinition, objGetter,
                         offsetof(ApplicationObject, mdiWindow)),
    KQ_PROPERTY("BalloonHelpVisible", &kTypeBoolean, AppBalloonHelpVisibleGetter,
                AppBalloonHelpVisibleSetter, 0),
    KQ_READONLY_PROPERTY("MajorVersion", &kTypeInteger, AppIntegerVersionStuffGetter, 0),
    KQ_READONLY_PROPERTY("MinorVersion", &kTypeInteger, AppIntegerVersionStuffGetter, 1),
    KQ_READONLY_PROPERTY("BugVersion", &kTypeInteger, AppIntegerVersionStuffGetter, 2),
    KQ_READONLY_PROPERTY("StageCode", &kTypeInteger, AppIntegerVersionStuffGetter, 3),
    KQ_READONLY_PROPERTY("NonReleaseVersion", &kTypeInteger, AppIntegerVersionStuffGetter, 4),
    KQ_READONLY_PROPERTY("RegionCode", &kTypeInteger, AppIntegerVersionStuffGetter, 5),
    KQ_READONLY_PROPERTY("ShortVersion", &kTypeString, AppStringVersionStuffGetter, 0),
    KQ_READONLY_PROPERTY("LongVersion", &kTypeString, AppStringVersionStuffGetter, 1),
    KQ_READONLY_PROPERTY("PackageInfo", &kTypeString, AppStringVersionStuffGetter, 2),
    KQ_PROPERTY("MenuBar", &MenuBarDefinition, AppMenuBarGetter, AppMenuBarSetter, 0),
    KQ_PROPERTY("AutoQuit", &kTypeBoolean, AppAutoCloseGetter, AppAutoCloseSetter, 0),
    KQ_READONLY_PROPERTY("CurrentThread", &ThreadDefinition, KESTGetCurrentThread, 0),
    KQ_READONLY_PROPERTY("_CurrentEventTime", &kTypeInteger, AppGetCurrentEventTime, 0),
    KQ_PROPERTY("__kqf_mMenuBar", &MenuBarDefinition, objGetter, objSetter,
                offsetof(ApplicationObject, menuBar)),
    KQ_PROPERTY("__kqf_mMenuHandlers", &kTypePtr, intGetter, intSetter,
                offsetof(ApplicationObject, menuHandlers)),
};

const ParameterEntry kDoEventsParameters[] = {
    KQ_OPTIONAL_PARAMETER("milliseconds", &kTypeInteger, "-1")};
const ParameterEntry kMenuHandlerParameters[] = {KQ_PARAMETER("name", &kTypeString),
                                                 KQ_PARAMETER("handler", &kTypePtr)};
const ParameterEntry kPollableParameters[] = {KQ_PARAMETER("item", &_PollableDefinition)};
const ParameterEntry kSleepParameters[] = {KQ_PARAMETER("milliseconds", &kTypeInteger)};
const ParameterEntry kSingleEventParameters[] = {KQ_PARAMETER("block", &kTypeBoolean)};

const MethodEntry kApplicationMethods[] = {
    KQ_METHOD("NewDocument", nullptr, KQ_NO_TABLE, ApplicationNewDocument),
    KQ_METHOD("DoEvents", nullptr, KQ_TABLE(kDoEventsParameters), RuntimeDoEvents),
    KQ_METHOD("_AddMenuHandler", nullptr, KQ_TABLE(kMenuHandlerParameters),
              ApplicationAddMenuHandler),
    KQ_METHOD("_AddPollableObject", nullptr, KQ_TABLE(kPollableParameters),
              ApplicationAddPollableObject),
    KQ_METHOD("_RemovePollableObject", nullptr, KQ_TABLE(kPollableParameters),
              ApplicationRemovePollableObject),
    KQ_METHOD("YieldToNextThread", nullptr, KQ_NO_TABLE, YieldToNextThread),
    KQ_METHOD("SleepCurrentThread", nullptr, KQ_TABLE(kSleepParameters), AppSleepCurrentThread),
    KQ_METHOD("_DoSingleEvent", nullptr, KQ_TABLE(kSingleEventParameters),
              ApplicationDoSingleEvent),
};

const RuntimeClassDeclaration kApplicationDeclaration = {"Application",
                                                         nullptr,
                                                         kApplicationInstanceSize,
                                                         KQ_ANYWHERE,
                                                         false,
                                                         KQ_TABLE(kApplicationProperties),
                                                         KQ_TABLE(kApplicationMethods),
                                                         KQ_TABLE(kApplicationEvents),
                                                         KQ_NO_TABLE,
                                                         KQ_NO_TABLE,
                                                         KQ_FUNCTION(ApplicationInitializer),
                                                         KQ_FUNCTION(ApplicationFinalizer)};

// The multiple-document frame window has no behaviour on this platform; the
// application carries one as the language promises.
const RuntimeClassDeclaration kMDIWindowDeclaration = {
    "MDIWindow", nullptr,     sizeof(RuntimeObject), KQ_GUI_ONLY, false,          KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE, KQ_NO_TABLE,           KQ_NO_TABLE, KQ_NO_FUNCTION, KQ_NO_FUNCTION};

// `_Pollable`: objects of the image implementing it are polled once per
// main-loop iteration; the implementing class supplies `_Poll`.
const MethodEntry kPollableMethods[] = {
    {"_Poll", nullptr, nullptr, 0, KQ_NO_FUNCTION, KQ_NO_FUNCTION, 0, 0, 0},
};
const RuntimeClassDeclaration kPollableDeclaration = {"_Pollable",
                                                      nullptr,
                                                      sizeof(RuntimeObject),
                                                      KQ_ANYWHERE,
                                                      true,
                                                      KQ_NO_TABLE,
                                                      KQ_TABLE(kPollableMethods),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_FUNCTION,
                                                      KQ_NO_FUNCTION};

} // namespace

ObjectDefinition ApplicationDefinition(&kApplicationDeclaration);
ObjectDefinition MDIWindowDefinition(&kMDIWindowDeclaration);
ObjectDefinition _PollableDefinition(&kPollableDeclaration);

namespace application {

const EventItem *Event(AppEvent event) {
    return kApplicationEvents[static_cast<uint32_t>(event)].item;
}

} // namespace application

extern "C" {

void ApplicationInitializer(RuntimeObject *object) {
    auto *app = reinterpret_cast<ApplicationObject *>(object);
    app->mdiWindow = definitions::Instantiate(&MDIWindowDefinition);
    app->balloonHelpVisible = 0;
    app->menuHandlers = nullptr;
    app->further = nullptr;
    app->autoQuit = 1;
}

void ApplicationFinalizer(RuntimeObject *object) {
    auto *app = reinterpret_cast<ApplicationObject *>(object);
    application::RemovePollAdapters();
    objSetter(object, offsetof(ApplicationObject, mdiWindow), nullptr);
    objSetter(object, offsetof(ApplicationObject, further), nullptr);
    delete app->menuHandlers;
    app->menuHandlers = nullptr;
    objSetter(object, offsetof(ApplicationObject, menuBar), nullptr);
    objSetter(object, offsetof(ApplicationObject, mouseCursor), nullptr);
    if (application::Current() == app) application::SetCurrent(nullptr);
}

bool AppAutoCloseGetter(RuntimeObject *object, int32_t) {
    ApplicationObject *app = Self(object);
    return app != nullptr && app->autoQuit;
}

void AppAutoCloseSetter(RuntimeObject *object, int32_t, bool value) {
    if (ApplicationObject *app = Self(object)) app->autoQuit = value;
}

bool AppBalloonHelpVisibleGetter(RuntimeObject *object, int32_t) {
    ApplicationObject *app = Self(object);
    return app != nullptr && app->balloonHelpVisible;
}

void AppBalloonHelpVisibleSetter(RuntimeObject *object, int32_t, bool value) {
    if (ApplicationObject *app = Self(object)) app->balloonHelpVisible = value;
}

RuntimeObject *AppMenuBarGetter(RuntimeObject *object, int32_t) {
    ApplicationObject *app = Self(object);
    if (app == nullptr) return nullptr;
    RuntimeLockObject(app->menuBar);
    return app->menuBar;
}

void AppMenuBarSetter(RuntimeObject *object, int32_t, RuntimeObject *menuBar) {
    if (Self(object) != nullptr) objSetter(object, offsetof(ApplicationObject, menuBar), menuBar);
}

void appMouseCursorSetter(RuntimeObject *object, int32_t, RuntimeObject *cursor) {
    if (Self(object) != nullptr)
        objSetter(object, offsetof(ApplicationObject, mouseCursor), cursor);
}

} // extern "C"
