// The converter: a definition becomes a RuntimeClass the first time a class
// is needed. The superclass is converted first; every inherited index stays,
// and this definition's events, members and property slots follow in
// declaration order. Results are cached per definition, and RuntimeLookupClass
// caches them per name.
#include "ObjectDefinition.h"

#include "IntMap.h"
#include "RuntimeErrorReport.h"
#include "StringMap.h"

#include <cstring>
#include <string>

namespace {

IntMap<RuntimeClass *> gClassOfDefinition;
StringMap<RuntimeClass *> *gClassOfName = nullptr; // made at first use, never freed

uint32_t Key(const ObjectDefinition *defn) {
    return uint32_t(reinterpret_cast<uintptr_t>(defn));
}

KESTstring *MakeText(const std::string &text) {
    return kstr::Make(text.data(), static_cast<uint32_t>(text.size()), kEncodingUTF8);
}

// Numbers the property slots and event indexes of a definition after those
// of its ancestors; constants take no slot.
void LayOut(ObjectDefinition *defn) {
    if (defn->laidOut) return;
    ObjectDefinition *super = definitions::Built(defn->super);
    if (super != nullptr) LayOut(super);
    uint32_t slot = super != nullptr ? super->mPropertyTableSize : 0;
    for (PropertyItem *item = defn->properties; item != nullptr; item = item->next)
        if (item->kind != kPropertyKindConstant) item->mPropertyTableIndex = slot++;
    defn->mPropertyTableSize = slot;
    uint32_t index = super != nullptr ? super->mEventTableSize : 0;
    for (EventItem *item = defn->events; item != nullptr; item = item->next)
        item->index = index++;
    defn->mEventTableSize = index;
    defn->laidOut = true;
}

RuntimeClass *RegisteredClassNamed(const KESTstring *name) {
    for (RuntimeClass *cls = objects::ClassListHead(); cls != nullptr; cls = cls->nextClass)
        if (definitions::SameName(cls->name, name)) return cls;
    return nullptr;
}

// The mangled name of the method of `defn` or an ancestor whose plain or
// assigning form is `code`; null when there is none.
KESTstring *NameOfMethodCode(ObjectDefinition *defn, void *code) {
    for (ObjectDefinition *d = defn; d != nullptr; d = definitions::Built(d->super)) {
        for (MethodItem *m = d->methods; m != nullptr; m = m->next) {
            if (m->plain.code == code) return definitions::MangledName(d, m, false);
            if (m->assigning.code == code) return definitions::MangledName(d, m, true);
        }
    }
    return nullptr;
}

void BindHooks(ObjectDefinition *defn, RuntimeClass *out) {
    for (HookItem *hook = defn->hooks; hook != nullptr; hook = hook->next) {
        for (ObjectDefinition *a = definitions::Built(defn->super); a != nullptr;
             a = definitions::Built(a->super)) {
            for (EventItem *event = a->events; event != nullptr; event = event->next) {
                if (!definitions::SameName(event->name, hook->eventName)) continue;
                if (event->index < out->eventCount) out->events[event->index].vector = hook->code;
                hook->index = int32_t(event->index);
            }
        }
    }
}

void FillInterfaces(ObjectDefinition *defn, RuntimeClass *super, RuntimeClass *out) {
    uint32_t itableCtr = super != nullptr ? super->interfaceCount : 0;
    for (InterfaceItem *item = defn->interfaces; item != nullptr; item = item->next) {
        KQ_ASSERT(KQ_CONVERTER_SOURCE, itableCtr < out->interfaceCount);
        if (itableCtr >= out->interfaceCount) break;
        RuntimeInterfaceEntry &entry = out->interfaces()[itableCtr++];
        uint32_t count = item->count > 0 ? item->count - 1 : 0;
        entry.interface = definitions::Convert(item->interface);
        entry.methodCount = count;
        entry.methods = RuntimeNewVtable(int32_t(count));
        if (entry.methods == nullptr) entry.methodCount = 0;
        for (uint32_t i = 0; i < entry.methodCount; ++i)
            entry.methods[i] = {item->codes[i], NameOfMethodCode(defn, item->codes[i])};
    }
}

void FillMembers(ObjectDefinition *defn, RuntimeClass *super, RuntimeClass *out) {
    uint32_t memberCtr = super != nullptr ? super->memberCount : 0;
    for (MethodItem *item = defn->methods; item != nullptr; item = item->next) {
        KQ_ASSERT_TEXT(KQ_CONVERTER_SOURCE, 0 == (item->userFlags & kMemberSystemPropertyVirtual),
                       "0 == (item->userFlags & systemPropertyVirtual)", nullptr);
        if (item->plain.code != nullptr && memberCtr < out->memberCount)
            out->members[memberCtr++] = {item->plain.code,
                                         definitions::MangledName(defn, item, false)};
        if (item->assigning.code != nullptr && memberCtr < out->memberCount)
            out->members[memberCtr++] = {item->assigning.code,
                                         definitions::MangledName(defn, item, true)};
    }
}

void FillProperties(ObjectDefinition *defn, RuntimeClass *super, RuntimeClass *out) {
    uint32_t propertyCtr = super != nullptr ? super->propertyCount : 0;
    for (PropertyItem *ivar = defn->properties; ivar != nullptr; ivar = ivar->next) {
        if (ivar->kind == kPropertyKindConstant) continue;
        KQ_ASSERT(KQ_CONVERTER_SOURCE, propertyCtr < out->propertyCount);
        if (propertyCtr >= out->propertyCount) break;
        KQ_ASSERT(KQ_CONVERTER_SOURCE, propertyCtr == ivar->mPropertyTableIndex);
        out->properties[propertyCtr++] = {definitions::PropertyName(ivar), int32_t(ivar->parameter),
                                          ivar->getter, ivar->setter};
    }
}

uint32_t MemberCount(const ObjectDefinition *defn) {
    uint32_t count = 0;
    for (MethodItem *item = defn->methods; item != nullptr; item = item->next)
        count += (item->plain.code != nullptr) + (item->assigning.code != nullptr);
    return count;
}

template <typename Item>
uint32_t Length(const Item *item) {
    uint32_t count = 0;
    for (; item != nullptr; item = item->next)
        ++count;
    return count;
}

RuntimeClass *Build(ObjectDefinition *defn) {
    RuntimeClass *super = nullptr;
    if (defn->super != nullptr) {
        super = definitions::Convert(defn->super);
        KQ_ASSERT(KQ_CONVERTER_SOURCE, super);
    }
    std::string outdated = std::string("Manifest file outdated? ") + kstr::Text(defn->name);
    uint32_t propertyCount = super != nullptr ? super->propertyCount : 0;
    for (PropertyItem *item = defn->properties; item != nullptr; item = item->next) {
        if (item->kind == kPropertyKindConstant) continue;
        KQ_ASSERT_TEXT(KQ_CONVERTER_SOURCE, item->mPropertyTableIndex == propertyCount,
                       "item->mPropertyTableIndex == propertyCount", outdated.c_str());
        ++propertyCount;
    }
    KQ_ASSERT_TEXT(KQ_CONVERTER_SOURCE, propertyCount == defn->mPropertyTableSize,
                   "propertyCount == defn->mPropertyTableSize", outdated.c_str());

    RuntimeClass *out = RuntimeNewClass(
        super, super != nullptr ? super->methodCount : 0,
        (super != nullptr ? super->interfaceCount : 0) + Length(defn->interfaces),
        (super != nullptr ? super->eventCount : 0) + Length(defn->events),
        (super != nullptr ? super->memberCount : 0) + MemberCount(defn), propertyCount);
    if (out == nullptr) return nullptr;

    RuntimeLockString(defn->name);
    out->name = defn->name;
    out->initializer = reinterpret_cast<RuntimeObjectFunction>(defn->initializer.code);
    out->finalizer = reinterpret_cast<RuntimeObjectFunction>(defn->finalizer.code);
    out->instanceSize = defn->instanceSize;
    out->isAnInterface = defn->isAnInterface ? 1 : 0;

    uint32_t index = super != nullptr ? super->eventCount : 0;
    for (EventItem *item = defn->events; item != nullptr; item = item->next, ++index) {
        RuntimeLockString(item->name);
        out->events[index].name = item->name;
        item->index = index;
    }
    BindHooks(defn, out);
    FillInterfaces(defn, super, out);
    FillMembers(defn, super, out);
    FillProperties(defn, super, out);
    return out;
}

void AppendParameters(std::string &text, const MethodItem *method) {
    for (uint32_t i = 0; i < method->parameterCount; ++i) {
        const ParameterEntry *param = &method->parameters[i];
        if (param->type == nullptr) {
            std::string message =
                std::string(kstr::Text(method->name)) + " has a null parameter type ptr";
            KQ_ASSERT_TEXT(KQ_CONVERTER_SOURCE, false, "param->parameterType", message.c_str());
        }
        if (param->byReference) text += "&";
        text += definitions::TypeCode(param->type);
    }
}

} // namespace

namespace definitions {

KESTstring *MangledName(ObjectDefinition *owner, const MethodItem *method, bool assigning) {
    std::string text = assigning ? "=" : "";
    text += kstr::Text(method->name);
    text += "%" + TypeCode(method->returnType) + "%" + TypeCode(owner);
    AppendParameters(text, method);
    if (assigning) text += TypeCode(method->returnType);
    return MakeText(text);
}

KESTstring *PropertyName(const PropertyItem *property) {
    return MakeText(std::string(kstr::Text(property->name)) + "%" + TypeCode(property->type) + "%");
}

RuntimeClass *Convert(ObjectDefinition *defn) {
    KQ_ASSERT(KQ_CONVERTER_SOURCE, defn);
    if (defn == nullptr) return nullptr;
    Built(defn);
    LayOut(defn);
    RuntimeClass *cls = nullptr;
    if (gClassOfDefinition.Lookup(Key(defn), &cls)) return cls;
    cls = RegisteredClassNamed(defn->name);
    if (cls == nullptr) cls = Build(defn);
    if (cls != nullptr) gClassOfDefinition.Set(Key(defn), cls);
    return cls;
}

RuntimeObject *Instantiate(ObjectDefinition *defn) {
    return RuntimeNewObject(Convert(defn));
}

bool IsA(const RuntimeObject *object, ObjectDefinition *defn) {
    return object != nullptr && objects::ClassInheritsFrom(object->classPtr, Convert(defn));
}

} // namespace definitions

extern "C" RuntimeClass *RuntimeLookupClass(KESTstring *name) {
    if (name == nullptr) return nullptr;
    if (gClassOfName == nullptr) gClassOfName = new StringMap<RuntimeClass *>(256);
    RuntimeClass *cls = nullptr;
    if (gClassOfName->Lookup(name, &cls)) return cls;
    ObjectDefinition *defn = definitions::FindDefinition(name);
    if (defn == nullptr) return nullptr;
    cls = definitions::Convert(defn);
    if (cls != nullptr) gClassOfName->Set(name, cls);
    return cls;
}
