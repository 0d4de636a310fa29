// The application object: start events, the quit sequence with CancelClose
// and auto quit, windows closed through the window layer's hooks, the
// unhandled-exception offer, the accessors, and the start without a display.
#include "AppTestSupport.h"

#include "Application.h"
#include "MainLoop.h"
#include "RuntimeArguments.h"
#include "TerminationSignals.h"
#include "UnhandledException.h"
#include "WindowList.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

using apptest::Handle;
using apptest::Joined;
using apptest::Log;
using apptest::New;

namespace {

// A window layer of the test's own: each "native window" is a record with
// its answer to a close for quitting.
struct FakeWindow {
    const char *name;
    bool refuses;
};

NativeWindow *Native(FakeWindow *w) {
    return reinterpret_cast<NativeWindow *>(w);
}

FakeWindow *Fake(NativeWindow *w) {
    return reinterpret_cast<FakeWindow *>(w);
}

void InstallFakeWindowLayer() {
    WindowLayerHooks hooks;
    hooks.close = [](NativeWindow *w) {
        Log().push_back(std::string("close ") + Fake(w)->name);
        windowlist::Remove(w);
    };
    hooks.closeForQuit = [](NativeWindow *w) {
        if (Fake(w)->refuses) return QuitCloseResult::Refused;
        Log().push_back(std::string("quit-close ") + Fake(w)->name);
        windowlist::Remove(w);
        return QuitCloseResult::Closed;
    };
    mainloop::SetWindowLayerHooks(hooks);
}

int gCancelCloseAnswers = 0; // how many CancelClose events answer True

extern "C" void OnOpen(RuntimeObject *) {
    Log().push_back("Open");
}
extern "C" void OnNewDocument(RuntimeObject *) {
    Log().push_back("NewDocument");
}
// Documents become objects of a small class of the test's own.
struct TestItem {
    RuntimeObject header;
    KESTstring *path;
};

extern "C" void FinalizeTestItem(RuntimeObject *item) {
    RuntimeUnlockString(reinterpret_cast<TestItem *>(item)->path);
}

RuntimeObject *MakeTestItem(const char *path) {
    static RuntimeClass *cls = [] {
        RuntimeClass *c = RuntimeNewClass(nullptr, 0, 0, 0, 0, 0);
        c->instanceSize = sizeof(TestItem);
        c->finalizer = FinalizeTestItem;
        return c;
    }();
    RuntimeObject *item = RuntimeNewObject(cls);
    reinterpret_cast<TestItem *>(item)->path = kstr::FromC(path);
    return item;
}

extern "C" void OnOpenDocument(RuntimeObject *, RuntimeObject *item) {
    Log().push_back(std::string("OpenDocument ") +
                    kstr::Text(reinterpret_cast<TestItem *>(item)->path));
}
extern "C" bool OnCancelClose(RuntimeObject *) {
    Log().push_back("CancelClose");
    return gCancelCloseAnswers-- > 0;
}
extern "C" void OnClose(RuntimeObject *app) {
    Log().push_back("Close");
    KQ_ApplicationQuit(app); // a quit in progress: does nothing
}
extern "C" bool OnUnhandledException(RuntimeObject *, RuntimeObject *exc) {
    Log().push_back("UnhandledException " + apptest::ClassName(exc));
    return true;
}
extern "C" void RaiseInOpen(RuntimeObject *) {
    RaiseNilObjectException();
}

Ref<> NewApp() {
    Ref<> app = New(&ApplicationDefinition);
    Handle(app.get(), "Open", reinterpret_cast<void *>(OnOpen));
    Handle(app.get(), "NewDocument", reinterpret_cast<void *>(OnNewDocument));
    Handle(app.get(), "CancelClose", reinterpret_cast<void *>(OnCancelClose));
    Handle(app.get(), "Close", reinterpret_cast<void *>(OnClose));
    return app;
}

char gProgram[] = "app", gFirst[] = "/tmp/first doc", gSecond[] = "second";
char *gArgv[] = {gProgram, gFirst, gSecond, nullptr};

} // namespace

TEST(Application, StartEventsAreOpenThenNewDocumentOrOneOpenDocumentPerArgument) {
    gRuntimeArgv = gArgv;
    gRuntimeArgc = 1;
    Ref<> plain = NewApp();
    application::Register(plain.get(), &ApplicationDefinition);
    EXPECT_EQ(Joined(Log()), "Open NewDocument");
    EXPECT_EQ(application::Current(), reinterpret_cast<ApplicationObject *>(plain.get()));

    Log().clear();
    gRuntimeArgc = 3;
    application::SetDocumentItemFactory(MakeTestItem);
    Ref<> withDocuments = NewApp();
    Handle(withDocuments.get(), "OpenDocument", reinterpret_cast<void *>(OnOpenDocument));
    application::Register(withDocuments.get(), &ApplicationDefinition);
    EXPECT_EQ(Joined(Log(), ", "), "Open, OpenDocument /tmp/first doc, OpenDocument second");

    Log().clear();
    application::Register(NewApp().get(), &ApplicationDefinition);
    EXPECT_EQ(Joined(Log()), "Open") << "arguments without a handler: no NewDocument";

    application::Register(nullptr, &ApplicationDefinition);
    Ref<> made = Ref<>::Adopt(getAppObject());
    EXPECT_EQ(apptest::ClassName(made.get()), "Application");
    EXPECT_EQ(made->refCount, 2) << "the current application's reference and ours";
    application::SetCurrent(nullptr);
    EXPECT_EQ(getAppObject(), nullptr);
    gRuntimeArgc = 1;
}

TEST(Application, CancelCloseOrARefusingWindowKeepsTheApplicationRunning) {
    InstallFakeWindowLayer();
    FakeWindow front{"A", false}, back{"B", true};
    windowlist::Add(Native(&back));
    windowlist::Add(Native(&front));
    Ref<> app = NewApp();
    application::SetCurrent(app.get());
    gCancelCloseAnswers = 1;
    apptest::RunAsImage([] { KQ_ApplicationQuit(nullptr); });
    EXPECT_EQ(Joined(Log()), "CancelClose");
    EXPECT_EQ(windowlist::Count(), 2u) << "every window stays open";
    EXPECT_FALSE(mainloop::QuitRequested());

    Log().clear();
    apptest::RunAsImage([] { KQ_ApplicationQuit(nullptr); });
    EXPECT_EQ(Joined(Log()), "CancelClose quit-close A");
    EXPECT_EQ(windowlist::Count(), 1u) << "the closed window stays closed";
    EXPECT_FALSE(mainloop::QuitRequested());
    EXPECT_FALSE(reinterpret_cast<ApplicationObject *>(app.get())->quitting);

    Log().clear();
    back.refuses = false;
    apptest::RunAsImage([] { KQ_ApplicationQuit(nullptr); });
    // Close's own Quit is ignored while the quit runs; the EndException of
    // the successful quit ends the running handler quietly.
    EXPECT_EQ(Joined(Log()), "CancelClose quit-close B Close");
    EXPECT_TRUE(mainloop::QuitRequested());
    EXPECT_TRUE(apptest::Unhandled().empty());
    application::SetCurrent(nullptr);
}

TEST(Application, AutoQuitEndsTheLoopWhenTheLastWindowHasClosed) {
    InstallFakeWindowLayer();
    static FakeWindow only{"A", false};
    windowlist::Add(Native(&only));
    Ref<> app = NewApp();
    application::SetCurrent(app.get());
    g_timeout_add(
        100,
        [](gpointer) -> gboolean {
            windowlist::Remove(Native(&only));
            return FALSE;
        },
        nullptr);
    apptest::RunAsImage([] { RuntimeRun(); });
    EXPECT_EQ(Joined(Log()), "CancelClose Close");
    EXPECT_EQ(application::Current(), nullptr) << "the loop releases the application";
    EXPECT_EQ(app->refCount, 1);
    EXPECT_TRUE(apptest::Unhandled().empty());
    apptest::RunAsImage([] { RuntimeRun(); }); // runs at most once
}

TEST(Application, WithoutAutoQuitTheLoopRunsOnWithoutWindowsUntilQuit) {
    Ref<> app = NewApp();
    AppAutoCloseSetter(app.get(), 0, false);
    application::SetCurrent(app.get());
    static double started = apptest::NowMs();
    g_timeout_add(
        400,
        [](gpointer) -> gboolean {
            Log().push_back("still running");
            apptest::RunAsImage([] { KQ_ApplicationQuit(nullptr); });
            return FALSE;
        },
        nullptr);
    apptest::RunAsImage([] { RuntimeRun(); });
    EXPECT_EQ(Joined(Log()), "still running CancelClose Close");
    EXPECT_GE(apptest::NowMs() - started, 390.0);
}

TEST(Application, UnhandledExceptionsAreOfferedToTheApplicationFirst) {
    Ref<> app = New(&ApplicationDefinition);
    Handle(app.get(), "Open", reinterpret_cast<void *>(RaiseInOpen));
    application::Register(app.get(), &ApplicationDefinition);
    EXPECT_EQ(apptest::Joined(apptest::Unhandled()),
              "An exception of class NilObjectException was not handled.  The application must "
              "shut down.");
    EXPECT_TRUE(mainloop::QuitRequested()) << "the application shuts down after the report";

    apptest::Unhandled().clear();
    Ref<> handling = New(&ApplicationDefinition);
    Handle(handling.get(), "Open", reinterpret_cast<void *>(RaiseInOpen));
    Handle(handling.get(), "UnhandledException", reinterpret_cast<void *>(OnUnhandledException));
    application::Register(handling.get(), &ApplicationDefinition);
    EXPECT_EQ(Joined(Log()), "UnhandledException NilObjectException");
    EXPECT_TRUE(apptest::Unhandled().empty());
    EXPECT_FALSE(application::InsideUnhandledException());
    application::SetCurrent(nullptr);
}

extern "C" bool QuitWhileHandling(RuntimeObject *app, RuntimeObject *) {
    KQ_ApplicationQuit(app);
    Log().push_back(std::string("inside ") +
                    (application::InsideUnhandledException() ? "yes" : "no"));
    return true;
}

TEST(Application, QuitInsideUnhandledExceptionNeitherKillsNorRaises) {
    Ref<> app = New(&ApplicationDefinition);
    Handle(app.get(), "Open", reinterpret_cast<void *>(RaiseInOpen));
    Handle(app.get(), "UnhandledException", reinterpret_cast<void *>(QuitWhileHandling));
    application::Register(app.get(), &ApplicationDefinition);
    EXPECT_EQ(Joined(Log()), "inside yes");
    EXPECT_TRUE(mainloop::QuitRequested());
    EXPECT_TRUE(apptest::Unhandled().empty()) << "no EndException escaped";
    application::SetCurrent(nullptr);
}

// A process that gets `signal` while its loop waits; closing its window
// prints what the application was asked before.
[[noreturn]] void EndBySignal(int signal) {
    InstallFakeWindowLayer();
    static FakeWindow only{"A", false};
    windowlist::Add(Native(&only));
    gCancelCloseAnswers = 1; // the application says no; it ends all the same
    application::Register(NewApp().get(), &ApplicationDefinition);
    WindowLayerHooks hooks = mainloop::Hooks();
    hooks.close = [](NativeWindow *w) {
        std::fprintf(stderr, "%s\n", Joined(Log()).c_str());
        windowlist::Remove(w);
    };
    mainloop::SetWindowLayerHooks(hooks);
    InstallTerminationSignals();
    kill(getpid(), signal); // to the process: its signal watcher takes it
    apptest::IterateUntil([] { return false; }, 20000);
    std::exit(3);
}

TEST(ApplicationDeathTest, TerminationSignalsAskTheApplicationUnlessHangUp) {
    EXPECT_EXIT(EndBySignal(SIGTERM), testing::ExitedWithCode(0), "Open NewDocument CancelClose\n");
    EXPECT_EXIT(EndBySignal(SIGHUP), testing::ExitedWithCode(0), "Open NewDocument\n");
}

TEST(ApplicationDeathTest, WindowedApplicationWithoutADisplayEndsWithAClearMessage) {
    if (gdk_display_get_default() != nullptr) GTEST_SKIP() << "this run has a display";
    EXPECT_EXIT(RuntimeRegisterAppObject(nullptr), testing::ExitedWithCode(1),
                "needs an X display");
}

TEST(Application, AccessorsKeepTheirFieldsAndCheckTheirObject) {
    Ref<> app = New(&ApplicationDefinition);
    auto *a = reinterpret_cast<ApplicationObject *>(app.get());
    EXPECT_TRUE(AppAutoCloseGetter(app.get(), 0));
    AppAutoCloseSetter(app.get(), 0, false);
    EXPECT_FALSE(a->autoQuit);
    EXPECT_FALSE(AppBalloonHelpVisibleGetter(app.get(), 0));
    AppBalloonHelpVisibleSetter(app.get(), 0, true);
    EXPECT_TRUE(AppBalloonHelpVisibleGetter(app.get(), 0));
    EXPECT_EQ(apptest::ClassName(a->mdiWindow), "MDIWindow");

    Ref<> bar = New(&ApplicationDefinition); // any object stands in for a menu bar
    AppMenuBarSetter(app.get(), 0, bar.get());
    EXPECT_EQ(bar->refCount, 2);
    Ref<> read = Ref<>::Adopt(AppMenuBarGetter(app.get(), 0));
    EXPECT_EQ(read.get(), bar.get());
    EXPECT_EQ(bar->refCount, 3);
    Ref<> cursor = New(&MouseCursorDefinition), other = New(&MouseCursorDefinition);
    appMouseCursorSetter(app.get(), 0, cursor.get());
    appMouseCursorSetter(app.get(), 0, other.get());
    EXPECT_EQ(cursor->refCount, 1) << "the old cursor is released";

    KESTstring *name = kstr::FromC("FileOpen");
    ApplicationAddMenuHandler(app.get(), name, nullptr);
    EXPECT_EQ(a->menuHandlers, nullptr) << "a null handler registers nothing";
    ApplicationAddMenuHandler(app.get(), name, reinterpret_cast<void *>(OnOpen));
    ApplicationAddMenuHandler(app.get(), name, reinterpret_cast<void *>(OnClose));
    void *handler = nullptr;
    ASSERT_NE(a->menuHandlers, nullptr);
    EXPECT_TRUE(a->menuHandlers->Lookup(name, &handler));
    EXPECT_EQ(handler, reinterpret_cast<void *>(OnClose));
    EXPECT_EQ(a->menuHandlers->Count(), 1u);
    RuntimeUnlockString(name);

    std::string reports = apptest::ReportsDuring([] {
        AppAutoCloseGetter(nullptr, 0);
        ApplicationAddMenuHandler(nullptr, nullptr, nullptr);
    });
    EXPECT_NE(reports.find("Failure Condition: self"), std::string::npos) << reports;
    EXPECT_NE(reports.find("Failure Condition: app"), std::string::npos) << reports;
    EXPECT_NE(reports.find("Failure Condition: name"), std::string::npos) << reports;
}

TEST(Application, UnreportedExceptionsShowTheirTextsAndEndTheLoopOnce) {
    RuntimeObject *exc = definitions::Instantiate(&OutOfBoundsExceptionDefinition);
    KESTstring *message = kstr::FromC("index 7");
    exceptions::SetMessage(exc, message);
    exceptions::SetErrorNumber(exc, 12);
    static std::string shown;
    SetUnhandledExceptionPresenter([](KESTstring *text, KESTstring *explanation) {
        shown = std::string(kstr::Text(text)) + "|" + kstr::Text(explanation);
    });
    RuntimeUnhandledException(exc);
    EXPECT_EQ(shown, "An exception of class OutOfBoundsException was not handled.  The "
                     "application must shut down.|Exception Message: index 7\rException Error "
                     "Number: 12");
    EXPECT_TRUE(mainloop::QuitRequested());
    shown.clear();
    RuntimeUnhandledException(exc); // a quit is under way: nothing more is shown
    EXPECT_EQ(shown, "");
    RuntimeUnlockObject(exc);
    RuntimeUnlockString(message);
}
