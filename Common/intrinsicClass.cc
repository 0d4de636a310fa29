// Intrinsic classes and modules, and RuntimeInitExternalClasses (see
// IntrinsicClass.h).
#include "IntrinsicClass.h"

#include "IntrinsicFunction.h"
#include "RelocEntry.h"
#include "RuntimeErrorReport.h"
#include "StringMap.h"
#include "plugin.h"

#define KQ_RUNTIME_MODULE(Name) extern ObjectDefinition Name##Definition;
#include "RuntimeModuleList.h"
#undef KQ_RUNTIME_MODULE

namespace {

const char kSource[] = "Common/intrinsicClass";

StringMap<ObjectDefinition *> &ClassMap() {
    static auto *map = new StringMap<ObjectDefinition *>(256);
    return *map;
}

StringMap<ObjectDefinition *> &ModuleMap() {
    static auto *map = new StringMap<ObjectDefinition *>(256);
    return *map;
}

void AddEntryPoint(const FunctionRecord &function) {
    if (function.code != nullptr && function.name != nullptr)
        RelocAdd(function.name, function.code);
}

void AddEntryPoint(void *code, const char *name) {
    if (code != nullptr && name != nullptr) RelocAdd(name, code);
}

void AddEntryPoints(ObjectDefinition *defn) {
    for (MethodItem *m = defn->methods; m != nullptr; m = m->next) {
        AddEntryPoint(m->plain);
        AddEntryPoint(m->assigning);
    }
    for (PropertyItem *p = defn->properties; p != nullptr; p = p->next) {
        AddEntryPoint(p->getter, p->getterName);
        AddEntryPoint(p->setter, p->setterName);
    }
    AddEntryPoint(defn->initializer);
    AddEntryPoint(defn->finalizer);
}

ObjectDefinition *const kRuntimeModules[] = {
#define KQ_RUNTIME_MODULE(Name) &Name##Definition,
#include "RuntimeModuleList.h"
#undef KQ_RUNTIME_MODULE
};

ObjectDefinition *FindIntrinsic(const KESTstring *name) {
    return LookupIntrinsicClass(name);
}

} // namespace

void RegisterIntrinsicClass(ObjectDefinition *defn) {
    KQ_ASSERT(kSource, defn);
    if (defn == nullptr) return;
    definitions::Built(defn);
    ClassMap().Set(defn->name, defn);
    AddEntryPoints(defn);
}

void RegisterIntrinsicModule(ObjectDefinition *defn) {
    KQ_ASSERT(kSource, defn);
    if (defn == nullptr) return;
    definitions::Built(defn);
    KQ_ASSERT_TEXT(kSource, defn->instanceSize == 0, "0 == defn->objectSize", nullptr);
    KQ_ASSERT_TEXT(kSource, defn->super == nullptr, "NULL == defn->super", nullptr);
    KQ_ASSERT_TEXT(kSource, defn->initializer.code == nullptr, "NULL == defn->initializer.toc",
                   nullptr);
    KQ_ASSERT_TEXT(kSource, defn->finalizer.code == nullptr, "NULL == defn->finalizer.toc",
                   nullptr);
    KQ_ASSERT_TEXT(kSource, defn->hooks == nullptr, "NULL == defn->hooks", nullptr);
    KQ_ASSERT_TEXT(kSource, defn->interfaces == nullptr, "NULL == defn->interfaces", nullptr);
    KQ_ASSERT_TEXT(kSource, !ModuleMap().Lookup(defn->name, nullptr),
                   "not gIntrinsicModuleMap->HasEntry( defn->className )", nullptr);
    ModuleMap().Set(defn->name, defn);
    AddEntryPoints(defn);
}

ObjectDefinition *LookupIntrinsicClass(const KESTstring *name) {
    ObjectDefinition *defn = nullptr;
    ClassMap().Lookup(name, &defn);
    return defn;
}

extern "C" void RuntimeInitExternalClasses() {
    static bool firstCall = true;
    if (firstCall) definitions::AddDefinitionFinder(FindIntrinsic);
    for (uint32_t i = 0; i < definitions::RuntimeClassCount(); ++i)
        RegisterIntrinsicClass(definitions::RuntimeClassAt(i));
    if (firstCall) // a module registered twice is reported
        for (ObjectDefinition *module : kRuntimeModules)
            RegisterIntrinsicModule(module);
    firstCall = false;
    RegisterRuntimeIntrinsicFunctions();
    InstallPlugins();
}
