// Termination signals (see TerminationSignals.h).
#include "TerminationSignals.h"

#include "ShutdownTask.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <glib.h>
#include <initializer_list>
#include <unistd.h>

namespace {

TerminationSteps gSteps;
int gSignalPipe[2] = {-1, -1};

void OnSignal(int signal) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(signal);
    ssize_t written = write(gSignalPipe[1], &byte, 1);
    (void)written; // a full pipe already holds a pending termination
    errno = saved;
}

gboolean OnSignalRecorded(GIOChannel *, GIOCondition, gpointer) {
    unsigned char byte = 0;
    if (read(gSignalPipe[0], &byte, 1) == 1) TerminateForSignal(byte);
    return TRUE;
}

} // namespace

void SetTerminationSteps(const TerminationSteps &steps) {
    gSteps = steps;
}

void TerminateForSignal(int signal) {
    if (signal != SIGHUP && gSteps.quitRequest != nullptr) gSteps.quitRequest();
    if (gSteps.closeAllWindows != nullptr) gSteps.closeAllWindows();
    if (gSteps.releaseApplication != nullptr) gSteps.releaseApplication();
    RunShutdownTasks();
    // The shutdown tasks were the process's last work; static destructors
    // and exit handlers are not run from inside an event dispatch.
    std::fflush(nullptr);
    _exit(0);
}

void InstallTerminationSignals() {
    if (gSignalPipe[0] < 0) {
        if (pipe(gSignalPipe) != 0) return;
        for (int fd : gSignalPipe)
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        GIOChannel *channel = g_io_channel_unix_new(gSignalPipe[0]);
        g_io_add_watch(channel, G_IO_IN, OnSignalRecorded, nullptr);
        g_io_channel_unref(channel);
    }
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int signal : {SIGTERM, SIGQUIT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
