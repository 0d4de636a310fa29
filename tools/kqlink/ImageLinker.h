// Turning an ELF32 relocatable object into the code, data, import and symbols
// members of an application image.
//
// Conventions of the object (docs/kqlink.md):
// - The entry section is ".text.entry" when present, else ".text"; it comes
//   first in the code member, so its first byte is the image's entry point.
// - Every other allocated section that holds code or carries relocations
//   follows in the code member; ".kq.strings" (static string records) and
//   the remaining allocated sections (zero-filled ones written as zeros) form
//   the data member, ".kq.strings" first.
// - ".kq.libimports" (not allocated) declares shared-library functions as
//   triples of zero-terminated texts: symbol, function name, library name.
#pragma once

#include "ElfObject.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kqlink {

constexpr char kEntrySection[] = ".text.entry";
constexpr char kTextSection[] = ".text";
constexpr char kStringsSection[] = ".kq.strings";
constexpr char kLibImportsSection[] = ".kq.libimports";

struct LinkedImage {
    std::vector<uint8_t> code, data, import, symbols;
};

// Links `object` (read from `path`, named in errors). Throws LinkError for
// anything the image format cannot express.
LinkedImage LinkObject(const ElfObject &object, const std::string &path, bool withSymbols);

} // namespace kqlink
