// The loader (see loaderX86.h).
#include "loaderX86.h"

#include "ImageContainer.h"
#include "ImageFixups.h"
#include "ImageOptions.h"
#include "ImageRecords.h"
#include "LibrarySearch.h"
#include "RelocEntry.h"
#include "ResourceManagerCommon.h"
#include "RuntimeErrorReport.h"
#include "ShutdownTask.h"
#include "StepTimestamps.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/mman.h>

namespace {

using namespace kqimage;

const char kSource[] = "Common/loaderX86";
constexpr uintptr_t kPage = 4096;

ImageMembers gImage;
SymbolTable gSymbols;
bool gSymbolsParsed = false;

// Code goes page-aligned into a heap block of its length, rounded up to
// whole pages, plus a page, and its pages are made readable, writable and
// executable. The code's last page holds no other heap data: data written
// beside code would make an emulator translate that code again and again.
class LoaderAllocator : public BlockAllocator {
  public:
    uint8_t *CodeBlock(uint32_t length) override {
        size_t pages = (size_t(length) + kPage - 1) & ~size_t(kPage - 1);
        auto *block = static_cast<uint8_t *>(std::malloc(pages + kPage - 1));
        if (block == nullptr) return nullptr;
        mCodeStart = block;
        auto *code = reinterpret_cast<uint8_t *>((uintptr_t(block) + kPage - 1) & ~(kPage - 1));
        if (mprotect(code, length, PROT_READ | PROT_WRITE | PROT_EXEC) != 0)
            std::printf("Loader failed to protect memory, error #%d\n", errno);
        return code;
    }
    uint8_t *HeapBlock(uint32_t length) override {
        return static_cast<uint8_t *>(std::malloc(length));
    }
    void DiscardCode(uint8_t *) override { std::free(mCodeStart); }

  private:
    uint8_t *mCodeStart = nullptr;
};

// The opened-library list, newest first; a library is opened at most once.
struct OpenedLibrary {
    OpenedLibrary *next;
    std::string name;
    void *handle;
};

class LoaderResolver : public ImportResolver {
  public:
    bool RuntimeExport(const char *name, uint32_t length, uint32_t *address) override {
        void *code;
        if (!RelocFindExact(name, length, &code)) return false;
        *address = uint32_t(uintptr_t(code));
        return true;
    }

    uint32_t LibraryFunction(const char *function, const char *library) override {
        OpenedLibrary *lib = mLibraries;
        while (lib != nullptr && lib->name != library)
            lib = lib->next;
        if (lib == nullptr) {
            lib = new OpenedLibrary{mLibraries, library, libsearch::OpenForImport(library)};
            if (lib->handle == nullptr) {
                std::string message = std::string("Missing shared library ") + library;
                RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__,
                                   "lib->mLibraryHandle", message.c_str());
            }
            mLibraries = lib;
        }
        void *address = lib->handle != nullptr ? dlsym(lib->handle, function) : nullptr;
        if (address == nullptr) {
            std::string message =
                std::string("Could not resolve function '") + function + "' in " + library;
            RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "functionEntry",
                               message.c_str());
        }
        return uint32_t(uintptr_t(address));
    }

  private:
    OpenedLibrary *mLibraries = nullptr;
};

void RegisterResources() {
    ResourceManager &manager = TheResourceManager();
    ForEachResource(
        gImage.block[kMemberRsrc], gImage.length[kMemberRsrc], [&](const ResourceRecord &r) {
            manager.Add(r.type, r.id, r.payload, r.length, gImage.rsrcFileOffset + r.position);
        });
}

} // namespace

void LoadAndRunImage(const char *exePath) {
    // The steps are timed for the start-up benchmark when it asks for it.
    kq_timestamp("loader");
    LoaderAllocator allocator;
    if (!ReadContainer(exePath, allocator, &gImage)) return;
    kq_timestamp("read");
    if (gImage.block[kMemberCode] == nullptr) {
        // The runtime started alone: there is nothing to run.
        std::fprintf(stderr, "kqrun: no application image (no .kq section, no code.dat)\n");
        return;
    }
    PlacedImage placed{gImage.block[kMemberCode],
                       gImage.length[kMemberCode],
                       gImage.block[kMemberData],
                       gImage.length[kMemberData],
                       uint32_t(uintptr_t(gImage.block[kMemberCode])),
                       uint32_t(uintptr_t(gImage.block[kMemberData]))};
    LoaderResolver resolver;
    if (!ApplyFixups(gImage.block[kMemberImport], gImage.length[kMemberImport], placed, resolver))
        return;
    kq_timestamp("linked");
    RegisterResources();
    ApplyImageOptions(gImage.block[kMemberOptions], gImage.length[kMemberOptions]);
    kq_timestamp("ready");
    reinterpret_cast<void (*)()>(gImage.block[kMemberCode])();
    RunShutdownTasks();
}

uint8_t *ImageCodeBase() {
    return gImage.block[kMemberCode];
}

uint32_t ImageCodeLength() {
    return gImage.length[kMemberCode];
}

uint8_t *ImageDataBase() {
    return gImage.block[kMemberData];
}

uint32_t ImageDataLength() {
    return gImage.length[kMemberData];
}

bool ImageSymbolForAddress(const void *address, const char **name, uint32_t *distance) {
    if (gImage.block[kMemberSymbols] == nullptr) {
        *name = "";
        *distance = 0;
        return false;
    }
    if (!gSymbolsParsed) {
        gSymbolsParsed = true;
        gSymbols.Parse(gImage.block[kMemberSymbols], gImage.length[kMemberSymbols]);
    }
    uintptr_t at = uintptr_t(address), base = uintptr_t(gImage.block[kMemberCode]);
    if (at < base || at >= base + gImage.length[kMemberCode]) return false;
    uint32_t index;
    *name = "";
    if (gSymbols.Find(uint32_t(at - base), &index, distance)) *name = gSymbols.Name(index);
    return true;
}
