// Spelling of token kinds for messages and the keyword table (see Token.h).
#include "Token.h"

#include <unordered_map>

#include "Utf8.h"

namespace kqc {

std::string describe(Tok kind) {
    switch (kind) {
    case Tok::EndOfFile:
        return "end of file";
    case Tok::Newline:
        return "end of line";
    case Tok::Identifier:
        return "a name";
    case Tok::Integer:
        return "an integer";
    case Tok::Float:
        return "a number";
    case Tok::String:
        return "a string";
    case Tok::Color:
        return "a colour";
    case Tok::Plus:
        return "'+'";
    case Tok::Minus:
        return "'-'";
    case Tok::Star:
        return "'*'";
    case Tok::Slash:
        return "'/'";
    case Tok::Backslash:
        return "'\\'";
    case Tok::Caret:
        return "'^'";
    case Tok::Equal:
        return "'='";
    case Tok::NotEqual:
        return "'<>'";
    case Tok::Less:
        return "'<'";
    case Tok::Greater:
        return "'>'";
    case Tok::LessEqual:
        return "'<='";
    case Tok::GreaterEqual:
        return "'>='";
    case Tok::LParen:
        return "'('";
    case Tok::RParen:
        return "')'";
    case Tok::Comma:
        return "','";
    case Tok::Dot:
        return "'.'";
#define KQC_KEYWORD_NAME(name)                                                                     \
    case Tok::Kw##name:                                                                            \
        return "'" #name "'";
        KQC_KEYWORDS(KQC_KEYWORD_NAME)
#undef KQC_KEYWORD_NAME
    }
    return "a token";
}

std::string describe(const Token &token) {
    if (token.kind == Tok::Identifier) return "'" + token.text + "'";
    return describe(token.kind);
}

Tok keywordFor(const std::string &foldedWord) {
    static const std::unordered_map<std::string, Tok> table = [] {
        std::unordered_map<std::string, Tok> t;
#define KQC_KEYWORD_ENTRY(name) t.emplace(utf8::fold(#name), Tok::Kw##name);
        KQC_KEYWORDS(KQC_KEYWORD_ENTRY)
#undef KQC_KEYWORD_ENTRY
        return t;
    }();
    auto found = table.find(foldedWord);
    return found == table.end() ? Tok::Identifier : found->second;
}

} // namespace kqc
