// The process entry of the runtime (kqrun): stores the arguments, prepares
// GTK+, initialises the runtime, finds the executable's path, installs the
// termination signals and hands the path to the loader, which runs the
// application image and returns when it has ended.
#include "Application.h"
#include "ExecutablePath.h"
#include "RuntimeArguments.h"
#include "RuntimeErrorReport.h"
#include "StepTimestamps.h"
#include "TerminationSignals.h"
#include "loaderX86.h"

#include <cstdio>

namespace {

const char kSource[] = "Common/RuntimeMain";

} // namespace

int main(int argc, char **argv) {
    // Compiled images do their Double arithmetic with SSE2 instructions: on
    // a processor without them the first one would end the process with
    // SIGILL somewhere in the application.
    if (!__builtin_cpu_supports("sse2")) {
        std::fputs("This program needs a processor with SSE2 instructions (Pentium 4 or later).\n",
                   stderr);
        return 1;
    }
    kq_timestamps_init();
    kq_timestamp("main");
    RuntimeStartUp(argc, argv);

    static char path[kExecutablePathSize];
    bool found = FindExecutablePath(gRuntimeArgv, path);
    KQ_ASSERT_TEXT(kSource, found, "exeFilePath", nullptr);
    if (found) SetRuntimeExecutablePath(path);
    InstallTerminationSignals();
    LoadAndRunImage(found ? path : nullptr);
    return application::ExitStatus(); // 0 but for a console program's own
}
