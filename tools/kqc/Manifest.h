// The runtime manifest (docs/runtime-manifest.md): what the compiler knows
// of the runtime's classes and intrinsic global functions. It is produced at
// build time from the runtime's own class definitions and read here into
// the program's symbols; errors name the manifest's file and line.
#pragma once

#include "Diagnostics.h"
#include "Symbols.h"

namespace kqc {

// Reads the manifest held in sources as fileId. Returns false when it had
// errors (they are reported; what could be read is kept).
bool loadManifest(const SourceSet &sources, uint32_t fileId, Program &program, Diagnostics &diags);

// A constant written as in Kestlang: 12, -3, 1.5, "text" with "", True,
// False, Nil, &hFF, &cRRGGBB. False when the text is no such literal.
bool parseConstant(std::string_view text, ConstValue *value);

} // namespace kqc
