// Finding the executable's path (see ExecutablePath.h).
#include "ExecutablePath.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

std::string ShellQuote(const char *text) {
    std::string quoted = "'";
    for (const char *p = text; *p != 0; ++p)
        if (*p == '\'')
            quoted += "'\\''";
        else
            quoted += *p;
    return quoted + "'";
}

bool FindExecutablePath(char **argv, char *path) {
    std::memset(path, 0, kExecutablePathSize);
    const char *arg = argv != nullptr && argv[0] != nullptr ? argv[0] : "";
    if (std::strchr(arg, '/') != nullptr) {
        std::strncpy(path, arg, kExecutablePathSize - 1);
        return true;
    }
    std::string command = "which " + ShellQuote(arg);
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    if (std::fgets(path, int(kExecutablePathSize), pipe) == nullptr) path[0] = 0;
    pclose(pipe);
    if (char *newline = std::strchr(path, '\n')) *newline = 0;

    // The link text replaces the path as it stands. A text that fills the
    // whole buffer may be cut short: the path found so far is kept then.
    static char link[kExecutablePathSize];
    for (int followed = 0; followed < kMaxLinks; ++followed) {
        struct stat st;
        if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::memset(link, 0, sizeof link);
        ssize_t n = readlink(path, link, sizeof link);
        if (n < 0 || size_t(n) >= sizeof link) break;
        std::memcpy(path, link, size_t(n) + 1);
    }
    if (argv != nullptr) argv[0] = path;
    return true;
}

namespace {
const char *gExecutablePath = nullptr;
} // namespace

const char *RuntimeExecutablePath() {
    return gExecutablePath;
}

void SetRuntimeExecutablePath(const char *path) {
    gExecutablePath = path;
}
