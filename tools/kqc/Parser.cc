// Parser: cursor, error recovery, the block structure of a file, type
// declarations and menu bars (see Parser.h and ParserImpl.h).
#include "Parser.h"

#include "ParserImpl.h"
#include "Utf8.h"

namespace kqc {

SourceUnit parse(const std::vector<Token> &tokens, uint32_t fileId, Diagnostics &diags) {
    return Parser(tokens, fileId, diags).run();
}

// ---- cursor ----------------------------------------------------------------

bool Parser::isWord(const Token &token, const char *folded) {
    return token.kind == Tok::Identifier && utf8::fold(token.text) == folded;
}

// Only the first syntax error of a line is reported: what follows it on the
// same line is mostly its echo.
void Parser::error(SourcePos pos, const std::string &message) {
    if (pos.line == lastErrorLine_ && pos.file == lastErrorFile_) return;
    lastErrorLine_ = pos.line;
    lastErrorFile_ = pos.file;
    diags_.error(pos, message);
}

void Parser::unexpected(const char *expected) {
    error(cur().pos, std::string("expected ") + expected + ", found " + describe(cur()));
}

bool Parser::expect(Tok kind, const char *what) {
    if (accept(kind)) return true;
    unexpected(what ? what : describe(kind).c_str());
    return false;
}

bool Parser::expectWord(const char *folded, const char *spelled) {
    if (atWord(folded)) {
        take();
        return true;
    }
    unexpected((std::string("'") + spelled + "'").c_str());
    return false;
}

std::string Parser::expectName(SourcePos *pos, const char *what) {
    if (!at(Tok::Identifier)) {
        unexpected(what);
        return {};
    }
    if (pos) *pos = cur().pos;
    return take().text;
}

void Parser::skipLine() {
    while (!at(Tok::Newline) && !at(Tok::EndOfFile))
        take();
    accept(Tok::Newline);
}

void Parser::endOfStatement() {
    if (accept(Tok::Newline) || at(Tok::EndOfFile)) return;
    unexpected("end of line");
    skipLine();
}

void Parser::skipBlankLines() {
    while (accept(Tok::Newline)) {
    }
}

// ---- block structure -----------------------------------------------------

Closer Parser::classify() const {
    const Token &t = cur();
    switch (t.kind) {
    case Tok::EndOfFile:
        return Closer::EndOfFile;
    case Tok::KwEnd: {
        const Token &n = peek(1);
        switch (n.kind) {
        case Tok::KwIf:
            return Closer::If;
        case Tok::KwSelect:
            return Closer::Select;
        case Tok::KwWhile:
            return Closer::While;
        case Tok::KwTry:
            return Closer::Try;
        case Tok::KwSub:
        case Tok::KwFunction:
        case Tok::KwOn:
            return Closer::Method;
        case Tok::KwClass:
        case Tok::KwInterface:
        case Tok::KwModule:
            return Closer::TypeEnd;
        default:
            break;
        }
        if (isWord(n, "handles")) return Closer::Method;
        if (isWord(n, "window") || isWord(n, "menubar")) return Closer::TypeEnd;
        return Closer::Stray;
    }
    case Tok::KwElse:
    case Tok::KwElseIf:
        return Closer::If;
    case Tok::KwCase:
        return Closer::Select;
    case Tok::KwNext:
        return Closer::For;
    case Tok::KwLoop:
        return Closer::Do;
    case Tok::KwWend:
        return Closer::While;
    case Tok::KwCatch:
    case Tok::KwFinally:
        return Closer::Try;
    case Tok::KwSub:
    case Tok::KwFunction:
    case Tok::KwProperty:
    case Tok::KwShared:
    case Tok::KwPrivate:
    case Tok::KwPublic:
    case Tok::KwEvent:
    case Tok::KwOn:
    case Tok::KwDeclare:
        return Closer::MemberStart;
    case Tok::KwClass:
    case Tok::KwInterface:
    case Tok::KwModule:
        return Closer::TypeStart;
    case Tok::Identifier: {
        const Token &n = peek(1), &after = peek(2);
        if (isWord(t, "handles") && isWord(n, "menu")) return Closer::MemberStart;
        if (isWord(t, "control") && n.kind == Tok::Identifier && after.kind == Tok::KwAs) {
            return Closer::MemberStart;
        }
        bool declEnd = after.kind == Tok::Newline || after.kind == Tok::EndOfFile;
        if (isWord(t, "window") && n.kind == Tok::Identifier &&
            (declEnd || after.kind == Tok::KwInherits || after.kind == Tok::KwImplements)) {
            return Closer::TypeStart;
        }
        if (isWord(t, "menubar") && n.kind == Tok::Identifier && declEnd) return Closer::TypeStart;
        return Closer::None;
    }
    default:
        return Closer::None;
    }
}

// At `End <word>`, where word is a keyword or a contextual word (folded).
bool Parser::atEndOf(const char *folded) const {
    if (!at(Tok::KwEnd)) return false;
    const Token &n = peek(1);
    bool word = n.kind == Tok::Identifier || n.kind >= Tok::KwAnd;
    return word && utf8::fold(n.text) == folded;
}

void Parser::notClosed(SourcePos pos, const char *opener, const char *closer) {
    error(pos, std::string("'") + opener + "' is not closed by '" + closer + "'");
}

SourceUnit Parser::run() {
    skipBlankLines();
    while (!at(Tok::EndOfFile)) {
        Closer c = classify();
        if (c == Closer::TypeStart) {
            DeclKind kind = at(Tok::KwClass)       ? DeclKind::Class
                            : at(Tok::KwInterface) ? DeclKind::Interface
                            : at(Tok::KwModule)    ? DeclKind::Module
                            : atWord("window")     ? DeclKind::Window
                                                   : DeclKind::MenuBar;
            typeDecl(kind, unit_.types);
        } else if (at(Tok::KwDeclare)) {
            unit_.declares.push_back(declare(take().pos));
        } else if (c == Closer::MemberStart) {
            error(cur().pos, describe(cur()) + " must be inside a Class, Module or Window");
            TypeDecl scratch; // parsed for recovery only, then dropped
            scratch.kind = DeclKind::Module;
            member(scratch);
        } else if (at(Tok::KwEnd)) {
            error(cur().pos, "unexpected 'End " + peek(1).text + "'");
            skipLine();
        } else {
            unexpected("Class, Interface, Module, Window or MenuBar");
            skipLine();
        }
        skipBlankLines();
    }
    return std::move(unit_);
}

namespace {
// How each kind of type declaration opens and closes, indexed by DeclKind.
const char *const kOpeners[] = {"Class", "Interface", "Module", "Window", "MenuBar"};
const char *const kClosers[] = {"End Class", "End Interface", "End Module", "End Window",
                                "End MenuBar"};
} // namespace

void Parser::typeDecl(DeclKind kind, std::vector<std::unique_ptr<TypeDecl>> &out) {
    auto decl = std::make_unique<TypeDecl>();
    decl->kind = kind;
    decl->pos = take().pos;
    decl->name = expectName(&decl->namePos, "a name");
    if (kind == DeclKind::Class || kind == DeclKind::Window) {
        if (accept(Tok::KwInherits)) decl->super = expectName(&decl->superPos, "a class name");
        if (accept(Tok::KwImplements)) {
            do {
                SourcePos pos;
                std::string name = expectName(&pos, "an interface name");
                if (name.empty()) break;
                decl->interfaces.emplace_back(name, pos);
            } while (accept(Tok::Comma));
        }
    }
    endOfStatement();
    if (kind == DeclKind::MenuBar) {
        menuBarBody(*decl);
    } else {
        typeBody(*decl);
    }
    out.push_back(std::move(decl));
}

void Parser::typeBody(TypeDecl &decl) {
    const char *opener = kOpeners[static_cast<int>(decl.kind)];
    const char *closer = kClosers[static_cast<int>(decl.kind)];
    std::string closerWord = utf8::fold(std::string(closer).substr(4));
    for (;;) {
        skipBlankLines();
        Closer c = classify();
        if (c == Closer::TypeEnd) {
            if (!atEndOf(closerWord.c_str())) {
                error(cur().pos,
                      std::string("expected '") + closer + "', found 'End " + peek(1).text + "'");
            }
            take();
            take();
            endOfStatement();
            return;
        }
        if (c == Closer::EndOfFile || c == Closer::TypeStart) {
            notClosed(decl.pos, opener, closer);
            return;
        }
        member(decl);
    }
}

void Parser::menuBarBody(TypeDecl &decl) {
    for (;;) {
        skipBlankLines();
        if (atEndOf("menubar")) {
            take();
            take();
            endOfStatement();
            return;
        }
        Closer c = classify();
        if (c == Closer::EndOfFile || c == Closer::TypeStart || c == Closer::TypeEnd) {
            notClosed(decl.pos, "MenuBar", "End MenuBar");
            return;
        }
        if (!menuEntry(decl.menus)) {
            unexpected("Menu or Item");
            skipLine();
        }
    }
}

// `Menu Name "Text"` ... `End Menu`, or
// `Item Name[(index)] [As Class] "Text" [Shortcut "Keys"]`.
bool Parser::menuEntry(std::vector<MenuEntry> &out) {
    bool isMenu = atWord("menu");
    if (!isMenu && !atWord("item")) return false;
    MenuEntry entry;
    entry.isMenu = isMenu;
    entry.pos = take().pos;
    entry.name = expectName(nullptr, "a menu name");
    if (!isMenu && accept(Tok::LParen)) {
        entry.isArray = true;
        entry.indexPos = cur().pos;
        if (at(Tok::Integer)) {
            entry.index = take().value;
        } else {
            unexpected("the index of the menu-item array member");
        }
        expect(Tok::RParen);
    }
    if (!isMenu && accept(Tok::KwAs)) entry.cls = typeRef();
    if (at(Tok::String)) {
        entry.text = take().text;
    } else {
        unexpected("the menu text in quotes");
    }
    if (!isMenu && atWord("shortcut")) {
        take();
        if (at(Tok::String)) {
            entry.shortcut = take().text;
        } else {
            unexpected("the shortcut in quotes");
        }
    }
    endOfStatement();
    while (isMenu) {
        skipBlankLines();
        if (atEndOf("menu")) {
            take();
            take();
            endOfStatement();
            break;
        }
        Closer c = classify();
        if (c == Closer::EndOfFile || c == Closer::TypeStart || c == Closer::TypeEnd) {
            notClosed(entry.pos, "Menu", "End Menu");
            break;
        }
        if (!menuEntry(entry.children)) {
            unexpected("Menu or Item");
            skipLine();
        }
    }
    out.push_back(std::move(entry));
    return true;
}

} // namespace kqc
