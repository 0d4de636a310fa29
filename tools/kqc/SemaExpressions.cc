// Semantic analysis of expressions: name resolution, member access,
// literals, operators and conversions (see SemaImpl.h).
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {
namespace {

Ref refOf(const Symbol *s) {
    switch (s->kind) {
    case SymbolKind::Variable:
        return Ref::Local;
    case SymbolKind::Field:
        return static_cast<const FieldInfo *>(s)->shared ? Ref::SharedField : Ref::Field;
    case SymbolKind::Property:
        return Ref::Property;
    case SymbolKind::Constant:
        return Ref::Constant;
    case SymbolKind::Method: {
        auto *m = static_cast<const MethodInfo *>(s);
        if (m->origin == MethodOrigin::Runtime) return Ref::RuntimeMethod;
        if (m->origin == MethodOrigin::Declare) return Ref::Declare;
        return m->shared ? Ref::SharedMethod : Ref::Method;
    }
    case SymbolKind::Event:
        return Ref::Event;
    case SymbolKind::Class:
        return static_cast<const ClassInfo *>(s)->isModule ? Ref::Module : Ref::Class;
    case SymbolKind::Intrinsic:
        return Ref::Intrinsic;
    case SymbolKind::Control:
        return Ref::Control;
    }
    return Ref::Unresolved;
}

// A runtime class may have an event and a method of one name (a window's
// Close): the runtime raises the event, the program calls the method.
Symbol *preferred(const std::vector<Symbol *> &list) {
    for (Symbol *s : list) {
        if (s->kind != SymbolKind::Event) return s;
    }
    return list.front();
}

bool callable(Ref r) {
    return r == Ref::Method || r == Ref::SharedMethod || r == Ref::RuntimeMethod ||
           r == Ref::Declare || r == Ref::Event || r == Ref::Intrinsic;
}

} // namespace

// Whether a member needs an object: instance fields, runtime properties that
// are not shared, methods, events and controls.
bool instanceMember(const Resolved &r) {
    switch (r.ref) {
    case Ref::Field:
    case Ref::Method:
    case Ref::Event:
    case Ref::Control:
        return true;
    case Ref::Property:
        return !static_cast<const PropertyInfo *>(r.symbol)->shared;
    case Ref::RuntimeMethod:
        return !static_cast<const MethodInfo *>(r.symbol)->shared;
    default:
        return false;
    }
}

Resolved Sema::lookup(const std::string &name, SourcePos pos) {
    std::string folded = utf8::fold(name);
    Resolved r;
    auto take = [&](const std::vector<Symbol *> *list) {
        r.symbols = list;
        r.symbol = preferred(*list);
        r.ref = refOf(r.symbol);
        return r;
    };
    for (auto scope = ctx_.scopes.rbegin(); scope != ctx_.scopes.rend(); ++scope) {
        auto found = scope->find(folded);
        if (found != scope->end()) {
            r.symbol = found->second;
            r.ref = refOf(r.symbol);
            return r;
        }
    }
    if (ctx_.cls) {
        if (const auto *list = ctx_.cls->find(folded)) return take(list);
    }
    auto global = globals_.find(folded);
    if (global != globals_.end()) {
        const auto &list = global->second;
        for (const Symbol *s : list) {
            if (ownerName(s) != ownerName(list.front())) {
                error(pos, "'" + name + "' is ambiguous: it is declared in " +
                               ownerName(list.front()) + " and " + ownerName(s));
                break;
            }
        }
        return take(&list);
    }
    if (folded == "app") {
        if (IntrinsicInfo *app = program_.findIntrinsic("App")) {
            r.ref = Ref::App;
            r.symbol = app;
            return r;
        }
    }
    // A function of the runtime that hands out the object of a class of the
    // same name (Runtime) stands for that object in expressions.
    if (IntrinsicInfo *fn = program_.findIntrinsic(name)) {
        r.symbol = fn;
        r.ref = Ref::Intrinsic;
        return r;
    }
    if (ClassInfo *cls = program_.findClass(name)) {
        r.symbol = cls;
        r.ref = refOf(cls);
        return r;
    }
    if (const Type *t = types_.byName(folded)) {
        r.ref = Ref::Conversion;
        r.builtin = t;
    }
    return r;
}

std::string ownerName(const Symbol *s) {
    switch (s->kind) {
    case SymbolKind::Field:
        return static_cast<const FieldInfo *>(s)->owner->name;
    case SymbolKind::Property:
        return static_cast<const PropertyInfo *>(s)->owner->name;
    case SymbolKind::Constant: {
        auto *c = static_cast<const ConstInfo *>(s);
        return c->owner ? c->owner->name : "this method";
    }
    case SymbolKind::Method: {
        auto *m = static_cast<const MethodInfo *>(s);
        return m->owner ? m->owner->name : "the program";
    }
    case SymbolKind::Event:
        return static_cast<const EventInfo *>(s)->owner->name;
    case SymbolKind::Control:
        return static_cast<const ControlInfo *>(s)->window->name;
    default:
        return "the program";
    }
}

Resolved Sema::memberOf(ClassInfo *cls, const std::string &name, SourcePos pos, bool viaClass) {
    Resolved r;
    const auto *list = cls->find(utf8::fold(name));
    if (!list) {
        error(pos, std::string(cls->isModule ? "module " : "class ") + cls->name +
                       " has no member '" + name + "'");
        return r;
    }
    r.symbols = list;
    r.symbol = preferred(*list);
    r.ref = refOf(r.symbol);
    if (!visible(pos, r.symbol)) return Resolved{};
    bool instance = instanceMember(r);
    if (viaClass && instance) {
        error(pos,
              "'" + name + "' belongs to an object of class " + cls->name + ", not to the class");
        return Resolved{};
    }
    return r;
}

// Private members are visible in the class that declares them only.
bool Sema::visible(SourcePos pos, const Symbol *s) {
    bool isPrivate = false;
    const ClassInfo *owner = nullptr;
    if (s->kind == SymbolKind::Field) {
        isPrivate = static_cast<const FieldInfo *>(s)->isPrivate;
        owner = static_cast<const FieldInfo *>(s)->owner;
    } else if (s->kind == SymbolKind::Method) {
        isPrivate = static_cast<const MethodInfo *>(s)->isPrivate;
        owner = static_cast<const MethodInfo *>(s)->owner;
    } else if (s->kind == SymbolKind::Constant && static_cast<const ConstInfo *>(s)->decl) {
        isPrivate = static_cast<const ConstInfo *>(s)->decl->isPrivate;
        owner = static_cast<const ConstInfo *>(s)->owner;
    }
    if (!isPrivate || owner == ctx_.cls) return true;
    error(pos, "'" + s->name + "' is private to " + owner->name);
    return false;
}

// An unqualified instance member needs Me.
bool Sema::instanceAccess(SourcePos pos, const Symbol *s) {
    if (!ctx_.shared) return true;
    error(pos, "'" + s->name + "' belongs to an object; a Shared method or module has no Me");
    return false;
}

const Type *Sema::value(ExprPtr &e) {
    const Type *t = expr(e);
    if (t->kind == TypeKind::Void) {
        error(e->pos, "this call gives no value (it is a Sub)");
        e->type = types_.error();
        return e->type;
    }
    return t;
}

const Type *Sema::expr(ExprPtr &e) {
    const Type *t = types_.error();
    switch (e->kind) {
    case ExprKind::Literal:
        t = literal(static_cast<LiteralExpr &>(*e));
        break;
    case ExprKind::Name:
        t = name(e);
        break;
    case ExprKind::Member:
        t = member(e);
        break;
    case ExprKind::Call:
        t = call(e, false);
        break;
    case ExprKind::Me:
    case ExprKind::Self:
        if (!ctx_.cls || ctx_.shared || ctx_.cls->isModule) {
            error(e->pos, std::string(e->kind == ExprKind::Me ? "Me" : "Self") +
                              " is an object only in the methods of a class");
        } else {
            t = e->kind == ExprKind::Me ? ctx_.meClass->type : ctx_.cls->type;
        }
        break;
    case ExprKind::Super:
        error(e->pos, "Super names a member: Super.Method(...)");
        break;
    case ExprKind::New:
        t = newObject(static_cast<NewExpr &>(*e));
        break;
    case ExprKind::Unary:
        t = unary(static_cast<UnaryExpr &>(*e));
        break;
    case ExprKind::Binary:
        t = binary(static_cast<BinaryExpr &>(*e));
        break;
    case ExprKind::CType:
        t = ctype(static_cast<CTypeExpr &>(*e));
        break;
    case ExprKind::Convert:
        t = e->type;
        break;
    case ExprKind::Error:
        break;
    }
    e->type = t;
    return t;
}

const Type *Sema::literal(LiteralExpr &e) {
    switch (e.lit) {
    case LiteralKind::Integer: {
        bool small = e.based ? e.intValue <= 0xFFFFFFFFu : e.intValue <= 0x7FFFFFFFu;
        if (!e.based && e.intValue > 0x7FFFFFFFFFFFFFFFu)
            error(e.pos, "the integer is too large for Int64");
        e.type = type(small ? TypeKind::Int32 : TypeKind::Int64);
        return e.type;
    }
    case LiteralKind::Float:
        return type(TypeKind::Double);
    case LiteralKind::String:
        return type(TypeKind::String);
    case LiteralKind::Color:
        return type(TypeKind::Color);
    case LiteralKind::Boolean:
        return type(TypeKind::Boolean);
    case LiteralKind::Nil:
        return type(TypeKind::Nil);
    }
    return types_.error();
}

const Type *Sema::name(ExprPtr &e) {
    auto &n = static_cast<NameExpr &>(*e);
    Resolved r = lookup(n.name, n.pos);
    if (r.ref == Ref::Unresolved) {
        error(n.pos, "unknown name '" + n.name + "'");
        return types_.error();
    }
    if (r.symbol && !visible(n.pos, r.symbol)) return types_.error();
    bool instance = instanceMember(r);
    if (instance && !instanceAccess(n.pos, r.symbol)) return types_.error();
    return useSymbol(e, r, &n.ref, &n.symbol);
}

// The value of a resolved name or member: variables and fields as they
// are, methods and functions called without arguments.
const Type *Sema::useSymbol(ExprPtr &e, Resolved r, Ref *ref, const Symbol **symbol) {
    *ref = r.ref;
    *symbol = r.symbol;
    std::string name = r.symbol ? r.symbol->name : "";
    if (callable(r.ref) || r.ref == Ref::App) {
        if (assigning_) {
            error(e->pos, "cannot assign to '" + name + "'");
            return types_.error();
        }
        if (r.ref == Ref::App) {
            ClassInfo *app = project_ ? program_.findClass(project_->applicationClass) : nullptr;
            const auto &overloads = static_cast<const IntrinsicInfo *>(r.symbol)->overloads;
            const Type *t = overloads.empty() ? types_.error() : overloads.front().sig.result;
            if (app && t->kind == TypeKind::Object && app->isA(t->cls)) t = app->type;
            return t;
        }
        implicitCall(e);
        return call(e, false);
    }
    switch (r.ref) {
    case Ref::Local:
        return static_cast<const Variable *>(r.symbol)->type;
    case Ref::Field:
    case Ref::SharedField:
        return static_cast<const FieldInfo *>(r.symbol)->type;
    case Ref::Property: {
        auto *p = static_cast<const PropertyInfo *>(r.symbol);
        if (!assigning_ && p->getter.empty())
            error(e->pos, "the property '" + name + "' cannot be read");
        return p->type;
    }
    case Ref::Constant: {
        auto *c = static_cast<ConstInfo *>(const_cast<Symbol *>(r.symbol));
        if (assigning_) {
            error(e->pos, "cannot assign to the constant '" + name + "'");
            return types_.error();
        }
        resolveConst(c);
        return c->type;
    }
    case Ref::Control: {
        auto *control = static_cast<const ControlInfo *>(r.symbol);
        if (control->isArray) {
            error(e->pos, "'" + name + "' is a control array; name one of its members: " + name +
                              "(index)");
            return types_.error();
        }
        return control->cls ? control->cls->type : types_.error();
    }
    case Ref::Class: {
        auto *cls = static_cast<const ClassInfo *>(r.symbol);
        ClassInfo *window = runtimeClass("Window");
        if (window && cls->isA(window) && !cls->fromRuntime) {
            *ref = Ref::ImplicitWindow;
            implicitWindow(cls, e->pos);
            return cls->type;
        }
        error(e->pos, "'" + name + "' is a class; create an object with New " + name);
        return types_.error();
    }
    case Ref::Module:
        error(e->pos, "'" + name + "' is a module; name one of its members");
        break;
    case Ref::Conversion:
        error(e->pos, "'" + typeName(r.builtin) + "' is a type, not a value");
        break;
    default:
        break;
    }
    return types_.error();
}

// The implicit instance of a window class is made without arguments.
void Sema::implicitWindow(const ClassInfo *cls, SourcePos pos) {
    const auto *list = cls->find("constructor");
    const Symbol *s = list ? list->front() : nullptr;
    if (!s || s->kind != SymbolKind::Method) return;
    if (!static_cast<const MethodInfo *>(s)->sig.params.empty())
        error(pos, "the window " + cls->name +
                       " has no implicit instance: its Constructor takes parameters");
}

void Sema::implicitCall(ExprPtr &e) {
    SourcePos pos = e->pos;
    auto call = std::make_unique<CallExpr>(pos, std::move(e));
    call->parenthesized = false;
    e = std::move(call);
}

// Resolves obj.Member, Class.Member, Module.Member and Super.Member without
// using the member; annotates the object.
Resolved Sema::resolveMember(MemberExpr &m) {
    if (m.object->kind == ExprKind::Super) {
        ClassInfo *super = ctx_.cls ? ctx_.cls->super : nullptr;
        if (!super || ctx_.shared) {
            error(m.object->pos, "Super names the superclass's members in a method of a subclass");
            return {};
        }
        m.object->type = super->type;
        return memberOf(super, m.member, m.memberPos, false);
    }
    if (m.object->kind == ExprKind::Name) {
        auto &n = static_cast<NameExpr &>(*m.object);
        Resolved q = lookup(n.name, n.pos);
        if (q.ref == Ref::Class || q.ref == Ref::Module) {
            auto *cls = static_cast<ClassInfo *>(q.symbol);
            n.ref = q.ref;
            n.symbol = cls;
            n.type = cls->type;
            ClassInfo *window = runtimeClass("Window");
            bool implicitWindow = window && cls->isA(window) && !cls->fromRuntime;
            Resolved r = memberOf(cls, m.member, m.memberPos, !implicitWindow);
            if (implicitWindow && instanceMember(r)) {
                n.ref = Ref::ImplicitWindow;
                this->implicitWindow(cls, n.pos);
            }
            return r;
        }
    }
    // The object may have been checked already when a member turned into a call.
    const Type *t = m.object->type ? m.object->type : value(m.object);
    Resolved arrayMethod;
    arrayMethod.ref = Ref::ArrayMethod;
    switch (t->kind) {
    case TypeKind::Object:
        return memberOf(t->cls, m.member, m.memberPos, false);
    case TypeKind::Array:
        return arrayMethod;
    case TypeKind::Error:
        return {};
    case TypeKind::Variant:
        error(m.memberPos,
              "a Variant has no members; convert it first, e.g. ClassName(value)." + m.member);
        return {};
    default:
        error(m.memberPos, "a value of type " + typeName(t) + " has no member '" + m.member + "'");
        return {};
    }
}

const Type *Sema::member(ExprPtr &e) {
    auto &m = static_cast<MemberExpr &>(*e);
    Resolved r = resolveMember(m);
    if (r.ref == Ref::Unresolved) return types_.error();
    if (r.ref == Ref::ArrayMethod) {
        if (assigning_) {
            error(m.memberPos, "cannot assign to '" + m.member + "' of an array");
            return types_.error();
        }
        implicitCall(e);
        return call(e, false);
    }
    bool ownObject = (m.object->kind == ExprKind::Me && ctx_.meClass == ctx_.cls) ||
                     m.object->kind == ExprKind::Self;
    if (r.ref == Ref::Event && !ownObject) {
        error(m.memberPos, "an event is raised only by its own object: " + m.member + "(...)");
        return types_.error();
    }
    return useSymbol(e, r, &m.ref, &m.symbol);
}

} // namespace kqc
