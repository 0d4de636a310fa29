// Parser: expressions, by precedence climbing (see ParserImpl.h). From high
// to low: `^`; unary `-`; `*` `/` `\` `Mod`; `+` `-`; comparisons and
// `IsA`; `Not`; `And`; `Or` `Xor`.
#include "ParserImpl.h"

namespace kqc {
namespace {

constexpr int kNotPrecedence = 3;
constexpr int kNegatePrecedence = 7;

// The binary operator a token stands for, with its precedence (0: none).
int binaryOperator(Tok kind, Op *op) {
    switch (kind) {
    case Tok::KwOr:
        *op = Op::Or;
        return 1;
    case Tok::KwXor:
        *op = Op::Xor;
        return 1;
    case Tok::KwAnd:
        *op = Op::And;
        return 2;
    case Tok::Equal:
        *op = Op::Eq;
        return 4;
    case Tok::NotEqual:
        *op = Op::Ne;
        return 4;
    case Tok::Less:
        *op = Op::Lt;
        return 4;
    case Tok::Greater:
        *op = Op::Gt;
        return 4;
    case Tok::LessEqual:
        *op = Op::Le;
        return 4;
    case Tok::GreaterEqual:
        *op = Op::Ge;
        return 4;
    case Tok::KwIsA:
        *op = Op::IsA;
        return 4;
    case Tok::Plus:
        *op = Op::Add;
        return 5;
    case Tok::Minus:
        *op = Op::Sub;
        return 5;
    case Tok::Star:
        *op = Op::Mul;
        return 6;
    case Tok::Slash:
        *op = Op::Div;
        return 6;
    case Tok::Backslash:
        *op = Op::IntDiv;
        return 6;
    case Tok::KwMod:
        *op = Op::Mod;
        return 6;
    case Tok::Caret:
        *op = Op::Pow;
        return 8;
    default:
        return 0;
    }
}

} // namespace

const char *spell(Op op) {
    static const char *const names[] = {"+",   "-",  "*",   "/", "\\", "Mod", "^",
                                        "=",   "<>", "<",   ">", "<=", ">=",  "IsA",
                                        "And", "Or", "Xor", "-", "+",  "Not"};
    return names[static_cast<int>(op)];
}

bool Parser::startsExpression(Tok kind) {
    switch (kind) {
    case Tok::Integer:
    case Tok::Float:
    case Tok::String:
    case Tok::Color:
    case Tok::Identifier:
    case Tok::KwTrue:
    case Tok::KwFalse:
    case Tok::KwNil:
    case Tok::KwMe:
    case Tok::KwSelf:
    case Tok::KwSuper:
    case Tok::KwNew:
    case Tok::KwNot:
    case Tok::KwCType:
    case Tok::LParen:
    case Tok::Minus:
    case Tok::Plus:
        return true;
    default:
        return false;
    }
}

ExprPtr Parser::expression() {
    return binary(1);
}

ExprPtr Parser::binary(int minPrecedence) {
    return binaryRest(prefix(), minPrecedence);
}

ExprPtr Parser::binaryRest(ExprPtr lhs, int minPrecedence) {
    for (;;) {
        Op op;
        int precedence = binaryOperator(cur().kind, &op);
        if (precedence == 0 || precedence < minPrecedence) return lhs;
        SourcePos pos = take().pos;
        ExprPtr rhs = op == Op::Pow ? powerOperand() : binary(precedence + 1);
        lhs = std::make_unique<BinaryExpr>(pos, op, std::move(lhs), std::move(rhs));
    }
}

ExprPtr Parser::prefix() {
    SourcePos pos = cur().pos;
    if (accept(Tok::KwNot))
        return std::make_unique<UnaryExpr>(pos, Op::Not, binary(kNotPrecedence + 1));
    if (accept(Tok::Minus))
        return std::make_unique<UnaryExpr>(pos, Op::Neg, binary(kNegatePrecedence + 1));
    if (accept(Tok::Plus))
        return std::make_unique<UnaryExpr>(pos, Op::Plus, binary(kNegatePrecedence + 1));
    return postfix(primary());
}

// The right side of `^` may carry a sign: 2 ^ -1.
ExprPtr Parser::powerOperand() {
    SourcePos pos = cur().pos;
    if (accept(Tok::Minus)) return std::make_unique<UnaryExpr>(pos, Op::Neg, powerOperand());
    if (accept(Tok::Plus)) return std::make_unique<UnaryExpr>(pos, Op::Plus, powerOperand());
    return postfix(primary());
}

ExprPtr Parser::postfix(ExprPtr base) {
    for (;;) {
        if (at(Tok::Dot)) {
            SourcePos pos = take().pos;
            // Any word may name a member, also one spelled like a keyword.
            if (!at(Tok::Identifier) && cur().kind < Tok::KwAnd) {
                unexpected("a member name after '.'");
                return std::make_unique<Expr>(ExprKind::Error, pos);
            }
            SourcePos memberPos = cur().pos;
            std::string name = take().text;
            base = std::make_unique<MemberExpr>(pos, std::move(base), std::move(name), memberPos);
        } else if (at(Tok::LParen)) {
            auto call = std::make_unique<CallExpr>(cur().pos, std::move(base));
            arguments(call->args);
            base = std::move(call);
        } else {
            return base;
        }
    }
}

bool Parser::arguments(ExprList &args) {
    take();
    if (accept(Tok::RParen)) return true;
    do {
        args.push_back(expression());
    } while (accept(Tok::Comma));
    return expect(Tok::RParen, "',' or ')'");
}

ExprPtr Parser::primary() {
    const Token &t = cur();
    SourcePos pos = t.pos;
    auto literal = [&](LiteralKind kind) {
        auto e = std::make_unique<LiteralExpr>(pos, kind);
        e->intValue = t.value;
        e->realValue = t.real;
        e->based = t.based;
        if (kind == LiteralKind::String) e->text = t.text;
        take();
        return e;
    };
    switch (t.kind) {
    case Tok::Integer:
        return literal(LiteralKind::Integer);
    case Tok::Float:
        return literal(LiteralKind::Float);
    case Tok::String:
        return literal(LiteralKind::String);
    case Tok::Color:
        return literal(LiteralKind::Color);
    case Tok::KwNil:
        return literal(LiteralKind::Nil);
    case Tok::KwTrue:
    case Tok::KwFalse: {
        auto e = literal(LiteralKind::Boolean);
        e->intValue = t.kind == Tok::KwTrue;
        return e;
    }
    case Tok::Identifier:
        return std::make_unique<NameExpr>(pos, take().text);
    case Tok::KwMe:
        take();
        return std::make_unique<Expr>(ExprKind::Me, pos);
    case Tok::KwSelf:
        take();
        return std::make_unique<Expr>(ExprKind::Self, pos);
    case Tok::KwSuper:
        take();
        if (!at(Tok::Dot)) {
            unexpected("'.' and a method name after Super");
            return std::make_unique<Expr>(ExprKind::Error, pos);
        }
        return std::make_unique<Expr>(ExprKind::Super, pos);
    case Tok::KwNew: {
        auto e = std::make_unique<NewExpr>(take().pos);
        e->cls.name = expectName(&e->cls.pos, "a class name after New");
        if (at(Tok::LParen)) arguments(e->args);
        return e;
    }
    case Tok::LParen: {
        take();
        ExprPtr inner = expression();
        expect(Tok::RParen);
        return inner;
    }
    case Tok::KwCType: {
        auto e = std::make_unique<CTypeExpr>(take().pos);
        if (!expect(Tok::LParen)) return std::make_unique<Expr>(ExprKind::Error, pos);
        e->value = expression();
        if (expect(Tok::Comma, "',' and the target type")) e->target = typeRef();
        expect(Tok::RParen);
        return e;
    }
    default:
        unexpected("an expression");
        return std::make_unique<Expr>(ExprKind::Error, pos);
    }
}

} // namespace kqc
