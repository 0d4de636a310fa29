// Constant expressions: literals, constants, and operators and conversions
// applied to them, folded with the semantics of the running program (integer
// arithmetic wraps at the width of its type). Used for Const declarations,
// default values, design-time properties and implicit narrowing of
// constants (see SemaImpl.h).
#include <cmath>

#include "SemaImpl.h"

namespace kqc {
namespace {

// Brings an integer to the range of its type: wraps at the type's width.
int64_t wrap(int64_t v, const Type *t) {
    int bits = integerBits(t);
    if (bits == 0 || bits == 64) return v;
    uint64_t mask = (uint64_t(1) << bits) - 1;
    uint64_t u = static_cast<uint64_t>(v) & mask;
    if (!isUnsigned(t) && (u >> (bits - 1))) u |= ~mask;
    return static_cast<int64_t>(u);
}

// Converts a folded value to type t, as the generated code would.
bool convertValue(ConstValue *v, const Type *t) {
    using K = ConstValue::Kind;
    if (t->kind == TypeKind::Error) return false;
    if (isInteger(t) || t->kind == TypeKind::Color) {
        if (v->kind == K::Real) {
            if (!std::isfinite(v->real)) return false;
            v->integer = static_cast<int64_t>(std::trunc(v->real));
        } else if (v->kind != K::Integer && v->kind != K::Boolean) {
            return false;
        }
        v->kind = K::Integer;
        if (isInteger(t)) v->integer = wrap(v->integer, t);
        return true;
    }
    if (isFloat(t) || t->kind == TypeKind::Currency) {
        if (v->kind == K::Integer) {
            v->real = static_cast<double>(v->integer);
        } else if (v->kind != K::Real) {
            return false;
        }
        v->kind = K::Real;
        if (t->kind == TypeKind::Single) v->real = static_cast<float>(v->real);
        if (t->kind == TypeKind::Currency)
            v->real = static_cast<double>(currencyUnits(v->real)) / 10000;
        return true;
    }
    if (t->kind == TypeKind::Boolean) {
        if (v->kind == K::Integer) v->integer = v->integer != 0;
        if (v->kind != K::Integer && v->kind != K::Boolean) return false;
        v->kind = K::Boolean;
        return true;
    }
    if (t->kind == TypeKind::String) return v->kind == K::String || v->kind == K::Nil;
    return v->kind == K::Nil;
}

bool compare(Op op, int order) {
    switch (op) {
    case Op::Eq:
        return order == 0;
    case Op::Ne:
        return order != 0;
    case Op::Lt:
        return order < 0;
    case Op::Gt:
        return order > 0;
    case Op::Le:
        return order <= 0;
    default:
        return order >= 0;
    }
}

} // namespace

int64_t currencyUnits(double value) {
    double units = value * 10000, nearest = std::nearbyint(units);
    if (std::fabs(units - nearest) <= std::fabs(units) * 1e-12)
        return static_cast<int64_t>(nearest);
    return static_cast<int64_t>(std::trunc(units));
}

bool Sema::constant(const Expr &e, ConstValue *out) {
    using K = ConstValue::Kind;
    *out = ConstValue{};
    switch (e.kind) {
    case ExprKind::Literal: {
        auto &l = static_cast<const LiteralExpr &>(e);
        switch (l.lit) {
        case LiteralKind::Integer:
        case LiteralKind::Color:
            out->kind = K::Integer;
            out->integer = static_cast<int64_t>(l.intValue);
            if (l.type && isInteger(l.type)) out->integer = wrap(out->integer, l.type);
            return true;
        case LiteralKind::Float:
            out->kind = K::Real, out->real = l.realValue;
            return true;
        case LiteralKind::String:
            out->kind = K::String, out->text = l.text;
            return true;
        case LiteralKind::Boolean:
            out->kind = K::Boolean, out->integer = l.intValue != 0;
            return true;
        case LiteralKind::Nil:
            out->kind = K::Nil;
            return true;
        }
        return false;
    }
    case ExprKind::Name: {
        auto &n = static_cast<const NameExpr &>(e);
        return n.ref == Ref::Constant && constantOf(static_cast<const ConstInfo *>(n.symbol), out);
    }
    case ExprKind::Member: {
        auto &m = static_cast<const MemberExpr &>(e);
        return m.ref == Ref::Constant && constantOf(static_cast<const ConstInfo *>(m.symbol), out);
    }
    case ExprKind::Convert:
        return constant(*static_cast<const ConvertExpr &>(e).value, out) &&
               convertValue(out, e.type);
    case ExprKind::CType:
        return constant(*static_cast<const CTypeExpr &>(e).value, out) && convertValue(out, e.type);
    case ExprKind::Unary: {
        auto &u = static_cast<const UnaryExpr &>(e);
        if (!constant(*u.operand, out)) return false;
        if (u.op == Op::Plus) return convertValue(out, e.type);
        if (u.op == Op::Neg && out->kind == K::Real) return out->real = -out->real, true;
        if (u.op == Op::Neg && out->kind == K::Integer)
            return out->integer = wrap(-out->integer, e.type), true;
        if (u.op == Op::Not && out->kind == K::Boolean) return out->integer = !out->integer, true;
        if (u.op == Op::Not && out->kind == K::Integer)
            return out->integer = wrap(~out->integer, e.type), true;
        return false;
    }
    case ExprKind::Binary:
        break;
    default:
        return false;
    }
    auto &b = static_cast<const BinaryExpr &>(e);
    ConstValue l, r;
    if (!b.operandType || !constant(*b.lhs, &l) || !constant(*b.rhs, &r)) return false;
    const Type *t = b.operandType;
    if (!convertValue(&l, t) || !convertValue(&r, t)) return false;
    if (l.kind == K::String) {
        if (b.op == Op::Add) return out->kind = K::String, out->text = l.text + r.text, true;
        return false; // string comparison is the runtime's (case-insensitive)
    }
    if (b.op >= Op::Eq && b.op <= Op::Ge) {
        int order = l.kind == K::Real ? (l.real < r.real   ? -1
                                         : l.real > r.real ? 1
                                                           : 0)
                    : isUnsigned(t)
                        ? (uint64_t(l.integer) < uint64_t(r.integer) ? -1 : l.integer != r.integer)
                        : (l.integer < r.integer   ? -1
                           : l.integer > r.integer ? 1
                                                   : 0);
        if (l.kind == K::Nil) order = 0;
        out->kind = K::Boolean;
        out->integer = compare(b.op, order);
        return true;
    }
    if (l.kind == K::Boolean) {
        out->kind = K::Boolean;
        if (b.op == Op::And) out->integer = l.integer && r.integer;
        if (b.op == Op::Or) out->integer = l.integer || r.integer;
        if (b.op == Op::Xor) out->integer = l.integer != r.integer;
        return b.op == Op::And || b.op == Op::Or || b.op == Op::Xor;
    }
    if (l.kind == K::Real) {
        out->kind = K::Real;
        switch (b.op) {
        case Op::Add:
            out->real = l.real + r.real;
            break;
        case Op::Sub:
            out->real = l.real - r.real;
            break;
        case Op::Mul:
            out->real = l.real * r.real;
            break;
        case Op::Div:
            out->real = l.real / r.real;
            break;
        case Op::Pow:
            out->real = std::pow(l.real, r.real);
            break;
        default:
            return false;
        }
        return convertValue(out, e.type);
    }
    if (l.kind != K::Integer) return false;
    uint64_t x = static_cast<uint64_t>(l.integer), y = static_cast<uint64_t>(r.integer);
    out->kind = K::Integer;
    switch (b.op) {
    case Op::Add:
        out->integer = static_cast<int64_t>(x + y);
        break;
    case Op::Sub:
        out->integer = static_cast<int64_t>(x - y);
        break;
    case Op::Mul:
        out->integer = static_cast<int64_t>(x * y);
        break;
    case Op::And:
        out->integer = static_cast<int64_t>(x & y);
        break;
    case Op::Or:
        out->integer = static_cast<int64_t>(x | y);
        break;
    case Op::Xor:
        out->integer = static_cast<int64_t>(x ^ y);
        break;
    case Op::IntDiv:
    case Op::Mod:
        if (y == 0) {
            error(b.pos, "division by zero in a constant");
            return false;
        }
        if (isUnsigned(t)) {
            out->integer = static_cast<int64_t>(b.op == Op::IntDiv ? x / y : x % y);
        } else if (l.integer == INT64_MIN && r.integer == -1) {
            out->integer = b.op == Op::IntDiv ? INT64_MIN : 0;
        } else {
            out->integer = b.op == Op::IntDiv ? l.integer / r.integer : l.integer % r.integer;
        }
        break;
    default:
        return false;
    }
    out->integer = wrap(out->integer, t);
    return true;
}

bool Sema::constantOf(const ConstInfo *c, ConstValue *out) {
    resolveConst(const_cast<ConstInfo *>(c));
    *out = c->value;
    return c->value.kind != ConstValue::Kind::None;
}

void Sema::resolveConst(ConstInfo *c) {
    if (c->state == ConstInfo::State::Done) return;
    if (c->state == ConstInfo::State::Resolving) {
        error(c->pos, "the constant '" + c->name + "' depends on itself");
        return;
    }
    c->state = ConstInfo::State::Resolving;
    BodyContext saved;
    if (c->owner) {
        saved = std::move(ctx_);
        ctx_ = BodyContext{};
        ctx_.cls = ctx_.meClass = c->owner;
        ctx_.shared = true;
    }
    ConstDecl &d = *c->decl;
    const Type *t = value(d.value);
    if (d.type.present()) {
        t = resolveType(d.type);
        convert(d.value, t, "");
    } else if (t->kind == TypeKind::Nil) {
        error(d.value->pos, "the type of '" + c->name + "' cannot be told from Nil; write Const " +
                                c->name + " As Type = ...");
        t = types_.error();
    }
    size_t before = diags_.errorCount();
    if (t->kind != TypeKind::Error && !constant(*d.value, &c->value) &&
        diags_.errorCount() == before) {
        error(d.value->pos, "the value of the constant '" + c->name + "' is not constant");
    }
    c->type = t;
    c->state = ConstInfo::State::Done;
    if (c->owner) ctx_ = std::move(saved);
}

} // namespace kqc
