// Code generation of the class registration in the start code: each image
// class is made with RuntimeNewClass on top of its superclass (whose tables
// RuntimeNewClass copies, so inherited slots keep their indexes), then its
// own entries are filled in: name, instance size, life-cycle functions,
// method table, events and the handlers of inherited events, members with
// their mangled names, and the interface method tables.
#include "CodegenImpl.h"
#include "Utf8.h"

namespace kqc {

void ModuleGen::registration(MethodGen &g) {
    // The runtime classes the image names are found by name first (the
    // function is made last, when every name is known).
    g.callSymbol(quoted("kq.LookUpClasses"));
    for (ClassInfo *cls : classes_) {
        if (!cls->isModule) registerClass(g, cls);
    }
    // Shared fields: their values and arrays.
    for (ClassInfo *cls : classes_) {
        for (Symbol *s : cls->memberOrder) {
            auto *f = s->kind == SymbolKind::Field ? static_cast<FieldInfo *>(s) : nullptr;
            if (!f || !f->shared || (!f->decl->init && !f->decl->isArray)) continue;
            Value v =
                f->decl->isArray ? g.createArray(f->type, f->decl->bounds) : g.expr(*f->decl->init);
            g.store(g.placeOfField(f, 0), v);
        }
    }
}

void ModuleGen::lookUpClasses() {
    MethodGen g(*this, nullptr, false);
    for (auto &[cls, label] : classPointers_) {
        if (!cls->fromRuntime) continue;
        g.ins("movl $" + out_.stringRecord(cls->name) + ", %eax");
        g.arg(0);
        g.call("RuntimeLookupClass");
        g.ins("movl %eax, " + label);
    }
    g.finish(quoted("kq.LookUpClasses"), nullptr);
}

void ModuleGen::registerClass(MethodGen &g, ClassInfo *cls) {
    const ClassInfo *super = cls->super;
    int counts[5] = {cls->methodCount, cls->interfaceCount, cls->eventCount, cls->memberCount,
                     cls->propertyCount};
    g.ins("movl " + classPointer(super) + ", %eax");
    g.arg(0);
    for (int i = 0; i < 5; ++i) {
        g.raw(loadImmediate(static_cast<uint32_t>(counts[i]), "%eax"));
        g.arg(4 + 4 * i);
    }
    g.call("RuntimeNewClass");
    int32_t record = g.temp(Repr::I32);
    g.ins("movl %eax, " + MethodGen::at(record));
    g.ins("movl %eax, " + classPointer(cls));
    g.nilCheck();
    std::string name = out_.stringRecord(cls->name);
    g.ins("movl $" + name + ", %eax");
    g.arg(0);
    g.call("RuntimeLockString");
    auto field = [&](int offset, const std::string &value) {
        g.ins("movl " + MethodGen::at(record) + ", %ecx");
        g.ins("movl " + value + ", %eax");
        g.ins("movl %eax, " + std::to_string(offset) + "(%ecx)");
    };
    field(4, "$" + name);
    g.ins("movl " + MethodGen::at(record) + ", %ecx");
    g.raw(loadImmediate(cls->isInterface ? 24 : cls->instanceSize, "%eax"));
    g.ins("movl %eax, 12(%ecx)");
    if (cls->isInterface) field(16, "$1");
    if (initializers_.count(cls)) field(20, "$" + initializers_[cls]);
    if (finalizers_.count(cls)) field(28, "$" + finalizers_[cls]);

    // A table entry of two words: code and name.
    auto entry = [&](int table, int index, const std::string &code, const std::string &entryName) {
        g.ins("movl " + MethodGen::at(record) + ", %ecx");
        g.ins("movl " + std::to_string(table) + "(%ecx), %edx");
        if (!code.empty()) g.ins("movl $" + code + ", " + std::to_string(8 * index) + "(%edx)");
        g.ins("movl $" + out_.stringRecord(entryName) + ", " + std::to_string(8 * index + 4) +
              "(%edx)");
    };
    int inheritedMethods = super ? super->methodCount : 0;
    for (size_t i = 0; i < cls->vtable.size(); ++i) {
        const MethodInfo *m = cls->vtable[i];
        if (m && (static_cast<int>(i) >= inheritedMethods || m->owner == cls)) {
            entry(36, static_cast<int>(i), symbolOf(m), mangled(m));
        }
    }
    int inheritedEvents = super ? super->eventCount : 0;
    for (const EventInfo *e : cls->events) {
        if (e->index >= inheritedEvents) entry(44, e->index, "", e->name);
    }
    auto layout = layouts_.find(cls);
    if (layout != layouts_.end() && layout->second == quoted(cls->name + ".#Layout")) {
        for (const EventInfo *e : cls->events) {
            if (utf8::fold(e->name) != "layout") continue;
            g.ins("movl " + MethodGen::at(record) + ", %ecx");
            g.ins("movl 44(%ecx), %edx");
            g.ins("movl $" + layout->second + ", " + std::to_string(8 * e->index) + "(%edx)");
        }
    }
    int member = super ? super->memberCount : 0;
    for (Symbol *s : cls->memberOrder) {
        auto *m = s->kind == SymbolKind::Method ? static_cast<MethodInfo *>(s) : nullptr;
        if (!m || m->origin != MethodOrigin::Image) continue;
        if (m->event && !m->control) { // the handler of an inherited event
            g.ins("movl " + MethodGen::at(record) + ", %ecx");
            g.ins("movl 44(%ecx), %edx");
            g.ins("movl $" + symbolOf(m) + ", " + std::to_string(8 * m->event->index) + "(%edx)");
        }
        entry(52, member++, symbolOf(m), mangled(m));
    }
    interfaceTables(g, cls, record);
    g.freeTemp(record);
}

// The interface entries of the class: one fresh method table per interface
// it implements, also those of image superclasses, so that overriding
// methods are called through the interface too.
void ModuleGen::interfaceTables(MethodGen &g, ClassInfo *cls, int32_t record) {
    std::vector<ClassInfo *> chain;
    for (ClassInfo *c = cls; c && !c->fromRuntime; c = c->super)
        chain.insert(chain.begin(), c);
    const ClassInfo *runtimeBase = chain.empty() ? nullptr : chain.front()->super;
    int index = runtimeBase ? runtimeBase->interfaceCount : 0;
    for (ClassInfo *c : chain) {
        for (ClassInfo *iface : c->interfaces) {
            std::vector<const MethodInfo *> methods;
            for (Symbol *s : iface->memberOrder) {
                if (s->kind != SymbolKind::Method) continue;
                const auto *list = cls->find(utf8::fold(s->name));
                methods.push_back(list && list->front()->kind == SymbolKind::Method
                                      ? static_cast<const MethodInfo *>(list->front())
                                      : nullptr);
            }
            g.raw(loadImmediate(static_cast<uint32_t>(methods.size()), "%eax"));
            g.arg(0);
            g.call("RuntimeNewVtable");
            int32_t table = g.temp(Repr::I32);
            g.ins("movl %eax, " + MethodGen::at(table));
            for (size_t i = 0; i < methods.size(); ++i) {
                if (!methods[i]) continue;
                g.ins("movl " + MethodGen::at(table) + ", %edx");
                g.ins("movl $" + symbolOf(methods[i]) + ", " + std::to_string(8 * i) + "(%edx)");
                g.ins("movl $" + out_.stringRecord(mangled(methods[i])) + ", " +
                      std::to_string(8 * i + 4) + "(%edx)");
            }
            int offset = 68 + 12 * index++;
            g.ins("movl " + MethodGen::at(record) + ", %ecx");
            g.ins("movl " + classPointer(iface) + ", %eax");
            g.ins("movl %eax, " + std::to_string(offset) + "(%ecx)");
            g.raw(loadImmediate(static_cast<uint32_t>(methods.size()), "%eax"));
            g.ins("movl %eax, " + std::to_string(offset + 4) + "(%ecx)");
            g.ins("movl " + MethodGen::at(table) + ", %eax");
            g.ins("movl %eax, " + std::to_string(offset + 8) + "(%ecx)");
            g.freeTemp(table);
        }
    }
}

} // namespace kqc
