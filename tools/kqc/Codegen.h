// Code generation: the checked program to GNU assembler text for i386,
// following the image's compiled-code conventions (docs/kestlang.md,
// "Generated code"): cdecl with a 16-byte aligned stack at every call, the
// frame-pointer chain, RuntimeStackCheck on entry, zeroed locals, a cleanup
// handler at the end of every method that releases the locals and passes a
// pending exception on, Try blocks as nested protected regions, reference
// counting on every assignment, string constants as static records.
#pragma once

#include <string>
#include <vector>

#include "Ast.h"
#include "Diagnostics.h"
#include "Project.h"
#include "Symbols.h"

namespace kqc {

struct CodegenOptions {
    // Without a project: the shared Sub (Module.Name) that the start code
    // calls instead of starting an application object.
    std::string mainMethod;
};

// Writes the image's assembler text to `out`. False (with diagnostics) when
// the program needs something the runtime does not provide.
bool generateAssembly(Program &program, std::vector<SourceUnit> &units, const Project *project,
                      const CodegenOptions &options, Diagnostics &diags, std::string *out);

} // namespace kqc
