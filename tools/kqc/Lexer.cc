// The Kestlang lexer (see Lexer.h).
#include "Lexer.h"

#include <charconv>
#include <cstdio>

#include "Utf8.h"

namespace kqc {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

class Lexer {
  public:
    Lexer(std::string_view text, uint32_t fileId, Diagnostics &diags)
        : text_(text), fileId_(fileId), diags_(diags) {}

    std::vector<Token> run();

  private:
    char peek(size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    SourcePos here() const { return at(pos_); }
    // Columns are counted in code points from the line start; positions are
    // asked for in ascending order, so the count goes on from the last one.
    SourcePos at(size_t offset) const {
        if (offset < columnOffset_ || columnOffset_ < lineStart_) {
            columnOffset_ = lineStart_;
            column_ = 1;
        }
        column_ += static_cast<uint32_t>(
            utf8::length(text_.substr(columnOffset_, offset - columnOffset_)));
        columnOffset_ = offset;
        return {fileId_, line_, column_};
    }
    void error(SourcePos pos, std::string message) { diags_.error(pos, std::move(message)); }
    Token &emit(Tok kind, SourcePos pos) {
        tokens_.push_back(Token{});
        tokens_.back().kind = kind;
        tokens_.back().pos = pos;
        return tokens_.back();
    }
    bool atStatementStart() const { return tokens_.empty() || tokens_.back().kind == Tok::Newline; }

    void newline();
    void skipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != '\n')
            ++pos_;
    }
    void word();
    void continuation(SourcePos pos);
    bool atWordPart() const {
        char32_t cp;
        return pos_ < text_.size() && utf8::decode(text_, pos_, &cp) && utf8::isIdentifierPart(cp);
    }
    void skipWordRest() {
        char32_t cp;
        while (atWordPart())
            pos_ += utf8::decode(text_, pos_, &cp);
    }
    void number();
    void based();
    void string();
    void operatorOrStray();
    void stray(SourcePos pos, char32_t cp);

    std::string_view text_;
    uint32_t fileId_;
    Diagnostics &diags_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    size_t lineStart_ = 0;
    uint32_t line_ = 1;
    mutable size_t columnOffset_ = 0;
    mutable uint32_t column_ = 1;
};

std::vector<Token> Lexer::run() {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = lineStart_ = 3; // byte order mark
    while (pos_ < text_.size()) {
        char c = text_[pos_];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
            ++pos_;
        } else if (c == '\n') {
            newline();
        } else if (c == '\'' || (c == '/' && peek(1) == '/')) {
            skipToLineEnd();
        } else if (isDigit(c)) {
            number();
        } else if (c == '&') {
            based();
        } else if (c == '"') {
            string();
        } else if (static_cast<unsigned char>(c) >= 0x80 || c == '_' ||
                   ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')) {
            word();
        } else {
            operatorOrStray();
        }
    }
    if (!tokens_.empty() && tokens_.back().kind != Tok::Newline) emit(Tok::Newline, here());
    emit(Tok::EndOfFile, here());
    return std::move(tokens_);
}

void Lexer::newline() {
    if (!atStatementStart()) emit(Tok::Newline, here());
    ++pos_;
    ++line_;
    lineStart_ = pos_;
}

void Lexer::word() {
    SourcePos start = here();
    size_t begin = pos_;
    char32_t cp;
    size_t n = utf8::decode(text_, pos_, &cp);
    if (n == 0) {
        error(start, "invalid UTF-8 byte in source");
        ++pos_;
        return;
    }
    if (!utf8::isIdentifierStart(cp)) {
        pos_ += n;
        stray(start, cp);
        return;
    }
    pos_ += n;
    while (pos_ < text_.size()) {
        n = utf8::decode(text_, pos_, &cp);
        if (n == 0 || !utf8::isIdentifierPart(cp)) break;
        pos_ += n;
    }
    std::string_view spelled = text_.substr(begin, pos_ - begin);
    if (spelled == "_") {
        continuation(start);
        return;
    }
    std::string folded = utf8::fold(spelled);
    if (folded == "rem" && atStatementStart()) {
        skipToLineEnd();
        return;
    }
    Token &token = emit(keywordFor(folded), start);
    token.text = std::string(spelled);
}

// A lone `_`: only spaces and a comment may follow it on its line; the line
// end is then no statement end.
void Lexer::continuation(SourcePos pos) {
    while (peek() == ' ' || peek() == '\t' || peek() == '\r')
        ++pos_;
    if (peek() == '\'' || (peek() == '/' && peek(1) == '/')) skipToLineEnd();
    if (pos_ >= text_.size()) return;
    if (peek() != '\n') {
        error(pos, "'_' continues a statement only at the end of a line");
        return;
    }
    ++pos_;
    ++line_;
    lineStart_ = pos_;
}

void Lexer::number() {
    SourcePos start = here();
    size_t begin = pos_;
    while (isDigit(peek()))
        ++pos_;
    bool real = false;
    if (peek() == '.' && isDigit(peek(1))) {
        real = true;
        ++pos_;
        while (isDigit(peek()))
            ++pos_;
    }
    if ((peek() == 'e' || peek() == 'E') &&
        (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
        real = true;
        pos_ += 2;
        while (isDigit(peek()))
            ++pos_;
    }
    std::string_view spelled = text_.substr(begin, pos_ - begin);
    if (atWordPart()) {
        skipWordRest();
        error(start, "invalid number '" + std::string(text_.substr(begin, pos_ - begin)) + "'");
        return;
    }
    if (real) {
        Token &token = emit(Tok::Float, start);
        std::from_chars(spelled.data(), spelled.data() + spelled.size(), token.real);
        token.text = std::string(spelled);
        return;
    }
    uint64_t value = 0;
    auto result = std::from_chars(spelled.data(), spelled.data() + spelled.size(), value);
    if (result.ec != std::errc())
        error(start, "integer '" + std::string(spelled) + "' is too large");
    Token &token = emit(Tok::Integer, start);
    token.value = value;
    token.text = std::string(spelled);
}

// &h1F, &o17, &b101 (integers) and &cRRGGBB (colours).
void Lexer::based() {
    SourcePos start = here();
    char kind = static_cast<char>(peek(1) | 0x20);
    int radix = kind == 'h' ? 16 : kind == 'o' ? 8 : kind == 'b' ? 2 : kind == 'c' ? 16 : 0;
    if (radix == 0) {
        ++pos_;
        error(start, "unexpected '&' (strings are joined with '+')");
        return;
    }
    pos_ += 2;
    size_t begin = pos_;
    uint64_t value = 0;
    bool overflow = false;
    for (int digit; (digit = digitValue(peek())) < radix; ++pos_) {
        if (value > (UINT64_MAX - digit) / radix) overflow = true;
        value = value * radix + digit;
    }
    size_t digits = pos_ - begin;
    bool trailing = atWordPart();
    std::string spelled(text_.substr(begin - 2, pos_ - begin + 2));
    if (kind == 'c') {
        if (digits != 6 || trailing) {
            skipWordRest();
            error(start, "a colour is written &cRRGGBB with six hexadecimal digits");
            return;
        }
        Token &token = emit(Tok::Color, start);
        token.value = value;
        token.text = spelled;
        return;
    }
    if (digits == 0 || trailing) {
        skipWordRest();
        error(start,
              "invalid digits in '" + std::string(text_.substr(begin - 2, pos_ - begin + 2)) + "'");
        return;
    }
    if (overflow) error(start, "integer '" + spelled + "' is too large");
    Token &token = emit(Tok::Integer, start);
    token.value = value;
    token.based = true;
    token.text = spelled;
}

void Lexer::string() {
    SourcePos start = here();
    ++pos_;
    std::string value;
    for (;;) {
        if (pos_ >= text_.size() || peek() == '\n') {
            error(start, "string is not closed on its line");
            break;
        }
        if (peek() == '"') {
            if (peek(1) != '"') {
                ++pos_;
                break;
            }
            value += '"';
            pos_ += 2;
            continue;
        }
        char32_t cp;
        size_t n = utf8::decode(text_, pos_, &cp);
        if (n == 0) {
            error(here(), "invalid UTF-8 byte in string");
            ++pos_;
            continue;
        }
        value.append(text_.substr(pos_, n));
        pos_ += n;
    }
    emit(Tok::String, start).text = std::move(value);
}

void Lexer::operatorOrStray() {
    SourcePos start = here();
    char c = text_[pos_++];
    Tok kind;
    switch (c) {
    case '+':
        kind = Tok::Plus;
        break;
    case '-':
        kind = Tok::Minus;
        break;
    case '*':
        kind = Tok::Star;
        break;
    case '/':
        kind = Tok::Slash;
        break;
    case '\\':
        kind = Tok::Backslash;
        break;
    case '^':
        kind = Tok::Caret;
        break;
    case '=':
        kind = Tok::Equal;
        break;
    case '(':
        kind = Tok::LParen;
        break;
    case ')':
        kind = Tok::RParen;
        break;
    case ',':
        kind = Tok::Comma;
        break;
    case '.':
        kind = Tok::Dot;
        break;
    case '<':
        kind = peek() == '>' ? Tok::NotEqual : peek() == '=' ? Tok::LessEqual : Tok::Less;
        if (kind != Tok::Less) ++pos_;
        break;
    case '>':
        kind = peek() == '=' ? Tok::GreaterEqual : Tok::Greater;
        if (kind != Tok::Greater) ++pos_;
        break;
    default:
        stray(start, static_cast<unsigned char>(c));
        return;
    }
    emit(kind, start);
}

void Lexer::stray(SourcePos pos, char32_t cp) {
    if (cp == ':') {
        error(pos, "unexpected ':' (one statement per line)");
    } else if (cp > 0x20 && cp < 0x7F) {
        error(pos, std::string("unexpected character '") + static_cast<char>(cp) + "'");
    } else {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
        error(pos, std::string("unexpected character ") + code);
    }
}

} // namespace

std::vector<Token> tokenize(const SourceSet &sources, uint32_t fileId, Diagnostics &diags) {
    return Lexer(sources.file(fileId).text, fileId, diags).run();
}

} // namespace kqc
