// Code generation of expressions: literals, variables, fields and runtime
// properties, operators and comparisons (see CodegenImpl.h). References a
// value carries are kept in counted temporaries until they are handed on or
// released, so an exception in the middle of an expression loses nothing.
#include <cmath>
#include <cstring>

#include "CodegenImpl.h"

namespace kqc {
namespace {

bool isSigned(const Type *t) {
    return t->kind == TypeKind::Int8 || t->kind == TypeKind::Int16 || t->kind == TypeKind::Int32 ||
           t->kind == TypeKind::Int64 || t->kind == TypeKind::Currency;
}

} // namespace

// ---- the accumulator and memory ----------------------------------------

void MethodGen::load(Repr repr, const Type *t, const std::string &address,
                     const std::string &high) {
    switch (repr) {
    case Repr::I32:
        switch (t->kind) {
        case TypeKind::Boolean:
        case TypeKind::UInt8:
            ins("movzbl " + address + ", %eax");
            break;
        case TypeKind::Int8:
            ins("movsbl " + address + ", %eax");
            break;
        case TypeKind::Int16:
            ins("movswl " + address + ", %eax");
            break;
        case TypeKind::UInt16:
            ins("movzwl " + address + ", %eax");
            break;
        default:
            ins("movl " + address + ", %eax");
            break;
        }
        break;
    case Repr::I64:
        ins("movl " + address + ", %eax");
        ins("movl " + high + ", %edx");
        break;
    case Repr::F32:
        ins("flds " + address);
        break;
    case Repr::F64:
        ins("fldl " + address);
        break;
    case Repr::Void:
        break;
    }
}

void MethodGen::storeAcc(Repr repr, const Type *t, const std::string &address,
                         const std::string &high) {
    switch (repr) {
    case Repr::I32:
        switch (t->kind) {
        case TypeKind::Boolean:
        case TypeKind::UInt8:
        case TypeKind::Int8:
            ins("movb %al, " + address);
            break;
        case TypeKind::Int16:
        case TypeKind::UInt16:
            ins("movw %ax, " + address);
            break;
        default:
            ins("movl %eax, " + address);
            break;
        }
        break;
    case Repr::I64:
        ins("movl %eax, " + address);
        ins("movl %edx, " + high);
        break;
    case Repr::F32:
        ins("fstps " + address);
        break;
    case Repr::F64:
        ins("fstpl " + address);
        break;
    case Repr::Void:
        break;
    }
}

int32_t MethodGen::spill(const Value &v) {
    if (v.owned) return v.owned;
    Repr repr = reprOf(v.type);
    int32_t t = temp(repr == Repr::F32 ? Repr::F64 : repr);
    if (repr == Repr::F32) {
        ins("fstpl " + at(t)); // kept at full width
    } else {
        storeAcc(repr, module_.program().types.get(TypeKind::Int32), at(t), at(t + 4));
    }
    return t;
}

void MethodGen::reload(int32_t offset, Repr repr) {
    if (repr == Repr::F32) repr = Repr::F64;
    load(repr, module_.program().types.get(TypeKind::Int32), at(offset), at(offset + 4));
}

// The value gets a reference of its own, kept in a counted temporary.
void MethodGen::own(Value &v) {
    Counted counted = countedOf(v.type);
    if (v.owned || counted == Counted::None) return;
    int32_t slot = countedTemp(counted);
    ins("movl %eax, " + at(slot));
    arg(0);
    call(lockEntry(counted));
    ins("movl " + at(slot) + ", %eax");
    v.owned = slot;
}

// The reference goes where the value is stored: the temporary lets go of it.
void MethodGen::keepOwned(Value &v) {
    if (!v.owned) return;
    ins("movl $0, " + at(v.owned));
    freeTemp(v.owned);
    v.owned = 0;
}

// Releases `gone` while the accumulator holds `kept`: a counted value comes
// back from its temporary, any other is spilled around the release.
void MethodGen::releaseKeeping(Value &gone, const Value &kept) {
    if (!gone.owned) return;
    if (kept.owned) {
        release(gone);
        ins("movl " + at(kept.owned) + ", %eax");
        return;
    }
    Repr repr = reprOf(kept.type);
    int32_t keep = spill(kept);
    release(gone);
    reload(keep, repr);
    freeTemp(keep);
}

void MethodGen::release(Value &v) {
    if (!v.owned) return;
    ins("movl " + at(v.owned) + ", %eax");
    arg(0);
    call(unlockEntry(countedOf(v.type)));
    ins("movl $0, " + at(v.owned));
    freeTemp(v.owned);
    v.owned = 0;
}

// A value handed back by a call: narrow integers and Booleans come in the
// low bits of eax, floating point values are rounded to their type, counted
// results carry a reference.
Value MethodGen::result(const Type *t) {
    Value v{t, 0};
    switch (t->kind) {
    case TypeKind::Boolean:
    case TypeKind::UInt8:
        ins("movzbl %al, %eax");
        break;
    case TypeKind::Int8:
        ins("movsbl %al, %eax");
        break;
    case TypeKind::Int16:
        ins("movswl %ax, %eax");
        break;
    case TypeKind::UInt16:
        ins("movzwl %ax, %eax");
        break;
    default:
        break;
    }
    roundTo(t);
    Counted counted = countedOf(t);
    if (counted != Counted::None) {
        v.owned = countedTemp(counted);
        ins("movl %eax, " + at(v.owned));
    }
    return v;
}

void MethodGen::nilCheck(const char *reg) {
    std::string ok = label();
    ins(std::string("testl ") + reg + ", " + reg);
    ins("jnz " + ok);
    call("RaiseNilObjectException");
    place(ok);
}

// A zero divisor raises before the division could trap: the image's own
// helper raises a RuntimeException "Division by zero".
void MethodGen::divisorCheck(const char *reg) {
    std::string ok = label();
    ins(std::string("testl ") + reg + ", " + reg);
    ins("jnz " + ok);
    callSymbol(module_.divisionByZero());
    ins(std::string("movl $1, ") + reg);
    place(ok);
}

// A floating-point literal, or one negated: its value.
bool MethodGen::decimalLiteral(const Expr &e, ConstValue *out) {
    bool negated = e.kind == ExprKind::Unary && static_cast<const UnaryExpr &>(e).op == Op::Neg;
    const Expr &inner = negated ? *static_cast<const UnaryExpr &>(e).operand : e;
    if (inner.kind != ExprKind::Literal) return false;
    const auto &literal = static_cast<const LiteralExpr &>(inner);
    if (literal.lit != LiteralKind::Float) return false;
    out->kind = ConstValue::Kind::Real;
    out->real = negated ? -literal.realValue : literal.realValue;
    return true;
}

void MethodGen::constant(const ConstValue &c, const Type *t) {
    using K = ConstValue::Kind;
    Repr repr = reprOf(t);
    if (repr == Repr::F32 || repr == Repr::F64) {
        double value = c.kind == K::Real ? c.real : static_cast<double>(c.integer);
        if (repr == Repr::F32) value = static_cast<float>(value);
        if (value == 0 && !std::signbit(value)) {
            ins("fldz");
        } else if (value == 1) {
            ins("fld1");
        } else {
            ins("fldl " + module_.out().doubleConstant(value));
        }
        return;
    }
    if (t->kind == TypeKind::String) {
        if (c.kind != K::String || c.text.empty()) {
            ins("xorl %eax, %eax");
        } else {
            ins("movl $" + module_.out().stringRecord(c.text) + ", %eax");
        }
        return;
    }
    int64_t value = c.kind == K::Real ? static_cast<int64_t>(std::trunc(c.real)) : c.integer;
    if (t->kind == TypeKind::Currency) {
        double real = c.kind == K::Real ? c.real : static_cast<double>(c.integer);
        value = currencyUnits(real);
    }
    raw(loadImmediate(static_cast<uint32_t>(value), "%eax"));
    if (repr == Repr::I64)
        raw(loadImmediate(static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32), "%edx"));
}

// ---- expressions --------------------------------------------------------

Value MethodGen::expr(const Expr &e) {
    switch (e.kind) {
    case ExprKind::Literal:
        return literal(static_cast<const LiteralExpr &>(e));
    case ExprKind::Name:
        return name(static_cast<const NameExpr &>(e));
    case ExprKind::Member:
        return member(static_cast<const MemberExpr &>(e));
    case ExprKind::Call:
        return callExpr(static_cast<const CallExpr &>(e));
    case ExprKind::Me:
    case ExprKind::Self:
    case ExprKind::Super:
        ins("movl " + at(receiverOffset(&e)) + ", %eax");
        return {e.type, 0};
    case ExprKind::New:
        return newObject(static_cast<const NewExpr &>(e));
    case ExprKind::Unary:
        return unary(static_cast<const UnaryExpr &>(e));
    case ExprKind::Binary:
        return binary(static_cast<const BinaryExpr &>(e));
    case ExprKind::CType: {
        Value v = expr(*static_cast<const CTypeExpr &>(e).value);
        convert(v, e.type, true);
        return v;
    }
    case ExprKind::Convert: {
        const Expr &value = *static_cast<const ConvertExpr &>(e).value;
        // A decimal literal written for a Currency is the amount it spells.
        ConstValue amount;
        if (e.type->kind == TypeKind::Currency && decimalLiteral(value, &amount)) {
            constant(amount, e.type);
            return {e.type, 0};
        }
        Value v = expr(value);
        convert(v, e.type, false);
        return v;
    }
    case ExprKind::Error:
        break;
    }
    module_.error(e.pos, "internal error: an expression without code");
    return {e.type, 0};
}

// Evaluates for the side effects only.
void MethodGen::discard(const Expr &e) {
    Value v = expr(e);
    Repr repr = reprOf(v.type);
    if (repr == Repr::F32 || repr == Repr::F64) ins("fstp %st(0)");
    release(v);
}

void MethodGen::condition(const Expr &e, const std::string &ifFalse) {
    // A comparison of 32-bit values with a variable: compare and branch.
    if (e.kind == ExprKind::Binary) {
        auto &b = static_cast<const BinaryExpr &>(e);
        std::string operand;
        if (b.op >= Op::Eq && b.op <= Op::Ge && reprOf(b.operandType) == Repr::I32 &&
            countedOf(b.operandType) == Counted::None &&
            directOperand(*b.rhs, b.operandType, &operand)) {
            static const char *const signedFalse[] = {"jne ", "je ", "jge ", "jle ", "jg ", "jl "};
            static const char *const unsignedFalse[] = {"jne ", "je ", "jae ",
                                                        "jbe ", "ja ", "jb "};
            int index = static_cast<int>(b.op) - static_cast<int>(Op::Eq);
            expr(*b.lhs);
            ins("cmpl " + operand + ", %eax");
            ins((isSigned(b.operandType) ? signedFalse : unsignedFalse)[index] + ifFalse);
            return;
        }
    }
    expr(e);
    ins("testl %eax, %eax");
    ins("jz " + ifFalse);
}

Value MethodGen::literal(const LiteralExpr &e) {
    ConstValue c;
    switch (e.lit) {
    case LiteralKind::Integer:
    case LiteralKind::Color:
    case LiteralKind::Boolean:
        c.kind = ConstValue::Kind::Integer, c.integer = static_cast<int64_t>(e.intValue);
        break;
    case LiteralKind::Float:
        c.kind = ConstValue::Kind::Real, c.real = e.realValue;
        break;
    case LiteralKind::String:
        c.kind = ConstValue::Kind::String, c.text = e.text;
        break;
    case LiteralKind::Nil:
        c.kind = ConstValue::Kind::Nil;
        break;
    }
    constant(c, e.type);
    return {e.type, 0};
}

Value MethodGen::variable(const Variable *v) {
    Place p = placeOf(v);
    loadPlace(p);
    return {v->type, 0};
}

Value MethodGen::name(const NameExpr &e) {
    switch (e.ref) {
    case Ref::Local:
        return variable(static_cast<const Variable *>(e.symbol));
    case Ref::Field: {
        auto *f = static_cast<const FieldInfo *>(e.symbol);
        ins("movl " + at(receiverOffset()) + ", %ecx");
        load(reprOf(f->type), f->type, std::to_string(f->offset) + "(%ecx)",
             std::to_string(f->offset + 4) + "(%ecx)");
        return {f->type, 0};
    }
    case Ref::SharedField: {
        auto *f = static_cast<const FieldInfo *>(e.symbol);
        std::string label = module_.sharedField(f);
        load(reprOf(f->type), f->type, label, label + "+4");
        return {f->type, 0};
    }
    case Ref::Property: {
        auto *p = static_cast<const PropertyInfo *>(e.symbol);
        if (p->shared) return property(nullptr, p);
        ins("movl " + at(receiverOffset()) + ", %eax");
        Value self{module_.program().types.error(), 0};
        return property(&self, p);
    }
    case Ref::Constant: {
        auto *c = static_cast<const ConstInfo *>(e.symbol);
        constant(c->value, c->type);
        return {e.type, 0};
    }
    case Ref::App: {
        auto *app = static_cast<const IntrinsicInfo *>(e.symbol);
        call(app->overloads.front().entry, e.pos);
        return result(e.type);
    }
    case Ref::Control:
        ins("movl " + at(receiverOffset()) + ", %eax");
        return control(Value{e.type, 0}, static_cast<const ControlInfo *>(e.symbol), e.pos);
    case Ref::ImplicitWindow:
        callSymbol(module_.implicitWindow(static_cast<const ClassInfo *>(e.symbol)));
        return result(e.type);
    default:
        break;
    }
    module_.error(e.pos, "'" + e.name + "' cannot be compiled");
    return {e.type, 0};
}

// The control of that name of the window in eax (a new reference; Nil when
// the window has no such control).
Value MethodGen::control(Value window, const ControlInfo *c, SourcePos pos) {
    arg(0);
    ins("movl $" + module_.out().stringRecord(c->name) + ", %eax");
    arg(4);
    call("RuntimeControlReference", pos);
    Value v = result(c->cls->type);
    if (window.owned) {
        release(window);
        ins("movl " + at(v.owned) + ", %eax");
    }
    return v;
}

// Evaluates the object of a member access, with the nil check.
Value MethodGen::object(const Expr &e, bool *staticAccess) {
    *staticAccess = false;
    if (e.kind == ExprKind::Name) {
        Ref ref = static_cast<const NameExpr &>(e).ref;
        if (ref == Ref::Class || ref == Ref::Module) {
            *staticAccess = true;
            return {e.type, 0};
        }
    }
    Value v = expr(e);
    if (e.kind != ExprKind::Me && e.kind != ExprKind::Self && e.kind != ExprKind::Super) nilCheck();
    return v;
}

Value MethodGen::fieldOf(Value obj, const FieldInfo *f) {
    Repr repr = reprOf(f->type);
    ins("movl %eax, %ecx");
    load(repr, f->type, std::to_string(f->offset) + "(%ecx)",
         std::to_string(f->offset + 4) + "(%ecx)");
    Value v{f->type, 0};
    if (!obj.owned) return v;
    // The object goes away: the value must not depend on it.
    own(v);
    releaseKeeping(obj, v);
    return v;
}

// getter(object, parameter), or getter(parameter) for a shared property.
Value MethodGen::property(const Value *obj, const PropertyInfo *p) {
    uint32_t next = 0;
    if (obj) {
        arg(0);
        next = 4;
    }
    raw(loadImmediate(p->param, "%eax"));
    arg(next);
    call(p->getter);
    Value v = result(p->type);
    if (obj) {
        Value o = *obj;
        releaseKeeping(o, v);
    }
    return v;
}

Value MethodGen::member(const MemberExpr &e) {
    bool isStatic;
    switch (e.ref) {
    case Ref::SharedField: {
        auto *f = static_cast<const FieldInfo *>(e.symbol);
        std::string label = module_.sharedField(f);
        load(reprOf(f->type), f->type, label, label + "+4");
        return {f->type, 0};
    }
    case Ref::Constant: {
        auto *c = static_cast<const ConstInfo *>(e.symbol);
        constant(c->value, c->type);
        return {e.type, 0};
    }
    case Ref::Field: {
        Value obj = object(*e.object, &isStatic);
        return fieldOf(obj, static_cast<const FieldInfo *>(e.symbol));
    }
    case Ref::Property: {
        auto *p = static_cast<const PropertyInfo *>(e.symbol);
        if (p->shared) return property(nullptr, p);
        Value obj = object(*e.object, &isStatic);
        return property(&obj, p);
    }
    case Ref::Control: {
        Value obj = object(*e.object, &isStatic);
        return control(obj, static_cast<const ControlInfo *>(e.symbol), e.memberPos);
    }
    default:
        break;
    }
    module_.error(e.pos, "'" + e.member + "' cannot be compiled");
    return {e.type, 0};
}

Value MethodGen::newObject(const NewExpr &e) {
    ins("movl " + module_.classPointer(e.type->cls) + ", %eax");
    arg(0);
    call("RuntimeNewObject", e.pos);
    Value obj = result(e.type);
    if (e.constructor) {
        auto *ctor = static_cast<const MethodInfo *>(e.constructor);
        std::vector<Argument> args;
        Argument self;
        self.type = e.type;
        self.spilled = obj.owned;
        self.keepSlot = true; // the new object is the result
        args.push_back(self);
        for (size_t i = 0; i < ctor->sig.params.size(); ++i) {
            Argument a;
            a.type = ctor->sig.params[i].type;
            a.byRef = ctor->sig.params[i].byRef;
            if (i < e.args.size()) {
                a.expr = e.args[i].get();
            } else {
                a.value = &ctor->sig.params[i].defaultValue;
            }
            args.push_back(a);
        }
        passArguments(args, 0);
        callSymbol(module_.symbolOf(ctor));
        releaseArguments(args);
        ins("movl " + at(obj.owned) + ", %eax");
    }
    if (module_.isWindow(e.type->cls)) {
        module_.constructWindow(*this, obj.owned);
        ins("movl " + at(obj.owned) + ", %eax");
    }
    return obj;
}

// ---- operators ----------------------------------------------------------

Value MethodGen::unary(const UnaryExpr &e) {
    Value v = expr(*e.operand);
    const Type *t = e.type;
    if (e.op == Op::Plus) return v;
    if (t->kind == TypeKind::Variant) {
        arg(0);
        call(e.op == Op::Not ? "VariantNot" : "VariantNegate", e.pos);
        Value r = result(t);
        release(v);
        ins("movl " + at(r.owned) + ", %eax");
        return r;
    }
    Repr repr = reprOf(t);
    if (e.op == Op::Not) {
        if (t->kind == TypeKind::Boolean) {
            ins("xorl $1, %eax");
        } else {
            ins("notl %eax");
            if (repr == Repr::I64) ins("notl %edx");
        }
        return {t, 0};
    }
    switch (repr) {
    case Repr::I32:
        ins("negl %eax");
        break;
    case Repr::I64:
        ins("negl %eax");
        ins("adcl $0, %edx");
        ins("negl %edx");
        break;
    default:
        ins("fchs");
        break;
    }
    return {t, 0};
}

// The memory operand of a right-hand side that needs no code of its own: a
// local variable or a floating point constant of the operand's type. The
// operator then works on it directly instead of spilling the left side.
bool MethodGen::directOperand(const Expr &e, const Type *t, std::string *operand) {
    const Expr *x = &e;
    while (x->kind == ExprKind::Convert &&
           static_cast<const ConvertExpr *>(x)->value->type == x->type) {
        x = static_cast<const ConvertExpr *>(x)->value.get();
    }
    if (x->type != t) return false;
    Repr repr = reprOf(t);
    if (x->kind == ExprKind::Name && static_cast<const NameExpr *>(x)->ref == Ref::Local) {
        auto *v = static_cast<const Variable *>(static_cast<const NameExpr *>(x)->symbol);
        if (v->byRef || (repr != Repr::I32 && repr != Repr::F32 && repr != Repr::F64)) return false;
        if (repr == Repr::I32 && integerBits(t) != 32 && t->kind != TypeKind::Color) return false;
        *operand = at(v->frameOffset);
        return true;
    }
    if (x->kind == ExprKind::Literal && repr == Repr::F64) {
        *operand = module_.out().doubleConstant(static_cast<const LiteralExpr *>(x)->realValue);
        return true;
    }
    return false;
}

Value MethodGen::binary(const BinaryExpr &e) {
    const Type *t = e.operandType;
    if (e.op >= Op::Eq && e.op <= Op::IsA) return compare(e);
    if (t->kind == TypeKind::String) { // a + b
        Value l = expr(*e.lhs);
        int32_t left = spill(l);
        Value r = expr(*e.rhs);
        arg(4);
        ins("movl " + at(left) + ", %eax");
        arg(0);
        call("RuntimeAddString", e.pos);
        Value sum = result(e.type);
        release(r);
        if (l.owned) {
            release(l);
        } else {
            freeTemp(left);
        }
        ins("movl " + at(sum.owned) + ", %eax");
        return sum;
    }
    if (t->kind == TypeKind::Variant) {
        static const char *const names[] = {
            "VariantAdd",           "VariantSubtract", "VariantMultiply", "VariantDivide",
            "VariantIntegerDivide", "VariantModulo",   "VariantPower"};
        const char *entry = e.op <= Op::Pow   ? names[static_cast<int>(e.op)]
                            : e.op == Op::And ? "VariantAnd"
                                              : "VariantOr";
        Value l = expr(*e.lhs);
        int32_t left = spill(l);
        Value r = expr(*e.rhs);
        arg(4);
        ins("movl " + at(left) + ", %eax");
        arg(0);
        call(entry, e.pos);
        Value out = result(e.type);
        release(r);
        if (l.owned) {
            release(l);
        } else {
            freeTemp(left);
        }
        ins("movl " + at(out.owned) + ", %eax");
        return out;
    }
    Repr repr = reprOf(t);
    if (repr == Repr::F32 || repr == Repr::F64) return floating(e);
    if (repr == Repr::I64) return arithmetic64(e);
    std::string operand;
    if (directOperand(*e.rhs, t, &operand)) {
        expr(*e.lhs);
        const char *op = e.op == Op::Add   ? "addl "
                         : e.op == Op::Sub ? "subl "
                         : e.op == Op::Mul ? "imull "
                         : e.op == Op::And ? "andl "
                         : e.op == Op::Or  ? "orl "
                         : e.op == Op::Xor ? "xorl "
                                           : nullptr;
        if (op) {
            ins(op + operand + ", %eax");
            return {e.type, 0};
        }
        ins("movl " + operand + ", %ecx");
    } else {
        Value l = expr(*e.lhs);
        int32_t left = spill(l);
        expr(*e.rhs);
        ins("movl %eax, %ecx");
        ins("movl " + at(left) + ", %eax");
        freeTemp(left);
    }
    bool sign = isSigned(t);
    switch (e.op) {
    case Op::Add:
        ins("addl %ecx, %eax");
        break;
    case Op::Sub:
        ins("subl %ecx, %eax");
        break;
    case Op::Mul:
        ins("imull %ecx, %eax");
        break;
    case Op::And:
        ins("andl %ecx, %eax");
        break;
    case Op::Or:
        ins("orl %ecx, %eax");
        break;
    case Op::Xor:
        ins("xorl %ecx, %eax");
        break;
    case Op::IntDiv:
    case Op::Mod: {
        divisorCheck("%ecx");
        if (!sign) {
            ins("xorl %edx, %edx");
            ins("divl %ecx");
            if (e.op == Op::Mod) ins("movl %edx, %eax");
            break;
        }
        // The most negative number divided by -1 wraps instead of trapping.
        std::string divide = label(), done = label();
        ins("cmpl $-1, %ecx");
        ins("jne " + divide);
        ins(e.op == Op::IntDiv ? "negl %eax" : "xorl %eax, %eax");
        ins("jmp " + done);
        place(divide);
        ins("cltd");
        ins("idivl %ecx");
        if (e.op == Op::Mod) ins("movl %edx, %eax");
        place(done);
        break;
    }
    default:
        break;
    }
    return {e.type, 0};
}

Value MethodGen::arithmetic64(const BinaryExpr &e) {
    const Type *t = e.operandType;
    Value l = expr(*e.lhs);
    int32_t left = spill(l);
    Value r = expr(*e.rhs);
    int32_t right = spill(r);
    std::string lo = at(left), hi = at(left + 4), rlo = at(right), rhi = at(right + 4);
    bool currency = t->kind == TypeKind::Currency;
    auto runtime2 = [&](const char *entry) {
        ins("movl " + lo + ", %eax");
        arg(0);
        ins("movl " + hi + ", %eax");
        arg(4);
        ins("movl " + rlo + ", %eax");
        arg(8);
        ins("movl " + rhi + ", %eax");
        arg(12);
        call(entry, e.pos);
    };
    switch (e.op) {
    case Op::Add:
        ins("movl " + lo + ", %eax");
        ins("movl " + hi + ", %edx");
        ins("addl " + rlo + ", %eax");
        ins("adcl " + rhi + ", %edx");
        break;
    case Op::Sub:
        ins("movl " + lo + ", %eax");
        ins("movl " + hi + ", %edx");
        ins("subl " + rlo + ", %eax");
        ins("sbbl " + rhi + ", %edx");
        break;
    case Op::And:
    case Op::Or:
    case Op::Xor: {
        const char *op = e.op == Op::And ? "andl " : e.op == Op::Or ? "orl " : "xorl ";
        ins("movl " + lo + ", %eax");
        ins("movl " + hi + ", %edx");
        ins(op + rlo + ", %eax");
        ins(op + rhi + ", %edx");
        break;
    }
    case Op::Mul:
        if (currency) {
            runtime2("RuntimeMulCurrency");
        } else { // the low 64 bits of the product, the same signed or not
            ins("movl " + hi + ", %eax");
            ins("imull " + rlo + ", %eax");
            ins("movl " + rhi + ", %ecx");
            ins("imull " + lo + ", %ecx");
            ins("addl %eax, %ecx");
            ins("movl " + lo + ", %eax");
            ins("mull " + rlo);
            ins("addl %ecx, %edx");
        }
        break;
    case Op::Div:
        runtime2("RuntimeDivCurrency");
        break;
    case Op::IntDiv:
        runtime2(t->kind == TypeKind::UInt64 ? "RuntimeDivUInt64" : "RuntimeDivSInt64");
        break;
    case Op::Mod:
        runtime2(t->kind == TypeKind::UInt64 ? "RuntimeModUInt64" : "RuntimeModSInt64");
        break;
    default:
        break;
    }
    freeTemp(right);
    freeTemp(left);
    return {e.type, 0};
}

// Floating point arithmetic. st(0) only ever holds values already rounded
// to their type, so that a value used at once inside a larger expression is
// the value it would be when stored and loaded again.
//
// Doubles are computed by the SSE2 scalar instructions: each result is
// rounded once to a 53-bit significand within a Double's exponent range, as
// IEEE 754 double arithmetic prescribes. The x87 unit would round to its
// 64-bit significand with a 15-bit exponent first: rounding that again to a
// Double gives a wrong result now and then (1 + (2^-53 + 2^-105) becomes a
// tie and goes to 1), and a product beyond the Double range stays finite.
// Narrowing its precision control to 53 bits would still keep the wide
// exponent, and would change the x87 code of the runtime and of libm too.
// Loading a Double into st(0) and storing it back is exact, so st(0) stays
// the carrier of Doubles that the calling convention wants.
//
// Singles are computed on the x87 stack: its 64-bit significand is wide
// enough that rounding its result to a Single gives the correctly rounded
// Single.
Value MethodGen::floating(const BinaryExpr &e) {
    std::string operand;
    bool direct = directOperand(*e.rhs, e.operandType, &operand);
    int32_t left = 0, right = 0;
    if (e.op != Op::Pow && direct) {
        expr(*e.lhs);
    } else {
        Value l = expr(*e.lhs);
        left = spill(l); // as a Double
        expr(*e.rhs);
    }
    if (e.op == Op::Pow) {
        useArgs(16);
        ins("fstpl 8(%esp)");
        ins("fldl " + at(left));
        ins("fstpl (%esp)");
        callSymbol(module_.out().libraryFunction("pow", "libm.so.6"));
        freeTemp(left);
        roundTo(e.type);
        return {e.type, 0};
    }
    if (reprOf(e.operandType) == Repr::F64) {
        if (direct) {
            left = temp(Repr::F64);
            ins("fstpl " + at(left));
        } else {
            right = temp(Repr::F64);
            ins("fstpl " + at(right));
            operand = at(right);
        }
        const char *op = e.op == Op::Add   ? "addsd "
                         : e.op == Op::Sub ? "subsd "
                         : e.op == Op::Mul ? "mulsd "
                                           : "divsd ";
        ins("movsd " + at(left) + ", %xmm0");
        ins(op + operand + ", %xmm0");
        ins("movsd %xmm0, " + at(left));
        ins("fldl " + at(left));
        if (right) freeTemp(right);
        freeTemp(left);
        return {e.type, 0};
    }
    const char *op = e.op == Op::Add   ? "fadd"
                     : e.op == Op::Sub ? "fsub"
                     : e.op == Op::Mul ? "fmul"
                                       : "fdiv";
    if (direct) {
        // A Single local is read at its own width, a constant as a Double.
        char size = operand.find("(%ebp)") != std::string::npos ? 's' : 'l';
        ins(std::string(op) + size + " " + operand);
    } else {
        // st(0) is the right operand: the reversed forms take the left one
        // from memory.
        bool reversed = e.op == Op::Sub || e.op == Op::Div;
        ins(std::string(op) + (reversed ? "rl " : "l ") + at(left));
        freeTemp(left);
    }
    roundTo(e.type);
    return {e.type, 0};
}

// Rounds st(0) to a Single or a Double, for values that may come with more
// precision: results of x87 arithmetic and of the functions of the runtime
// and of libm, which hand them back in st(0) as the x87 computed them.
void MethodGen::roundTo(const Type *t) {
    Repr repr = reprOf(t);
    if (repr != Repr::F32 && repr != Repr::F64) return;
    int32_t round = temp(repr);
    const char *suffix = repr == Repr::F32 ? "s " : "l ";
    ins(std::string("fstp") + suffix + at(round));
    ins(std::string("fld") + suffix + at(round));
    freeTemp(round);
}

Value MethodGen::compare(const BinaryExpr &e) {
    const Type *boolean = module_.program().types.get(TypeKind::Boolean);
    const Type *t = e.operandType;
    if (e.op != Op::IsA) {
        return compareWith(
            e.op, t, [&] { return expr(*e.lhs); }, [&] { return expr(*e.rhs); }, e.pos);
    }
    {
        Value obj = expr(*e.lhs);
        arg(0);
        ins("movl " + module_.classPointer(t->cls) + ", %eax");
        arg(4);
        call("RuntimeObjectIsa", e.pos);
        Value r = result(boolean);
        releaseKeeping(obj, r);
        return r;
    }
}

// left <op> right in the operand type; a Boolean in eax.
Value MethodGen::compareWith(Op op, const Type *t, const std::function<Value()> &leftValue,
                             const std::function<Value()> &rightValue, SourcePos pos) {
    const Type *boolean = module_.program().types.get(TypeKind::Boolean);
    Repr repr = reprOf(t);
    const char *signedCodes[] = {"e", "ne", "l", "g", "le", "ge"};
    const char *unsignedCodes[] = {"e", "ne", "b", "a", "be", "ae"};
    int index = static_cast<int>(op) - static_cast<int>(Op::Eq);
    Value l = leftValue();
    int32_t left = spill(l);
    Value r = rightValue();
    if (t->kind == TypeKind::String || t->kind == TypeKind::Variant) {
        arg(4);
        ins("movl " + at(left) + ", %eax");
        arg(0);
        call(t->kind == TypeKind::String ? "RuntimeStringCompare" : "VariantCompare", pos);
        int32_t order = temp(Repr::I32);
        ins("movl %eax, " + at(order));
        release(r);
        if (l.owned) {
            release(l);
        } else {
            freeTemp(left);
        }
        ins("cmpl $0, " + at(order));
        freeTemp(order);
        ins(std::string("set") + signedCodes[index] + " %al");
        ins("movzbl %al, %eax");
        return {boolean, 0};
    }
    if (repr == Repr::F32 || repr == Repr::F64) {
        // Comparisons with NaN are false (<> true): "above" is false when
        // unordered, so < and <= compare the other way round.
        ins("fldl " + at(left)); // st0 = left, st1 = right
        freeTemp(left);
        bool swap = op == Op::Lt || op == Op::Le;
        if (swap) ins("fxch %st(1)");
        ins("fucomip %st(1), %st");
        ins("fstp %st(0)");
        switch (op) {
        case Op::Eq:
            ins("sete %al");
            ins("setnp %cl");
            ins("andb %cl, %al");
            break;
        case Op::Ne:
            ins("setne %al");
            ins("setp %cl");
            ins("orb %cl, %al");
            break;
        case Op::Gt:
        case Op::Lt:
            ins("seta %al");
            break;
        default:
            ins("setae %al");
            break;
        }
        ins("movzbl %al, %eax");
        return {boolean, 0};
    }
    bool sign = isSigned(t);
    if (repr == Repr::I64) {
        // High words decide unless they are equal; then the low words, unsigned.
        std::string low = label(), done = label();
        ins("cmpl %edx, " + at(left + 4));
        ins("jne " + low);
        ins("cmpl %eax, " + at(left));
        ins(std::string("set") + unsignedCodes[index] + " %al");
        ins("jmp " + done);
        place(low);
        ins(std::string("set") + (sign ? signedCodes : unsignedCodes)[index] + " %al");
        place(done);
        ins("movzbl %al, %eax");
        freeTemp(left);
        return {boolean, 0};
    }
    ins("cmpl %eax, " + at(left)); // left - right
    ins(std::string("set") + (sign ? signedCodes : unsignedCodes)[index] + " %al");
    ins("movzbl %al, %eax");
    if (!l.owned) freeTemp(left);
    if (r.owned || l.owned) {
        int32_t keep = spill(Value{boolean, 0});
        release(r);
        release(l);
        reload(keep, Repr::I32);
        freeTemp(keep);
    }
    return {boolean, 0};
}

} // namespace kqc
