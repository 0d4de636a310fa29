// Termination signals (SIGTERM, SIGQUIT, SIGHUP). The handler only records
// the signal through a pipe; a watcher thread reads it and queues the
// termination on the GLib main context, so that it runs on the main thread
// at the next dispatch (every main-loop iteration, modal loop and DoEvents
// dispatches):
//   1. unless SIGHUP: the application's quit request;
//   2. close all windows; 3. release the application object;
//   4. run the shutdown task list; 5. exit with status 0.
// Steps 1 to 3 belong to the application object and the windows, which
// install them here; a step not installed is skipped.
#pragma once

using TerminationStep = void (*)();

struct TerminationSteps {
    TerminationStep quitRequest = nullptr;
    TerminationStep closeAllWindows = nullptr;
    TerminationStep releaseApplication = nullptr;
};

void SetTerminationSteps(const TerminationSteps &steps);

// Installs the handler for SIGTERM, SIGQUIT and SIGHUP (empty mask, no flags)
// and the main-context watch that carries out the termination.
void InstallTerminationSignals();

// The termination for `signal`, as the watch runs it; does not return.
[[noreturn]] void TerminateForSignal(int signal);
