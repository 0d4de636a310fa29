// Objects and classes: creation, reference counting, two-step destruction,
// the live-object list, casts, interfaces and class records.
//
// Destruction runs the destructors (which may resurrect the object) and then
// releases it: finalisers, the release hook, the private event table, the
// memory. Finalisers drop references and so may bring other objects to zero;
// those are destroyed at once but their release is queued on the pending
// stack and done by the outermost release, so that a long chain of objects
// that free each other does not deepen the native stack.
#include "RuntimeObject.h"

#include "ObjectDefinition.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "SimpleVector.h"
#include "SmallBlockAllocator.h"

#include <cstdlib>
#include <cstring>

namespace {

RuntimeClass *gClassList = nullptr;
RuntimeObject *gLiveList = nullptr;
uint32_t gLiveCount = 0;
objects::ReleaseHook gReleaseHook = nullptr;
SimpleVector<RuntimeObject *> gPendingRelease;
bool gReleaseInProgress = false;
bool gOutOfMemoryRaise = false;
RuntimeObject *const *gProjectObjects = nullptr;
uint32_t gProjectObjectCount = 0;

// Classes are built by the image's code; an instance size below the header's
// would let the header be written outside the block.
size_t BlockSize(const RuntimeClass *cls) {
    return cls->instanceSize > sizeof(RuntimeObject) ? cls->instanceSize : sizeof(RuntimeObject);
}

// Live-object enumeration for the debugger remembers the last index and
// object it returned, so that stepping by one from there costs one step. Any
// change of the live list forgets it (the indexes move).
struct LiveCursor {
    RuntimeObject *except = nullptr;
    int32_t index = -1;
    RuntimeObject *object = nullptr;
};
LiveCursor gCursor;

void LiveListAdd(RuntimeObject *objToAdd) {
    KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, objToAdd);
    if (objToAdd == nullptr) return;
    gCursor = LiveCursor{};
    objToAdd->prevLive = nullptr;
    objToAdd->nextLive = gLiveList;
    if (gLiveList != nullptr) gLiveList->prevLive = objToAdd;
    gLiveList = objToAdd;
}

void LiveListRemove(RuntimeObject *objToRemove) {
    KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, objToRemove);
    if (objToRemove == nullptr) return;
    gCursor = LiveCursor{};
    if (objToRemove->prevLive != nullptr)
        objToRemove->prevLive->nextLive = objToRemove->nextLive;
    else
        gLiveList = objToRemove->nextLive;
    if (objToRemove->nextLive != nullptr) objToRemove->nextLive->prevLive = objToRemove->prevLive;
    objToRemove->prevLive = objToRemove->nextLive = nullptr;
}

// Out of memory raises NilObjectException, whose creation needs memory too:
// a second failure while that raise is under way gives up quietly.
void RaiseOutOfMemory() {
    if (gOutOfMemoryRaise) return;
    gOutOfMemoryRaise = true;
    RaiseNilObjectException();
    gOutOfMemoryRaise = false;
}

void RunInitializers(RuntimeObject *object, RuntimeClass *cls) {
    if (cls == nullptr) return;
    RunInitializers(object, cls->superclass);
    if (cls->initializer != nullptr) cls->initializer(object);
}

void ReleaseObject(RuntimeObject *object) {
    RuntimeClass *cls = object->classPtr;
    for (RuntimeClass *c = cls; c != nullptr; c = c->superclass)
        if (c->finalizer != nullptr) c->finalizer(object);
    if (gReleaseHook != nullptr) gReleaseHook(object);
    if (object->eventTable != nullptr && object->eventTable != cls->events)
        smallblock::Release(object->eventTable, cls->eventCount * sizeof(RuntimeEventEntry));
    LiveListRemove(object);
    smallblock::Release(object, BlockSize(cls));
    --gLiveCount;
}

// Out of line, so that unlocking stays a test and a decrement.
__attribute__((noinline)) void DestroyObject(RuntimeObject *object) {
    object->refCount = 1;
    for (RuntimeClass *c = object->classPtr; c != nullptr; c = c->superclass) {
        if (c->destructor == nullptr) continue;
        c->destructor(object);
        if (object->refCount > 1) { // stored somewhere: it lives on
            --object->refCount;
            return;
        }
    }
    object->refCount = 0;
    if (gReleaseInProgress) {
        // Released by the outermost release once this finaliser is done. If
        // the stack cannot grow, releasing at once is still correct, only
        // deeper.
        if (gPendingRelease.Append(object)) return;
        ReleaseObject(object);
        return;
    }
    gReleaseInProgress = true;
    ReleaseObject(object);
    while (!gPendingRelease.IsEmpty())
        ReleaseObject(gPendingRelease.Pop());
    gReleaseInProgress = false;
}

// Copies `count` inherited entries of a table, at most as many as the new
// table holds (after a failed size check the new class is still sound).
template <typename Entry>
void CopyInherited(Entry *to, uint32_t toCount, const Entry *from, uint32_t fromCount) {
    uint32_t n = fromCount < toCount ? fromCount : toCount;
    if (n != 0) std::memcpy(to, from, n * sizeof(Entry));
}

RuntimeObject *NextLive(RuntimeObject *from, RuntimeObject *except) {
    RuntimeObject *o = from != nullptr ? from->nextLive : gLiveList;
    while (o != nullptr && o == except)
        o = o->nextLive;
    return o;
}

RuntimeObject *PreviousLive(RuntimeObject *from, RuntimeObject *except) {
    RuntimeObject *o = from->prevLive;
    while (o != nullptr && o == except)
        o = o->prevLive;
    return o;
}

RuntimeObject *LiveObjectAt(RuntimeObject *except, int32_t index) {
    if (index < 0) return nullptr;
    bool known = gCursor.object != nullptr && gCursor.except == except;
    RuntimeObject *found;
    if (known && index == gCursor.index) {
        found = gCursor.object;
    } else if (known && index == gCursor.index + 1) {
        found = NextLive(gCursor.object, except);
    } else if (known && index == gCursor.index - 1) {
        found = PreviousLive(gCursor.object, except);
    } else {
        found = NextLive(nullptr, except);
        for (int32_t i = 0; i < index && found != nullptr; ++i)
            found = NextLive(found, except);
    }
    gCursor = found != nullptr ? LiveCursor{except, index, found} : LiveCursor{};
    return found;
}

} // namespace

namespace objects {

RuntimeClass *ClassListHead() {
    return gClassList;
}

RuntimeObject *LiveListHead() {
    return gLiveList;
}

uint32_t LiveObjectCount() {
    return gLiveCount;
}

void SetReleaseHook(ReleaseHook hook) {
    gReleaseHook = hook;
}

void SetProjectObjectTable(RuntimeObject *const *table, uint32_t count) {
    gProjectObjects = table;
    gProjectObjectCount = table != nullptr ? count : 0;
}

bool ClassInheritsFrom(const RuntimeClass *cls, const RuntimeClass *ancestor) {
    for (; cls != nullptr; cls = cls->superclass)
        if (cls == ancestor) return true;
    return false;
}

const RuntimeInterfaceEntry *FindInterface(const RuntimeClass *cls, const RuntimeClass *interface) {
    if (cls == nullptr) return nullptr;
    const RuntimeInterfaceEntry *entries = cls->interfaces();
    for (uint32_t i = 0; i < cls->interfaceCount; ++i)
        if (entries[i].interface == interface) return &entries[i];
    return nullptr;
}

} // namespace objects

extern "C" RuntimeObject *RuntimeNewObject(RuntimeClass *parent) {
    if (parent == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, !parent->isAnInterface);
    size_t size = BlockSize(parent);
    auto *object = static_cast<RuntimeObject *>(smallblock::Allocate(size));
    if (object == nullptr) {
        RaiseOutOfMemory();
        return nullptr;
    }
    ++gLiveCount;
    std::memset(object, 0, size);
    LiveListAdd(object);
    object->classPtr = parent;
    object->methods = parent->methods;
    object->eventTable = parent->events;
    object->refCount = 1;
    RunInitializers(object, parent);
    return object;
}

extern "C" void RuntimeLockObject(RuntimeObject *object) {
    if (object != nullptr && object->refCount != 0) ++object->refCount;
}

extern "C" void RuntimeUnlockObject(RuntimeObject *object) {
    if (object == nullptr || object->refCount <= 0) return;
    if (--object->refCount == 0) DestroyObject(object);
}

extern "C" void RuntimeLockUnlockObjects(RuntimeObject *newValue, RuntimeObject *oldValue) {
    if (newValue == oldValue) return;
    RuntimeLockObject(newValue);
    RuntimeUnlockObject(oldValue);
}

extern "C" bool RuntimeObjectIsa(RuntimeObject *object, RuntimeClass *cls) {
    if (object == nullptr) return false;
    if (cls == nullptr) return true;
    if (cls->isAnInterface) return objects::FindInterface(object->classPtr, cls) != nullptr;
    return objects::ClassInheritsFrom(object->classPtr, cls);
}

namespace {

bool NamedOLEObject(const RuntimeClass *cls) {
    static KESTstring *const oleObject = kstr::FromC("OLEObject");
    return cls != nullptr && definitions::SameName(cls->name, oleObject);
}

} // namespace

extern "C" RuntimeObject *RuntimeCheckCast(RuntimeObject *object, RuntimeClass *cls) {
    if (object == nullptr) return nullptr;
    if (cls == nullptr) return object;
    bool fits;
    if (cls->isAnInterface)
        fits = objects::FindInterface(object->classPtr, cls) != nullptr;
    else
        fits = objects::ClassInheritsFrom(object->classPtr, cls) ||
               (cls->superclass != nullptr && NamedOLEObject(object->classPtr) &&
                NamedOLEObject(cls->superclass));
    if (!fits) {
        exceptions::RaiseClass(exceptions::SlotClass(exceptions::Slot::IllegalCast));
        return nullptr;
    }
    RuntimeLockObject(object);
    return object;
}

extern "C" RuntimeMethodEntry *RuntimeLookupInterfaceVtable(RuntimeObject *object,
                                                            RuntimeClass *interface) {
    if (object == nullptr || interface == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    const RuntimeInterfaceEntry *entry =
        interface->isAnInterface ? objects::FindInterface(object->classPtr, interface) : nullptr;
    if (entry == nullptr) {
        exceptions::RaiseClass(exceptions::SlotClass(exceptions::Slot::IllegalCast));
        return nullptr;
    }
    return entry->methods;
}

extern "C" RuntimeClass *RuntimeNewClass(RuntimeClass *base, uint32_t methodCount,
                                         uint32_t interfaceCount, uint32_t eventCount,
                                         uint32_t memberCount, uint32_t propertyCount) {
    uint64_t size = sizeof(RuntimeClass) +
                    uint64_t(interfaceCount) * sizeof(RuntimeInterfaceEntry) +
                    uint64_t(methodCount) * sizeof(RuntimeMethodEntry) +
                    uint64_t(eventCount) * sizeof(RuntimeEventEntry) +
                    uint64_t(memberCount) * sizeof(RuntimeMemberEntry) +
                    uint64_t(propertyCount) * sizeof(RuntimePropertyEntry);
    void *block = size <= UINT32_MAX ? std::calloc(1, size_t(size)) : nullptr;
    if (block == nullptr) {
        RaiseOutOfMemory();
        return nullptr;
    }
    auto *out = static_cast<RuntimeClass *>(block);
    char *next = reinterpret_cast<char *>(out->interfaces()) +
                 interfaceCount * sizeof(RuntimeInterfaceEntry);
    out->interfaceCount = interfaceCount;
    out->methodCount = methodCount;
    out->methods = reinterpret_cast<RuntimeMethodEntry *>(next);
    next += methodCount * sizeof(RuntimeMethodEntry);
    out->eventCount = eventCount;
    out->events = reinterpret_cast<RuntimeEventEntry *>(next);
    next += eventCount * sizeof(RuntimeEventEntry);
    out->memberCount = memberCount;
    out->members = reinterpret_cast<RuntimeMemberEntry *>(next);
    next += memberCount * sizeof(RuntimeMemberEntry);
    out->propertyCount = propertyCount;
    out->properties = reinterpret_cast<RuntimePropertyEntry *>(next);

    if (base != nullptr) {
        KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, out->methodCount >= base->methodCount);
        CopyInherited(out->methods, out->methodCount, base->methods, base->methodCount);
        KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, out->interfaceCount >= base->interfaceCount);
        CopyInherited(out->interfaces(), out->interfaceCount, base->interfaces(),
                      base->interfaceCount);
        KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, out->eventCount >= base->eventCount);
        CopyInherited(out->events, out->eventCount, base->events, base->eventCount);
        CopyInherited(out->members, out->memberCount, base->members, base->memberCount);
        KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, out->propertyCount >= base->propertyCount);
        CopyInherited(out->properties, out->propertyCount, base->properties, base->propertyCount);
    }
    out->superclass = base;
    out->nextClass = gClassList;
    gClassList = out;
    return out;
}

extern "C" void RuntimeRegisterClass(RuntimeClass *theClass) {
    KQ_ASSERT(KQ_OBJECT_FOUNDATION_SOURCE, theClass);
    if (theClass == nullptr) return;
    // Linking a listed record again would close the list into a ring.
    for (RuntimeClass *listed = gClassList; listed != nullptr; listed = listed->nextClass)
        if (listed == theClass) return;
    theClass->nextClass = gClassList;
    gClassList = theClass;
}

extern "C" RuntimeMethodEntry *RuntimeNewVtable(int32_t count) {
    int64_t bytes = int64_t(count) * int64_t(sizeof(RuntimeMethodEntry));
    if (bytes < 1) return nullptr;
    void *table = bytes <= INT32_MAX ? std::malloc(size_t(bytes)) : nullptr;
    if (table == nullptr) RaiseOutOfMemory();
    return static_cast<RuntimeMethodEntry *>(table);
}

extern "C" RuntimeObject *RuntimeProjectObject(uint32_t index) {
    if (index == 0 || index >= gProjectObjectCount) return nullptr;
    RuntimeObject *object = gProjectObjects[index];
    RuntimeLockObject(object);
    return object;
}

extern "C" int32_t RuntimeDebugObjectCount(RuntimeObject *except) {
    int32_t count = 0;
    for (RuntimeObject *o = gLiveList; o != nullptr; o = o->nextLive)
        if (o != except) ++count;
    return count;
}

extern "C" uint32_t RuntimeDebugObjectID(RuntimeObject *except, int32_t index) {
    RuntimeObject *o = LiveObjectAt(except, index);
    return o != nullptr ? uint32_t(reinterpret_cast<uintptr_t>(o)) ^ 0x15C7A3u : 0;
}

extern "C" KESTstring *RuntimeDebugObjectClass(RuntimeObject *except, int32_t index) {
    RuntimeObject *o = LiveObjectAt(except, index);
    if (o == nullptr || o->classPtr == nullptr) return nullptr;
    RuntimeLockString(o->classPtr->name);
    return o->classPtr->name;
}

extern "C" int32_t RuntimeDebugObjectRefs(RuntimeObject *except, int32_t index) {
    RuntimeObject *o = LiveObjectAt(except, index);
    return o != nullptr ? o->refCount : 0;
}

extern "C" uint32_t RuntimeDebugMemoryUsed(void) {
    return uint32_t(smallblock::BytesInUse());
}
