// The Kestlang parser: one source file's tokens to a SourceUnit. Syntax
// errors are reported with their position; the parser resynchronises at the
// next line end or block end, so one run reports several errors and always
// returns a tree (with the broken parts left out).
#pragma once

#include <vector>

#include "Ast.h"
#include "Diagnostics.h"
#include "Token.h"

namespace kqc {

SourceUnit parse(const std::vector<Token> &tokens, uint32_t fileId, Diagnostics &diags);

} // namespace kqc
