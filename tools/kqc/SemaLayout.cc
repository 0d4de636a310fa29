// Semantic analysis of window layouts, controls, menu bars and menu
// handlers (see SemaImpl.h).
#include <climits>
#include <set>

#include "PropertyStream.h"
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {

// Controls of a window layout. Members of a control array share their name
// and differ in their index; the first member stands for the array.
void Sema::declareControls(ClassInfo *cls) {
    ClassInfo *controlBase = runtimeClass("Control");
    // A container control is a window class that stands among the controls
    // of the window it is placed in.
    ClassInfo *containerBase = runtimeClass("ContainerControl");
    auto &decls = cls->decl->controls;
    for (size_t i = 0; i < decls.size(); ++i) {
        ControlDecl &d = decls[i];
        if (d.name.empty()) continue;
        ControlInfo *first = nullptr;
        if (const auto *own = cls->own(utf8::fold(d.name))) {
            const Symbol *s = own->front();
            first = s->kind == SymbolKind::Control
                        ? const_cast<ControlInfo *>(static_cast<const ControlInfo *>(s))
                        : nullptr;
            if (!first || !first->isArray || !d.isArray) {
                noDuplicate(cls, d.name, d.pos);
                continue;
            }
        }
        if (d.isArray && d.index > 32767) {
            error(d.indexPos, "a control-array index is a number from 0 to 32767");
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
        info->isArray = d.isArray;
        if (d.isArray) info->arrayIndex = static_cast<int32_t>(d.index);
        if (first) {
            for (const ControlInfo *c : cls->controls) {
                if (c->first == first && c->arrayIndex == info->arrayIndex)
                    error(d.indexPos, "'" + d.name + "(" + std::to_string(d.index) +
                                          ")' is already declared at " +
                                          diags_.where(c->pos, d.pos));
            }
            if (first->cls != info->cls)
                error(d.cls.pos, "the members of the control array '" + d.name +
                                     "' are of one class, " +
                                     (first->cls ? first->cls->name : std::string("?")));
            info->first = first;
        } else {
            cls->add(info);
        }
        cls->controls.push_back(info);
    }
}

// Menus and items of one menu bar: names are unique in it, item classes are
// menu item classes. Every item is remembered for `Handles Menu`. Each entry
// becomes an object whose name, text and shortcut are set by a property
// stream.
void Sema::menuEntries(std::vector<MenuEntry> &entries,
                       std::unordered_map<std::string, SourcePos> &seen,
                       std::unordered_map<std::string, std::set<uint64_t>> &arrays) {
    ClassInfo *itemBase = runtimeClass("MenuItem");
    for (MenuEntry &e : entries) {
        if (e.name.empty()) continue;
        // Members of a menu-item array share their name and differ in
        // their index.
        std::string key = utf8::fold(e.name);
        auto [at, fresh] = seen.emplace(key, e.pos);
        bool member = e.isArray && arrays.count(key) != 0;
        if (e.isArray && e.index > 32767) {
            error(e.indexPos, "a menu-item index is a number from 0 to 32767");
        } else if (member && !arrays[key].insert(e.index).second) {
            error(e.indexPos, "'" + e.name + "(" + std::to_string(e.index) + ")' is already used");
        } else if (!fresh && !member) {
            error(e.pos, "'" + e.name + "' is already used at " + diags_.where(at->second, e.pos));
        }
        if (fresh && e.isArray) arrays[key].insert(e.index);
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
        menuEntries(e.children, seen, arrays);
    }
}

void Sema::menuItemStream(MenuEntry &e) {
    auto *cls = static_cast<ClassInfo *>(e.itemClass);
    auto set = [&](const char *name, const ConstValue &v) {
        const auto *list = cls->find(utf8::fold(name));
        const PropertyInfo *prop = nullptr;
        for (const Symbol *s : list ? *list : std::vector<Symbol *>{}) {
            if (s->kind == SymbolKind::Property) prop = static_cast<const PropertyInfo *>(s);
        }
        if (prop && !prop->setter.empty() && appendEntry(e.stream, prop->slot, prop->type, v))
            return;
        if (missingReported_.insert(cls->name + "." + name).second)
            error(e.pos, "the runtime's class " + cls->name + " has no settable property " + name +
                             " for menu items");
    };
    auto text = [](const std::string &t) {
        ConstValue v;
        v.kind = ConstValue::Kind::String;
        v.text = t;
        return v;
    };
    set("Name", text(e.name));
    set("Text", text(e.text));
    if (!e.shortcut.empty()) set("KeyboardShortcut", text(e.shortcut));
    if (e.isArray) {
        ConstValue index;
        index.kind = ConstValue::Kind::Integer;
        index.integer = static_cast<int64_t>(e.index);
        set("Index", index);
    }
}

void Sema::declareMenuBar(ClassInfo *cls) {
    std::unordered_map<std::string, SourcePos> seen;
    std::unordered_map<std::string, std::set<uint64_t>> arrays;
    menuEntries(cls->decl->menus, seen, arrays);
}

const MenuEntry *Sema::findMenuItem(const std::string &folded) const {
    for (const MenuEntry *e : menuItems_) {
        if (utf8::fold(e->name) == folded) return e;
    }
    return nullptr;
}

// The items of a window's menu bar (`MenuBar = Class` in its layout) are
// methods of the window named like the items, each returning the item of
// that name from the window's menu bar. A name the window or its
// superclasses already use keeps its meaning; the members of a menu-item
// array are reached through the menu bar.
void Sema::declareMenuItemAccessors(ClassInfo *cls) {
    const ClassInfo *bar = nullptr;
    for (const LayoutProperty &p : cls->decl->layout) {
        if (utf8::fold(p.name) != "menubar" || p.value->kind != ExprKind::Name) continue;
        const ClassInfo *c = program_.findClass(static_cast<const NameExpr &>(*p.value).name);
        bar = c && c->isMenuBar && c->decl ? c : nullptr;
    }
    if (bar) menuItemAccessors(cls, bar->decl->menus);
}

void Sema::menuItemAccessors(ClassInfo *cls, const std::vector<MenuEntry> &entries) {
    for (const MenuEntry &e : entries) {
        if (!e.name.empty() && !e.isArray && e.itemClass && !cls->find(utf8::fold(e.name))) {
            auto *info = program_.make<MethodInfo>(e.name, e.pos);
            info->owner = cls;
            info->sig.result = static_cast<ClassInfo *>(e.itemClass)->type;
            info->itemAccessor = true;
            info->vtableIndex = static_cast<int>(cls->vtable.size());
            cls->vtable.push_back(info);
            cls->add(info);
        }
        menuItemAccessors(cls, e.children);
    }
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

// `Handles Menu Item[(index As Integer)]`: a method _Item_Action returning
// Boolean, in the application class or a window. The runtime calls it with
// the chosen item's Index, which tells apart the items of a menu-item array
// that share one name; the handler takes it or leaves it.
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
    info->sig = signatureOf(m.params, m.result, false);
    info->sig.result = type(TypeKind::Boolean);
    bool indexOnly = info->sig.params.size() == 1 &&
                     info->sig.params[0].type->kind == TypeKind::Int32 &&
                     !info->sig.params[0].byRef && !info->sig.params[0].optional;
    if (!info->sig.params.empty() && !indexOnly)
        error(m.params.front().pos, "a menu handler takes nothing or the item's index As Integer");
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

// The stream of a control starts with its name and its index (for a control
// that is no member of a control array, the smallest integer); its
// design-time properties follow.
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
    ConstValue text, arrayIndex;
    text.kind = ConstValue::Kind::String;
    text.text = control->name;
    arrayIndex.kind = ConstValue::Kind::Integer;
    arrayIndex.integer = control->arrayIndex;
    control->stream.clear();
    appendEntry(control->stream, name->slot, name->type, text);
    appendEntry(control->stream, index->slot, index->type, arrayIndex);
    for (const LayoutProperty &p : control->decl->properties)
        control->stream += p.entry;
}

} // namespace kqc
