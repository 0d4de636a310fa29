// RuntimeInitExternalClasses: the image's start code calls it before it
// creates the application object. It registers the runtime's intrinsic
// global functions and then installs the plug-ins carried by the image.
#include "IntrinsicFunction.h"
#include "plugin.h"

extern "C" void RuntimeInitExternalClasses() {
    RegisterRuntimeIntrinsicFunctions();
    InstallPlugins();
}
