// The parser's state and rules, shared by its files: Parser.cc (cursor,
// recovery, top-level blocks), ParseMembers.cc (class members, parameters,
// layouts and menus), ParseStatements.cc and ParseExpressions.cc.
#pragma once

#include <string>
#include <vector>

#include "Ast.h"
#include "Diagnostics.h"
#include "Token.h"

namespace kqc {

// What a line that cannot continue the current block closes or starts.
enum class Closer : uint8_t {
    None,        // an ordinary statement
    If,          // End If, Else, ElseIf
    Select,      // End Select, Case
    For,         // Next
    Do,          // Loop
    While,       // Wend, End While
    Try,         // Catch, Finally, End Try
    Method,      // End Sub / Function / On / Handles
    MemberStart, // Sub, Function, Property, ... : a new member begins
    TypeEnd,     // End Class / Interface / Module / Window / MenuBar
    TypeStart,   // Class, Interface, Module, Window X, MenuBar X
    Stray,       // End of something that has no body here (End Control, ...)
    EndOfFile,
};

class Parser {
  public:
    Parser(const std::vector<Token> &tokens, uint32_t fileId, Diagnostics &diags)
        : tokens_(tokens), diags_(diags) {
        unit_.fileId = fileId;
    }
    SourceUnit run();

    // ---- cursor (Parser.cc)
    const Token &cur() const { return tokens_[pos_]; }
    const Token &peek(size_t ahead) const {
        size_t at = pos_ + ahead;
        return tokens_[at < tokens_.size() ? at : tokens_.size() - 1];
    }
    bool at(Tok kind) const { return cur().kind == kind; }
    bool atWord(const char *folded) const { return isWord(cur(), folded); }
    static bool isWord(const Token &token, const char *folded);
    const Token &take() {
        const Token &token = tokens_[pos_];
        if (token.kind != Tok::EndOfFile) ++pos_;
        return token;
    }
    bool accept(Tok kind) {
        if (!at(kind)) return false;
        take();
        return true;
    }
    bool expect(Tok kind, const char *what = nullptr);
    bool expectWord(const char *folded, const char *spelled);
    std::string expectName(SourcePos *pos, const char *what);
    void error(SourcePos pos, const std::string &message);
    void unexpected(const char *expected);
    void skipLine();
    void endOfStatement();
    void skipBlankLines();

    // ---- block structure (Parser.cc)
    Closer classify() const;
    bool atEndOf(const char *folded) const;
    void notClosed(SourcePos pos, const char *opener, const char *closer);
    void typeDecl(DeclKind kind, std::vector<std::unique_ptr<TypeDecl>> &out);
    void typeBody(TypeDecl &decl);
    void menuBarBody(TypeDecl &decl);
    bool menuEntry(std::vector<MenuEntry> &out);

    // ---- members (ParseMembers.cc)
    void member(TypeDecl &decl);
    MemberPtr declare(SourcePos pos);
    void field(TypeDecl &decl, SourcePos pos, bool isPrivate, bool shared);
    std::unique_ptr<ConstDecl> constDecl(SourcePos pos);
    void event(TypeDecl &decl, SourcePos pos);
    void method(TypeDecl &decl, SourcePos pos, bool isPrivate, bool shared);
    void interfaceMethod(TypeDecl &decl, SourcePos pos);
    void handler(TypeDecl &decl, SourcePos pos);
    void menuHandler(TypeDecl &decl, SourcePos pos);
    void methodBody(MethodDecl &m, const char *opener, const char *closer);
    void control(TypeDecl &decl);
    void layoutProperty(std::vector<LayoutProperty> &out);
    std::vector<Param> params();
    bool param(Param &p);
    TypeRef typeRef();
    TypeRef asType(const char *what);
    bool arraySuffix(bool *isArray, ExprList *bounds);

    // ---- statements (ParseStatements.cc)
    Block block(Closer own);
    StmtPtr statement(bool singleLine);
    StmtPtr dimStatement();
    StmtPtr ifStatement(bool nested);
    StmtPtr selectStatement();
    bool caseClause(CaseBlock &c);
    StmtPtr forStatement();
    StmtPtr whileStatement();
    StmtPtr doStatement();
    StmtPtr tryStatement();
    StmtPtr jumpStatement(bool isExit);
    StmtPtr expressionStatement();
    bool closeWith(const char *folded, SourcePos openPos, const char *opener, const char *closer);

    // ---- expressions (ParseExpressions.cc)
    ExprPtr expression();
    ExprPtr binary(int minPrecedence);
    ExprPtr binaryRest(ExprPtr lhs, int minPrecedence);
    ExprPtr prefix();
    ExprPtr powerOperand();
    ExprPtr postfix(ExprPtr base);
    ExprPtr primary();
    bool arguments(ExprList &args);
    static bool startsExpression(Tok kind);

  private:
    const std::vector<Token> &tokens_;
    Diagnostics &diags_;
    SourceUnit unit_;
    size_t pos_ = 0;
    uint32_t lastErrorLine_ = 0;
    uint32_t lastErrorFile_ = 0;
    std::vector<Closer> open_; // the blocks being parsed, innermost last
};

} // namespace kqc
