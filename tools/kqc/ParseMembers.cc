// Parser: members of classes, modules, interfaces and windows, parameters,
// type names, control layouts (see ParserImpl.h).
#include "ParserImpl.h"
#include "Utf8.h"

namespace kqc {

void Parser::member(TypeDecl &decl) {
    SourcePos pos = cur().pos;
    Closer c = classify();
    if (c != Closer::None && c != Closer::MemberStart) {
        std::string what = describe(cur());
        if (at(Tok::KwEnd)) what = "'End " + peek(1).text + "'";
        error(pos, "unexpected " + what);
        skipLine();
        return;
    }
    if (decl.kind == DeclKind::Interface) {
        if (at(Tok::KwSub) || at(Tok::KwFunction)) {
            interfaceMethod(decl, pos);
        } else {
            unexpected("Sub or Function (an Interface declares only methods)");
            skipLine();
        }
        return;
    }
    bool isPrivate = false, shared = false, modifiers = false;
    for (;; modifiers = true) {
        if (accept(Tok::KwPrivate)) {
            isPrivate = true;
        } else if (!accept(Tok::KwPublic)) {
            if (!accept(Tok::KwShared)) break;
            shared = true;
        }
    }
    bool module = decl.kind == DeclKind::Module;
    switch (cur().kind) {
    case Tok::KwProperty:
        field(decl, pos, isPrivate, shared || module);
        return;
    case Tok::KwConst: {
        auto constant = constDecl(take().pos);
        constant->isPrivate = isPrivate;
        constant->shared = true;
        decl.members.push_back(std::move(constant));
        endOfStatement();
        return;
    }
    case Tok::KwSub:
    case Tok::KwFunction:
        method(decl, pos, isPrivate, shared || module);
        return;
    case Tok::KwEvent:
        if (module) error(pos, "a Module has no events");
        event(decl, pos);
        return;
    case Tok::KwDeclare: {
        auto d = declare(take().pos);
        d->isPrivate = isPrivate;
        decl.members.push_back(std::move(d));
        return;
    }
    default:
        break;
    }
    if (modifiers) {
        unexpected("Property, Const, Sub or Function after Private, Public or Shared");
        skipLine();
    } else if (at(Tok::KwOn)) {
        if (module) error(pos, "an On handler belongs to a Class or Window");
        handler(decl, pos);
    } else if (atWord("handles") && isWord(peek(1), "menu")) {
        if (module) error(pos, "a menu handler belongs to a Class or Window");
        menuHandler(decl, pos);
    } else if (decl.kind == DeclKind::Window && atWord("control") &&
               peek(1).kind == Tok::Identifier) {
        control(decl);
    } else if (decl.kind == DeclKind::Window && at(Tok::Identifier) && peek(1).kind == Tok::Equal) {
        layoutProperty(decl.layout);
    } else if ((at(Tok::KwInherits) || at(Tok::KwImplements)) && !module) {
        // `Inherits` and `Implements` may also stand on lines of their own.
        if (accept(Tok::KwInherits)) {
            if (!decl.super.empty()) error(pos, "the superclass is already given");
            decl.super = expectName(&decl.superPos, "a class name");
        } else {
            take();
            do {
                SourcePos namePos;
                std::string name = expectName(&namePos, "an interface name");
                if (name.empty()) break;
                decl.interfaces.emplace_back(name, namePos);
            } while (accept(Tok::Comma));
        }
        endOfStatement();
    } else {
        unexpected("a member (Property, Const, Event, Sub, Function, On, ...)");
        skipLine();
    }
}

// `Property Name[(bounds)] As Type [= value]`: a field.
void Parser::field(TypeDecl &decl, SourcePos pos, bool isPrivate, bool shared) {
    auto f = std::make_unique<FieldDecl>(pos);
    take();
    f->isPrivate = isPrivate;
    f->shared = shared;
    f->name = expectName(&f->namePos, "a property name");
    if (f->name.empty()) {
        skipLine();
        return;
    }
    arraySuffix(&f->isArray, &f->bounds);
    f->type = asType("a property type");
    if (accept(Tok::Equal)) f->init = expression();
    endOfStatement();
    decl.members.push_back(std::move(f));
}

// `Const Name [As Type] = value`, the keyword already taken.
std::unique_ptr<ConstDecl> Parser::constDecl(SourcePos pos) {
    auto c = std::make_unique<ConstDecl>(pos);
    c->name = expectName(&c->namePos, "a constant name");
    if (accept(Tok::KwAs)) c->type = typeRef();
    if (expect(Tok::Equal, "'=' and the constant's value")) {
        c->value = expression();
    } else {
        c->value = std::make_unique<Expr>(ExprKind::Error, cur().pos);
    }
    return c;
}

void Parser::event(TypeDecl &decl, SourcePos pos) {
    auto e = std::make_unique<EventDecl>(pos);
    take();
    e->name = expectName(&e->namePos, "an event name");
    e->params = params();
    if (accept(Tok::KwAs)) e->result = typeRef();
    endOfStatement();
    if (!e->name.empty()) decl.members.push_back(std::move(e));
}

void Parser::method(TypeDecl &decl, SourcePos pos, bool isPrivate, bool shared) {
    auto m = std::make_unique<MethodDecl>(MemberKind::Method, pos);
    m->isFunction = take().kind == Tok::KwFunction;
    m->isPrivate = isPrivate;
    m->shared = shared;
    m->name = expectName(&m->namePos, "a method name");
    m->params = params();
    if (m->isFunction) {
        m->result = asType("the result type");
    } else if (at(Tok::KwAs)) {
        error(cur().pos, "a Sub has no result type (use Function)");
        take();
        typeRef();
    }
    if (m->isFunction) {
        methodBody(*m, "Function", "End Function");
    } else {
        methodBody(*m, "Sub", "End Sub");
    }
    decl.members.push_back(std::move(m));
}

void Parser::interfaceMethod(TypeDecl &decl, SourcePos pos) {
    auto m = std::make_unique<MethodDecl>(MemberKind::Method, pos);
    m->isFunction = take().kind == Tok::KwFunction;
    m->name = expectName(&m->namePos, "a method name");
    m->params = params();
    if (m->isFunction) m->result = asType("the result type");
    m->endPos = pos;
    endOfStatement();
    if (!m->name.empty()) decl.members.push_back(std::move(m));
}

// `On [Control.]Event[(params)] [As Type]` ... `End On`.
void Parser::handler(TypeDecl &decl, SourcePos pos) {
    auto m = std::make_unique<MethodDecl>(MemberKind::Handler, pos);
    take();
    SourcePos namePos;
    std::string name = expectName(&namePos, "an event name");
    if (accept(Tok::Dot)) {
        m->control = name;
        m->controlPos = namePos;
        name = expectName(&namePos, "an event name");
    }
    m->name = name;
    m->namePos = namePos;
    m->params = params();
    if (accept(Tok::KwAs)) {
        m->result = typeRef();
        m->isFunction = true;
    }
    methodBody(*m, "On", "End On");
    decl.members.push_back(std::move(m));
}

// `Handles Menu ItemName[(index As Integer)]` ... `End Handles`.
void Parser::menuHandler(TypeDecl &decl, SourcePos pos) {
    auto m = std::make_unique<MethodDecl>(MemberKind::MenuHandler, pos);
    take();
    take();
    m->name = expectName(&m->namePos, "a menu item name");
    m->params = params();
    m->isFunction = true;
    methodBody(*m, "Handles", "End Handles");
    decl.members.push_back(std::move(m));
}

void Parser::methodBody(MethodDecl &m, const char *opener, const char *closer) {
    endOfStatement();
    open_.push_back(Closer::Method);
    m.body = block(Closer::Method);
    open_.pop_back();
    m.endPos = cur().pos;
    if (classify() != Closer::Method) {
        notClosed(m.pos, opener, closer);
        return;
    }
    std::string word = utf8::fold(std::string(closer).substr(4));
    if (!atEndOf(word.c_str())) {
        error(cur().pos,
              std::string("expected '") + closer + "', found 'End " + peek(1).text + "'");
    }
    take();
    take();
    endOfStatement();
}

// `Declare Sub|Function Name Lib "library" [(params)] [As Type]`, the
// keyword already taken.
MemberPtr Parser::declare(SourcePos pos) {
    auto d = std::make_unique<DeclareDecl>(pos);
    d->shared = true;
    if (at(Tok::KwSub) || at(Tok::KwFunction)) {
        d->isFunction = take().kind == Tok::KwFunction;
    } else {
        unexpected("Sub or Function");
    }
    d->name = expectName(&d->namePos, "a function name");
    if (expectWord("lib", "Lib")) {
        if (at(Tok::String)) {
            d->lib = take().text;
        } else {
            unexpected("the library name in quotes");
        }
    }
    d->params = params();
    if (d->isFunction) {
        d->result = asType("the result type");
    }
    endOfStatement();
    return d;
}

// `Control Name[(index)] As Class`, its design-time properties, `End
// Control`. With an index the control is a member of the control array of
// that name.
void Parser::control(TypeDecl &decl) {
    ControlDecl c;
    c.pos = take().pos;
    c.name = expectName(nullptr, "a control name");
    if (accept(Tok::LParen)) {
        c.isArray = true;
        c.indexPos = cur().pos;
        if (at(Tok::Integer)) {
            c.index = take().value;
        } else {
            unexpected("the index of the control-array member");
        }
        expect(Tok::RParen);
    }
    c.cls = asType("the control's class");
    endOfStatement();
    for (;;) {
        skipBlankLines();
        if (atEndOf("control")) {
            take();
            take();
            endOfStatement();
            break;
        }
        Closer k = classify();
        if (k != Closer::None || at(Tok::EndOfFile)) {
            notClosed(c.pos, "Control", "End Control");
            break;
        }
        if (at(Tok::Identifier) && peek(1).kind == Tok::Equal) {
            layoutProperty(c.properties);
        } else {
            unexpected("a property assignment or 'End Control'");
            skipLine();
        }
    }
    decl.controls.push_back(std::move(c));
}

void Parser::layoutProperty(std::vector<LayoutProperty> &out) {
    LayoutProperty p;
    p.pos = cur().pos;
    p.name = take().text;
    take();
    p.value = expression();
    endOfStatement();
    out.push_back(std::move(p));
}

std::vector<Param> Parser::params() {
    std::vector<Param> list;
    if (!accept(Tok::LParen) || accept(Tok::RParen)) return list;
    do {
        Param p;
        if (!param(p)) {
            while (!at(Tok::RParen) && !at(Tok::Newline) && !at(Tok::EndOfFile))
                take();
            break;
        }
        list.push_back(std::move(p));
    } while (accept(Tok::Comma));
    expect(Tok::RParen);
    return list;
}

// `[ByRef|ByVal] [Optional] name[()] As Type [= default]`
bool Parser::param(Param &p) {
    for (;;) {
        if (accept(Tok::KwByRef)) {
            p.byRef = true;
        } else if (accept(Tok::KwOptional)) {
            p.optional = true;
        } else if (!accept(Tok::KwByVal)) {
            break;
        }
    }
    p.name = expectName(&p.pos, "a parameter name");
    if (p.name.empty()) return false;
    int dims = 0;
    if (accept(Tok::LParen)) {
        for (dims = 1; accept(Tok::Comma);)
            ++dims;
        if (!expect(Tok::RParen)) return false;
    }
    p.type = asType("the parameter's type");
    if (!p.type.present()) return false;
    p.type.arrayDims += dims;
    if (accept(Tok::Equal)) p.defaultValue = expression();
    return true;
}

// A type name, with `()` or `(,)` for an array type.
TypeRef Parser::typeRef() {
    TypeRef t;
    t.name = expectName(&t.pos, "a type name");
    if (!t.name.empty() && at(Tok::LParen) &&
        (peek(1).kind == Tok::RParen || peek(1).kind == Tok::Comma)) {
        take();
        for (t.arrayDims = 1; accept(Tok::Comma);)
            ++t.arrayDims;
        expect(Tok::RParen);
    }
    return t;
}

TypeRef Parser::asType(const char *what) {
    if (!accept(Tok::KwAs)) {
        unexpected((std::string("'As' and ") + what).c_str());
        return {};
    }
    return typeRef();
}

// `(bounds)` after a declared name makes it an array; `()` one without
// elements yet.
bool Parser::arraySuffix(bool *isArray, ExprList *bounds) {
    if (!accept(Tok::LParen)) return false;
    *isArray = true;
    if (accept(Tok::RParen)) return true;
    do {
        bounds->push_back(expression());
    } while (accept(Tok::Comma));
    return expect(Tok::RParen);
}

} // namespace kqc
