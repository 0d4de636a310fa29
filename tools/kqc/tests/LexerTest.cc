// The lexer: words and keywords, literals, line structure, positions and
// lexical errors.
#include <gtest/gtest.h>

#include "Lexer.h"
#include "Utf8.h"

namespace kqc {
namespace {

struct Lexed {
    std::vector<Token> tokens;
    std::vector<std::string> errors;
};

Lexed lex(const std::string &text) {
    SourceSet sources;
    Diagnostics diags(sources);
    uint32_t id = sources.add("t.kst", text);
    Lexed out{tokenize(sources, id, diags), {}};
    for (const Diagnostic &d : diags.errors())
        out.errors.push_back(diags.format(d));
    return out;
}

std::vector<Tok> kinds(const Lexed &l) {
    std::vector<Tok> out;
    for (const Token &t : l.tokens)
        out.push_back(t.kind);
    return out;
}

TEST(Lexer, KeywordsAreCaseInsensitiveAndNamesKeepNonAsciiLetters) {
    Lexed l = lex("END if eLsEiF Menü MENÜ über_2 Window\n");
    ASSERT_TRUE(l.errors.empty());
    EXPECT_EQ(kinds(l), (std::vector<Tok>{Tok::KwEnd, Tok::KwIf, Tok::KwElseIf, Tok::Identifier,
                                          Tok::Identifier, Tok::Identifier, Tok::Identifier,
                                          Tok::Newline, Tok::EndOfFile}));
    EXPECT_EQ(l.tokens[3].text, "Menü");
    EXPECT_EQ(utf8::fold(l.tokens[3].text), utf8::fold(l.tokens[4].text));
    EXPECT_EQ(utf8::fold("ÄÖÜ ĀŁŽ ΣΩ ЖЁ"), "äöü āłž σω жё");
    EXPECT_NE(utf8::fold("ß"), utf8::fold("ss"));
}

TEST(Lexer, NumbersColoursAndStrings) {
    Lexed l = lex(
        "42 0.19 1.5e3 2E-2 &h1F &o17 &b101 &hFFFFFFFF &cFF8000 \"Sie müssen \"\"x\"\"\" \"\"\n");
    ASSERT_TRUE(l.errors.empty()) << l.errors[0];
    EXPECT_EQ(l.tokens[0].value, 42u);
    EXPECT_EQ(l.tokens[1].kind, Tok::Float);
    EXPECT_DOUBLE_EQ(l.tokens[1].real, 0.19);
    EXPECT_DOUBLE_EQ(l.tokens[2].real, 1500.0);
    EXPECT_DOUBLE_EQ(l.tokens[3].real, 0.02);
    EXPECT_EQ(l.tokens[4].value, 31u);
    EXPECT_TRUE(l.tokens[4].based);
    EXPECT_EQ(l.tokens[5].value, 15u);
    EXPECT_EQ(l.tokens[6].value, 5u);
    EXPECT_EQ(l.tokens[7].value, 0xFFFFFFFFu);
    EXPECT_EQ(l.tokens[8].kind, Tok::Color);
    EXPECT_EQ(l.tokens[8].value, 0xFF8000u);
    EXPECT_EQ(l.tokens[9].text, "Sie müssen \"x\"");
    EXPECT_EQ(l.tokens[10].kind, Tok::String);
    EXPECT_EQ(l.tokens[10].text, "");
}

TEST(Lexer, OperatorsAreSplitWithoutSpaces) {
    Lexed l = lex("a<=b<>c>=d<e>f=g+-*/\\^(),.\n");
    ASSERT_TRUE(l.errors.empty());
    std::vector<Tok> expected{
        Tok::Identifier,   Tok::LessEqual,  Tok::Identifier, Tok::NotEqual,   Tok::Identifier,
        Tok::GreaterEqual, Tok::Identifier, Tok::Less,       Tok::Identifier, Tok::Greater,
        Tok::Identifier,   Tok::Equal,      Tok::Identifier, Tok::Plus,       Tok::Minus,
        Tok::Star,         Tok::Slash,      Tok::Backslash,  Tok::Caret,      Tok::LParen,
        Tok::RParen,       Tok::Comma,      Tok::Dot,        Tok::Newline,    Tok::EndOfFile};
    EXPECT_EQ(kinds(l), expected);
}

TEST(Lexer, CommentsContinuationsAndBlankLines) {
    Lexed l = lex("x = 1 ' comment\n"
                  "\n"
                  "// whole line\n"
                  "Rem a remark\n"
                  "  rem another\n"
                  "Remainder = a + _   ' continued\n"
                  "  b // done\n"
                  "y = \"it's // no comment\"\r\n");
    ASSERT_TRUE(l.errors.empty()) << l.errors[0];
    std::vector<Tok> expected{Tok::Identifier, Tok::Equal,   Tok::Integer,    Tok::Newline,
                              Tok::Identifier, Tok::Equal,   Tok::Identifier, Tok::Plus,
                              Tok::Identifier, Tok::Newline, Tok::Identifier, Tok::Equal,
                              Tok::String,     Tok::Newline, Tok::EndOfFile};
    EXPECT_EQ(kinds(l), expected);
    EXPECT_EQ(l.tokens[8].pos.line, 7u);
    EXPECT_EQ(l.tokens[12].text, "it's // no comment");
}

TEST(Lexer, ColumnsCountCodePoints) {
    Lexed l = lex("\xEF\xBB\xBF"
                  "Dim äöü As Integer\n\tz = 1\n");
    ASSERT_TRUE(l.errors.empty());
    EXPECT_EQ(l.tokens[2].pos.column, 9u); // "As" after three two-byte letters
    EXPECT_EQ(l.tokens[5].pos.line, 2u);
    EXPECT_EQ(l.tokens[5].pos.column, 2u);
}

TEST(Lexer, ErrorsAreReportedWithPositionsAndSkipped) {
    Lexed l = lex("s = \"open\n"
                  "c = &c12345 + &cGG0000\n"
                  "n = 12abc + &b102 + &q\n"
                  "x = 1 : y = 2\n"
                  "t = a _ b\n"
                  "z = \xFF + 99999999999999999999\n"
                  "w = € + 1\n");
    std::vector<std::string> expected{
        "t.kst:1:5: string is not closed on its line",
        "t.kst:2:5: a colour is written &cRRGGBB with six hexadecimal digits",
        "t.kst:2:15: a colour is written &cRRGGBB with six hexadecimal digits",
        "t.kst:3:5: invalid number '12abc'",
        "t.kst:3:13: invalid digits in '&b102'",
        "t.kst:3:21: unexpected '&' (strings are joined with '+')",
        "t.kst:4:7: unexpected ':' (one statement per line)",
        "t.kst:5:7: '_' continues a statement only at the end of a line",
        "t.kst:6:5: invalid UTF-8 byte in source",
        "t.kst:6:9: integer '99999999999999999999' is too large",
        "t.kst:7:5: unexpected character U+20AC",
    };
    EXPECT_EQ(l.errors, expected);
    // The lines still end where they did: every statement stays separate.
    size_t newlines = 0;
    for (const Token &t : l.tokens)
        newlines += t.kind == Tok::Newline;
    EXPECT_EQ(newlines, 7u);
    EXPECT_EQ(l.tokens.back().kind, Tok::EndOfFile);
}

} // namespace
} // namespace kqc
