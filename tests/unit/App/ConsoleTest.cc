// Console programs: the ConsoleApplication's Run with the command line and
// its exit status, DoEvents without a display, Print and Input, the standard
// streams.
#include "AppTestSupport.h"

#include "Application.h"
#include "ConsoleApplication.h"
#include "MainLoop.h"
#include "RuntimeArguments.h"
#include "RuntimeArray.h"
#include "TextEncodingUtil.h"
#include "Timer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

using apptest::Handle;
using apptest::Log;

namespace {

int gTimerFirings = 0;

extern "C" void CountConsoleTimer(RuntimeObject *) {
    ++gTimerFirings;
}

extern "C" int32_t RunProgram(RuntimeObject *app, RuntimeArray *args) {
    for (int32_t i = 0; i <= karray::UBound(args); ++i)
        Log().push_back(kstr::Text(karray::At<KESTstring *>(args, i)));
    // Timers work in a console program through DoEvents.
    Ref<> timer = apptest::New(&TimerDefinition);
    Handle(timer.get(), "Action", reinterpret_cast<void *>(CountConsoleTimer));
    timerPeriodSetter(timer.get(), 0, 10);
    timerModeSetter(timer.get(), 0, 2);
    while (gTimerFirings < 3)
        RuntimeDoEvents(app, -1);
    return 7;
}

// Standard input read from `text` while `body` runs.
void WithInput(const char *text, const std::function<void()> &body) {
    int pipes[2];
    ASSERT_EQ(pipe(pipes), 0);
    ASSERT_EQ(write(pipes[1], text, std::strlen(text)), ssize_t(std::strlen(text)));
    close(pipes[1]);
    int saved = dup(0);
    dup2(pipes[0], 0);
    close(pipes[0]);
    clearerr(stdin);
    body();
    dup2(saved, 0);
    close(saved);
    clearerr(stdin);
}

std::string TextOf(KESTstring *s) {
    std::string text = kstr::Text(s);
    RuntimeUnlockString(s);
    return text;
}

} // namespace

TEST(Console, RunGetsTheCommandLineAndItsResultIsTheExitStatus) {
    char program[] = "/opt/tool", first[] = "-v", second[] = "file name";
    char *argv[] = {program, first, second, nullptr};
    gRuntimeArgc = 3;
    gRuntimeArgv = argv;
    RuntimeRegisterConsoleAppObject(nullptr, false);
    Ref<> app = Ref<>::Adopt(getAppObject());
    EXPECT_EQ(apptest::ClassName(app.get()), "ConsoleApplication");
    EXPECT_FALSE(AppAutoCloseGetter(app.get(), 0)) << "no window ever opens";
    Handle(app.get(), "Run", reinterpret_cast<void *>(RunProgram));
    apptest::RunAsImage([] { RuntimeRun(); });
    EXPECT_EQ(apptest::Joined(Log(), "|"), "/opt/tool|-v|file name");
    EXPECT_EQ(gTimerFirings, 3);
    EXPECT_EQ(application::ExitStatus(), 7);
    EXPECT_EQ(application::Current(), nullptr);
    gRuntimeArgc = 0;
}

TEST(Console, PrintWritesUtf8LinesAndInputReadsThem) {
    testing::internal::CaptureStdout();
    KESTstring *latin1 = kstr::Make("Gr\xFC\xDF", 4, textenc::kISOLatin1);
    RuntimeConsolePrint(latin1);
    RuntimeConsolePrint(nullptr);
    RuntimeUnlockString(latin1);
    Ref<> err = Ref<>::Adopt(RuntimeGetStdErr());
    Ref<> out = Ref<>::Adopt(RuntimeGetStdOut());
    KESTstring *part = kstr::FromC("a");
    RuntimeStdOutputStreamWrite(out.get(), part);
    RuntimeStdOutputStreamWriteLine(out.get(), part);
    RuntimeStdOutFlush(out.get());
    RuntimeUnlockString(part);
    EXPECT_EQ(RuntimeStdOutputError(out.get(), 0), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Gr\xC3\xBC\xC3\x9F\n\naa\n");
    EXPECT_EQ(apptest::ClassName(err.get()), "StandardOutputStream");

    WithInput("first line\r\n\nthird\nrest", [] {
        EXPECT_EQ(TextOf(RuntimeConsoleInput()), "first line");
        EXPECT_EQ(TextOf(RuntimeConsoleInput()), "");
        Ref<> in = Ref<>::Adopt(RuntimeGetStdIn());
        EXPECT_EQ(TextOf(RuntimeStdInputReadLine(in.get())), "third");
        EXPECT_FALSE(RuntimeStdInputEof(in.get()));
        EXPECT_EQ(TextOf(RuntimeStdInputRead(in.get(), 2)), "re");
        EXPECT_EQ(TextOf(RuntimeStdInputRead(in.get(), 10)), "st");
        EXPECT_TRUE(RuntimeStdInputEof(in.get()));
        EXPECT_EQ(TextOf(RuntimeStdInputReadLine(in.get())), "");
        EXPECT_EQ(RuntimeStdInputError(in.get(), 0), 0);
    });
}
