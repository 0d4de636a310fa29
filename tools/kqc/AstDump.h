// A compact, readable rendering of syntax trees as nested lists, for
// `kqc --dump-ast` and the parser's tests: (call (name Print) (int 1)).
#pragma once

#include <string>

#include "Ast.h"

namespace kqc {

std::string dump(const Expr &e);
std::string dump(const Stmt &s);
std::string dump(const Block &b);
std::string dump(const SourceUnit &unit);

} // namespace kqc
