// Code generation of calls: image methods through the method table (or
// directly for Super and shared ones), interface methods, runtime members
// and intrinsic functions by entry-point name, library functions, events,
// array elements and array methods, conversions and casts written as calls.
//
// Arguments are computed left to right: each one that needs code of its own
// into a temporary, then all are written into the argument area, simple ones
// (constants, variables, Me) directly. The callee borrows them; references
// that arguments carried are released after the call.
#include "CodegenImpl.h"

namespace kqc {
namespace {

// An argument that can be computed when the area is written: no call, no
// side effect.
bool simple(const Expr *e) {
    if (!e) return true;
    switch (e->kind) {
    case ExprKind::Literal:
    case ExprKind::Me:
    case ExprKind::Self:
        return true;
    case ExprKind::Name: {
        Ref ref = static_cast<const NameExpr *>(e)->ref;
        return ref == Ref::Local || ref == Ref::Constant || ref == Ref::SharedField;
    }
    default:
        return false;
    }
}

uint32_t widthOf(const MethodGen::Argument &a) {
    if (a.byRef) return 4;
    Repr repr = reprOf(a.type);
    return repr == Repr::I64 || repr == Repr::F64 ? 8 : 4;
}

} // namespace

// The address of a variable or field, for a ByRef argument.
void MethodGen::address(const Expr &e) {
    if (e.kind == ExprKind::Name) {
        auto &n = static_cast<const NameExpr &>(e);
        if (n.ref == Ref::Local) {
            auto *v = static_cast<const Variable *>(n.symbol);
            ins((v->byRef ? "movl " : "leal ") + at(v->frameOffset) + ", %eax");
            return;
        }
        auto *f = static_cast<const FieldInfo *>(n.symbol);
        if (f->shared) {
            ins("movl $" + module_.sharedField(f) + ", %eax");
        } else {
            ins("movl " + at(receiverOffset()) + ", %eax");
            ins("addl $" + std::to_string(f->offset) + ", %eax");
        }
        return;
    }
    auto &m = static_cast<const MemberExpr &>(e);
    auto *f = static_cast<const FieldInfo *>(m.symbol);
    if (f->shared) {
        ins("movl $" + module_.sharedField(f) + ", %eax");
        return;
    }
    bool isStatic;
    object(*m.object, &isStatic);
    ins("addl $" + std::to_string(f->offset) + ", %eax");
}

uint32_t MethodGen::passArguments(std::vector<Argument> &args, uint32_t firstOffset) {
    // Arguments with code of their own, in order; a borrowed reference is
    // locked when a later argument could change what it came from.
    for (size_t i = 0; i < args.size(); ++i) {
        Argument &a = args[i];
        if (a.spilled || a.byRef || simple(a.expr)) continue;
        a.computed = expr(*a.expr);
        bool later = false;
        for (size_t j = i + 1; j < args.size(); ++j)
            later |= !simple(args[j].expr) || args[j].byRef;
        if (later) own(a.computed);
        a.spilled = spill(a.computed);
    }
    uint32_t offset = firstOffset;
    for (Argument &a : args) {
        Repr repr = a.byRef ? Repr::I32 : reprOf(a.type);
        if (a.byRef) {
            address(*a.expr);
        } else if (a.spilled) {
            reload(a.spilled, repr);
        } else if (a.value) {
            constant(*a.value, a.type);
        } else {
            expr(*a.expr);
        }
        if (a.cString) { // a String's text bytes; "" for the empty string
            std::string empty = label(), done = label();
            ins("testl %eax, %eax");
            ins("jz " + empty);
            ins("movl 4(%eax), %eax");
            ins("incl %eax");
            ins("jmp " + done);
            place(empty);
            ins("movl $" + module_.emptyText() + ", %eax");
            place(done);
        }
        switch (repr) {
        case Repr::F32:
            useArgs(offset + 4);
            ins("fstps " + std::to_string(offset) + "(%esp)");
            break;
        case Repr::F64:
            useArgs(offset + 8);
            ins("fstpl " + std::to_string(offset) + "(%esp)");
            break;
        case Repr::I64:
            arg(offset);
            arg(offset + 4, "%edx");
            break;
        default:
            arg(offset);
            break;
        }
        offset += widthOf(a);
    }
    return offset;
}

// After the call: the references the arguments carried go; the call's
// result (in the accumulator) is kept.
void MethodGen::releaseArguments(std::vector<Argument> &args) {
    for (Argument &a : args) {
        if (a.computed.owned) {
            release(a.computed);
        } else if (a.spilled && !a.keepSlot) {
            freeTemp(a.spilled);
        }
    }
}

// The call's result, with the arguments' references released around it.
Value MethodGen::finishCall(std::vector<Argument> &args, const Type *resultType) {
    Value v = result(resultType);
    releaseKeeping(args, v);
    return v;
}

void MethodGen::releaseKeeping(std::vector<Argument> &args, Value &v) {
    bool owning = false;
    for (Argument &a : args)
        owning |= a.computed.owned != 0;
    if (owning && !v.owned && v.type->kind != TypeKind::Void) {
        int32_t keep = spill(v);
        releaseArguments(args);
        reload(keep, reprOf(v.type));
        freeTemp(keep);
    } else {
        releaseArguments(args);
        if (v.owned) ins("movl " + at(v.owned) + ", %eax");
    }
}

Value MethodGen::callRuntime(const std::string &entry, const Signature &sig,
                             const std::vector<const Expr *> &argExprs, const Expr *receiver,
                             SourcePos pos) {
    std::vector<Argument> args;
    if (receiver) {
        Argument self;
        self.type = receiver->type;
        self.computed = expr(*receiver);
        if (receiver->kind != ExprKind::Me && receiver->kind != ExprKind::Self) nilCheck();
        self.spilled = spill(self.computed);
        args.push_back(self);
    }
    for (size_t i = 0; i < sig.params.size(); ++i) {
        Argument a;
        a.type = sig.params[i].type;
        a.byRef = sig.params[i].byRef;
        if (i < argExprs.size()) {
            a.expr = argExprs[i];
        } else {
            a.value = &sig.params[i].defaultValue;
        }
        args.push_back(a);
    }
    passArguments(args, 0);
    call(entry, pos);
    return finishCall(args, sig.result);
}

// A member of a control array of a window (Self, or the object before the
// name): RuntimeControlArrayItemReference(window, name, index), a new
// reference, Nil when the window has no member of that index.
Value MethodGen::controlArrayMember(const CallExpr &c) {
    const auto *control = static_cast<const ControlInfo *>(c.symbol);
    const Expr *window = c.callee->kind == ExprKind::Member
                             ? static_cast<const MemberExpr &>(*c.callee).object.get()
                             : &self_;
    const TypeTable &types = module_.program().types;
    std::vector<Argument> args(3);
    args[0].type = window->type;
    args[0].computed = expr(*window);
    if (window->kind != ExprKind::Self) nilCheck();
    args[0].spilled = spill(args[0].computed);
    ConstValue name;
    name.kind = ConstValue::Kind::String;
    name.text = control->name;
    args[1].value = &name;
    args[1].type = types.get(TypeKind::String);
    args[2].expr = c.args[0].get();
    args[2].type = types.get(TypeKind::Int32);
    passArguments(args, 0);
    call("RuntimeControlArrayItemReference", c.pos);
    return finishCall(args, c.type);
}

Value MethodGen::callMethod(const CallExpr &c, const MethodInfo *m, const Expr *receiverExpr) {
    if (m->origin == MethodOrigin::Runtime) {
        const Expr *self = m->shared ? nullptr : receiverExpr ? receiverExpr : &self_;
        std::vector<const Expr *> list;
        for (const ExprPtr &a : c.args)
            list.push_back(a.get());
        return callRuntime(m->entry, m->sig, list, self, c.pos);
    }
    std::vector<Argument> args;
    bool instance = !m->shared && m->origin != MethodOrigin::Declare;
    if (instance) {
        Argument self;
        self.type = m->owner->type;
        if (receiverExpr) {
            self.computed = expr(*receiverExpr);
            if (receiverExpr->kind != ExprKind::Me && receiverExpr->kind != ExprKind::Self &&
                receiverExpr->kind != ExprKind::Super) {
                nilCheck();
            }
            self.spilled = spill(self.computed);
        } else {
            ins("movl " + at(receiverOffset()) + ", %eax");
            self.spilled = spill(Value{self.type, 0});
        }
        args.push_back(self);
    }
    for (size_t i = 0; i < m->sig.params.size(); ++i) {
        Argument a;
        a.type = m->sig.params[i].type;
        a.byRef = m->sig.params[i].byRef;
        a.cString = m->origin == MethodOrigin::Declare && a.type->kind == TypeKind::String;
        if (i < c.args.size()) {
            a.expr = c.args[i].get();
        } else {
            a.value = &m->sig.params[i].defaultValue;
        }
        args.push_back(a);
    }
    int32_t table = 0;
    if (m->origin == MethodOrigin::Interface) { // the object's table for the interface
        ins("movl " + at(args[0].spilled) + ", %eax");
        arg(0);
        ins("movl " + module_.classPointer(m->owner) + ", %eax");
        arg(4);
        call("RuntimeLookupInterfaceVtable", c.pos);
        table = temp(Repr::I32);
        ins("movl %eax, " + at(table));
    }
    passArguments(args, 0);
    if (m->origin == MethodOrigin::Declare) {
        callSymbol(module_.libraryFunction(m));
    } else if (table) {
        ins("movl " + at(table) + ", %eax");
        ins("call *" + std::to_string(8 * m->vtableIndex) + "(%eax)");
        freeTemp(table);
    } else if (!instance || c.direct) {
        callSymbol(module_.symbolOf(m));
    } else {
        ins("movl (%esp), %eax");
        ins("movl (%eax), %eax"); // the object's method table
        ins("call *" + std::to_string(8 * m->vtableIndex) + "(%eax)");
    }
    return finishCall(args, m->sig.result);
}

// An event of the object's own class: the handler in its event table, or
// the zero of the result when there is none.
Value MethodGen::raiseEvent(const CallExpr &c, const EventInfo *event) {
    std::vector<Argument> args;
    Argument self;
    self.type = event->owner->type;
    ins("movl " + at(receiverOffset()) + ", %eax");
    self.spilled = spill(Value{self.type, 0});
    args.push_back(self);
    for (size_t i = 0; i < event->sig.params.size(); ++i) {
        Argument a;
        a.type = event->sig.params[i].type;
        a.byRef = event->sig.params[i].byRef;
        a.expr = c.args[i].get();
        args.push_back(a);
    }
    int32_t handler = temp(Repr::I32);
    ins("movl " + at(receiverOffset()) + ", %eax");
    ins("movl 8(%eax), %eax"); // the object's event table
    ins("movl " + std::to_string(8 * event->index) + "(%eax), %eax");
    ins("movl %eax, " + at(handler));
    std::string none = label(), done = label();
    ins("testl %eax, %eax");
    ins("jz " + none);
    passArguments(args, 0);
    ins("call *" + at(handler));
    Value v = result(event->sig.result);
    Repr repr = reprOf(event->sig.result);
    ins("jmp " + done);
    place(none);
    if (repr == Repr::F32 || repr == Repr::F64) {
        ins("fldz");
    } else if (repr != Repr::Void) {
        ins("xorl %eax, %eax");
        ins("xorl %edx, %edx");
    }
    place(done);
    freeTemp(handler);
    releaseKeeping(args, v);
    return v;
}

Value MethodGen::callExpr(const CallExpr &c) {
    const Expr *receiver = c.callee->kind == ExprKind::Member
                               ? static_cast<const MemberExpr &>(*c.callee).object.get()
                               : nullptr;
    switch (c.ref) {
    case Ref::Method:
    case Ref::SharedMethod:
    case Ref::RuntimeMethod:
    case Ref::Declare:
        return callMethod(c, static_cast<const MethodInfo *>(c.symbol), receiver);
    case Ref::Event:
        return raiseEvent(c, static_cast<const EventInfo *>(c.symbol));
    case Ref::Intrinsic: {
        std::vector<const Expr *> list;
        for (const ExprPtr &a : c.args)
            list.push_back(a.get());
        return callRuntime(c.overload->entry, c.overload->sig, list, nullptr, c.pos);
    }
    case Ref::App:
        return expr(*c.callee);
    case Ref::Index:
        return indexArray(c);
    case Ref::Control:
        return controlArrayMember(c);
    case Ref::ArrayMethod:
        return arrayMethod(c);
    case Ref::Conversion: {
        Value v = expr(*c.args[0]);
        convert(v, c.type, true);
        return v;
    }
    case Ref::Cast: {
        Value v = expr(*c.args[0]);
        convert(v, c.type, true);
        return v;
    }
    default:
        break;
    }
    module_.error(c.pos, "this call cannot be compiled");
    return {c.type, 0};
}

} // namespace kqc
