// Semantic analysis of operators, CType, New and conversions: the operand
// types operators compute in and the conversions inserted into the tree
// (see SemaImpl.h and Conversions.h).
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {

void Sema::coerce(ExprPtr &e, const Type *to) {
    if (e->type == to || e->type->kind == TypeKind::Error || to->kind == TypeKind::Error) return;
    SourcePos pos = e->pos;
    auto c = std::make_unique<ConvertExpr>(pos, std::move(e));
    c->type = to;
    e = std::move(c);
}

void Sema::convert(ExprPtr &e, const Type *to, const char *context) {
    const Type *from = e->type;
    if (from == to || from->kind == TypeKind::Error || to->kind == TypeKind::Error) return;
    ConstValue cv;
    const ConstValue *k = constant(*e, &cv) ? &cv : nullptr;
    std::string where = context && *context ? std::string(" for ") + context : "";
    switch (convertibility(from, to, k)) {
    case Convertibility::Same:
    case Convertibility::Implicit:
        coerce(e, to);
        return;
    case Convertibility::Explicit:
        error(e->pos, withArticle(from) + " does not become " + withArticle(to) + where +
                          " by itself; convert it with CType(value, " + typeName(to) + ")");
        return;
    case Convertibility::Never:
        if (from->kind == TypeKind::String && isNumeric(to)) {
            error(e->pos, "a String is no number" + where + "; convert it with Val or CDbl");
        } else if (isNumeric(from) && to->kind == TypeKind::String) {
            error(e->pos, "a number is no String" + where + "; convert it with Str or Format");
        } else {
            error(e->pos, withArticle(from) + " cannot be used as " + withArticle(to) + where);
        }
        return;
    }
}

const Type *Sema::unary(UnaryExpr &e) {
    const Type *t = value(e.operand);
    if (t->kind == TypeKind::Error) return t;
    if (t->kind == TypeKind::Variant) return t;
    if (e.op == Op::Not && t->kind == TypeKind::Boolean) return t;
    bool ok = e.op == Op::Not ? isInteger(t) : isNumeric(t);
    if (!ok) {
        error(e.pos, std::string("'") + (e.op == Op::Not ? "Not" : spell(e.op)) +
                         "' does not apply to " + withArticle(t));
        return types_.error();
    }
    const Type *result = arithmeticType(types_, t, t);
    coerce(e.operand, result);
    return result;
}

// The type both sides of a comparison are brought to; null after an error.
const Type *Sema::comparisonType(const Type *a, const Type *b, Op op, SourcePos pos) {
    if (a->kind == TypeKind::Error || b->kind == TypeKind::Error) return types_.error();
    if (a->kind == TypeKind::Variant || b->kind == TypeKind::Variant)
        return type(TypeKind::Variant);
    if (const Type *t = arithmeticType(types_, a, b)) return t;
    if (a->kind == TypeKind::String && b->kind == TypeKind::String) return a;
    if (a->kind == TypeKind::String && b->kind == TypeKind::Nil) return a;
    if (b->kind == TypeKind::String && a->kind == TypeKind::Nil) return b;
    bool equality = op == Op::Eq || op == Op::Ne;
    auto reference = [](const Type *t) {
        return t->kind == TypeKind::Object || t->kind == TypeKind::Array ||
               t->kind == TypeKind::Ptr || t->kind == TypeKind::Nil;
    };
    if (equality && a == b &&
        (a->kind == TypeKind::Boolean || a->kind == TypeKind::Color || reference(a)))
        return a;
    if (equality && reference(a) && reference(b)) {
        if (a->kind == TypeKind::Nil) return b;
        if (b->kind == TypeKind::Nil) return a;
        if (a->kind == TypeKind::Object && b->kind == TypeKind::Object &&
            (a->cls->isA(b->cls) || b->cls->isA(a->cls) || a->cls->isInterface ||
             b->cls->isInterface)) {
            return a->cls->isA(b->cls) ? b : a;
        }
    }
    error(pos, std::string("'") + spell(op) + "' cannot compare " + withArticle(a) + " with " +
                   withArticle(b));
    return nullptr;
}

const Type *Sema::binary(BinaryExpr &e) {
    const Type *boolean = type(TypeKind::Boolean);
    if (e.op == Op::IsA) {
        const Type *t = value(e.lhs);
        ClassInfo *cls = nullptr;
        if (e.rhs->kind == ExprKind::Name)
            cls = program_.findClass(static_cast<NameExpr &>(*e.rhs).name);
        if (!cls || cls->isModule) {
            error(e.rhs->pos, "IsA needs a class name on its right");
            return types_.error();
        }
        auto &n = static_cast<NameExpr &>(*e.rhs);
        n.ref = Ref::Class;
        n.symbol = cls;
        n.type = cls->type;
        e.operandType = cls->type;
        bool object =
            t->kind == TypeKind::Object || t->kind == TypeKind::Variant || t->kind == TypeKind::Nil;
        if (!object && t->kind != TypeKind::Error)
            error(e.lhs->pos, "IsA tests objects, not " + withArticle(t));
        return boolean;
    }
    const Type *a = value(e.lhs), *b = value(e.rhs);
    if (a->kind == TypeKind::Error || b->kind == TypeKind::Error) return types_.error();
    // An unsigned operand and a constant that fits it compute in its type.
    ConstValue k;
    if (isUnsigned(a) && isInteger(b) && constant(*e.rhs, &k) &&
        convertibility(b, a, &k) != Convertibility::Explicit) {
        b = a;
    } else if (isUnsigned(b) && isInteger(a) && constant(*e.lhs, &k) &&
               convertibility(a, b, &k) != Convertibility::Explicit) {
        a = b;
    }
    const Type *operand = nullptr, *result = nullptr;
    switch (e.op) {
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge:
        operand = comparisonType(a, b, e.op, e.pos);
        result = boolean;
        if (!operand) return types_.error();
        break;
    case Op::And:
    case Op::Or:
    case Op::Xor:
        if (a->kind == TypeKind::Boolean && b->kind == TypeKind::Boolean) {
            operand = result = boolean;
        } else if ((isInteger(a) && isInteger(b)) ||
                   (e.op != Op::Xor &&
                    (a->kind == TypeKind::Variant || b->kind == TypeKind::Variant))) {
            operand = result = arithmeticType(types_, a, b);
        }
        break;
    case Op::Add:
        if (a->kind == TypeKind::String && b->kind == TypeKind::String) {
            operand = result = a;
            break;
        }
        if (a->kind == TypeKind::String || b->kind == TypeKind::String) {
            error(e.pos, "'+' joins two Strings; convert the " +
                             typeName(a->kind == TypeKind::String ? b : a) +
                             " with Str or Format first");
            return types_.error();
        }
        operand = result = arithmeticType(types_, a, b);
        break;
    case Op::Sub:
    case Op::Mul:
        operand = result = arithmeticType(types_, a, b);
        break;
    case Op::Div:
        operand = arithmeticType(types_, a, b);
        if (operand && isInteger(operand)) operand = type(TypeKind::Double);
        result = operand;
        break;
    case Op::IntDiv:
    case Op::Mod:
        operand = arithmeticType(types_, a, b);
        if (operand && !isInteger(operand) && operand->kind != TypeKind::Variant) {
            error(e.pos,
                  std::string("'") + spell(e.op) + "' works on integers; convert with CType first");
            return types_.error();
        }
        result = operand;
        break;
    case Op::Pow:
        operand = arithmeticType(types_, a, b);
        if (operand && operand->kind != TypeKind::Variant) operand = type(TypeKind::Double);
        result = operand;
        break;
    default:
        break;
    }
    if (!operand) {
        error(e.pos, std::string("'") + spell(e.op) + "' does not apply to " + withArticle(a) +
                         " and " + withArticle(b));
        return types_.error();
    }
    e.operandType = operand;
    coerce(e.lhs, operand);
    coerce(e.rhs, operand);
    return result;
}

const Type *Sema::ctype(CTypeExpr &e) {
    const Type *from = value(e.value);
    const Type *to = resolveType(e.target);
    if (from->kind == TypeKind::Error || to->kind == TypeKind::Error) return types_.error();
    ConstValue cv;
    const ConstValue *k = constant(*e.value, &cv) ? &cv : nullptr;
    if (convertibility(from, to, k) == Convertibility::Never) {
        error(e.pos, withArticle(from) + " cannot be converted to " + typeName(to));
        return types_.error();
    }
    return to;
}

const Type *Sema::newObject(NewExpr &e) {
    ClassInfo *cls = program_.findClass(e.cls.name);
    checkArgs(e.args);
    if (!cls) {
        error(e.cls.pos, "unknown class '" + e.cls.name + "'");
        return types_.error();
    }
    if (cls->isInterface || cls->isModule) {
        error(e.cls.pos, "'" + cls->name + "' is " + (cls->isModule ? "a module" : "an interface") +
                             "; New makes objects of classes");
        return types_.error();
    }
    const auto *list = cls->find("constructor");
    auto *ctor = list && list->front()->kind == SymbolKind::Method
                     ? static_cast<MethodInfo *>(list->front())
                     : nullptr;
    if (ctor && ctor->origin == MethodOrigin::Image) {
        e.constructor = ctor;
        argsFit(e.args, e.pos, cls->name, ctor->sig, true, nullptr);
    } else if (!e.args.empty()) {
        error(e.pos, "'" + cls->name + "' has no Constructor that takes arguments");
    }
    return cls->type;
}

} // namespace kqc
