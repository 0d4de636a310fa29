// Installing and starting plug-in libraries (see plugin.h).
#include "plugin.h"

#include "ExecutablePath.h"
#include "ImageFormat.h"
#include "RelocEntry.h"
#include "ResourceManagerCommon.h"
#include "RuntimeErrorReport.h"
#include "SimpleVector.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kSource[] = "Common/plugin";
const char kCannotInstall[] =
    "The application cannot continue because a needed file cannot be installed. ";

using PluginLookup = void *(*)(const char *);
using PluginMain = void (*)(PluginLookup);

// One loaded library, kept for the whole run.
struct PluginRecord {
    void *handle;
    bool installedFromImage;
    char *path; // the installed file; null for a file that was already there
    int lockFd;
};

SimpleVector<PluginRecord> &Plugins() {
    static SimpleVector<PluginRecord> plugins;
    return plugins;
}

[[noreturn]] void CannotInstall(const std::string &why) {
    std::string message = kCannotInstall + why;
    RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "0", message.c_str());
    std::exit(1);
}

bool WriteAll(int fd, const uint8_t *bytes, uint32_t length) {
    while (length > 0) {
        ssize_t n = write(fd, bytes, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        length -= uint32_t(n);
    }
    return true;
}

// Creates a new file "<tmp>/kqplugin-XXXXXX_<name>" exclusively (a planted
// file or link of that name makes the creation fail, never followed), writes
// the library into it and locks it. Returns the path (malloc'd).
char *Install(const std::string &name, const uint8_t *library, uint32_t length, int *lockFd) {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp == '/' ? tmp : "/tmp") + "/kqplugin-XXXXXX_" + name;
    char *path = strdup(pattern.c_str());
    int fd = path != nullptr ? mkostemps(path, int(name.size() + 1), O_CLOEXEC) : -1;
    if (fd < 0) {
        std::free(path);
        CannotInstall("Failed to construct a temporary path.");
    }
    if (!WriteAll(fd, library, length) || fchmod(fd, 0700) != 0) {
        unlink(path);
        CannotInstall(std::string("Cannot write ") + path + ": " + std::strerror(errno));
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        std::string message = std::string("Cannot lock ") + path;
        RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__,
                           "0 == flock(fd, LOCK_EX | LOCK_NB)", message.c_str());
    }
    *lockFd = fd;
    return path;
}

// The library's file next to the executable, when one is there already.
bool ExistingFile(const std::string &name, std::string *path) {
    const char *exe = RuntimeExecutablePath();
    const char *slash = exe != nullptr ? std::strrchr(exe, '/') : nullptr;
    if (slash == nullptr) return false;
    *path = std::string(exe, slash + 1) + name;
    struct stat st;
    return lstat(path->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Loads the library file, keeps its record and calls its entry function
// while "KQPLUGINPATH" names the file; false with the loader's error text
// when it cannot be loaded or has no entry function.
bool Load(const std::string &path, PluginRecord record, std::string *error) {
    record.handle = dlopen(path.c_str(), RTLD_LAZY);
    if (record.handle == nullptr) {
        *error = dlerror();
        return false;
    }
    auto pluginMain = reinterpret_cast<PluginMain>(dlsym(record.handle, "KESTPluginMain"));
    if (pluginMain == nullptr) {
        *error = dlerror();
        dlclose(record.handle);
        return false;
    }
    Plugins().Append(record);
    setenv("KQPLUGINPATH", path.c_str(), 1);
    pluginMain(RuntimeLookupPluginEntrypoint);
    unsetenv("KQPLUGINPATH");
    return true;
}

bool Fail(std::string *why, const char *text) {
    *why = text;
    return false;
}

// Whether [offset, offset + size) lies within `length` bytes.
bool Within(uint32_t offset, uint32_t size, uint32_t length) {
    return offset <= length && size <= length - offset;
}

// An installed file is removed as soon as its library is loaded and started
// (the mapping stays), or could not be: once the plug-ins are started, no
// way out of the process, not even a crash or a kill, leaves it behind.
void Start(const ResourceEntry &entry) {
    std::string name, why;
    const uint8_t *library;
    uint32_t length;
    if (!SplitPluginPayload(entry.data, entry.length, &name, &library, &length))
        CannotInstall("The plug-in resource is damaged.");
    PluginRecord record{nullptr, false, nullptr, -1};
    std::string path;
    if (!ExistingFile(name, &path)) {
        if (!CheckPluginLibrary(library, length, &why)) CannotInstall(name + ": " + why);
        record.installedFromImage = true;
        record.path = Install(name, library, length, &record.lockFd);
        path = record.path;
    }
    std::string error;
    bool loaded = Load(path, record, &error);
    if (record.installedFromImage) unlink(path.c_str());
    if (!loaded) CannotInstall(error);
}

} // namespace

bool SplitPluginPayload(const uint8_t *payload, uint32_t length, std::string *name,
                        const uint8_t **library, uint32_t *libraryLength) {
    if (payload == nullptr || length == 0 || payload[0] == 0 || uint32_t(payload[0]) >= length)
        return false;
    name->assign(reinterpret_cast<const char *>(payload + 1), payload[0]);
    if (name->find('/') != std::string::npos || name->find('\0') != std::string::npos ||
        *name == "." || *name == "..")
        return false;
    *library = payload + 1 + payload[0];
    *libraryLength = length - 1 - payload[0];
    return true;
}

bool CheckPluginLibrary(const uint8_t *library, uint32_t length, std::string *why) {
    Elf32_Ehdr header;
    if (library == nullptr || length < sizeof header) return Fail(why, "file too short");
    std::memcpy(&header, library, sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return Fail(why, "invalid ELF header");
    if (header.e_ident[EI_CLASS] != ELFCLASS32 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
        header.e_machine != EM_386)
        return Fail(why, "not a library for 32-bit x86");
    if (header.e_type != ET_DYN) return Fail(why, "not a shared library");
    if (header.e_phentsize != sizeof(Elf32_Phdr) || header.e_phnum == 0 ||
        !Within(header.e_phoff, uint32_t(header.e_phnum) * sizeof(Elf32_Phdr), length))
        return Fail(why, "damaged program headers");
    for (uint32_t i = 0; i < header.e_phnum; ++i) {
        Elf32_Phdr segment;
        std::memcpy(&segment, library + header.e_phoff + i * sizeof segment, sizeof segment);
        if (segment.p_type != PT_NULL && !Within(segment.p_offset, segment.p_filesz, length))
            return Fail(why, "file too short: a segment ends past the end of the file");
    }
    return true;
}

void InstallPlugins() {
    ResourceManager &manager = TheResourceManager();
    for (uint32_t i = 0; i < manager.GetCount(); ++i) {
        ResourceEntry entry = manager.GetEntry(i);
        if (entry.type == kqimage::kResourcePlugin) Start(entry);
    }
}

bool LoadPluginFile(const char *path, std::string *error) {
    return Load(path, PluginRecord{nullptr, false, nullptr, -1}, error);
}

extern "C" void *RuntimeLookupPluginEntrypoint(const char *name) {
    return RelocLookup(name);
}
