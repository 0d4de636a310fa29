// Tokens of Kestlang. Keywords are reserved and case-insensitive; the words
// that only mean something at the start of a declaration (Window, Control,
// MenuBar, Menu, Item, Shortcut, Lib, Handles) stay identifiers, because the
// runtime has classes of the same names.
#pragma once

#include <cstdint>
#include <string>

#include "Source.h"

namespace kqc {

// Every reserved word once; expanded into the token kinds, their spelling
// and the lexer's keyword table.
// clang-format off
#define KQC_KEYWORDS(X) \
    X(And) X(As) X(ByRef) X(ByVal) X(Case) X(Catch) X(Class) X(Const) X(Continue) X(CType)    \
    X(Declare) X(Dim) X(Do) X(DownTo) X(Else) X(ElseIf) X(End) X(Event) X(Exit) X(False)      \
    X(Finally) X(For) X(Function) X(If) X(Implements) X(Inherits) X(Interface) X(Is) X(IsA)   \
    X(Loop) X(Me) X(Mod) X(Module) X(New) X(Next) X(Nil) X(Not) X(On) X(Optional) X(Or)       \
    X(Private) X(Property) X(Public) X(Raise) X(Return) X(Select) X(Self) X(Shared) X(Step)   \
    X(Sub) X(Super) X(Then) X(To) X(True) X(Try) X(Until) X(Wend) X(While) X(Xor)
// clang-format on

enum class Tok : uint8_t {
    EndOfFile,
    Newline,
    Identifier,
    Integer, // decimal or &h/&o/&b
    Float,
    String,
    Color, // &cRRGGBB
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    LParen,
    RParen,
    Comma,
    Dot,
#define KQC_KEYWORD_TOKEN(name) Kw##name,
    KQC_KEYWORDS(KQC_KEYWORD_TOKEN)
#undef KQC_KEYWORD_TOKEN
};

struct Token {
    Tok kind = Tok::EndOfFile;
    SourcePos pos;
    std::string text;   // identifier as written, decoded string literal
    uint64_t value = 0; // integer and colour literals
    double real = 0;    // floating point literals
    bool based = false; // integer written as &h, &o or &b
};

// How a token kind is shown in messages: "'End'", "end of line", ...
std::string describe(Tok kind);
std::string describe(const Token &token);

// The keyword spelled (case-insensitively) as `word`, or Tok::Identifier.
Tok keywordFor(const std::string &foldedWord);

} // namespace kqc
