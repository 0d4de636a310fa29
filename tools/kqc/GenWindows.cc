// Code generation of windows and menu bars.
//
// A window class of the image is made by RuntimeNewObject, whose initializers
// run from the runtime's Window down: the runtime's raises the hidden event
// Layout, handled by the class's `#Layout` (the window's design-time
// properties: object values through their setters, then the property stream
// through RuntimeMassPropertySetter), and opens the native window; the
// image's initializer then sets the fields, calls `_CreateControls0` (each
// control made, its object values set, its property stream applied, its
// handlers installed with RuntimeInstallInstanceEventHandler, and added with
// `_AddControl`) and registers the window's menu handlers. The code that
// creates the window then runs its Constructor and the runtime's window
// constructor, which raises the Open events of the controls and the window.
//
// A menu bar class builds its menus and items in its initializer: each an
// object of its item class with name, text and shortcut from a property
// stream, appended to its parent.
#include "CodegenImpl.h"
#include "Utf8.h"

namespace kqc {

bool ModuleGen::isWindow(const ClassInfo *cls) const {
    const ClassInfo *window = program_.findClass("Window");
    return cls && window && window->fromRuntime && cls->isA(window);
}

// A member of a runtime class, looked up by name (null when missing).
const Symbol *ModuleGen::runtimeMember(const char *cls, const char *name, SymbolKind kind) {
    const ClassInfo *c = program_.findClass(cls);
    const auto *list = c && c->fromRuntime ? c->find(utf8::fold(name)) : nullptr;
    for (const Symbol *s : list ? *list : std::vector<Symbol *>{}) {
        if (s->kind == kind) return s;
    }
    error({}, std::string("the runtime's class ") + cls + " has no " + name);
    return nullptr;
}

std::string ModuleGen::memberEntry(const char *cls, const char *name) {
    const Symbol *s = runtimeMember(cls, name, SymbolKind::Method);
    return s ? static_cast<const MethodInfo *>(s)->entry : std::string("RuntimeMissing");
}

// The window a control belongs to, and its control-array index, from the
// control's hidden fields.
uint32_t ModuleGen::controlWindowOffset() {
    const Symbol *s = runtimeMember("Control", "__kqf_mWindow", SymbolKind::Property);
    return s ? static_cast<const PropertyInfo *>(s)->param : 0;
}

uint32_t ModuleGen::controlIndexOffset() {
    const Symbol *s = runtimeMember("Control", "__kqf_mIndex", SymbolKind::Property);
    return s ? static_cast<const PropertyInfo *>(s)->param : 0;
}

// After New: the runtime's window constructor raises the Open events.
void ModuleGen::constructWindow(MethodGen &g, int32_t objectSlot) {
    g.ins("movl " + MethodGen::at(objectSlot) + ", %eax");
    g.arg(0);
    g.call(memberEntry("Window", "Window"));
}

// The implicit instance of a window class: the one the runtime keeps for
// the class name, or a new one (whose construction registers it).
std::string ModuleGen::implicitWindow(const ClassInfo *cls) {
    std::string &symbol = implicitWindows_[cls];
    if (!symbol.empty()) return symbol;
    symbol = quoted(cls->name + ".#Implicit");
    MethodGen g(*this, nullptr, false);
    g.setResult(cls->type);
    std::string done = g.label();
    g.ins("movl $" + out_.stringRecord(cls->name) + ", %eax");
    g.arg(0);
    g.call("RuntimeGetImplicitWindow");
    g.ins("movl %eax, " + MethodGen::at(g.resultSlot_));
    g.ins("testl %eax, %eax");
    g.ins("jnz " + done);
    g.ins("movl " + classPointer(cls) + ", %eax");
    g.arg(0);
    g.call("RuntimeNewObject");
    g.ins("movl %eax, " + MethodGen::at(g.resultSlot_));
    const auto *list = cls->find("constructor");
    const Symbol *ctor = list ? list->front() : nullptr;
    if (ctor && ctor->kind == SymbolKind::Method &&
        static_cast<const MethodInfo *>(ctor)->origin == MethodOrigin::Image) {
        g.ins("movl " + MethodGen::at(g.resultSlot_) + ", %eax");
        g.arg(0);
        g.callSymbol(symbolOf(static_cast<const MethodInfo *>(ctor)));
    }
    constructWindow(g, g.resultSlot_);
    g.place(done);
    g.finish(symbol, cls->type);
    return symbol;
}

// Object values of design-time properties: a class name makes a new object
// of the class, anything else is computed. `target` holds the object.
void ModuleGen::objectProperties(MethodGen &g, int32_t target,
                                 const std::vector<LayoutProperty> &props) {
    for (const LayoutProperty &p : props) {
        if (!p.objectProperty) continue;
        auto *prop = static_cast<const PropertyInfo *>(p.objectProperty);
        Value v;
        const auto *n = p.value->kind == ExprKind::Name
                            ? static_cast<const NameExpr *>(p.value.get())
                            : nullptr;
        if (n && n->ref == Ref::Class) {
            g.ins("movl " + classPointer(static_cast<const ClassInfo *>(n->symbol)) + ", %eax");
            g.arg(0);
            g.call("RuntimeNewObject");
            v = g.result(prop->type);
        } else {
            v = g.expr(*p.value);
        }
        Value object{prop->owner->type, 0};
        g.setProperty(&object, target, prop, v);
    }
}

void ModuleGen::massProperties(MethodGen &g, int32_t target, const std::string &stream) {
    if (stream.empty()) return;
    g.ins("movl " + MethodGen::at(target) + ", %eax");
    g.arg(0);
    g.ins("movl $" + out_.stringRecord(stream) + ", %eax");
    g.arg(4);
    g.call("RuntimeMassPropertySetter");
}

// The handler of the hidden event Layout: the window's design-time
// properties, after those of an image superclass.
void ModuleGen::layoutHandler(ClassInfo *cls) {
    std::string stream;
    bool objects = false;
    for (const LayoutProperty &p : cls->decl->layout) {
        stream += p.entry;
        objects = objects || p.objectProperty;
    }
    const ClassInfo *super = cls->super;
    std::string superLayout = super && layouts_.count(super) ? layouts_[super] : "";
    if (stream.empty() && !objects) {
        if (!superLayout.empty()) layouts_[cls] = superLayout;
        return;
    }
    MethodGen g(*this, cls, true);
    if (!superLayout.empty()) {
        g.ins("movl " + MethodGen::at(g.receiverOffset()) + ", %eax");
        g.arg(0);
        g.callSymbol(superLayout);
    }
    objectProperties(g, g.receiverOffset(), cls->decl->layout);
    massProperties(g, g.receiverOffset(), stream);
    layouts_[cls] = quoted(cls->name + ".#Layout");
    g.finish(layouts_[cls], nullptr);
}

// `_CreateControls0`: every control of the layout, in order; the members of
// a control array share the array's handlers.
std::string ModuleGen::createControls(ClassInfo *cls) {
    if (cls->controls.empty()) return "";
    MethodGen g(*this, cls, true);
    int32_t control = g.slot(4, Counted::Object);
    for (const ControlInfo *c : cls->controls) {
        g.ins("movl " + classPointer(c->cls) + ", %eax");
        g.arg(0);
        g.call("RuntimeNewObject");
        g.ins("movl %eax, " + MethodGen::at(control));
        g.nilCheck();
        objectProperties(g, control, c->decl->properties);
        massProperties(g, control, c->stream);
        for (Symbol *s : cls->memberOrder) {
            auto *m = s->kind == SymbolKind::Method ? static_cast<MethodInfo *>(s) : nullptr;
            if (!m || m->control != c->first) continue;
            g.ins("movl " + MethodGen::at(control) + ", %eax");
            g.arg(0);
            g.ins("movl $" + out_.stringRecord(m->event->name) + ", %eax");
            g.arg(4);
            g.ins("movl $" + symbolOf(m) + ", %eax");
            g.arg(8);
            g.call("RuntimeInstallInstanceEventHandler");
        }
        g.ins("movl " + MethodGen::at(g.receiverOffset()) + ", %eax");
        g.arg(0);
        g.ins("movl $" + out_.stringRecord(c->name) + ", %eax");
        g.arg(4);
        g.ins("movl " + MethodGen::at(control) + ", %eax");
        g.arg(8);
        g.call(memberEntry("Window", "_AddControl"));
        g.ins("movl " + MethodGen::at(control) + ", %eax");
        g.ins("movl $0, " + MethodGen::at(control));
        g.arg(0);
        g.call("RuntimeUnlockObject");
    }
    std::string symbol = quoted(cls->name + "._CreateControls0");
    g.finish(symbol, nullptr);
    return symbol;
}

// `_AddMenuHandler(name, handler)` of the runtime class `base` for every
// menu handler of the class; `target` holds the window or the application.
void ModuleGen::addMenuHandlers(MethodGen &g, const ClassInfo *cls, int32_t target,
                                const char *base) {
    std::string entry;
    for (Symbol *s : cls->memberOrder) {
        auto *m = s->kind == SymbolKind::Method ? static_cast<MethodInfo *>(s) : nullptr;
        if (!m || m->menuItem.empty()) continue;
        if (entry.empty()) entry = memberEntry(base, "_AddMenuHandler");
        g.ins("movl " + MethodGen::at(target) + ", %eax");
        g.arg(0);
        g.ins("movl $" + out_.stringRecord(m->menuItem) + ", %eax");
        g.arg(4);
        g.ins("movl $" + symbolOf(m) + ", %eax");
        g.arg(8);
        g.call(entry);
    }
}

// What a window's initializer adds to the fields' values.
void ModuleGen::windowInitializer(MethodGen &g, ClassInfo *cls) {
    std::string controls = createControls(cls);
    if (!controls.empty()) {
        g.ins("movl " + MethodGen::at(g.receiverOffset()) + ", %eax");
        g.arg(0);
        g.callSymbol(controls);
    }
    addMenuHandlers(g, cls, g.receiverOffset(), "Window");
}

// A window's accessor of an item of its menu bar: RuntimeMenuReference
// (window, name), Nil when the window's bar has no such item.
void ModuleGen::menuItemAccessor(ClassInfo *cls, const MethodInfo *m) {
    MethodGen g(*this, cls, true);
    g.setResult(m->sig.result);
    g.ins("movl " + MethodGen::at(g.receiverOffset()) + ", %eax");
    g.arg(0);
    g.ins("movl $" + out_.stringRecord(m->name) + ", %eax");
    g.arg(4);
    g.call("RuntimeMenuReference");
    g.ins("movl %eax, " + MethodGen::at(g.resultSlot_));
    g.finish(symbolOf(m), m->sig.result);
}

// The menus and items below `parent` (a frame slot), depth first.
void ModuleGen::menuEntries(MethodGen &g, int32_t parent, const std::vector<MenuEntry> &entries) {
    if (entries.empty()) return;
    std::string append = memberEntry("MenuItem", "Append");
    int32_t item = g.slot(4, Counted::Object);
    for (const MenuEntry &e : entries) {
        if (!e.itemClass) continue;
        g.ins("movl " + classPointer(static_cast<const ClassInfo *>(e.itemClass)) + ", %eax");
        g.arg(0);
        g.call("RuntimeNewObject");
        g.ins("movl %eax, " + MethodGen::at(item));
        g.nilCheck();
        massProperties(g, item, e.stream);
        menuEntries(g, item, e.children);
        g.ins("movl " + MethodGen::at(parent) + ", %eax");
        g.arg(0);
        g.ins("movl " + MethodGen::at(item) + ", %eax");
        g.arg(4);
        g.call(append);
        g.ins("movl " + MethodGen::at(item) + ", %eax");
        g.ins("movl $0, " + MethodGen::at(item));
        g.arg(0);
        g.call("RuntimeUnlockObject");
    }
}

void ModuleGen::menuBarInitializer(MethodGen &g, ClassInfo *cls) {
    menuEntries(g, g.receiverOffset(), cls->decl->menus);
}

// The application's menu bar: a new object of the project's menu bar class;
// `appSlot` holds the application object.
void ModuleGen::applicationMenuBar(MethodGen &g, int32_t appSlot) {
    if (project_->menuBar.empty()) return;
    const ClassInfo *bar = program_.findClass(project_->menuBar);
    const Symbol *s = runtimeMember("Application", "MenuBar", SymbolKind::Property);
    if (!bar || !s) return;
    auto *prop = static_cast<const PropertyInfo *>(s);
    g.ins("movl " + classPointer(bar) + ", %eax");
    g.arg(0);
    g.call("RuntimeNewObject");
    Value v = g.result(prop->type);
    Value object{prop->owner->type, 0};
    g.setProperty(&object, appSlot, prop, v);
}

// The menu handlers of the application class and its image superclasses.
void ModuleGen::applicationMenuHandlers(MethodGen &g, const ClassInfo *app, int32_t appSlot) {
    for (const ClassInfo *c = app; c && !c->fromRuntime; c = c->super)
        addMenuHandlers(g, c, appSlot, "Application");
}

// The project's default window: its implicit instance, opened at start.
void ModuleGen::defaultWindow(MethodGen &g) {
    if (project_->defaultWindow.empty()) return;
    const ClassInfo *window = program_.findClass(project_->defaultWindow);
    if (!window) return;
    g.callSymbol(implicitWindow(window));
    g.ins("testl %eax, %eax");
    std::string none = g.label();
    g.ins("jz " + none);
    g.arg(0);
    g.call("RuntimeUnlockObject");
    g.place(none);
}

} // namespace kqc
