#include "InstalledFiles.h"

#include <climits>
#include <unistd.h>

namespace kqlink {

namespace {

// `relative` taken from the folder of the running program; the bare
// relative path when the program cannot find its own file.
std::string BesideProgram(const char *relative) {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return relative;
    std::string folder(self, size_t(length));
    folder.erase(folder.find_last_of('/') + 1);
    return folder + relative;
}

} // namespace

std::string InstalledRuntimeManifest() {
    return BesideProgram(KQ_INSTALLED_RUNTIME_MANIFEST);
}

std::string InstalledRuntime() {
    return BesideProgram(KQ_INSTALLED_RUNTIME);
}

std::string InstalledPluginFolder() {
    return BesideProgram(KQ_INSTALLED_PLUGINS);
}

} // namespace kqlink
