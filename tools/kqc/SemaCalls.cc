// Semantic analysis of calls: methods, events, intrinsic functions with
// overload resolution, library functions, array indexing and array
// methods, conversions and casts written as calls (see SemaImpl.h).
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {
namespace {

std::string argumentTypes(const ExprList &args) {
    std::string out = "(";
    for (const ExprPtr &a : args) {
        if (out.size() > 1) out += ", ";
        out += typeName(a->type);
    }
    return out + ")";
}

} // namespace

bool Sema::checkArgs(ExprList &args) {
    bool ok = true;
    for (ExprPtr &a : args)
        ok &= value(a)->kind != TypeKind::Error;
    return ok;
}

const Type *Sema::call(ExprPtr &e, bool statement) {
    auto &c = static_cast<CallExpr &>(*e);
    Resolved r;
    if (c.callee->kind == ExprKind::Name) {
        auto &n = static_cast<NameExpr &>(*c.callee);
        r = lookup(n.name, n.pos);
        if (r.ref == Ref::Unresolved) error(n.pos, "unknown name '" + n.name + "'");
        if (r.symbol && r.ref != Ref::Unresolved && !visible(n.pos, r.symbol)) r = Resolved{};
        if (instanceMember(r) && !instanceAccess(n.pos, r.symbol)) r = Resolved{};
        n.ref = r.ref;
        n.symbol = r.symbol;
    } else if (c.callee->kind == ExprKind::Member) {
        auto &m = static_cast<MemberExpr &>(*c.callee);
        r = resolveMember(m);
        c.direct = m.object->kind == ExprKind::Super;
        if (r.ref == Ref::ArrayMethod) return arrayMethod(c, m.object->type, m.member, m.memberPos);
        // In a control's handler Me is the control, whose events are not the
        // window's to raise.
        bool ownObject = (m.object->kind == ExprKind::Me && ctx_.meClass == ctx_.cls) ||
                         m.object->kind == ExprKind::Self;
        if (r.ref == Ref::Event && !ownObject) {
            error(m.memberPos, "an event is raised only by its own object: " + m.member + "(...)");
            r = Resolved{};
        }
        m.ref = r.ref;
        m.symbol = r.symbol;
    } else {
        value(c.callee);
        r.ref = c.callee->type->kind == TypeKind::Error ? Ref::Unresolved : Ref::Index;
    }
    if (r.ref == Ref::Unresolved) {
        checkArgs(c.args);
        return types_.error();
    }
    return callResolved(c, r, statement);
}

const Type *Sema::callResolved(CallExpr &c, Resolved r, bool statement) {
    std::string what = r.symbol ? r.symbol->name : r.builtin ? typeName(r.builtin) : "this";
    auto notStatement = [&] {
        if (statement) error(c.pos, "this expression is not a statement");
    };
    c.ref = r.ref;
    c.symbol = r.symbol;
    switch (r.ref) {
    case Ref::Method:
    case Ref::SharedMethod:
    case Ref::RuntimeMethod:
    case Ref::Declare: {
        std::vector<const Signature *> sigs;
        std::vector<const MethodInfo *> methods;
        for (const Symbol *s : r.symbols ? *r.symbols : std::vector<Symbol *>{r.symbol}) {
            if (s->kind != SymbolKind::Method) continue;
            auto *m = static_cast<const MethodInfo *>(s);
            if (!m->isAssign) {
                sigs.push_back(&m->sig);
                methods.push_back(m);
            }
        }
        if (sigs.empty()) {
            error(c.pos, "'" + what + "' can only be assigned to");
            return types_.error();
        }
        if (!checkArgs(c.args)) return types_.error();
        int chosen = chooseOverload(c.args, c.pos, what, sigs);
        if (chosen < 0) return types_.error();
        c.symbol = methods[chosen];
        if (c.direct && methods[chosen]->origin == MethodOrigin::Interface) {
            error(c.pos, "'" + what + "' has no code in the superclass");
        }
        return methods[chosen]->sig.result;
    }
    case Ref::Event: {
        auto *event = static_cast<const EventInfo *>(r.symbol);
        if (!checkArgs(c.args)) return types_.error();
        if (!argsFit(c.args, c.pos, what, event->sig, true, nullptr)) return types_.error();
        return event->sig.result;
    }
    case Ref::Intrinsic: {
        auto *fn = static_cast<const IntrinsicInfo *>(r.symbol);
        std::vector<const Signature *> sigs;
        for (const Overload &o : fn->overloads)
            sigs.push_back(&o.sig);
        if (!checkArgs(c.args)) return types_.error();
        int chosen = chooseOverload(c.args, c.pos, what, sigs);
        if (chosen < 0) return types_.error();
        c.overload = &fn->overloads[chosen];
        return c.overload->sig.result;
    }
    case Ref::App:
        if (!c.args.empty()) error(c.pos, "App takes no arguments");
        return useSymbol(c.callee, r, &c.ref, &c.symbol);
    case Ref::Conversion: {
        notStatement();
        if (!checkArgs(c.args)) return types_.error();
        if (c.args.size() != 1) {
            error(c.pos, "a conversion " + what + "(value) takes one value");
            return types_.error();
        }
        ConstValue cv;
        const ConstValue *k = constant(*c.args[0], &cv) ? &cv : nullptr;
        if (convertibility(c.args[0]->type, r.builtin, k) == Convertibility::Never) {
            error(c.args[0]->pos, withArticle(c.args[0]->type) + " cannot be converted to " + what);
            return types_.error();
        }
        return r.builtin;
    }
    case Ref::Class: {
        notStatement();
        auto *cls = static_cast<ClassInfo *>(r.symbol);
        if (!checkArgs(c.args)) return types_.error();
        if (c.args.size() != 1) {
            error(c.pos, "a cast " + what + "(object) takes one object; New " + what +
                             "(...) creates one");
            return types_.error();
        }
        if (convertibility(c.args[0]->type, cls->type, nullptr) == Convertibility::Never) {
            error(c.args[0]->pos, withArticle(c.args[0]->type) + " cannot be cast to " + what);
            return types_.error();
        }
        c.ref = Ref::Cast;
        return cls->type;
    }
    case Ref::Control: {
        // A member of a control array, by its index.
        auto *control = static_cast<const ControlInfo *>(r.symbol);
        notStatement();
        bool argsOk = checkArgs(c.args);
        if (!control->isArray) {
            error(c.pos, "'" + what + "' is a control, not a control array");
            return types_.error();
        }
        if (c.args.size() != 1) {
            error(c.pos, "a member of the control array '" + what + "' is named by one index");
            return types_.error();
        }
        if (argsOk)
            convert(c.args[0], type(TypeKind::Int32), "the index of a control-array member");
        return control->cls ? control->cls->type : types_.error();
    }
    case Ref::Module:
    case Ref::Constant:
        error(c.pos, "'" + what + "' is not a function");
        checkArgs(c.args);
        return types_.error();
    default:
        break;
    }
    // A value indexed: it must be an array.
    const Type *t = c.callee->type;
    if (c.callee->kind == ExprKind::Name) {
        auto &n = static_cast<NameExpr &>(*c.callee);
        t = c.callee->type = useSymbol(c.callee, r, &n.ref, &n.symbol);
    } else if (c.callee->kind == ExprKind::Member) {
        auto &m = static_cast<MemberExpr &>(*c.callee);
        t = c.callee->type = useSymbol(c.callee, r, &m.ref, &m.symbol);
    }
    notStatement();
    bool argsOk = checkArgs(c.args);
    c.ref = Ref::Index;
    c.symbol = nullptr;
    if (t->kind == TypeKind::Error) return t;
    if (t->kind != TypeKind::Array) {
        error(c.pos, "'" + what + "' is not an array or a function");
        return types_.error();
    }
    if (static_cast<int>(c.args.size()) != t->dims) {
        error(c.pos, "the array has " + std::to_string(t->dims) + " dimension" +
                         (t->dims > 1 ? "s" : "") + " and takes as many indexes");
        return types_.error();
    }
    if (argsOk) {
        for (ExprPtr &a : c.args)
            convert(a, type(TypeKind::Int32), "an index");
    }
    return t->element;
}

// The methods of arrays, carried out through the array's operations table.
const Type *Sema::arrayMethod(CallExpr &c, const Type *arrayType, const std::string &name,
                              SourcePos pos) {
    struct Method {
        const char *name;
        ArrayOp op;
        bool oneDim;
    };
    static const Method kMethods[] = {
        {"ubound", ArrayOp::Ubound, false},  {"append", ArrayOp::Append, true},
        {"insert", ArrayOp::Insert, true},   {"remove", ArrayOp::Remove, true},
        {"sort", ArrayOp::Sort, true},       {"indexof", ArrayOp::IndexOf, true},
        {"shuffle", ArrayOp::Shuffle, true}, {"redim", ArrayOp::Redim, false},
    };
    std::string folded = utf8::fold(name);
    const Method *m = nullptr;
    for (const Method &candidate : kMethods) {
        if (folded == candidate.name) m = &candidate;
    }
    c.ref = Ref::ArrayMethod;
    if (!checkArgs(c.args)) return types_.error();
    if (!m) {
        error(pos, "an array has no method '" + name +
                       "' (it has Ubound, Append, Insert, Remove, Sort, IndexOf, "
                       "Shuffle and Redim)");
        return types_.error();
    }
    c.arrayOp = m->op;
    if (m->oneDim && arrayType->dims != 1) {
        error(pos, "'" + name + "' is a method of one-dimensional arrays");
        return types_.error();
    }
    if (m->op == ArrayOp::Sort && arrayType->element->kind == TypeKind::Object) {
        error(pos, "arrays of objects are not sorted");
        return types_.error();
    }
    const Type *integer = type(TypeKind::Int32), *element = arrayType->element;
    Signature sig;
    sig.result = type(TypeKind::Void);
    auto param = [&](const char *n, const Type *t, bool optional = false) {
        ParamInfo p;
        p.name = n;
        p.type = t;
        p.optional = optional;
        if (optional) p.defaultValue.kind = ConstValue::Kind::Integer;
        sig.params.push_back(p);
    };
    switch (m->op) {
    case ArrayOp::Ubound:
        param("dimension", integer, true);
        sig.params.back().defaultValue.integer = 1;
        sig.result = integer;
        break;
    case ArrayOp::Append:
        param("value", element);
        break;
    case ArrayOp::Insert:
        param("index", integer), param("value", element);
        break;
    case ArrayOp::Remove:
        param("index", integer);
        break;
    case ArrayOp::IndexOf:
        param("value", element), param("start", integer, true);
        sig.result = integer;
        break;
    case ArrayOp::Redim:
        for (int i = 0; i < arrayType->dims; ++i)
            param("bound", integer);
        break;
    default:
        break;
    }
    if (!argsFit(c.args, c.pos, name, sig, true, nullptr)) return types_.error();
    return sig.result;
}

int Sema::chooseOverload(ExprList &args, SourcePos pos, const std::string &what,
                         const std::vector<const Signature *> &candidates) {
    if (candidates.size() == 1)
        return argsFit(args, pos, what, *candidates[0], true, nullptr) ? 0 : -1;
    int best = -1, bestCost = 0;
    bool tie = false;
    for (size_t i = 0; i < candidates.size(); ++i) {
        int cost;
        if (!argsFit(args, pos, what, *candidates[i], false, &cost)) continue;
        if (best < 0 || cost < bestCost) {
            best = static_cast<int>(i), bestCost = cost, tie = false;
        } else if (cost == bestCost) {
            tie = true;
        }
    }
    if (best < 0) {
        std::string forms;
        for (const Signature *s : candidates)
            forms += (forms.empty() ? "" : ", ") + what + describe(*s);
        error(pos,
              "no form of '" + what + "' takes " + argumentTypes(args) + "; there are " + forms);
        return -1;
    }
    if (tie) {
        error(pos, "'" + what + argumentTypes(args) +
                       "' fits several forms equally well; convert an argument");
    }
    argsFit(args, pos, what, *candidates[best], true, nullptr);
    return best;
}

bool Sema::argsFit(ExprList &args, SourcePos pos, const std::string &what, const Signature &sig,
                   bool apply, int *cost) {
    if (cost) *cost = 0;
    size_t needed = 0;
    for (const ParamInfo &p : sig.params)
        needed += !p.optional;
    if (args.size() > sig.params.size() || args.size() < needed) {
        if (apply) {
            std::string count = needed == sig.params.size() ? std::to_string(needed)
                                                            : std::to_string(needed) + " to " +
                                                                  std::to_string(sig.params.size());
            error(pos, "'" + what + "' takes " + count + " argument" +
                           (sig.params.size() == 1 ? "" : "s") + ", not " +
                           std::to_string(args.size()));
        }
        return false;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        ExprPtr &a = args[i];
        const ParamInfo &p = sig.params[i];
        std::string which = "argument " + std::to_string(i + 1) + " of '" + what + "'";
        if (a->type->kind == TypeKind::Error) continue;
        if (p.byRef) {
            if (!isLValue(*a) || a->type != p.type) {
                if (apply)
                    error(a->pos, which + " is passed ByRef and must be a variable of type " +
                                      typeName(p.type));
                return false;
            }
            continue;
        }
        ConstValue cv;
        const ConstValue *k = constant(*a, &cv) ? &cv : nullptr;
        Convertibility conv = convertibility(a->type, p.type, k);
        if (conv == Convertibility::Never || conv == Convertibility::Explicit) {
            if (apply) {
                error(a->pos,
                      which + " must be " + typeName(p.type) + ", not " + typeName(a->type) +
                          (conv == Convertibility::Explicit ? " (convert it with CType)" : ""));
            }
            return false;
        }
        if (cost) *cost += conversionCost(a->type, p.type, k);
        if (apply) coerce(a, p.type);
    }
    return true;
}

bool Sema::isLValue(const Expr &e) const {
    Ref ref = e.kind == ExprKind::Name     ? static_cast<const NameExpr &>(e).ref
              : e.kind == ExprKind::Member ? static_cast<const MemberExpr &>(e).ref
                                           : Ref::Unresolved;
    return ref == Ref::Local || ref == Ref::Field || ref == Ref::SharedField;
}

} // namespace kqc
