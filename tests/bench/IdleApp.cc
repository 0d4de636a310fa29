// An application kept alive without windows (AutoQuit off), for measuring
// the processor time of an idle main loop. With the argument "busy" a polled
// background task keeps the loop from blocking, which gives the measurement
// its comparison. A termination signal ends it.
#include "Application.h"
#include "BackgroundTask.h"
#include "MainLoop.h"
#include "RuntimeArguments.h"
#include "TerminationSignals.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>

namespace {

class BusyTask : public BackgroundTask {
  public:
    BusyTask() : BackgroundTask(0) { RemoveTimeout(); }
    void Fire() override {}
};

} // namespace

int main(int argc, char **argv) {
    gtk_init_check(&argc, &argv);
    RuntimeInitDefaults();
    InstallTerminationSignals();
    RuntimeRegisterAppObject(nullptr);
    RuntimeObject *app = getAppObject();
    AppAutoCloseSetter(app, 0, false);
    RuntimeUnlockObject(app);
    if (argc > 1 && std::strcmp(argv[1], "busy") == 0) new BusyTask;
    std::printf("running\n");
    std::fflush(stdout);
    RuntimeRun();
    return 0;
}
