// Semantic analysis of window layouts, controls, menu bars and menu
// handlers (see SemaImpl.h).
#include "SemaImpl.h"
#include "Utf8.h"

namespace kqc {

void Sema::declareControls(ClassInfo *cls) {
    ClassInfo *controlBase = runtimeClass("Control");
    auto &decls = cls->decl->controls;
    for (size_t i = 0; i < decls.size(); ++i) {
        ControlDecl &d = decls[i];
        if (d.name.empty()) continue;
        if (cls->own(utf8::fold(d.name))) {
            noDuplicate(cls, d.name, d.pos);
            continue;
        }
        const Type *t = resolveType(d.cls);
        if (t->kind == TypeKind::Error) continue;
        if (t->kind != TypeKind::Object || !controlBase || !t->cls->isA(controlBase)) {
            error(d.cls.pos, "'" + d.cls.name + "' is not a control class");
            continue;
        }
        auto *info = program_.make<ControlInfo>(d.name, d.pos);
        info->window = cls;
        info->cls = t->cls;
        info->index = static_cast<int>(i);
        info->decl = &d;
        cls->add(info);
        cls->controls.push_back(info);
    }
}

// Menus and items of one menu bar: names are unique in it, item classes are
// menu item classes. Every item is remembered for `Handles Menu`.
void Sema::menuEntries(std::vector<MenuEntry> &entries,
                       std::unordered_map<std::string, SourcePos> &seen) {
    ClassInfo *itemBase = runtimeClass("MenuItem");
    for (MenuEntry &e : entries) {
        if (e.name.empty()) continue;
        auto [at, fresh] = seen.emplace(utf8::fold(e.name), e.pos);
        if (!fresh)
            error(e.pos, "'" + e.name + "' is already used at " + diags_.where(at->second, e.pos));
        if (e.cls.present()) {
            const Type *t = resolveType(e.cls);
            bool isItem = t->kind == TypeKind::Object && itemBase && t->cls->isA(itemBase);
            if (t->kind != TypeKind::Error && !isItem)
                error(e.cls.pos, "'" + e.cls.name + "' is not a menu item class");
        }
        if (!e.isMenu) menuItems_.push_back(&e);
        menuEntries(e.children, seen);
    }
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

// `Handles Menu Item`: a method _Item_Action returning Boolean.
void Sema::declareMenuHandler(ClassInfo *cls, MethodDecl &m) {
    if (m.name.empty()) return;
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

// Design-time properties: each names a settable property slot of the
// runtime class and takes a constant, or a menu bar for an object slot.
void Sema::checkLayout(ClassInfo *target, std::vector<LayoutProperty> &props) {
    for (LayoutProperty &p : props) {
        const auto *list = target->find(utf8::fold(p.name));
        const Symbol *s = list ? list->front() : nullptr;
        if (!s || s->kind != SymbolKind::Property) {
            error(p.pos, "class " + target->name + " has no design-time property '" + p.name + "'");
            continue;
        }
        auto *prop = static_cast<const PropertyInfo *>(s);
        if (prop->setter.empty()) {
            error(p.pos, "the property '" + p.name + "' of " + target->name + " cannot be set");
            continue;
        }
        if (prop->type->kind == TypeKind::Object) {
            ClassInfo *cls = p.value->kind == ExprKind::Name
                                 ? program_.findClass(static_cast<NameExpr &>(*p.value).name)
                                 : nullptr;
            if (!cls || !cls->isA(prop->type->cls)) {
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
        value(p.value);
        convert(p.value, prop->type, "");
        ConstValue v;
        if (p.value->type->kind != TypeKind::Error && !constant(*p.value, &v)) {
            error(p.value->pos, "a design-time property takes a constant value");
        }
    }
}

} // namespace kqc
