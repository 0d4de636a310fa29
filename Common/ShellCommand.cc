// Shell commands (see ShellCommand.h) and the background task that collects
// the children that were not captured.
#include "ShellCommand.h"

#include "BackgroundTask.h"
#include "SimpleVector.h"

#include <cerrno>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int32_t kReapPeriodTicks = 60;
constexpr size_t kChunk = 512;

SimpleVector<pid_t> gChildren;

class ShellBackgroundTask : public BackgroundTask {
  public:
    ShellBackgroundTask() : BackgroundTask(kReapPeriodTicks) { RemoveTimeout(); }
    ~ShellBackgroundTask() override;
    void Fire() override;
};

ShellBackgroundTask *gReaper = nullptr;

ShellBackgroundTask::~ShellBackgroundTask() {
    gReaper = nullptr;
}

// Collects the children that have ended; with none left the task goes, so
// that the main loop may block again.
void ShellBackgroundTask::Fire() {
    for (uint32_t i = gChildren.Count(); i > 0;) {
        int status;
        if (waitpid(gChildren[--i], &status, WNOHANG) != 0) gChildren.RemoveAt(i);
    }
    if (gChildren.IsEmpty()) delete this;
}

// In the child (after vfork: only system calls): the pipe as standard output
// and error, every other descriptor closed, then bash.
[[noreturn]] void BecomeShell(int pipeOut, const char *command, long openMax) {
    dup2(pipeOut, STDOUT_FILENO);
    dup2(pipeOut, STDERR_FILENO);
    if (syscall(SYS_close_range, 3u, ~0u, 0u) != 0)
        for (long fd = 3; fd < openMax; ++fd)
            close(int(fd));
    execlp("/bin/bash", "bash", "-c", command, static_cast<char *>(nullptr));
    _exit(127);
}

} // namespace

namespace shell {

std::string Run(const std::string &command, bool capture) {
    int pipes[2];
    if (pipe(pipes) != 0) return "";
    long openMax = sysconf(_SC_OPEN_MAX);
    pid_t child = vfork();
    if (child == 0) BecomeShell(pipes[1], command.c_str(), openMax);
    close(pipes[1]);
    std::string output;
    if (child < 0) {
        close(pipes[0]);
        return output;
    }
    if (!capture) {
        close(pipes[0]);
        gChildren.Append(child);
        if (gReaper == nullptr) gReaper = new ShellBackgroundTask;
        return output;
    }
    char chunk[kChunk];
    ssize_t got;
    while ((got = read(pipes[0], chunk, sizeof chunk)) != 0) {
        if (got > 0)
            output.append(chunk, size_t(got));
        else if (errno != EINTR)
            break;
    }
    close(pipes[0]);
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return output;
}

unsigned PendingChildren() {
    return gChildren.Count();
}

} // namespace shell
