// Semantic analysis: classes and their members are declared and checked
// (inheritance, interfaces, events and their handlers, controls, menus),
// then every method body: names are resolved case-insensitively, types are
// computed and implicit conversions made explicit in the tree. Errors are
// reported with their positions; analysis goes on to find further errors.
#pragma once

#include <vector>

#include "Ast.h"
#include "Diagnostics.h"
#include "Project.h"
#include "Symbols.h"

namespace kqc {

// Analyses the parsed units against the program, which already holds the
// runtime's classes and functions (loadManifest). `project` may be null (no
// application class to check). True when there were no errors.
bool analyze(Program &program, std::vector<SourceUnit> &units, const Project *project,
             Diagnostics &diags);

} // namespace kqc
