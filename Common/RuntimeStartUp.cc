// The process's first steps before the image is looked for (see
// RuntimeArguments.h).
#include "RuntimeArguments.h"

#include "GTKHelper.h"
#include "KeyState.h"
#include "StepTimestamps.h"

#include <gtk/gtk.h>

void RuntimeStartUp(int argc, char **argv) {
    gRuntimeArgc = argc;
    gRuntimeArgv = argv;
    gtk_set_locale();
    if (gtk_init_check(&gRuntimeArgc, &gRuntimeArgv)) {
        keystate::InstallKeySnooper();
        gtkhelper::Initialise();
        kq_timestamp_when_first_drawn();
    }
    RuntimeInitDefaults();
}
