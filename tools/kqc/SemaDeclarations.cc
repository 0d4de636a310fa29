// Semantic analysis of declarations: classes, inheritance, members,
// overriding, events and their handlers, interfaces, field layout, and the
// classes the project file names (see SemaImpl.h).
#include <algorithm>
#include <functional>

#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {

bool analyze(Program &program, std::vector<SourceUnit> &units, const Project *project,
             Diagnostics &diags) {
    return Sema(program, units, project, diags).run();
}

bool Sema::run() {
    size_t before = diags_.errorCount();
    declarePictureResource();
    declareClasses();
    for (ClassInfo *cls : imageClasses_)
        resolveBases(cls);
    orderClasses();
    for (ClassInfo *cls : imageClasses_) {
        if (cls->isMenuBar) declareMenuBar(cls);
    }
    for (ClassInfo *cls : imageClasses_)
        declareMembers(cls);
    declareGlobals();
    for (ClassInfo *cls : imageClasses_) {
        layoutFields(cls);
        checkInterfaces(cls);
    }
    for (ClassInfo *cls : imageClasses_) {
        ctx_ = BodyContext{};
        ctx_.cls = ctx_.meClass = cls;
        for (Symbol *s : cls->memberOrder) {
            if (s->kind == SymbolKind::Constant) resolveConst(static_cast<ConstInfo *>(s));
        }
        if (cls->isWindow) {
            checkControlHandlers(cls);
            checkLayout(cls, cls->decl->layout);
            for (ControlInfo *c : cls->controls) {
                if (!c->cls) continue;
                checkLayout(c->cls, const_cast<ControlDecl *>(c->decl)->properties);
                controlStream(c);
            }
        }
    }
    checkProject();
    checkBodies();
    return diags_.errorCount() == before && !diags_.truncated();
}

ClassInfo *Sema::runtimeClass(const char *name) const {
    ClassInfo *cls = program_.findClass(name);
    return cls && cls->fromRuntime ? cls : nullptr;
}

void Sema::declareClasses() {
    for (SourceUnit &unit : units_) {
        for (auto &decl : unit.types) {
            if (decl->name.empty()) continue;
            ClassInfo *cls = program_.addClass(decl->name, decl->namePos);
            if (!cls) {
                ClassInfo *old = program_.findClass(decl->name);
                error(decl->namePos, old->fromRuntime
                                         ? "'" + decl->name + "' is a class of the runtime"
                                         : "'" + decl->name + "' is already declared at " +
                                               diags_.where(old->pos, decl->namePos));
                continue;
            }
            cls->decl = decl.get();
            cls->isInterface = decl->kind == DeclKind::Interface;
            cls->isModule = decl->kind == DeclKind::Module;
            cls->isWindow = decl->kind == DeclKind::Window;
            cls->isMenuBar = decl->kind == DeclKind::MenuBar;
            decl->symbol = cls;
            imageClasses_.push_back(cls);
        }
    }
}

void Sema::resolveBases(ClassInfo *cls) {
    TypeDecl &d = *cls->decl;
    if (cls->isInterface || cls->isModule) return;
    const char *implicit = cls->isWindow ? "Window" : cls->isMenuBar ? "MenuBar" : nullptr;
    ClassInfo *base = implicit ? runtimeClass(implicit) : nullptr;
    if (implicit && !base) error(d.pos, std::string("the runtime has no class ") + implicit);
    if (!d.super.empty()) {
        ClassInfo *super = program_.findClass(d.super);
        if (!super) {
            error(d.superPos, "unknown class '" + d.super + "'");
        } else if (super->isInterface) {
            error(d.superPos,
                  "'" + super->name + "' is an interface; a class implements it with Implements");
        } else if (super->isModule) {
            error(d.superPos, "'" + super->name + "' is a module; only classes can be inherited");
        } else if (super->isMenuBar != cls->isMenuBar) {
            error(d.superPos,
                  "'" + super->name + "' cannot be the superclass of '" + cls->name + "'");
        } else {
            base = super->isRoot ? nullptr : super;
        }
    }
    cls->super = base;
    for (auto &[name, pos] : d.interfaces) {
        ClassInfo *iface = program_.findClass(name);
        if (!iface) {
            error(pos, "unknown interface '" + name + "'");
        } else if (!iface->isInterface) {
            error(pos, "'" + iface->name + "' is not an interface");
        } else if (std::find(cls->interfaces.begin(), cls->interfaces.end(), iface) !=
                   cls->interfaces.end()) {
            error(pos, "'" + iface->name + "' is named twice");
        } else {
            cls->interfaces.push_back(iface);
        }
    }
}

// Puts superclasses before their subclasses; a cycle is reported and broken.
bool Sema::orderClasses() {
    std::vector<ClassInfo *> ordered;
    std::unordered_map<ClassInfo *, int> state; // 1 visiting, 2 done
    bool ok = true;
    std::function<void(ClassInfo *)> visit = [&](ClassInfo *cls) {
        if (cls->fromRuntime || state[cls] == 2) return;
        state[cls] = 1;
        if (cls->super && !cls->super->fromRuntime) {
            if (state[cls->super] == 1) {
                error(cls->decl->superPos, "'" + cls->name + "' inherits from itself");
                cls->super = cls->isWindow ? runtimeClass("Window") : nullptr;
                ok = false;
            } else {
                visit(cls->super);
            }
        }
        state[cls] = 2;
        ordered.push_back(cls);
    };
    for (ClassInfo *cls : imageClasses_)
        visit(cls);
    imageClasses_ = ordered;
    return ok;
}

const Type *Sema::resolveType(const TypeRef &ref) {
    if (!ref.present()) return types_.error();
    const Type *t = types_.byName(utf8::fold(ref.name));
    if (!t) {
        ClassInfo *cls = program_.findClass(ref.name);
        if (!cls) {
            error(ref.pos, "unknown type '" + ref.name + "'");
            return types_.error();
        }
        if (cls->isModule) {
            error(ref.pos, "'" + cls->name + "' is a module, not a type");
            return types_.error();
        }
        t = cls->type;
    }
    if (ref.arrayDims > 0) t = types_.array(t, ref.arrayDims);
    const_cast<TypeRef &>(ref).type = t;
    return t;
}

Signature Sema::signatureOf(const std::vector<Param> &params, const TypeRef &result,
                            bool isFunction) {
    Signature sig;
    sig.result = isFunction ? resolveType(result) : type(TypeKind::Void);
    bool optionalSeen = false;
    for (const Param &p : params) {
        ParamInfo info;
        info.name = p.name;
        info.type = resolveType(p.type);
        info.byRef = p.byRef;
        info.optional = p.optional || p.defaultValue;
        for (const ParamInfo &other : sig.params) {
            if (utf8::fold(other.name) == utf8::fold(p.name))
                error(p.pos, "parameter '" + p.name + "' is named twice");
        }
        if (info.optional && p.byRef) error(p.pos, "an Optional parameter cannot be ByRef");
        if (optionalSeen && !info.optional) {
            error(p.pos, "parameter '" + p.name +
                             "' follows an Optional parameter and must be Optional too");
        }
        optionalSeen |= info.optional;
        if (p.defaultValue) {
            ExprPtr &e = const_cast<ExprPtr &>(p.defaultValue);
            value(e);
            convert(e, info.type, "the default value");
            if (!constant(*e, &info.defaultValue))
                error(e->pos, "a default value must be a constant");
        }
        sig.params.push_back(std::move(info));
    }
    return sig;
}

bool Sema::sameSignature(const Signature &a, const Signature &b) const {
    if (a.result != b.result || a.params.size() != b.params.size()) return false;
    for (size_t i = 0; i < a.params.size(); ++i) {
        if (a.params[i].type != b.params[i].type || a.params[i].byRef != b.params[i].byRef)
            return false;
    }
    return true;
}

std::string Sema::describe(const Signature &sig) const {
    std::string out = "(";
    for (const ParamInfo &p : sig.params) {
        if (out.size() > 1) out += ", ";
        out += (p.byRef ? "ByRef " : "") + typeName(p.type);
    }
    out += ")";
    if (sig.result->kind != TypeKind::Void) out += " As " + typeName(sig.result);
    return out;
}

void Sema::noDuplicate(ClassInfo *cls, const std::string &name, SourcePos pos) {
    if (const auto *old = cls->own(utf8::fold(name))) {
        error(pos, "'" + name + "' is already declared in " + cls->name + " at " +
                       diags_.where(old->front()->pos, pos));
    }
}

void Sema::declareMembers(ClassInfo *cls) {
    ctx_ = BodyContext{};
    ctx_.cls = ctx_.meClass = cls;
    if (ClassInfo *super = cls->super) {
        cls->events = super->events;
        cls->vtable = super->vtable;
        cls->vtable.resize(std::max<size_t>(cls->vtable.size(), super->methodCount), nullptr);
        cls->instanceSize = super->instanceSize;
        cls->memberCount = super->memberCount;
        cls->propertyCount = super->propertyCount;
        cls->interfaceCount = super->interfaceCount;
    }
    if (cls->isWindow) declareControls(cls);
    for (MemberPtr &m : cls->decl->members) {
        switch (m->kind) {
        case MemberKind::Field:
            declareField(cls, static_cast<FieldDecl &>(*m));
            break;
        case MemberKind::Const:
            declareConst(cls, static_cast<ConstDecl &>(*m));
            break;
        case MemberKind::Event:
            declareEvent(cls, static_cast<EventDecl &>(*m));
            break;
        case MemberKind::Method:
            declareMethod(cls, static_cast<MethodDecl &>(*m));
            break;
        case MemberKind::Handler:
            declareHandler(cls, static_cast<MethodDecl &>(*m));
            break;
        case MemberKind::MenuHandler:
            declareMenuHandler(cls, static_cast<MethodDecl &>(*m));
            break;
        case MemberKind::Declare:
            declareDeclare(cls, static_cast<DeclareDecl &>(*m));
            break;
        }
    }
    if (cls->isWindow) declareMenuItemAccessors(cls);
    cls->methodCount = static_cast<int>(cls->vtable.size());
    cls->eventCount = static_cast<int>(cls->events.size());
    cls->interfaceCount += static_cast<int>(cls->interfaces.size());
    for (Symbol *s : cls->memberOrder) {
        if (s->kind == SymbolKind::Method &&
            static_cast<MethodInfo *>(s)->origin == MethodOrigin::Image) {
            ++cls->memberCount;
        }
    }
}

// A name that a superclass already uses may only be taken again by a method
// that overrides a method.
static const Symbol *inherited(const ClassInfo *cls, const std::string &name) {
    if (!cls->super) return nullptr;
    const auto *list = cls->super->find(utf8::fold(name));
    return list ? list->front() : nullptr;
}

void Sema::declareField(ClassInfo *cls, FieldDecl &f) {
    noDuplicate(cls, f.name, f.namePos);
    if (const Symbol *old = inherited(cls, f.name)) {
        error(f.namePos, "'" + f.name + "' is already a member of " + ownerName(old));
    }
    auto *info = program_.make<FieldInfo>(f.name, f.namePos);
    info->owner = cls;
    info->type = resolveType(f.type);
    if (f.isArray) {
        if (info->type->kind == TypeKind::Array)
            error(f.namePos, "an array of arrays is not supported");
        info->type = types_.array(info->type, std::max<int>(1, static_cast<int>(f.bounds.size())));
    }
    info->shared = f.shared || cls->isModule;
    info->isPrivate = f.isPrivate;
    info->decl = &f;
    f.symbol = info;
    cls->add(info);
}

void Sema::declareConst(ClassInfo *cls, ConstDecl &c) {
    noDuplicate(cls, c.name, c.namePos);
    if (const Symbol *old = inherited(cls, c.name)) {
        error(c.namePos, "'" + c.name + "' is already a member of " + ownerName(old));
    }
    auto *info = program_.make<ConstInfo>(c.name, c.namePos);
    info->owner = cls;
    info->decl = &c;
    info->type = types_.error();
    c.symbol = info;
    cls->add(info);
}

void Sema::declareEvent(ClassInfo *cls, EventDecl &e) {
    noDuplicate(cls, e.name, e.namePos);
    if (const Symbol *old = inherited(cls, e.name)) {
        error(e.namePos, "'" + e.name + "' is already a member of " + ownerName(old));
    }
    auto *info = program_.make<EventInfo>(e.name, e.namePos);
    info->owner = cls;
    info->sig = signatureOf(e.params, e.result, e.result.present());
    info->index = static_cast<int>(cls->events.size());
    cls->events.push_back(info);
    e.symbol = info;
    cls->add(info);
}

void Sema::declareMethod(ClassInfo *cls, MethodDecl &m) {
    if (m.name.empty()) return;
    noDuplicate(cls, m.name, m.namePos);
    auto *info = program_.make<MethodInfo>(m.name, m.namePos);
    info->owner = cls;
    info->origin = cls->isInterface ? MethodOrigin::Interface : MethodOrigin::Image;
    info->sig = signatureOf(m.params, m.result, m.isFunction);
    info->shared = m.shared;
    info->isPrivate = m.isPrivate;
    info->decl = &m;
    m.symbol = info;
    bool constructor = utf8::fold(m.name) == "constructor";
    if (constructor && (m.isFunction || m.shared || cls->isModule || cls->isInterface)) {
        error(m.namePos, "a Constructor is a Sub of a class, not Shared");
    }
    if (cls->isInterface) {
        info->vtableIndex = static_cast<int>(cls->memberOrder.size());
    } else if (!info->shared && !constructor && checkOverride(cls, info)) {
        info->vtableIndex = static_cast<int>(cls->vtable.size());
        cls->vtable.push_back(info);
    } else if (const Symbol *old = info->shared || constructor ? inherited(cls, m.name) : nullptr) {
        bool superConstructor = constructor && old->kind == SymbolKind::Method;
        if (!superConstructor)
            error(m.namePos, "'" + m.name + "' is already a member of " + ownerName(old));
    }
    cls->add(info);
}

// True when m takes a new slot; false when it overrides (or was reported).
bool Sema::checkOverride(ClassInfo *cls, MethodInfo *m) {
    const Symbol *old = inherited(cls, m->name);
    if (!old) return true;
    auto *base = old->kind == SymbolKind::Method ? static_cast<const MethodInfo *>(old) : nullptr;
    if (!base || base->vtableIndex < 0 || base->origin != MethodOrigin::Image) {
        error(m->pos, "'" + m->name + "' is already a member of " + ownerName(old));
        return false;
    }
    if (!sameSignature(base->sig, m->sig)) {
        error(m->pos, "'" + m->name + "' overrides the method of " + base->owner->name +
                          " and must take " + describe(base->sig));
    }
    m->vtableIndex = base->vtableIndex;
    m->overrides = base;
    cls->vtable[base->vtableIndex] = m;
    return false;
}

void Sema::declareDeclare(ClassInfo *cls, DeclareDecl &d) {
    if (cls) noDuplicate(cls, d.name, d.namePos);
    auto *info = program_.make<MethodInfo>(d.name, d.namePos);
    info->owner = cls;
    info->origin = MethodOrigin::Declare;
    info->shared = true;
    info->isPrivate = d.isPrivate;
    info->entry = d.name;
    info->lib = d.lib;
    info->sig = signatureOf(d.params, d.result, d.isFunction);
    auto allowed = [](const Type *t) {
        return isNumeric(t) || t->kind == TypeKind::Boolean || t->kind == TypeKind::Ptr ||
               t->kind == TypeKind::Color || t->kind == TypeKind::String ||
               t->kind == TypeKind::Error;
    };
    for (size_t i = 0; i < d.params.size(); ++i) {
        if (!allowed(info->sig.params[i].type)) {
            error(d.params[i].pos,
                  "a library function takes numbers, Booleans, Colors, Ptr and Strings");
        }
    }
    if (d.isFunction &&
        (!allowed(info->sig.result) || info->sig.result->kind == TypeKind::String)) {
        error(d.result.pos, "a library function returns a number, Boolean, Color or Ptr");
    }
    if (d.lib.empty()) error(d.pos, "a Declare needs the library's name");
    d.symbol = info;
    if (cls) cls->add(info);
}

// The event among the members of one name (a runtime class may have a
// method of the same name, as Thread has Run).
static const EventInfo *eventIn(const std::vector<Symbol *> *list) {
    if (!list) return nullptr;
    for (const Symbol *s : *list) {
        if (s->kind == SymbolKind::Event) return static_cast<const EventInfo *>(s);
    }
    return nullptr;
}

void Sema::declareHandler(ClassInfo *cls, MethodDecl &m) {
    if (m.name.empty()) return;
    auto *info =
        program_.make<MethodInfo>(m.control.empty() ? m.name : m.control + "_" + m.name, m.namePos);
    info->owner = cls;
    info->sig = signatureOf(m.params, m.result, m.isFunction);
    info->decl = &m;
    m.symbol = info;
    std::string folded = utf8::fold(m.name);
    const EventInfo *event = nullptr;
    if (!m.control.empty()) {
        ControlInfo *control = nullptr;
        for (ControlInfo *c : cls->controls) {
            if (!control && utf8::fold(c->name) == utf8::fold(m.control)) control = c;
        }
        if (!control) {
            error(m.controlPos, "'" + cls->name + "' has no control '" + m.control + "'");
            return;
        }
        if (!control->cls) { // reported with the control
            m.symbol = nullptr;
            return;
        }
        event = eventIn(control->cls->find(folded));
        if (!event) {
            error(m.namePos, "class " + control->cls->name + " of '" + control->name +
                                 "' has no event '" + m.name + "'");
            return;
        }
        for (Symbol *s : cls->memberOrder) {
            if (utf8::fold(s->name) == utf8::fold(info->name) && s->kind == SymbolKind::Method) {
                error(m.namePos, "'" + m.control + "." + m.name + "' is handled twice");
            }
        }
        // The members of a control array share one handler, which learns
        // from its first parameter whose event it is.
        if (control->isArray) {
            auto &params = info->sig.params;
            if (params.empty() || params[0].type->kind != TypeKind::Int32 || params[0].byRef ||
                params[0].optional) {
                error(m.namePos, "the handler of the control array '" + control->name +
                                     "' takes the member's index As Integer first");
                m.symbol = nullptr;
                return;
            }
            params.erase(params.begin());
        }
        info->control = control;
    } else {
        const auto *own = cls->own(folded);
        const auto *list = cls->super ? cls->super->find(folded) : nullptr;
        if (eventIn(own)) {
            error(m.namePos,
                  "'" + m.name + "' is an event of " + cls->name + " itself; subclasses handle it");
            return;
        }
        event = eventIn(list);
        if (!event) {
            error(m.namePos, "'" + cls->name + "' has no inherited event '" + m.name + "'");
            return;
        }
        ClassInfo *window = runtimeClass("Window");
        if (folded == "layout" && window && cls->isA(window)) {
            error(m.namePos, "a window's Layout sets its design-time properties; write them in "
                             "the window instead");
            return;
        }
        for (const ClassInfo *c = cls; c; c = c->super) {
            if (c->handled.count(folded)) {
                error(m.namePos, "the event '" + m.name + "' is already handled " +
                                     (c == cls ? std::string("in this class") : "by " + c->name));
                return;
            }
        }
        cls->handled.insert(folded);
    }
    if (!sameSignature(event->sig, info->sig)) {
        error(m.namePos, "the handler of '" + event->name + "' must take " + describe(event->sig));
    }
    info->event = event;
    cls->memberOrder.push_back(info); // a member of the class table, not callable by name
}

// A control's event that its class (or a superclass) already handles has
// no place for a handler of the window: the runtime refuses to install it.
void Sema::checkControlHandlers(ClassInfo *cls) {
    for (Symbol *s : cls->memberOrder) {
        auto *m = s->kind == SymbolKind::Method ? static_cast<MethodInfo *>(s) : nullptr;
        if (!m || !m->control || !m->control->cls || !m->event) continue;
        std::string folded = utf8::fold(m->event->name);
        for (const ClassInfo *c = m->control->cls; c; c = c->super) {
            if (!c->handled.count(folded)) continue;
            error(m->pos, "the event '" + m->event->name + "' of '" + m->control->name +
                              "' is already handled by its class " + c->name);
            break;
        }
    }
}

void Sema::layoutFields(ClassInfo *cls) {
    uint32_t offset = cls->super ? cls->super->instanceSize : cls->instanceSize;
    for (Symbol *s : cls->memberOrder) {
        if (s->kind != SymbolKind::Field) continue;
        auto *f = static_cast<FieldInfo *>(s);
        if (f->shared) continue;
        uint32_t size = sizeOf(f->type), align = std::min<uint32_t>(size, 4);
        offset = (offset + align - 1) / align * align;
        f->offset = offset;
        offset += size;
    }
    cls->instanceSize = (offset + 3) / 4 * 4;
}

void Sema::checkInterfaces(ClassInfo *cls) {
    if (cls->isInterface || cls->isModule) return;
    for (size_t i = 0; i < cls->interfaces.size(); ++i) {
        ClassInfo *iface = cls->interfaces[i];
        for (Symbol *s : iface->memberOrder) {
            if (s->kind != SymbolKind::Method) continue;
            auto *wanted = static_cast<MethodInfo *>(s);
            const auto *list = cls->find(utf8::fold(wanted->name));
            const Symbol *found = list ? list->front() : nullptr;
            auto *m = found && found->kind == SymbolKind::Method
                          ? static_cast<const MethodInfo *>(found)
                          : nullptr;
            SourcePos pos =
                cls->decl->interfaces.size() > i ? cls->decl->interfaces[i].second : cls->pos;
            if (!m || m->shared || m->vtableIndex < 0) {
                error(pos, "'" + cls->name + "' does not implement '" + wanted->name + "' of " +
                               iface->name);
            } else if (!sameSignature(m->sig, wanted->sig)) {
                error(m->pos, "'" + m->name + "' implements " + iface->name + "." + wanted->name +
                                  " and must take " + describe(wanted->sig));
            }
        }
    }
}

void Sema::declareGlobals() {
    for (ClassInfo *cls : program_.classes()) {
        if (!cls->isModule) continue;
        for (Symbol *s : cls->memberOrder)
            globals_[utf8::fold(s->name)].push_back(s);
    }
    ctx_ = BodyContext{};
    for (SourceUnit &unit : units_) {
        for (MemberPtr &m : unit.declares) {
            auto &d = static_cast<DeclareDecl &>(*m);
            if (d.name.empty()) continue;
            auto &list = globals_[utf8::fold(d.name)];
            declareDeclare(nullptr, d);
            if (!list.empty())
                error(d.namePos, "'" + d.name + "' is already declared at " +
                                     diags_.where(list[0]->pos, d.namePos));
            list.push_back(d.symbol);
        }
    }
}

void Sema::checkProject() {
    if (!project_) return;
    SourcePos at{project_->fileId, 0, 0};
    bool console = project_->kind == Project::Kind::Console;
    const char *baseName = console ? "ConsoleApplication" : "Application";
    ClassInfo *base = runtimeClass(baseName);
    ClassInfo *app = program_.findClass(project_->applicationClass);
    if (!app || app->fromRuntime) {
        error(at, "the application class '" + project_->applicationClass + "' is not declared");
    } else if (!base) {
        error(at, std::string("the runtime has no class ") + baseName);
    } else if (!app->isA(base)) {
        error(app->pos, "the application class '" + app->name + "' must inherit " + baseName);
    }
    for (ClassInfo *cls : imageClasses_) {
        if (console && (cls->isWindow || cls->isMenuBar)) {
            error(cls->pos, "a console application has no windows or menu bars");
        }
    }
    auto named = [&](const std::string &name, bool window, const char *what) {
        if (name.empty()) return;
        ClassInfo *cls = program_.findClass(name);
        if (!cls || (window ? !cls->isWindow : !cls->isMenuBar)) {
            error(at, std::string("the ") + what + " '" + name + "' is not declared");
        }
    };
    named(project_->defaultWindow, true, "default window");
    named(project_->menuBar, false, "menu bar");
}

} // namespace kqc
