// Objects and classes of the class model: the records that the image's
// compiled code reads at fixed offsets, and the entry points that create,
// count, cast and destroy objects and build classes.
//
// RuntimeObject: the header of every object, followed by the instance
// variables of each class from the root down (all zero at creation).
//
//   offset  field       meaning
//   0       methods     the class's method table, copied at creation
//   4       classPtr    the object's RuntimeClass
//   8       eventTable  the class's events, or a private copy once the object
//                       installs handlers of its own
//   12      refCount    1 at creation; 0 means "not counted"
//   16      prevLive    newer neighbour in the live list (null for the newest)
//   20      nextLive    older neighbour in the live list
//   24...   instance variables
//
// RuntimeClass: one record and its five tables in one zero-filled block: the
// fixed part, the inline interface entries, then the method, event, member
// and property tables. Classes are never freed.
//
//   offset  field           meaning
//   0       superclass      null for a root class
//   4       name            KESTstring, one reference held
//   8       nextClass       global class list, newest first
//   12      instanceSize    bytes per object, header included
//   16      isAnInterface   nonzero for an interface (low byte only)
//   20      initializer     run at creation, root class first
//   24      destructor      run when the count reaches 0, most derived first
//   28      finalizer       run just before release, most derived first
//   32      methodCount     \ virtual methods: {code, name}
//   36      methods         /
//   40      eventCount      \ events: {vector (handler or null), name}
//   44      events          /
//   48      memberCount     \ named entry points: {code, mangled name}
//   52      members         /
//   56      propertyCount   \ properties: {mangled name, parameter, getter,
//   60      properties      /   setter}
//   64      interfaceCount  entries of three words follow inline at 68
//   68...   interfaces      {interface class, method count, method table}
//
// Every entry point is a cdecl function of 32-bit arguments; an object or
// class argument may be null. Failures the application can handle raise
// class-model exceptions (NilObjectException, IllegalCastException) and the
// entry point then returns normally with a null result; broken invariants go
// to the runtime error report.
#pragma once

#include "KESTstring.h"

#include <cstddef>
#include <cstdint>

struct RuntimeClass;
struct RuntimeObject;

using RuntimeObjectFunction = void (*)(RuntimeObject *object);

// One entry of a method table (virtual methods, interface method tables).
struct RuntimeMethodEntry {
    void *code;
    KESTstring *name;
};

// One entry of an event table; `vector` is the handler's code or null.
struct RuntimeEventEntry {
    void *vector;
    KESTstring *name;
};

// One named entry point of a class (code, name with signature).
struct RuntimeMemberEntry {
    void *code;
    KESTstring *name;
};

// One property slot: "Name%code%", the accessor parameter (for the generic
// field accessors the field's offset), getter and setter (null: read-only).
struct RuntimePropertyEntry {
    KESTstring *name;
    int32_t parameter;
    void *getter;
    void *setter;
};

// One interface the class implements, inline after the fixed part.
struct RuntimeInterfaceEntry {
    RuntimeClass *interface;
    uint32_t methodCount;
    RuntimeMethodEntry *methods;
};

struct RuntimeObject {
    RuntimeMethodEntry *methods;
    RuntimeClass *classPtr;
    RuntimeEventEntry *eventTable;
    int32_t refCount;
    RuntimeObject *prevLive;
    RuntimeObject *nextLive;
};

static_assert(offsetof(RuntimeObject, methods) == 0, "RuntimeObject.methods");
static_assert(offsetof(RuntimeObject, classPtr) == 4, "RuntimeObject.classPtr");
static_assert(offsetof(RuntimeObject, eventTable) == 8, "RuntimeObject.eventTable");
static_assert(offsetof(RuntimeObject, refCount) == 12, "RuntimeObject.refCount");
static_assert(offsetof(RuntimeObject, prevLive) == 16, "RuntimeObject.prevLive");
static_assert(offsetof(RuntimeObject, nextLive) == 20, "RuntimeObject.nextLive");
static_assert(sizeof(RuntimeObject) == 24, "RuntimeObject header");

struct RuntimeClass {
    RuntimeClass *superclass;
    KESTstring *name;
    RuntimeClass *nextClass;
    uint32_t instanceSize;
    uint32_t isAnInterface;
    RuntimeObjectFunction initializer;
    RuntimeObjectFunction destructor;
    RuntimeObjectFunction finalizer;
    uint32_t methodCount;
    RuntimeMethodEntry *methods;
    uint32_t eventCount;
    RuntimeEventEntry *events;
    uint32_t memberCount;
    RuntimeMemberEntry *members;
    uint32_t propertyCount;
    RuntimePropertyEntry *properties;
    uint32_t interfaceCount;

    // The inline interface entries that follow the fixed part.
    RuntimeInterfaceEntry *interfaces() {
        return reinterpret_cast<RuntimeInterfaceEntry *>(this + 1);
    }
    const RuntimeInterfaceEntry *interfaces() const {
        return reinterpret_cast<const RuntimeInterfaceEntry *>(this + 1);
    }
};

static_assert(offsetof(RuntimeClass, superclass) == 0, "RuntimeClass.superclass");
static_assert(offsetof(RuntimeClass, name) == 4, "RuntimeClass.name");
static_assert(offsetof(RuntimeClass, nextClass) == 8, "RuntimeClass.nextClass");
static_assert(offsetof(RuntimeClass, instanceSize) == 12, "RuntimeClass.instanceSize");
static_assert(offsetof(RuntimeClass, isAnInterface) == 16, "RuntimeClass.isAnInterface");
static_assert(offsetof(RuntimeClass, initializer) == 20, "RuntimeClass.initializer");
static_assert(offsetof(RuntimeClass, destructor) == 24, "RuntimeClass.destructor");
static_assert(offsetof(RuntimeClass, finalizer) == 28, "RuntimeClass.finalizer");
static_assert(offsetof(RuntimeClass, methodCount) == 32, "RuntimeClass.methodCount");
static_assert(offsetof(RuntimeClass, methods) == 36, "RuntimeClass.methods");
static_assert(offsetof(RuntimeClass, eventCount) == 40, "RuntimeClass.eventCount");
static_assert(offsetof(RuntimeClass, events) == 44, "RuntimeClass.events");
static_assert(offsetof(RuntimeClass, memberCount) == 48, "RuntimeClass.memberCount");
static_assert(offsetof(RuntimeClass, members) == 52, "RuntimeClass.members");
static_assert(offsetof(RuntimeClass, propertyCount) == 56, "RuntimeClass.propertyCount");
static_assert(offsetof(RuntimeClass, properties) == 60, "RuntimeClass.properties");
static_assert(offsetof(RuntimeClass, interfaceCount) == 64, "RuntimeClass.interfaceCount");
static_assert(sizeof(RuntimeClass) == 68, "RuntimeClass fixed part");
static_assert(sizeof(RuntimeMethodEntry) == 8 && sizeof(RuntimeEventEntry) == 8 &&
                  sizeof(RuntimeMemberEntry) == 8,
              "two-word table entries");
static_assert(sizeof(RuntimePropertyEntry) == 16, "four-word property entries");
static_assert(sizeof(RuntimeInterfaceEntry) == 12, "three-word interface entries");

// The source name that reports of this module carry.
#define KQ_OBJECT_FOUNDATION_SOURCE "../Common/Object Model/RuntimeObjectFoundation"

extern "C" {

// Creation and reference counting.
RuntimeObject *RuntimeNewObject(RuntimeClass *cls);
void RuntimeLockObject(RuntimeObject *object);
void RuntimeUnlockObject(RuntimeObject *object);
void RuntimeLockUnlockObjects(RuntimeObject *newValue, RuntimeObject *oldValue);

// Class membership and casts. RuntimeObjectIsa returns a boolean in the low
// byte; RuntimeCheckCast returns the object with a reference added.
bool RuntimeObjectIsa(RuntimeObject *object, RuntimeClass *cls);
RuntimeObject *RuntimeCheckCast(RuntimeObject *object, RuntimeClass *cls);
RuntimeMethodEntry *RuntimeLookupInterfaceVtable(RuntimeObject *object, RuntimeClass *interface);

// Classes.
RuntimeClass *RuntimeNewClass(RuntimeClass *superclass, uint32_t methodCount,
                              uint32_t interfaceCount, uint32_t eventCount, uint32_t memberCount,
                              uint32_t propertyCount);
void RuntimeRegisterClass(RuntimeClass *cls);
RuntimeMethodEntry *RuntimeNewVtable(int32_t count);
RuntimeClass *RuntimeLookupClass(KESTstring *name);

// Entry `index` of the image's project-object table with a reference added;
// null for index 0, an index outside the table, or no table.
RuntimeObject *RuntimeProjectObject(uint32_t index);

// Enumeration of the live objects, skipping `except`.
int32_t RuntimeDebugObjectCount(RuntimeObject *except);
uint32_t RuntimeDebugObjectID(RuntimeObject *except, int32_t index);
KESTstring *RuntimeDebugObjectClass(RuntimeObject *except, int32_t index);
int32_t RuntimeDebugObjectRefs(RuntimeObject *except, int32_t index);
uint32_t RuntimeDebugMemoryUsed(void);

} // extern "C"

// Operations of the runtime's own code.
namespace objects {

// Heads of the global class list (newest first) and live-object list.
RuntimeClass *ClassListHead();
RuntimeObject *LiveListHead();
uint32_t LiveObjectCount();

// The optional hook called with each object just before its memory is
// released (the remote debugger installs it); null removes it.
using ReleaseHook = void (*)(RuntimeObject *object);
void SetReleaseHook(ReleaseHook hook);

// The image's table of project objects (the loader installs it): `count`
// object pointers, entry 0 unused.
void SetProjectObjectTable(RuntimeObject *const *table, uint32_t count);

// Whether `cls` is `ancestor` or derives from it (interfaces not considered).
bool ClassInheritsFrom(const RuntimeClass *cls, const RuntimeClass *ancestor);

// Whether the class lists `interface` among its interface entries.
const RuntimeInterfaceEntry *FindInterface(const RuntimeClass *cls, const RuntimeClass *interface);

} // namespace objects

// A counted reference held by runtime C++ code: locks on copy, unlocks when it
// goes out of scope. Adopt() takes over a reference that a function handed
// out (RuntimeNewObject, RuntimeCheckCast, getters) without adding one.
template <typename T = RuntimeObject>
class Ref {
  public:
    Ref() = default;
    explicit Ref(T *object) : mObject(object) { RuntimeLockObject(Base(mObject)); }
    Ref(const Ref &other) : Ref(other.mObject) {}
    Ref(Ref &&other) noexcept : mObject(other.mObject) { other.mObject = nullptr; }
    ~Ref() { RuntimeUnlockObject(Base(mObject)); }

    Ref &operator=(Ref other) noexcept {
        T *old = mObject;
        mObject = other.mObject;
        other.mObject = old;
        return *this;
    }

    static Ref Adopt(T *object) {
        Ref ref;
        ref.mObject = object;
        return ref;
    }

    T *get() const { return mObject; }
    T *operator->() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }

    // Gives the reference to the caller (for results handed to the image).
    T *Release() {
        T *object = mObject;
        mObject = nullptr;
        return object;
    }

  private:
    static RuntimeObject *Base(T *object) { return reinterpret_cast<RuntimeObject *>(object); }
    T *mObject = nullptr;
};
