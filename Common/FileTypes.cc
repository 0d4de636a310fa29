// The registry of file types (FileTypes.h): a string map from the type's
// name to its two codes, in the order of registration.
#include "FileTypes.h"

#include "RuntimeException.h"
#include "StringMap.h"

namespace filetypes {
namespace {

StringMap<Codes> &Registry() {
    static StringMap<Codes> *registry = new StringMap<Codes>(16);
    return *registry;
}

// Up to four bytes, the first in the highest byte, filled up with spaces.
bool CodeOf(const KESTstring *text, uint32_t *code) {
    uint32_t n = kstr::Length(text);
    if (n > 4) return false;
    const uint8_t *bytes = kstr::Bytes(text);
    *code = 0;
    for (uint32_t i = 0; i < 4; ++i)
        *code = *code << 8 | (i < n ? bytes[i] : uint8_t(' '));
    return true;
}

} // namespace

bool Find(const KESTstring *name, Codes *codes) {
    return Registry().Lookup(name, codes);
}

KESTstring *NameOfType(uint32_t type) {
    // The map walks its entries in insertion order, the types' order.
    StringMap<Codes>::Iterator it(Registry());
    KESTstring *name;
    Codes codes;
    while (it.Next(&name, &codes))
        if (codes.type == type) return kstr::Share(name);
    return nullptr;
}

uint32_t Count() {
    return Registry().Count();
}

} // namespace filetypes

extern "C" void RuntimeRegisterFileType(KESTstring *name, KESTstring *type, KESTstring *creator) {
    filetypes::Codes codes;
    const char *problem = nullptr;
    if (kstr::Length(name) == 0) {
        problem = "A file type needs a name.";
    } else if (!filetypes::CodeOf(type, &codes.type) ||
               !filetypes::CodeOf(creator, &codes.creator)) {
        problem = "A file type's type and creator codes have four characters.";
    }
    if (problem != nullptr) {
        exceptions::RaiseWithMessage(&UnsupportedFormatExceptionDefinition, problem, 0);
        return;
    }
    if (!filetypes::Registry().Set(name, codes))
        exceptions::RaiseDefinition(&OutOfMemoryExceptionDefinition);
}

extern "C" void RuntimeDeregisterFileType(KESTstring *name) {
    filetypes::Registry().Remove(name);
}
