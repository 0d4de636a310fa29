// Applying the fix-up records of the import member to the image's placed
// code and data blocks: runtime imports and library imports threaded through
// the code as chains, data and code relocations, and string references.
//
// The records are untrusted: every record must lie inside the import member,
// every site inside the code block, every chain must end without revisiting
// a site, and every string record must lie inside the data block. Damage is
// reported once and stops the linking (the image must then not run); an
// import that cannot be resolved is reported and linking goes on. Nothing
// here knows the runtime's tables, so a host build can be fuzzed.
#pragma once

#include "ImageFormat.h"

#include <cstdint>

namespace kqimage {

// Resolves the named targets of fix-up records.
class ImportResolver {
  public:
    virtual ~ImportResolver() = default;
    // The address of the runtime export `name` (`length` bytes, zero after
    // them); false when no export carries that name.
    virtual bool RuntimeExport(const char *name, uint32_t length, uint32_t *address) = 0;
    // The address of `function` in shared library `library`, 0 when it cannot
    // be found (the resolver reports why).
    virtual uint32_t LibraryFunction(const char *function, const char *library) = 0;
};

struct PlacedImage {
    uint8_t *code;
    uint32_t codeLength;
    uint8_t *data;
    uint32_t dataLength;
    // Addresses as the image sees them (32-bit; the blocks' own addresses on
    // i386).
    uint32_t codeBase;
    uint32_t dataBase;
};

// Applies every record of `import`. Returns false when the records are
// damaged; the report has been made then.
bool ApplyFixups(const uint8_t *import, uint32_t length, const PlacedImage &image,
                 ImportResolver &resolver);

} // namespace kqimage
