// The process entry of the runtime (kqrun): stores the arguments, prepares
// GTK+ (a missing display is not fatal: console images run without one),
// initialises the runtime, finds the executable's path, installs the
// termination signals and hands the path to the loader, which runs the
// application image and returns when it has ended.
#include "ExecutablePath.h"
#include "RuntimeArguments.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "StackCheck.h"
#include "TerminationSignals.h"
#include "loaderX86.h"

#include <gtk/gtk.h>

#include <cstring>

namespace {

const char kSource[] = "Common/RuntimeMain";

// The checked stack of the main thread, below the start-up's position.
constexpr uint32_t kMainThreadStackSize = 0x40000;

// The exception's stack names the image's methods by the image's symbols.
bool ImageSymbolName(const void *address, KESTstring **name) {
    const char *text;
    uint32_t distance;
    if (!ImageSymbolForAddress(address, &text, &distance)) return false;
    *name = kstr::Make(text, uint32_t(std::strlen(text)), kEncodingUTF8);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    gRuntimeArgc = argc;
    gRuntimeArgv = argv;
    gtk_set_locale();
    gtk_init_check(&gRuntimeArgc, &gRuntimeArgv);
    KESTInitStackChecker(kMainThreadStackSize, 0);
    exceptions::SetSymbolLookup(ImageSymbolName);

    static char path[kExecutablePathSize];
    bool found = FindExecutablePath(gRuntimeArgv, path);
    KQ_ASSERT_TEXT(kSource, found, "exeFilePath", nullptr);
    if (found) SetRuntimeExecutablePath(path);
    InstallTerminationSignals();
    LoadAndRunImage(found ? path : nullptr);
    return 0;
}
