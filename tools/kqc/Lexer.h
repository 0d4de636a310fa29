// The Kestlang lexer: turns one source file into tokens. Statements end at
// line ends (Tok::Newline); a lone `_` at the end of a line continues the
// statement on the next line. Comments (`//`, `'`, and lines that start with
// `Rem`) produce no tokens. Lexical errors are reported and skipped, so the
// token list is always complete and ends with Tok::EndOfFile.
#pragma once

#include <string_view>
#include <vector>

#include "Diagnostics.h"
#include "Token.h"

namespace kqc {

std::vector<Token> tokenize(const SourceSet &sources, uint32_t fileId, Diagnostics &diags);

} // namespace kqc
