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
#include <pthread.h>
#include <unistd.h>

namespace {

TerminationSteps gSteps;
int gSignalPipe[2] = {-1, -1};

// The handler realigns its stack: the i386 ABI enters a function with the
// stack aligned to 16 bytes, and the compiler lays out frames (SSE spills, the
// address sanitizer's redzones) on that promise, but qemu-i386 7.2 enters
// signal handlers on a stack that breaks it (aligned to 8 bytes at the return
// address). Without the realignment the address sanitizer's shadow of this
// frame is shifted against the frame, and it reports the write of `byte` as a
// stack overrun.
__attribute__((force_align_arg_pointer)) void OnSignal(int signal) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(signal);
    ssize_t written = write(gSignalPipe[1], &byte, 1);
    (void)written; // a full pipe already holds a pending termination
    errno = saved;
}

gboolean TerminateOnMainThread(gpointer signal) {
    TerminateForSignal(GPOINTER_TO_INT(signal));
}

void TerminationSignalSet(sigset_t *set) {
    sigemptyset(set);
    for (int signal : {SIGTERM, SIGQUIT, SIGHUP})
        sigaddset(set, signal);
}

// The watcher thread: the only thread that takes the termination signals
// (the others block them, so that no wait of GTK+ or GLib is interrupted by
// one); it reads what the handler recorded and queues the termination on the
// main context (g_idle_add wakes it from any thread).
void *WatchSignals(void *) {
    sigset_t others, termination;
    sigfillset(&others);
    TerminationSignalSet(&termination);
    for (int signal : {SIGTERM, SIGQUIT, SIGHUP})
        sigdelset(&others, signal);
    pthread_sigmask(SIG_BLOCK, &others, nullptr);
    pthread_sigmask(SIG_UNBLOCK, &termination, nullptr);
    for (;;) {
        unsigned char byte = 0;
        ssize_t n = read(gSignalPipe[0], &byte, 1);
        if (n == 1)
            g_idle_add_full(G_PRIORITY_HIGH, TerminateOnMainThread, GINT_TO_POINTER(byte), nullptr);
        else if (n == 0 || errno != EINTR)
            return nullptr;
    }
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
    if (gSignalPipe[0] >= 0) return;
    if (pipe2(gSignalPipe, O_CLOEXEC) != 0) return;
    fcntl(gSignalPipe[1], F_SETFL, fcntl(gSignalPipe[1], F_GETFL) | O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int signal : {SIGTERM, SIGQUIT, SIGHUP})
        sigaction(signal, &action, nullptr);
    sigset_t termination;
    TerminationSignalSet(&termination);
    pthread_t watcher;
    if (pthread_create(&watcher, nullptr, WatchSignals, nullptr) != 0) return;
    pthread_detach(watcher);
    // From here on the calling thread, and the threads it starts, leave the
    // signals to the watcher.
    pthread_sigmask(SIG_BLOCK, &termination, nullptr);
}
