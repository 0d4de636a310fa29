// Finding shared libraries (see LibrarySearch.h).
#include "LibrarySearch.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <initializer_list>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace libsearch {

namespace {

constexpr int kMaxLinks = 40;

void *Open(const std::string &name) {
    return dlopen(name.c_str(), RTLD_LAZY);
}

// The output of "/sbin/ldconfig -p", run once per process through the shell
// with its standard error joined to its standard output.
const std::string &LibraryCache() {
    static std::string cache;
    static bool done = false;
    if (done) return cache;
    done = true;
    int fds[2];
    if (pipe(fds) != 0) return cache;
    pid_t pid = vfork();
    if (pid == 0) {
        sigset_t none; // the runtime's threads block the termination signals
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        close(fds[1]);
        execlp("/bin/sh", "sh", "-c", "/sbin/ldconfig -p", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid > 0) {
        char piece[512];
        ssize_t n;
        while ((n = read(fds[0], piece, sizeof piece)) != 0) {
            if (n < 0) {
                if (errno == EINTR) continue;
                break;
            }
            cache.append(piece, size_t(n));
        }
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    close(fds[0]);
    return cache;
}

std::string Trim(const std::string &s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The linker-script step: a library file that is a text naming the
// libraries to load in a GROUP.
void *OpenFromScript(const std::string &name) {
    static const char *const kFolders[] = {"", "/usr/local/lib/", "/usr/lib/", "/lib/"};
    FILE *file = nullptr;
    for (const char *suffix : {"", ".so"})
        for (const char *folder : kFolders)
            if (file == nullptr) file = std::fopen((folder + name + suffix).c_str(), "rb");
    if (file == nullptr) return nullptr;
    static char text[10240];
    std::memset(text, 0, sizeof text);
    size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[n] = 0;
    for (const std::string &piece : GroupMembers(text))
        if (void *handle = Open(piece)) return handle;
    return nullptr;
}

} // namespace

void *FollowLinks(std::string &name) {
    for (int links = 0; links < kMaxLinks; ++links) {
        struct stat st;
        if (lstat(name.c_str(), &st) != 0) {
            name += ".so";
            if (lstat(name.c_str(), &st) != 0) return nullptr;
        }
        if (!S_ISLNK(st.st_mode)) return nullptr;
        char link[1024] = {};
        if (readlink(name.c_str(), link, sizeof link - 1) < 0) return nullptr;
        name = link;
        if (void *handle = Open(name)) return handle;
    }
    return nullptr;
}

bool NextCachePath(const std::string &cache, const std::string &name, size_t *from,
                   std::string *path) {
    if (name.empty()) return false;
    size_t at = cache.find(name, *from);
    if (at == std::string::npos) return false;
    *from = at + name.size();
    size_t arrow = cache.find("=>", at);
    if (arrow == std::string::npos) return false;
    size_t start = arrow + 3;
    size_t end = cache.find_first_of("\n\r", start);
    *path =
        start < cache.size()
            ? Trim(cache.substr(start, end == std::string::npos ? std::string::npos : end - start))
            : "";
    return true;
}

std::vector<std::string> GroupMembers(const char *script) {
    std::vector<std::string> pieces;
    const char *group = std::strstr(script, "GROUP");
    const char *open = group != nullptr ? std::strchr(group, '(') : nullptr;
    const char *close = open != nullptr ? std::strchr(open, ')') : nullptr;
    if (close == nullptr) return pieces;
    std::string inside(open + 1, close);
    size_t pos = 0;
    while (pos < inside.size()) {
        size_t space = inside.find(' ', pos);
        if (space == std::string::npos) space = inside.size();
        if (space > pos) pieces.push_back(inside.substr(pos, space - pos));
        pos = space + 1;
    }
    return pieces;
}

void *OpenForImport(const std::string &name) {
    if (void *handle = Open(name)) return handle;
    if (name.find(".so") == std::string::npos)
        if (void *handle = Open(name + ".so")) return handle;
    std::string working = name;
    if (void *handle = FollowLinks(working)) return handle;
    const std::string &cache = LibraryCache();
    size_t from = 0;
    std::string path;
    while (NextCachePath(cache, name, &from, &path)) {
        if (void *handle = Open(path)) return handle;
        if (void *handle = FollowLinks(path)) return handle;
    }
    return nullptr;
}

void *OpenByName(std::string &name) {
    for (const char *suffix : {"", ".so"})
        for (const char *folder : {"", "/usr/local/lib/", "/usr/lib/"})
            if (void *handle = Open(folder + name + suffix)) return handle;
    if (void *handle = FollowLinks(name)) return handle;
    return OpenFromScript(name);
}

} // namespace libsearch
