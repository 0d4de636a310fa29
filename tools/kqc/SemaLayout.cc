// Semantic analysis of window layouts, controls, menu bars and menu
// handlers (see SemaImpl.h).
#include <climits>

#include "PropertyStream.h"
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {

void Sema::declareControls(ClassInfo *cls) {
    ClassInfo *controlBase = runtimeClass("Control");
    // A container control is a window class that stands among the controls
    // of the window it is placed in.
    ClassInfo *containerBase = runtimeClass("ContainerControl");
    auto &decls = cls->decl->controls;
    for (size_t i = 0; i < decls.size(); ++i) {
        ControlDecl &d = decls[i];
        if (d.name.empty()) continue;
        if (cls->own(utf8::fold(d.name))) {
            noDuplicate(cls, d.name, d.pos);
            continue;
        }
        // A control whose class is wrong is still declared (without a class),
        // so that its name and its handlers raise no further errors.
        const Type *t = resolveType(d.cls);
        bool isControl =
            t->kind == TypeKind::Object && ((controlBase && t->cls->isA(controlBase)) ||
                                            (containerBase && t->cls->isA(containerBase)));
        if (t->kind != TypeKind::Error && !isControl)
            error(d.cls.pos, "'" + d.cls.name + "' is not a control class");
        auto *info = program_.make<ControlInfo>(d.name, d.pos);
        info->window = cls;
        info->cls = isControl ? t->cls : nullptr;
        info->index = static_cast<int>(i);
        info->decl = &d;
        cls->add(info);
        cls->controls.push_back(info);
    }
}

// Menus and items of one menu bar: names are unique in it, item classes are
// menu item classes. Every item is remembered for `Handles Menu`. Each entry
// becomes an object whose name, text and shortcut are set by a property
// stream.
void Sema::menuEntries(std::vector<MenuEntry> &entries,
                       std::unordered_map<std::string, SourcePos> &seen) {
    ClassInfo *itemBase = runtimeClass("MenuItem");
    for (MenuEntry &e : entries) {
        if (e.name.empty()) continue;
        auto [at, fresh] = seen.emplace(utf8::fold(e.name), e.pos);
        if (!fresh)
            error(e.pos, "'" + e.name + "' is already used at " + diags_.where(at->second, e.pos));
        e.itemClass = itemBase;
        if (e.cls.present()) {
            const Type *t = resolveType(e.cls);
            bool isItem = t->kind == TypeKind::Object && itemBase && t->cls->isA(itemBase);
            if (t->kind != TypeKind::Error && !isItem)
                error(e.cls.pos, "'" + e.cls.name + "' is not a menu item class");
            e.itemClass = isItem ? t->cls : nullptr;
        }
        if (e.itemClass) menuItemStream(e);
        if (!e.isMenu) menuItems_.push_back(&e);
        menuEntries(e.children, seen);
    }
}

void Sema::menuItemStream(MenuEntry &e) {
    auto *cls = static_cast<ClassInfo *>(e.itemClass);
    auto set = [&](const char *name, const std::string &text) {
        const auto *list = cls->find(utf8::fold(name));
        const PropertyInfo *prop = nullptr;
        for (const Symbol *s : list ? *list : std::vector<Symbol *>{}) {
            if (s->kind == SymbolKind::Property) prop = static_cast<const PropertyInfo *>(s);
        }
        ConstValue v;
        v.kind = ConstValue::Kind::String;
        v.text = text;
        if (prop && !prop->setter.empty() && appendEntry(e.stream, prop->slot, prop->type, v))
            return;
        if (missingReported_.insert(cls->name + "." + name).second)
            error(e.pos, "the runtime's class " + cls->name + " has no settable text property " +
                             name + " for menu items");
    };
    set("Name", e.name);
    set("Text", e.text);
    if (!e.shortcut.empty()) set("KeyboardShortcut", e.shortcut);
}

void Sema::declareMenuBar(ClassInfo *cls) {
    std::unordered_map<std::string, SourcePos> seen;
    menuEntries(cls->decl->menus, seen);
}

const MenuEntry *Sema::findMenuItem(const std::string &folded) const {
    for (const MenuEntry *e : menuItems_) {
        if (utf8::fold(e->name) == folded) return e;
    }
    return nullptr;
}

// `PictureResource(id)`: the picture of the image's bitmap resource with
// that id, or Nil; for backdrops of layouts and for code alike.
void Sema::declarePictureResource() {
    ClassInfo *picture = runtimeClass("Picture");
    if (!picture || program_.findIntrinsic("PictureResource")) return;
    Overload load;
    load.entry = "RuntimeGetBitmapFromResourceManager";
    load.sig.result = picture->type;
    ParamInfo id;
    id.name = "id";
    id.type = type(TypeKind::Int16);
    load.sig.params.push_back(id);
    program_.intrinsic("PictureResource")->overloads.push_back(load);
}

// `Handles Menu Item`: a method _Item_Action returning Boolean, in the
// application class or a window.
void Sema::declareMenuHandler(ClassInfo *cls, MethodDecl &m) {
    if (m.name.empty()) return;
    ClassInfo *window = runtimeClass("Window"), *application = runtimeClass("Application");
    if (!(window && cls->isA(window)) && !(application && cls->isA(application))) {
        error(m.pos, "menu handlers belong to the application class or a window");
        return;
    }
    if (!findMenuItem(utf8::fold(m.name)))
        error(m.namePos, "no menu bar has an item '" + m.name + "'");
    auto *info = program_.make<MethodInfo>("_" + m.name + "_Action", m.namePos);
    info->owner = cls;
    info->sig.result = type(TypeKind::Boolean);
    info->decl = &m;
    info->menuItem = m.name;
    m.symbol = info;
    for (Symbol *s : cls->memberOrder) {
        if (s->kind == SymbolKind::Method && utf8::fold(s->name) == utf8::fold(info->name)) {
            error(m.namePos, "the menu item '" + m.name + "' is handled twice in " + cls->name);
        }
    }
    cls->memberOrder.push_back(info);
}

// Design-time properties: each names a settable property of the class and
// takes a constant, which becomes an entry of the property stream; a
// property that holds an object takes the name of a class (a new object of
// it, such as a menu bar) or an expression (PictureResource(0)).
void Sema::checkLayout(ClassInfo *target, std::vector<LayoutProperty> &props) {
    for (LayoutProperty &p : props) {
        const auto *list = target->find(utf8::fold(p.name));
        const Symbol *s = nullptr;
        for (const Symbol *candidate : list ? *list : std::vector<Symbol *>{}) {
            if (candidate->kind == SymbolKind::Property) s = candidate;
        }
        if (!s) {
            error(p.pos, "class " + target->name + " has no design-time property '" + p.name + "'");
            continue;
        }
        auto *prop = static_cast<const PropertyInfo *>(s);
        if (prop->setter.empty()) {
            error(p.pos, "the property '" + p.name + "' of " + target->name + " cannot be set");
            continue;
        }
        if (prop->type->kind == TypeKind::Object) {
            p.objectProperty = prop;
            ClassInfo *cls = p.value->kind == ExprKind::Name
                                 ? program_.findClass(static_cast<NameExpr &>(*p.value).name)
                                 : nullptr;
            if (!cls) {
                value(p.value);
                convert(p.value, prop->type, "");
            } else if (cls->isModule || cls->isInterface || !cls->isA(prop->type->cls)) {
                error(p.value->pos,
                      "'" + p.name + "' takes the name of a " + prop->type->cls->name + " class");
            } else {
                auto &n = static_cast<NameExpr &>(*p.value);
                n.ref = Ref::Class;
                n.symbol = cls;
                n.type = prop->type;
            }
            continue;
        }
        if (!streamable(prop->type)) {
            error(p.pos, "the property '" + p.name + "' of " + target->name +
                             " cannot be given at design time");
            continue;
        }
        value(p.value);
        convert(p.value, prop->type, "");
        ConstValue v;
        if (p.value->type->kind == TypeKind::Error) continue;
        if (!constant(*p.value, &v)) {
            error(p.value->pos, "a design-time property takes a constant value");
        } else {
            appendEntry(p.entry, prop->slot, prop->type, v);
        }
    }
}

// The stream of a control starts with its name and its index (none: it is
// no member of a control array); its design-time properties follow.
void Sema::controlStream(ControlInfo *control) {
    auto slotOf = [&](const char *name) -> const PropertyInfo * {
        const auto *list = control->cls->find(utf8::fold(name));
        for (const Symbol *s : list ? *list : std::vector<Symbol *>{}) {
            if (s->kind == SymbolKind::Property) return static_cast<const PropertyInfo *>(s);
        }
        error(control->pos, "the runtime's class " + control->cls->name + " has no property " +
                                name + " for its controls");
        return nullptr;
    };
    const PropertyInfo *name = slotOf("Name"), *index = slotOf("Index");
    if (!name || !index) return;
    ConstValue text, noIndex;
    text.kind = ConstValue::Kind::String;
    text.text = control->name;
    noIndex.kind = ConstValue::Kind::Integer;
    noIndex.integer = INT32_MIN;
    control->stream.clear();
    appendEntry(control->stream, name->slot, name->type, text);
    appendEntry(control->stream, index->slot, index->type, noIndex);
    for (const LayoutProperty &p : control->decl->properties)
        control->stream += p.entry;
}

} // namespace kqc
