// Start-up and shutdown: the executable path (with shell quoting and link
// following), the shutdown task list, and termination signals carried to
// the main context.
#include "ExecutablePath.h"
#include "ImageTestSupport.h"
#include "ShutdownTask.h"
#include "TerminationSignals.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace imagetest;

namespace {

std::vector<int> gEnded;

class RecordingTask : public runShutdownTask {
  public:
    explicit RecordingTask(int id) : mId(id) {}
    ~RecordingTask() override { gEnded.push_back(mId); }

  private:
    int mId;
};

class ExitNoteTask : public runShutdownTask {
  public:
    ~ExitNoteTask() override { std::fputs("shutdown task ran\n", stderr); }
};

} // namespace

TEST(Startup, ArgumentWithSlashIsThePathAsItStands) {
    char arg[] = "../some/where/app";
    char *argv[] = {arg, nullptr};
    char path[kExecutablePathSize];
    ASSERT_TRUE(FindExecutablePath(argv, path));
    EXPECT_STREQ(path, "../some/where/app");
    EXPECT_EQ(argv[0], arg);
}

TEST(Startup, BareNameIsFoundOnThePathAndLinksAreFollowed) {
    std::string folder = TempFolder();
    std::string target = folder + "/real-program";
    std::ofstream(target) << "#!/bin/sh\n";
    chmod(target.c_str(), 0755);
    ASSERT_EQ(symlink((folder + "/middle-link").c_str(), (folder + "/kq-app").c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), (folder + "/middle-link").c_str()), 0);
    std::string oldPath = getenv("PATH");
    setenv("PATH", (folder + ":" + oldPath).c_str(), 1);
    char name[] = "kq-app";
    char *argv[] = {name, nullptr};
    static char path[kExecutablePathSize];
    EXPECT_TRUE(FindExecutablePath(argv, path));
    EXPECT_EQ(std::string(path), target);
    EXPECT_EQ(argv[0], path);

    // A name that is shell text runs no second command.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    std::string hostile = "a;touch planted;'$(touch planted)'`touch planted`";
    char *hostileArgv[] = {hostile.data(), nullptr};
    EXPECT_TRUE(FindExecutablePath(hostileArgv, path));
    EXPECT_STREQ(path, "");
    EXPECT_NE(access("planted", F_OK), 0) << "the name ran a command";
    ASSERT_EQ(chdir(previous), 0);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
}

TEST(Startup, ShutdownTasksEndNewestFirstAndUnlinkWhereverTheyStand) {
    gEnded.clear();
    new RecordingTask(1);
    auto *middle = new RecordingTask(2);
    new RecordingTask(3);
    delete middle;
    RunShutdownTasks();
    EXPECT_EQ(gEnded, (std::vector<int>{2, 3, 1}));
    RunShutdownTasks();
    EXPECT_EQ(gEnded.size(), 3u);
}

TEST(StartupDeathTest, TerminationAsksUnlessHangUpRunsTheShutdownTasksAndExitsZero) {
    // The signal's way to the main thread is covered by the image test
    // "sigterm-ends-the-process-while-a-report-dialog-waits".
    for (int signal : {SIGTERM, SIGQUIT, SIGHUP}) {
        EXPECT_EXIT(
            {
                TerminationSteps steps;
                steps.quitRequest = [] { std::fputs("quit request\n", stderr); };
                steps.closeAllWindows = [] { std::fputs("close windows\n", stderr); };
                SetTerminationSteps(steps);
                new ExitNoteTask;
                TerminateForSignal(signal);
            },
            testing::ExitedWithCode(0),
            signal == SIGHUP ? "^close windows\nshutdown task ran"
                             : "^quit request\nclose windows\nshutdown task ran")
            << signal;
    }
}
