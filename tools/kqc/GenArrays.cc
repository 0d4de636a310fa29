// Code generation for arrays: creation, elements read and written through
// the array's operations table (slot 0 checked get, 1 checked set), and the
// array methods (Ubound, Append, Insert, Remove, Sort, IndexOf, Shuffle,
// Redim), each one slot of the table.
#include "CodegenImpl.h"

namespace kqc {
namespace {

// The element type code CreateArray takes for an element type.
int elementCode(const Type *t) {
    switch (t->kind) {
    case TypeKind::Single:
        return 1;
    case TypeKind::Double:
        return 2;
    case TypeKind::String:
        return 3;
    case TypeKind::Object:
    case TypeKind::Variant:
        return 4;
    case TypeKind::Int8:
        return 5;
    case TypeKind::UInt8:
    case TypeKind::Boolean:
        return 6;
    case TypeKind::Int16:
        return 7;
    case TypeKind::UInt16:
        return 8;
    case TypeKind::UInt32:
    case TypeKind::Color:
    case TypeKind::Ptr:
        return 9;
    case TypeKind::Int64:
    case TypeKind::Currency:
        return 10;
    case TypeKind::UInt64:
        return 11;
    default:
        return 0;
    }
}

enum Slot {
    kGet = 0,
    kSet = 1,
    kResize = 4,
    kInsert = 5,
    kRemove = 6,
    kSort = 7,
    kIndexOf = 9,
    kShuffle = 10
};

} // namespace

// CreateArray(dimensions, element code, upper bounds...); `Dim a()` has the
// upper bound -1.
Value MethodGen::createArray(const Type *t, const ExprList &bounds) {
    std::vector<Argument> args;
    const Type *integer = module_.program().types.get(TypeKind::Int32);
    ConstValue dims, code, empty;
    dims.kind = code.kind = empty.kind = ConstValue::Kind::Integer;
    dims.integer = t->dims;
    code.integer = elementCode(t->element);
    empty.integer = -1;
    for (const ConstValue *c : {&dims, &code}) {
        Argument a;
        a.value = c;
        a.type = integer;
        args.push_back(a);
    }
    for (const ExprPtr &b : bounds) {
        Argument a;
        a.expr = b.get();
        a.type = integer;
        args.push_back(a);
    }
    if (bounds.empty()) {
        Argument a;
        a.value = &empty;
        a.type = integer;
        args.push_back(a);
    }
    passArguments(args, 0);
    call("CreateArray");
    return finishCall(args, t);
}

// Calls slot `slot` of the array's table with the array and `rest`.
Value MethodGen::arraySlot(const Expr &array, int slot, std::vector<Argument> rest,
                           const Type *resultType) {
    std::vector<Argument> args;
    Argument a;
    a.type = array.type;
    a.computed = expr(array);
    nilCheck();
    a.spilled = spill(a.computed);
    args.push_back(a);
    for (Argument &r : rest)
        args.push_back(r);
    passArguments(args, 0);
    ins("movl (%esp), %eax");
    ins("movl 4(%eax), %eax"); // the operations table
    ins("call *" + std::to_string(4 * slot) + "(%eax)");
    return finishCall(args, resultType);
}

Value MethodGen::indexArray(const CallExpr &c) {
    std::vector<Argument> indexes;
    for (const ExprPtr &i : c.args) {
        Argument a;
        a.expr = i.get();
        a.type = i->type;
        indexes.push_back(a);
    }
    return arraySlot(*c.callee, kGet, indexes, c.type);
}

void MethodGen::arrayElementStore(const CallExpr &target, const Expr &value) {
    std::vector<Argument> rest;
    Argument v;
    v.expr = &value;
    v.type = target.type;
    rest.push_back(v);
    for (const ExprPtr &i : target.args) {
        Argument a;
        a.expr = i.get();
        a.type = i->type;
        rest.push_back(a);
    }
    arraySlot(*target.callee, kSet, rest, module_.program().types.get(TypeKind::Void));
}

Value MethodGen::arrayMethod(const CallExpr &c) {
    const Expr &array = *static_cast<const MemberExpr &>(*c.callee).object;
    const Type *integer = module_.program().types.get(TypeKind::Int32);
    const Type *none = module_.program().types.get(TypeKind::Void);
    std::vector<Argument> rest;
    for (const ExprPtr &e : c.args) {
        Argument a;
        a.expr = e.get();
        a.type = e->type;
        rest.push_back(a);
    }
    static const ConstValue first{ConstValue::Kind::Integer, 1, 0, {}};
    static const ConstValue start{ConstValue::Kind::Integer, 0, 0, {}};
    switch (c.arrayOp) {
    case ArrayOp::Ubound: {
        std::vector<const Expr *> args{&array};
        Signature sig;
        sig.result = integer;
        ParamInfo p;
        p.type = array.type;
        sig.params.push_back(p);
        p.type = integer;
        p.optional = true;
        p.defaultValue = first;
        sig.params.push_back(p);
        if (!c.args.empty()) args.push_back(c.args[0].get());
        return callRuntime("RuntimeUBound2Param", sig, args, nullptr, c.pos);
    }
    case ArrayOp::Append: {
        // Insert after the last element: the upper bound is asked first.
        Value a = expr(array);
        nilCheck();
        int32_t arraySlot_ = spill(a);
        Value v = expr(*c.args[0]);
        own(v);
        int32_t value = spill(v);
        ins("movl " + at(arraySlot_) + ", %eax");
        arg(0);
        raw(loadImmediate(1, "%eax"));
        arg(4);
        call("RuntimeUBound2Param", c.pos);
        ins("incl %eax");
        arg(4);
        ins("movl " + at(arraySlot_) + ", %eax");
        arg(0);
        Repr repr = reprOf(v.type);
        reload(value, repr);
        if (repr == Repr::F32) {
            useArgs(12);
            ins("fstps 8(%esp)");
        } else if (repr == Repr::F64) {
            useArgs(16);
            ins("fstpl 8(%esp)");
        } else {
            arg(8);
            if (repr == Repr::I64) arg(12, "%edx");
        }
        ins("movl 4(%esp), %ecx");
        ins("movl (%esp), %eax");
        ins("movl 4(%eax), %eax");
        ins("call *" + std::to_string(4 * kInsert) + "(%eax)");
        if (v.owned) {
            release(v);
        } else {
            freeTemp(value);
        }
        if (a.owned) {
            release(a);
        } else {
            freeTemp(arraySlot_);
        }
        return {none, 0};
    }
    case ArrayOp::Insert:
        return arraySlot(array, kInsert, rest, none);
    case ArrayOp::Remove:
        return arraySlot(array, kRemove, rest, none);
    case ArrayOp::Sort:
        return arraySlot(array, kSort, rest, none);
    case ArrayOp::Shuffle:
        return arraySlot(array, kShuffle, rest, none);
    case ArrayOp::Redim:
        return arraySlot(array, kResize, rest, none);
    case ArrayOp::IndexOf:
        if (rest.size() < 2) {
            Argument a;
            a.value = &start;
            a.type = integer;
            rest.push_back(a);
        }
        return arraySlot(array, kIndexOf, rest, integer);
    default:
        break;
    }
    return {none, 0};
}

// obj.Name(args) = value: the assigning form of a runtime member.
void MethodGen::assignForm(const CallExpr &target, const Expr &value) {
    auto *m = static_cast<const MethodInfo *>(target.symbol);
    std::vector<const Expr *> args;
    for (const ExprPtr &a : target.args)
        args.push_back(a.get());
    args.push_back(&value);
    const Expr *receiver = nullptr;
    if (!m->shared) {
        receiver = target.callee->kind == ExprKind::Member
                       ? static_cast<const MemberExpr &>(*target.callee).object.get()
                       : &self_;
    }
    callRuntime(m->entry, m->sig, args, receiver, target.pos);
}

} // namespace kqc
