// Definitions of the runtime's classes: the builders that turn declaration
// rows into chained items, the build of a declared definition on first use,
// the global definition list and its teardown, and the list of all runtime
// classes.
#include "ObjectDefinition.h"

#include "RuntimeErrorReport.h"
#include "ShutdownTask.h"
#include "SimpleVector.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

ObjectDefinition *gDefinitionList = nullptr;
SimpleVector<definitions::DefinitionFinder> gFinders;

KESTstring *MakeName(const char *text) {
    if (text == nullptr) return nullptr;
    return kstr::Make(text, static_cast<uint32_t>(std::strlen(text)), kEncodingUTF8);
}

// Appends items made by `make` from each entry; a failed allocation ends the
// list there (reported: the class then lacks members, but stays sound).
template <typename Item, typename Entry, typename Make>
Item *BuildList(Entry *entries, uint32_t count, Make make) {
    Item *head = nullptr;
    Item **tail = &head;
    for (uint32_t i = 0; i < count; ++i) {
        Item *item = new (std::nothrow) Item{};
        KQ_ASSERT(KQ_DEFINITION_SOURCE, item);
        if (item == nullptr) break;
        make(item, entries[i]);
        *tail = item;
        tail = &item->next;
    }
    return head;
}

// A definition that is not static data owns copies of its parameter lists.
const ParameterEntry *CopyParameters(const MethodEntry &e) {
    if (e.parameters == nullptr || e.parameterCount == 0) return nullptr;
    auto *copy = new (std::nothrow) ParameterEntry[e.parameterCount];
    if (copy != nullptr) std::copy(e.parameters, e.parameters + e.parameterCount, copy);
    return copy;
}

// Frees a chain of items after `release` has let go of what each holds.
template <typename Item, typename Release>
void FreeList(Item *&head, Release release) {
    while (head != nullptr) {
        Item *item = head;
        head = item->next;
        release(item);
        delete item;
    }
}

void FreeProperties(ObjectDefinition *defn) {
    FreeList(defn->properties, [](PropertyItem *item) { RuntimeUnlockString(item->name); });
}

void FreeMethods(ObjectDefinition *defn) {
    FreeList(defn->methods, [defn](MethodItem *item) {
        RuntimeUnlockString(item->name);
        if (!defn->isStatic) delete[] item->parameters;
    });
}

void FreeEvents(ObjectDefinition *defn) {
    FreeList(defn->events, [](EventItem *item) { RuntimeUnlockString(item->name); });
}

void FreeHooks(ObjectDefinition *defn) {
    FreeList(defn->hooks, [](HookItem *item) { RuntimeUnlockString(item->eventName); });
}

void FreeInterfaces(ObjectDefinition *defn) {
    FreeList(defn->interfaces, [](InterfaceItem *) {});
}

// Tears the definitions down when the process ends.
class DefinitionTeardown : public runShutdownTask {
  public:
    ~DefinitionTeardown() override;
};
DefinitionTeardown *gTeardown = nullptr;

DefinitionTeardown::~DefinitionTeardown() {
    gTeardown = nullptr;
    definitions::TeardownAll();
}

void Link(ObjectDefinition *defn) {
    if (gTeardown == nullptr) gTeardown = new (std::nothrow) DefinitionTeardown;
    defn->nextDefinition = gDefinitionList;
    gDefinitionList = defn;
}

void BuildFromDeclaration(ObjectDefinition *defn) {
    const RuntimeClassDeclaration &decl = *defn->declaration;
    defn->name = MakeName(decl.name);
    defn->super = decl.super;
    defn->instanceSize = decl.instanceSize;
    defn->availability = decl.availability;
    defn->isAnInterface = decl.isAnInterface;
    defn->isStatic = 1;
    defn->runtimeClass = 1;
    defn->initializer = decl.initializer;
    defn->finalizer = decl.finalizer;
    definitions::SetProperties(defn, decl.properties, decl.propertyCount);
    definitions::SetMethods(defn, decl.methods, decl.methodCount);
    definitions::SetEvents(defn, decl.events, decl.eventCount);
    definitions::SetHooks(defn, decl.hooks, decl.hookCount);
    definitions::SetInterfaces(defn, decl.interfaces, decl.interfaceCount);
    defn->built = true;
    Link(defn);
}

} // namespace

namespace definitions {

void Init(ObjectDefinition *defn, const char *name, ObjectDefinition *super,
          uint32_t instanceSize) {
    KQ_ASSERT(KQ_DEFINITION_SOURCE, defn);
    if (defn == nullptr) return;
    defn->name = MakeName(name);
    defn->super = super;
    defn->instanceSize = instanceSize;
    defn->built = true;
    Link(defn);
}

void SetProperties(ObjectDefinition *defn, const PropertyEntry *entries, uint32_t count) {
    FreeProperties(defn);
    defn->laidOut = false;
    defn->properties =
        BuildList<PropertyItem>(entries, count, [](PropertyItem *item, const PropertyEntry &e) {
            item->flags = e.flags;
            item->name = MakeName(e.name);
            item->type = e.type;
            item->getter = e.getter;
            item->getterName = e.getterName;
            item->setter = e.setter;
            item->setterName = e.setterName;
            item->parameter = e.parameter;
            item->kind = e.kind;
            item->readOnly = e.setter == nullptr;
        });
}

void SetMethods(ObjectDefinition *defn, const MethodEntry *entries, uint32_t count) {
    FreeMethods(defn);
    bool isStatic = defn->isStatic;
    defn->methods =
        BuildList<MethodItem>(entries, count, [isStatic](MethodItem *item, const MethodEntry &e) {
            item->name = MakeName(e.name);
            item->returnType = e.returnType;
            item->parameters = isStatic ? e.parameters : CopyParameters(e);
            item->parameterCount = item->parameters != nullptr ? e.parameterCount : 0;
            item->plain = e.plain;
            item->assigning = e.assigning;
            item->userFlags = e.flags;
        });
}

void SetEvents(ObjectDefinition *defn, EventEntry *entries, uint32_t count) {
    FreeEvents(defn);
    defn->laidOut = false;
    defn->events = BuildList<EventItem>(entries, count, [](EventItem *item, EventEntry &e) {
        item->flags = e.flags;
        item->name = MakeName(e.name);
        item->parameters = e.parameters;
        item->returnType = e.returnType;
        e.item = item;
    });
}

void SetHooks(ObjectDefinition *defn, const HookEntry *entries, uint32_t count) {
    FreeHooks(defn);
    defn->hooks = BuildList<HookItem>(entries, count, [](HookItem *item, const HookEntry &e) {
        item->eventName = MakeName(e.eventName);
        item->code = e.code;
        item->codeName = e.codeName;
        item->index = -1;
    });
}

void SetInterfaces(ObjectDefinition *defn, const InterfaceEntry *entries, uint32_t count) {
    FreeInterfaces(defn);
    defn->interfaces =
        BuildList<InterfaceItem>(entries, count, [](InterfaceItem *item, const InterfaceEntry &e) {
            item->interface = e.interface;
            item->count = e.count;
            item->codes = e.codes;
        });
}

ObjectDefinition *Built(ObjectDefinition *defn) {
    if (defn != nullptr && !defn->built && defn->declaration != nullptr) BuildFromDeclaration(defn);
    return defn;
}

ObjectDefinition *DefinitionListHead() {
    return gDefinitionList;
}

void TeardownAll() {
    while (gDefinitionList != nullptr) {
        ObjectDefinition *defn = gDefinitionList;
        gDefinitionList = defn->nextDefinition;
        FreeProperties(defn);
        FreeMethods(defn);
        FreeEvents(defn);
        FreeHooks(defn);
        FreeInterfaces(defn);
        RuntimeUnlockString(defn->name);
        RuntimeUnlockString(defn->text);
        defn->name = defn->text = nullptr;
        defn->nextDefinition = nullptr;
        defn->built = defn->laidOut = false;
        if (defn->declaration != nullptr)
            for (uint32_t i = 0; i < defn->declaration->eventCount; ++i)
                defn->declaration->events[i].item = nullptr;
    }
}

const char *AvailabilityCondition(ObjectDefinition *defn) {
    bool anywhere = false;
    for (ObjectDefinition *d = Built(defn); d != nullptr; d = Built(d->super)) {
        if (d->availability.consoleOnly) return "not TargetHasGUI";
        if (d->availability.console) anywhere = true;
    }
    return anywhere ? "true" : "TargetHasGUI";
}

bool SameName(const KESTstring *a, const KESTstring *b) {
    return kstr::CompareFold(a, b) == 0;
}

void AddDefinitionFinder(DefinitionFinder finder) {
    if (finder != nullptr) gFinders.Append(finder);
}

void RemoveDefinitionFinder(DefinitionFinder finder) {
    for (uint32_t i = 0; i < gFinders.Count(); ++i)
        if (gFinders[i] == finder) gFinders.RemoveAt(i--);
}

ObjectDefinition *FindDefinition(const KESTstring *name) {
    for (DefinitionFinder finder : gFinders)
        if (ObjectDefinition *defn = finder(name)) return defn;
    return nullptr;
}

namespace {

ObjectDefinition *const kRuntimeClasses[] = {
#define KQ_RUNTIME_CLASS(Name) &Name##Definition,
#include "RuntimeClassList.h"
#undef KQ_RUNTIME_CLASS
};

} // namespace

uint32_t RuntimeClassCount() {
    return sizeof kRuntimeClasses / sizeof kRuntimeClasses[0];
}

ObjectDefinition *RuntimeClassAt(uint32_t index) {
    return index < RuntimeClassCount() ? Built(kRuntimeClasses[index]) : nullptr;
}

} // namespace definitions
