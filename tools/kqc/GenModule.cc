// Code generation of the whole image: the methods of every class, the
// classes' initializers (field values, arrays) and finalizers (release of
// counted fields), the registration of the classes with RuntimeNewClass so
// that subclasses keep their superclass's slots, and the start code.
//
// Start code (the first byte of the code member): a compiled method that
// calls RuntimeInit, then inside a protected region RuntimeInitExternalClasses,
// the lookup of the runtime classes the image names, the registration of the
// image's classes, the shared fields' values and the application start; an
// exception that escapes goes to RuntimeUnhandledException. Then RuntimeExit,
// whose value is kept in the image's data.
#include "ImageFormat.h"
#include <functional>

#include "CodegenImpl.h"
#include "Utf8.h"

namespace kqc {

bool generateAssembly(Program &program, std::vector<SourceUnit> &units, const Project *project,
                      const CodegenOptions &options, Diagnostics &diags, std::string *out) {
    return ModuleGen(program, units, project, options, diags).run(out);
}

std::string ModuleGen::runtime(const std::string &entry, SourcePos pos) {
    entries_.emplace(entry, pos);
    return entry;
}

bool ModuleGen::hasEntry(const std::string &entry) const {
    return program_.entries.empty() || program_.entries.count(entry) > 0;
}

std::string ModuleGen::classPointer(const ClassInfo *cls) {
    if (!cls || cls->isRoot) return "$0";
    std::string &label = classPointers_[cls];
    if (label.empty()) label = out_.global(4, "class " + cls->name);
    return label;
}

std::string ModuleGen::sharedField(const FieldInfo *f) {
    std::string &label = sharedFields_[f];
    if (label.empty())
        label =
            out_.global(sizeOf(f->type) < 4 ? 4 : sizeOf(f->type), f->owner->name + "." + f->name);
    return label;
}

std::string ModuleGen::symbolOf(const MethodInfo *m) {
    return quoted(m->owner->name + "." + m->name);
}

// name%result%o<Class>parameters, as the class tables name members.
std::string ModuleGen::mangled(const MethodInfo *m) const {
    std::string out = m->name + "%" + typeCode(m->sig.result) + "%" + typeCode(m->owner->type);
    for (const ParamInfo &p : m->sig.params)
        out += (p.byRef ? "&" : "") + typeCode(p.type);
    return out;
}

std::string ModuleGen::libraryFunction(const MethodInfo *m) {
    return quoted(out_.libraryFunction(m->entry, m->lib));
}

// A 4-byte zero in the data member: the text of the empty string for
// library functions.
std::string ModuleGen::emptyText() {
    if (emptyText_.empty()) emptyText_ = out_.global(4, "empty text");
    return emptyText_;
}

// The helper that raises RuntimeException "Division by zero" for an integer
// division by zero (the processor would stop the program).
std::string ModuleGen::divisionByZero() {
    if (!divisionByZero_.empty()) return divisionByZero_;
    divisionByZero_ = quoted("kq.DivisionByZero");
    ClassInfo *exception = program_.findClass("RuntimeException");
    PropertyInfo *message = nullptr;
    if (exception) {
        if (const auto *list = exception->find("message")) {
            if (list->front()->kind == SymbolKind::Property)
                message = static_cast<PropertyInfo *>(list->front());
        }
    }
    MethodGen g(*this, nullptr, false);
    if (!exception || !message) {
        error({}, "the runtime has no RuntimeException with a Message for division by zero");
        g.finish(divisionByZero_, nullptr);
        return divisionByZero_;
    }
    int32_t object = g.slot(4, Counted::Object);
    g.ins("movl " + classPointer(exception) + ", %eax");
    g.arg(0);
    g.call("RuntimeNewObject");
    g.ins("movl %eax, " + MethodGen::at(object));
    g.nilCheck();
    Value self{exception->type, 0};
    g.ins("movl $" + out_.stringRecord("Division by zero") + ", %eax");
    g.setProperty(&self, object, message, Value{program_.types.get(TypeKind::String), 0});
    g.ins("movl " + MethodGen::at(object) + ", %eax");
    g.arg(0);
    g.call("RuntimeRaiseException");
    g.finish(divisionByZero_, nullptr);
    return divisionByZero_;
}

const ClassInfo *ModuleGen::applicationClass() const {
    return project_ ? program_.findClass(project_->applicationClass) : nullptr;
}

// Image classes, every superclass before its subclasses.
void ModuleGen::orderClasses() {
    std::set<const ClassInfo *> done;
    std::function<void(ClassInfo *)> visit = [&](ClassInfo *cls) {
        if (!cls || cls->fromRuntime || done.count(cls)) return;
        done.insert(cls);
        visit(cls->super);
        for (ClassInfo *i : cls->interfaces)
            visit(i);
        classes_.push_back(cls);
    };
    for (ClassInfo *cls : program_.classes())
        visit(cls);
}

bool ModuleGen::run(std::string *out) {
    size_t before = diags_.errorCount();
    orderClasses();
    for (ClassInfo *cls : classes_)
        generateClass(cls);
    startCode();
    lookUpClasses();
    checkEntries();
    *out = out_.finish();
    return diags_.errorCount() == before;
}

void ModuleGen::generateClass(ClassInfo *cls) {
    for (MemberPtr &m : cls->decl->members) {
        bool body = m->kind == MemberKind::Handler || m->kind == MemberKind::MenuHandler ||
                    (m->kind == MemberKind::Method && !cls->isInterface);
        if (!body || !m->symbol) continue;
        generateMethod(cls, static_cast<MethodDecl &>(*m), static_cast<MethodInfo *>(m->symbol));
    }
    if (cls->isWindow) layoutHandler(cls);
    for (Symbol *s : cls->memberOrder) {
        auto *m = s->kind == SymbolKind::Method ? static_cast<MethodInfo *>(s) : nullptr;
        if (m && m->itemAccessor) menuItemAccessor(cls, m);
    }
    initializer(cls);
    finalizer(cls);
}

void ModuleGen::generateMethod(ClassInfo *cls, MethodDecl &decl, MethodInfo *info) {
    bool receiver = !info->shared && !cls->isModule;
    MethodGen g(*this, cls, receiver);
    g.parameters(decl, info->sig);
    g.locals(decl);
    if (info->control)
        g.controlHandler(controlWindowOffset(), info->arrayIndex,
                         info->arrayIndex ? controlIndexOffset() : 0);
    g.setResult(info->sig.result);
    g.statements(decl.body);
    g.finish(symbolOf(info), info->sig.result);
}

// Field values and arrays of a new object, run by RuntimeNewObject.
void ModuleGen::initializer(ClassInfo *cls) {
    std::vector<FieldInfo *> fields;
    for (Symbol *s : cls->memberOrder) {
        auto *f = s->kind == SymbolKind::Field ? static_cast<FieldInfo *>(s) : nullptr;
        if (f && !f->shared && (f->decl->init || f->decl->isArray)) fields.push_back(f);
    }
    bool window = isWindow(cls);
    if (fields.empty() && !window && !cls->isMenuBar) return;
    MethodGen g(*this, cls, true);
    for (FieldInfo *f : fields) {
        Value v =
            f->decl->isArray ? g.createArray(f->type, f->decl->bounds) : g.expr(*f->decl->init);
        g.store(g.placeOfField(f, g.receiverOffset()), v);
    }
    if (window) windowInitializer(g, cls);
    if (cls->isMenuBar) menuBarInitializer(g, cls);
    initializers_[cls] = quoted(cls->name + ".#Initialize");
    g.finish(initializers_[cls], nullptr);
}

// Counted fields are released when the object goes.
void ModuleGen::finalizer(ClassInfo *cls) {
    std::vector<FieldInfo *> fields;
    for (Symbol *s : cls->memberOrder) {
        auto *f = s->kind == SymbolKind::Field ? static_cast<FieldInfo *>(s) : nullptr;
        if (f && !f->shared && countedOf(f->type) != Counted::None) fields.push_back(f);
    }
    if (fields.empty()) return;
    MethodGen g(*this, cls, true);
    for (FieldInfo *f : fields) {
        g.ins("movl " + MethodGen::at(g.receiverOffset()) + ", %ecx");
        g.ins("movl " + std::to_string(f->offset) + "(%ecx), %eax");
        g.ins("movl $0, " + std::to_string(f->offset) + "(%ecx)");
        g.arg(0);
        g.call(unlockEntry(countedOf(f->type)));
    }
    finalizers_[cls] = quoted(cls->name + ".#Finalize");
    g.finish(finalizers_[cls], nullptr);
}

void ModuleGen::startCode() {
    exitStatus_ = out_.global(4, "RuntimeExit's value");
    MethodGen g(*this, nullptr, false);
    g.call("RuntimeInit");
    // Everything else inside a protected region: an exception that escapes
    // is reported as unhandled.
    int32_t exception = g.slot(4, Counted::Object);
    std::string start = g.label(), handler = g.label(), done = g.label();
    g.marker(kqimage::kMarkerRegionStart, 0, start);
    g.place(start);
    g.call("RuntimeInitExternalClasses");
    registration(g);
    fileTypes(g);
    startApplication(g);
    g.ins("jmp " + done);
    g.marker(kqimage::kMarkerHandler, exception, handler);
    g.place(handler);
    g.ins("movl " + MethodGen::at(-4) + ", %esp");
    g.releaseTemps();
    g.ins("movl " + MethodGen::at(exception) + ", %eax");
    g.arg(0);
    g.call("RuntimeUnhandledException");
    g.marker(kqimage::kMarkerRegionEnd, 0, done);
    g.place(done);
    g.call("RuntimeExit");
    g.ins("movl %eax, " + exitStatus_);
    g.finish(quoted("kq.Start"), nullptr, "entry");
}

// The file types the project declares, before the application object exists.
void ModuleGen::fileTypes(MethodGen &g) {
    if (!project_) return;
    for (const ProjectFileType &type : project_->fileTypes) {
        const std::string *texts[] = {&type.name, &type.typeCode, &type.creatorCode};
        for (int i = 0; i < 3; ++i) {
            g.ins("movl $" + out_.stringRecord(*texts[i]) + ", %eax");
            g.arg(4 * i);
        }
        g.call("RuntimeRegisterFileType");
    }
}

void ModuleGen::startApplication(MethodGen &g) {
    if (!options_.mainMethod.empty()) {
        std::string wanted = utf8::fold(options_.mainMethod);
        const MethodInfo *main = nullptr;
        for (ClassInfo *cls : classes_) {
            for (Symbol *s : cls->memberOrder) {
                auto *m = s->kind == SymbolKind::Method ? static_cast<MethodInfo *>(s) : nullptr;
                if (m && m->shared && m->sig.params.empty() && m->origin == MethodOrigin::Image &&
                    (utf8::fold(cls->name + "." + m->name) == wanted ||
                     utf8::fold(m->name) == wanted)) {
                    main = m;
                }
            }
        }
        if (!main) {
            error({}, "no shared Sub " + options_.mainMethod + " without parameters to start with");
            return;
        }
        g.callSymbol(symbolOf(main));
        if (reprOf(main->sig.result) == Repr::F32 || reprOf(main->sig.result) == Repr::F64)
            g.ins("fstp %st(0)");
        return;
    }
    const ClassInfo *app = applicationClass();
    if (!app) {
        error({},
              "no application class to start (a project file names it; without one, use --main)");
        return;
    }
    bool console = project_->kind == Project::Kind::Console;
    std::string appObject = out_.global(4, "the application object");
    int32_t appSlot = g.temp(Repr::I32);
    g.ins("movl " + classPointer(app) + ", %eax");
    g.arg(0);
    g.call("RuntimeNewObject");
    g.ins("movl %eax, " + appObject);
    g.ins("movl %eax, " + MethodGen::at(appSlot));
    if (!console) applicationMenuBar(g, appSlot);
    g.ins("movl " + MethodGen::at(appSlot) + ", %eax");
    g.arg(0);
    if (console) {
        g.raw(loadImmediate(1, "%eax"));
        g.arg(4);
    }
    g.call(console ? "RuntimeRegisterConsoleAppObject" : "RuntimeRegisterAppObject");
    if (!console) {
        applicationMenuHandlers(g, app, appSlot);
        defaultWindow(g);
    }
    g.call("RuntimeRun");
}

void ModuleGen::checkEntries() {
    if (program_.entries.empty()) return;
    for (auto &[entry, pos] : entries_) {
        if (program_.entries.count(entry)) continue;
        if (pos.file) {
            error(pos, "this needs '" + entry + "', which the runtime does not implement yet");
        } else {
            error({}, "the generated code needs '" + entry +
                          "', which the runtime does not implement yet");
        }
    }
}

} // namespace kqc
