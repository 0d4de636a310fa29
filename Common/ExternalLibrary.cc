// Calls of shared-library functions that the application names by text:
// LoadFunctionPointerFromLibrary and IsFunctionAvailable. Results, failures
// included, are remembered in two identity tables keyed by the addresses of
// the name strings (the image's static string records keep their addresses
// for the whole run), so a name that failed once fails at once afterwards.
#include "IntMap.h"
#include "KESTstring.h"
#include "LibrarySearch.h"

#include <dlfcn.h>
#include <string>

namespace {

IntMap<void *> &FunctionTable() {
    static IntMap<void *> table;
    return table;
}

IntMap<void *> &LibraryTable() {
    static IntMap<void *> table;
    return table;
}

uint32_t Key(const KESTstring *s) {
    return uint32_t(reinterpret_cast<uintptr_t>(s));
}

} // namespace

extern "C" {

void *LoadFunctionPointerFromLibrary(KESTstring *function, KESTstring *library) {
    void *address = nullptr;
    void *handle = nullptr;
    bool knownLibrary = LibraryTable().Lookup(Key(library), &handle);
    if (knownLibrary && FunctionTable().Lookup(Key(function), &address)) return address;
    if (!knownLibrary) {
        std::string name = kstr::Text(library); // the search works on its own copy
        handle = libsearch::OpenByName(name);
        LibraryTable().Set(Key(library), handle);
    }
    if (handle == nullptr) return nullptr;
    address = dlsym(handle, kstr::Text(function));
    FunctionTable().Set(Key(function), address);
    return address;
}

bool IsFunctionAvailable(void *, KESTstring *function, KESTstring *library) {
    return LoadFunctionPointerFromLibrary(function, library) != nullptr;
}

} // extern "C"
