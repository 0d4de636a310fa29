// Code generation of stores: variables, fields, shared fields, runtime
// properties, array elements and assigning forms of runtime members. A
// counted value is stored by locking the new value and then unlocking the
// old one; a value that already carries its own reference hands it over.
#include "CodegenImpl.h"

namespace kqc {

Place MethodGen::placeOf(const Variable *v) {
    Place p;
    p.type = v->type;
    if (v->byRef) {
        p.baseSlot = v->frameOffset; // the slot holds the variable's address
    } else {
        p.frame = true;
        p.disp = v->frameOffset;
    }
    return p;
}

Place MethodGen::placeOfField(const FieldInfo *f, int32_t objectSlot) {
    Place p;
    p.type = f->type;
    if (f->shared) {
        p.label = module_.sharedField(f);
    } else {
        p.baseSlot = objectSlot;
        p.disp = static_cast<int32_t>(f->offset);
    }
    return p;
}

// The operand text of a place; loads the base pointer into ecx first.
std::string MethodGen::addressOf(const Place &p, int32_t extra) {
    if (!p.label.empty())
        return p.label + (p.disp + extra ? "+" + std::to_string(p.disp + extra) : "");
    if (p.frame) return at(p.disp + extra);
    return std::to_string(p.disp + extra) + "(%ecx)";
}

void MethodGen::loadPlace(const Place &p) {
    if (p.baseSlot) ins("movl " + at(p.baseSlot) + ", %ecx");
    load(reprOf(p.type), p.type, addressOf(p), addressOf(p, 4));
}

// Stores the value (in the accumulator, or in its owned temporary).
void MethodGen::store(const Place &p, Value v) {
    Counted counted = countedOf(p.type);
    if (counted == Counted::None) {
        if (p.baseSlot) ins("movl " + at(p.baseSlot) + ", %ecx");
        storeAcc(reprOf(p.type), p.type, addressOf(p), addressOf(p, 4));
        return;
    }
    if (v.owned) { // the place takes the reference over; the old value goes
        if (p.baseSlot) ins("movl " + at(p.baseSlot) + ", %ecx");
        ins("movl " + addressOf(p) + ", %edx");
        ins("movl " + at(v.owned) + ", %eax");
        ins("movl %eax, " + addressOf(p));
        ins("movl %edx, %eax");
        arg(0);
        keepOwned(v);
        call(unlockEntry(counted));
        return;
    }
    int32_t value = temp(Repr::I32);
    ins("movl %eax, " + at(value));
    arg(0);
    if (p.baseSlot) ins("movl " + at(p.baseSlot) + ", %ecx");
    ins("movl " + addressOf(p) + ", %eax");
    arg(4);
    call(lockUnlockEntry(counted));
    if (p.baseSlot) ins("movl " + at(p.baseSlot) + ", %ecx");
    ins("movl " + at(value) + ", %eax");
    ins("movl %eax, " + addressOf(p));
    freeTemp(value);
}

void MethodGen::storeVariable(const Variable *v, Value value) {
    store(placeOf(v), value);
}

// A variable starts again empty: 0, Nil, the empty string.
void MethodGen::zeroVariable(const Variable *v) {
    Place p = placeOf(v);
    Repr repr = reprOf(v->type);
    if (countedOf(v->type) != Counted::None) {
        ins("xorl %eax, %eax");
        store(p, Value{v->type, 0});
    } else if (repr == Repr::F32 || repr == Repr::F64) {
        ins("fldz");
        store(p, Value{v->type, 0});
    } else {
        ins("xorl %eax, %eax");
        ins("xorl %edx, %edx");
        store(p, Value{v->type, 0});
    }
}

// setter(object, parameter, value), or setter(parameter, value) for a
// shared property; the setter takes its own reference to a counted value.
void MethodGen::setProperty(const Value *object, int32_t objectSlot, const PropertyInfo *p,
                            Value v) {
    Repr repr = reprOf(p->type);
    uint32_t next = 0;
    int32_t value = spill(v);
    if (object) {
        ins("movl " + at(objectSlot) + ", %eax");
        arg(0);
        next = 4;
    }
    raw(loadImmediate(p->param, "%eax"));
    arg(next);
    reload(value, repr);
    if (repr == Repr::F32) {
        useArgs(next + 8);
        ins("fstps " + std::to_string(next + 4) + "(%esp)");
    } else if (repr == Repr::F64) {
        useArgs(next + 12);
        ins("fstpl " + std::to_string(next + 4) + "(%esp)");
    } else {
        arg(next + 4);
        if (repr == Repr::I64) arg(next + 8, "%edx");
    }
    call(p->setter);
    if (v.owned) {
        release(v);
    } else {
        freeTemp(value);
    }
    if (object && object->owned) {
        Value o = *object;
        release(o);
    }
}

// The object of a member assignment, evaluated after the value: its slot
// (its counted temporary, or a temporary the caller frees when the object is
// not counted); a value that is not counted is back in the accumulator.
int32_t MethodGen::assignmentObject(const Expr &objectExpr, const Value &v, Value *obj) {
    int32_t value = spill(v);
    bool isStatic;
    *obj = object(objectExpr, &isStatic);
    int32_t base = obj->owned ? obj->owned : temp(Repr::I32);
    if (!obj->owned) ins("movl %eax, " + at(base));
    if (!v.owned) {
        reload(value, reprOf(v.type));
        freeTemp(value);
    }
    return base;
}

void MethodGen::assign(const Expr &target, const Expr &valueExpr) {
    if (target.kind == ExprKind::Call) {
        auto &c = static_cast<const CallExpr &>(target);
        if (c.ref == Ref::Index) {
            arrayElementStore(c, valueExpr);
        } else {
            assignForm(c, valueExpr);
        }
        return;
    }
    Ref ref = target.kind == ExprKind::Name ? static_cast<const NameExpr &>(target).ref
                                            : static_cast<const MemberExpr &>(target).ref;
    const Symbol *symbol = target.kind == ExprKind::Name
                               ? static_cast<const NameExpr &>(target).symbol
                               : static_cast<const MemberExpr &>(target).symbol;
    const Expr *objectExpr = target.kind == ExprKind::Member
                                 ? static_cast<const MemberExpr &>(target).object.get()
                                 : nullptr;
    Value v = expr(valueExpr);
    switch (ref) {
    case Ref::Local:
        storeVariable(static_cast<const Variable *>(symbol), v);
        return;
    case Ref::SharedField:
        store(placeOfField(static_cast<const FieldInfo *>(symbol), 0), v);
        return;
    case Ref::Field: {
        auto *f = static_cast<const FieldInfo *>(symbol);
        if (!objectExpr || objectExpr->kind == ExprKind::Me || objectExpr->kind == ExprKind::Self) {
            store(placeOfField(f, receiverOffset(objectExpr)), v);
            return;
        }
        Value obj;
        int32_t base = assignmentObject(*objectExpr, v, &obj);
        store(placeOfField(f, base), v);
        if (obj.owned) {
            release(obj);
        } else {
            freeTemp(base);
        }
        return;
    }
    case Ref::Property: {
        auto *p = static_cast<const PropertyInfo *>(symbol);
        if (p->shared) {
            setProperty(nullptr, 0, p, v);
            return;
        }
        if (!objectExpr || objectExpr->kind == ExprKind::Me || objectExpr->kind == ExprKind::Self) {
            Value self{p->type, 0};
            setProperty(&self, receiverOffset(objectExpr), p, v);
            return;
        }
        Value obj;
        int32_t base = assignmentObject(*objectExpr, v, &obj);
        setProperty(&obj, base, p, v);
        if (!obj.owned) freeTemp(base);
        return;
    }
    default:
        break;
    }
    module_.error(target.pos, "this assignment cannot be compiled");
}

} // namespace kqc
