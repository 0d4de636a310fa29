// The process entry of the runtime (kqrun): stores the arguments, prepares
// GTK+ (a missing display is not fatal: console images run without one),
// initialises the runtime, finds the executable's path, installs the
// termination signals and hands the path to the loader, which runs the
// application image and returns when it has ended.
#include "Application.h"
#include "ExecutablePath.h"
#include "GTKHelper.h"
#include "KeyState.h"
#include "RuntimeArguments.h"
#include "RuntimeErrorReport.h"
#include "TerminationSignals.h"
#include "loaderX86.h"

#include <gtk/gtk.h>

namespace {

const char kSource[] = "Common/RuntimeMain";

} // namespace

int main(int argc, char **argv) {
    gRuntimeArgc = argc;
    gRuntimeArgv = argv;
    gtk_set_locale();
    if (gtk_init_check(&gRuntimeArgc, &gRuntimeArgv)) {
        keystate::InstallKeySnooper();
        gtkhelper::Initialise();
    }
    RuntimeInitDefaults();

    static char path[kExecutablePathSize];
    bool found = FindExecutablePath(gRuntimeArgv, path);
    KQ_ASSERT_TEXT(kSource, found, "exeFilePath", nullptr);
    if (found) SetRuntimeExecutablePath(path);
    InstallTerminationSignals();
    LoadAndRunImage(found ? path : nullptr);
    return application::ExitStatus(); // 0 but for a console program's own
}
