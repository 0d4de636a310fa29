// Class definitions of the runtime's own classes: the declaration tables each
// class writes once, as rows, the definitions built from them on first use,
// and the converter that turns a definition into a RuntimeClass.
//
// A runtime class is declared as data:
//
//   const PropertyEntry kTimerProperties[] = {
//       KQ_PROPERTY("Mode", &kTypeInteger, intGetter, timerModeSetter, 28),
//   };
//   EventEntry kTimerEvents[] = {KQ_EVENT("Action", "", nullptr)};
//   const RuntimeClassDeclaration kTimerDeclaration = {
//       "Timer", nullptr, 64, KQ_ANYWHERE, false,
//       KQ_TABLE(kTimerProperties), KQ_NO_TABLE, KQ_TABLE(kTimerEvents),
//       KQ_NO_TABLE, KQ_NO_TABLE, KQ_FUNCTION(RuntimeTimerConstructor),
//       KQ_FUNCTION(RuntimeTimerDestructor)};
//   ObjectDefinition TimerDefinition(&kTimerDeclaration);
//
// and listed once in RuntimeClassList.h. The definition is built from its
// declaration the first time it is used (converted, named, instantiated) and
// converted into a class the first time a class is needed. The same tables
// describe the class to the compiler (the runtime manifest), so nothing about
// a runtime class is written twice.
//
// Numbering: a subclass keeps every index of its superclass. Event items,
// property slots and member entries of a class follow those of its superclass
// in declaration order, so classes of the image built on a runtime class with
// RuntimeNewClass inherit the same indexes.
#pragma once

#include "GenericAccessors.h"
#include "RuntimeObject.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#define KQ_DEFINITION_SOURCE "../Common/Object Model/ObjectDefinition"
#define KQ_CONVERTER_SOURCE "../Common/Object Model/ObjectDefinitionConverter"

// ---------------------------------------------------------------------------
// Type descriptors. The first word is the kind.

enum TypeKind : uint32_t {
    kTypeKindIntrinsic = 0,
    kTypeKindArray = 1,
    kTypeKindClass = 3,
};

struct TypeDescriptor {
    uint32_t kind;
};

// Kind 0: a value type. The four functions are those the generic accessors
// use for the type: reference locking (strings, objects) and the field getter
// and setter. `code` is the type's code in signatures ("i4", "s", ...).
struct IntrinsicType : TypeDescriptor {
    const char *name;
    void *lock;
    void *unlock;
    void *getter;
    void *setter;
    const char *code;
};

// Kind 1: an array of `dimensions` dimensions of `element`.
struct ArrayType : TypeDescriptor {
    const TypeDescriptor *element;
    uint32_t dimensions;
};

// The value types of the class model (defined in TypeDescriptors.cc).
extern const IntrinsicType kTypeBoolean, kTypeColor, kTypeCurrency, kTypeSingle, kTypeDouble,
    kTypeInt8, kTypeInt16, kTypeInt32, kTypeInteger, kTypeInt64, kTypeUInt8, kTypeUInt16,
    kTypeUInt32, kTypeUInt64, kTypeString, kTypePtr, kTypeVariant;

struct ObjectDefinition;
// The type of a parameter that takes any object ("o<Object>": the
// compiler's root class; the runtime registers no class of that name).
extern ObjectDefinition kTypeObject;

// ---------------------------------------------------------------------------
// Declaration entries: the static rows each runtime class hands to the
// definition builders.

// A function with its entry-point name (code, name, five words cleared).
struct FunctionRecord {
    void *code;
    const char *name;
    uint32_t reserved[5];
};

// Member flags shared by property and method entries.
enum MemberFlags : uint32_t {
    kMemberShared = 0x4,                  // class-level
    kMemberAlsoShared = 0x804,            // class-level as well (both bits)
    kMemberFlag8 = 0x8,                   // carried along
    kMemberSystemPropertyVirtual = 0x100, // never handed to the converter
    kMemberHidden = 0x2000,
    kMemberPrivate = 0x14000, // either bit
};

// Property item kind that takes no property slot: a class constant, whose
// value is the entry's parameter (for a String constant, a `const char *`).
constexpr uint32_t kPropertyKindConstant = 3;

struct PropertyEntry {
    uint32_t flags;
    const char *name;
    const TypeDescriptor *type;
    void *getter;
    const char *getterName;
    void *setter; // null: read-only
    const char *setterName;
    intptr_t parameter; // the field offset for the generic accessors
    uint32_t kind;      // 0, or kPropertyKindConstant
};

struct ParameterEntry {
    const char *name;
    const TypeDescriptor *type;
    uint8_t byReference;
    uint8_t optional;
    uint8_t reservedFlags[2];
    const char *defaultValue; // text of the default of an optional parameter
    uint32_t reserved[4];
};

struct MethodEntry {
    const char *name;
    const TypeDescriptor *returnType; // null for a procedure
    const ParameterEntry *parameters;
    uint32_t parameterCount;
    FunctionRecord plain;
    FunctionRecord assigning; // code set when the method can be assigned to
    uint32_t reserved;
    uint32_t flags;
    uint32_t extra;
};

struct EventItem;

struct EventEntry {
    uint32_t flags;
    const char *name;
    const char *parameters; // declaration text, e.g. "x as integer, y as integer"
    const char *returnType; // text, e.g. "boolean", or null
    EventItem *item;        // set by the builder: the class's code finds the event by it
    uint32_t extra;
};

// A handler of an event that an ancestor declares.
struct HookEntry {
    const char *eventName;
    void *code;
    const char *codeName;
    uint32_t reserved[5];
};

struct ObjectDefinition;

// An interface the class implements: `count` words at `codes`, the method
// codes followed by a null word, so the interface has count - 1 methods.
struct InterfaceEntry {
    ObjectDefinition *interface;
    uint32_t count;
    void *const *codes;
};

static_assert(sizeof(FunctionRecord) == 7 * 4, "function record: seven words");
static_assert(sizeof(PropertyEntry) == 9 * 4, "property entry: nine words");
static_assert(sizeof(ParameterEntry) == 8 * 4, "parameter entry: eight words");
static_assert(sizeof(MethodEntry) == 21 * 4, "method entry: twenty-one words");
static_assert(sizeof(EventEntry) == 6 * 4, "event entry: six words");
static_assert(sizeof(HookEntry) == 8 * 4, "hook entry: eight words");

// ---------------------------------------------------------------------------
// Items: the heap records the builders make from the entries, chained in
// declaration order.

struct PropertyItem {
    PropertyItem *next;
    uint32_t flags;
    KESTstring *name;
    const TypeDescriptor *type;
    void *getter;
    const char *getterName;
    void *setter;
    const char *setterName;
    intptr_t parameter;
    uint32_t kind;
    bool readOnly;
    uint32_t mPropertyTableIndex;
};

struct MethodItem {
    MethodItem *next;
    KESTstring *name;
    const TypeDescriptor *returnType;
    const ParameterEntry *parameters;
    uint32_t parameterCount;
    FunctionRecord plain;
    FunctionRecord assigning;
    uint32_t userFlags;
};

struct EventItem {
    EventItem *next;
    uint32_t flags;
    KESTstring *name;
    const char *parameters;
    const char *returnType;
    uint32_t index; // position in the event table of the class
};

struct HookItem {
    HookItem *next;
    KESTstring *eventName;
    void *code;
    const char *codeName;
    int32_t index; // the last event slot it was bound to, -1 when none
};

struct InterfaceItem {
    InterfaceItem *next;
    ObjectDefinition *interface;
    uint32_t count;
    void *const *codes;
};

// ---------------------------------------------------------------------------
// Definitions.

// Availability of a class: usable without a graphical interface; reserved;
// usable only without a graphical interface.
struct Availability {
    uint8_t console;
    uint8_t reserved;
    uint8_t consoleOnly;
};
#define KQ_GUI_ONLY                                                                                \
    { 0, 0, 0 }
#define KQ_ANYWHERE                                                                                \
    { 1, 0, 0 }
#define KQ_CONSOLE_ONLY                                                                            \
    { 0, 0, 1 }

// The static declaration of one runtime class.
struct RuntimeClassDeclaration {
    const char *name;
    ObjectDefinition *super;
    uint32_t instanceSize;
    Availability availability;
    bool isAnInterface;
    const PropertyEntry *properties;
    uint32_t propertyCount;
    const MethodEntry *methods;
    uint32_t methodCount;
    EventEntry *events;
    uint32_t eventCount;
    const HookEntry *hooks;
    uint32_t hookCount;
    const InterfaceEntry *interfaces;
    uint32_t interfaceCount;
    FunctionRecord initializer;
    FunctionRecord finalizer;
};

struct ObjectDefinition : TypeDescriptor {
    Availability availability{};
    PropertyItem *properties = nullptr;
    ObjectDefinition *super = nullptr;
    KESTstring *name = nullptr;
    uint8_t isStatic = 0;     // declaration tables are static data
    uint8_t runtimeClass = 0; // set by every runtime class
    uint32_t mPropertyTableSize = 0;
    ObjectDefinition *nextDefinition = nullptr;
    uint32_t instanceSize = sizeof(RuntimeObject);
    KESTstring *text = nullptr;
    MethodItem *methods = nullptr;
    EventItem *events = nullptr;
    HookItem *hooks = nullptr;
    InterfaceItem *interfaces = nullptr;
    bool isAnInterface = false;
    FunctionRecord initializer{};
    FunctionRecord finalizer{};

    // Build state: the declaration it is built from (null for a definition
    // assembled with the builders), whether it is built, whether its slots
    // are numbered, and the number of events including the ancestors'.
    const RuntimeClassDeclaration *declaration = nullptr;
    bool built = false;
    bool laidOut = false;
    uint32_t mEventTableSize = 0;

    constexpr ObjectDefinition() : TypeDescriptor{kTypeKindClass} {}
    constexpr explicit ObjectDefinition(const RuntimeClassDeclaration *decl)
        : TypeDescriptor{kTypeKindClass}, declaration(decl) {}
    ObjectDefinition(const ObjectDefinition &) = delete;
    ObjectDefinition &operator=(const ObjectDefinition &) = delete;
};

// Rows of the declaration tables. Types are given as pointers to descriptors
// (&kTypeInteger, &SomeClassDefinition, null for no result); parameter lists
// as KQ_TABLE(rows) or KQ_NO_TABLE.
#define KQ_CODE(fn) reinterpret_cast<void *>(&fn)
#define KQ_FUNCTION(fn)                                                                            \
    {                                                                                              \
        KQ_CODE(fn), #fn, {}                                                                       \
    }
#define KQ_NO_FUNCTION                                                                             \
    {                                                                                              \
        nullptr, nullptr, {}                                                                       \
    }
#define KQ_TABLE(table) table, static_cast<uint32_t>(sizeof(table) / sizeof(table[0]))
#define KQ_NO_TABLE nullptr, 0
#define KQ_PROPERTY(name, type, getter, setter, parameter)                                         \
    { 0, name, type, KQ_CODE(getter), #getter, KQ_CODE(setter), #setter, parameter, 0 }
#define KQ_READONLY_PROPERTY(name, type, getter, parameter)                                        \
    { 0, name, type, KQ_CODE(getter), #getter, nullptr, nullptr, parameter, 0 }
#define KQ_CONSTANT(name, type, value)                                                             \
    { kMemberShared, name, type, nullptr, nullptr, nullptr, nullptr, value, kPropertyKindConstant }
#define KQ_PARAMETER(name, type)                                                                   \
    {                                                                                              \
        name, type, 0, 0, {}, nullptr, {}                                                          \
    }
#define KQ_BYREF_PARAMETER(name, type)                                                             \
    {                                                                                              \
        name, type, 1, 0, {}, nullptr, {}                                                          \
    }
#define KQ_OPTIONAL_PARAMETER(name, type, text)                                                    \
    {                                                                                              \
        name, type, 0, 1, {}, text, {}                                                             \
    }
#define KQ_METHOD(name, returnType, parameters, fn)                                                \
    { name, returnType, parameters, KQ_FUNCTION(fn), KQ_NO_FUNCTION, 0, 0, 0 }
#define KQ_ASSIGNABLE_METHOD(name, returnType, parameters, fn, assignFn)                           \
    { name, returnType, parameters, KQ_FUNCTION(fn), KQ_FUNCTION(assignFn), 0, 0, 0 }
#define KQ_EVENT(name, parameters, returnType)                                                     \
    { 0, name, parameters, returnType, nullptr, 0 }
// Event lists written once as X(Name, parameters, result type) rows: expanded
// with KQ_EVENT_ROW into a class's event table and with KQ_EVENT_SLOT into
// the enum of its slots, so that the two keep one order.
#define KQ_EVENT_ROW(name, parameters, returnType) KQ_EVENT(#name, parameters, returnType),
#define KQ_EVENT_SLOT(name, parameters, returnType) name,
#define KQ_HOOK(eventName, fn)                                                                     \
    {                                                                                              \
        eventName, KQ_CODE(fn), #fn, {}                                                            \
    }

namespace definitions {

// Makes `defn` a definition of its own (not from a declaration): name, super,
// instance size; links it into the global definition list. The builders
// below then give it its members.
void Init(ObjectDefinition *defn, const char *name, ObjectDefinition *super, uint32_t instanceSize);

// The builders: each replaces the corresponding list of the definition with
// items made from the entries, in table order. A definition that is not
// static data (isStatic clear) keeps copies of the methods' parameter lists.
void SetProperties(ObjectDefinition *defn, const PropertyEntry *entries, uint32_t count);
void SetMethods(ObjectDefinition *defn, const MethodEntry *entries, uint32_t count);
void SetEvents(ObjectDefinition *defn, EventEntry *entries, uint32_t count);
void SetHooks(ObjectDefinition *defn, const HookEntry *entries, uint32_t count);
void SetInterfaces(ObjectDefinition *defn, const InterfaceEntry *entries, uint32_t count);

// Builds a declared definition on first use (a no-op afterwards); returns it.
ObjectDefinition *Built(ObjectDefinition *defn);

// The head of the global definition list (newest first).
ObjectDefinition *DefinitionListHead();

// Frees every definition's items and names; a shutdown task does it when the
// process ends. Declared definitions can be built again afterwards.
void TeardownAll();

// The condition text of a class: "not TargetHasGUI", "true" or "TargetHasGUI".
const char *AvailabilityCondition(ObjectDefinition *defn);

// Signatures. TypeCode: the code of a type ("" for null). MangledName:
// name%result%o<Class>params; the assigning form starts with "=" and appends
// the value's type. PropertyName: name%code%.
std::string TypeCode(const TypeDescriptor *type);
KESTstring *MangledName(ObjectDefinition *owner, const MethodItem *method, bool assigning);
KESTstring *PropertyName(const PropertyItem *property);

// Converts a definition into its class (cached); null for a null definition.
RuntimeClass *Convert(ObjectDefinition *defn);

// Converts, then creates an object (RuntimeNewObject); the caller owns it.
RuntimeObject *Instantiate(ObjectDefinition *defn);

// Whether `object` is not null and of the definition's class or a subclass
// of it (interfaces not considered).
bool IsA(const RuntimeObject *object, ObjectDefinition *defn);

// Whether two names are the same identifier: compared as the language's `=`
// compares strings (ASCII letters without regard to case), as the class-name
// map does.
bool SameName(const KESTstring *a, const KESTstring *b);

// Class lookup by name beyond the converted classes: RuntimeLookupClass asks
// each finder in the order they were added (the intrinsic class table, then
// plug-in classes, then plug-in controls) for a definition of that name and
// converts the first one found. The loader adds its finders at start-up.
using DefinitionFinder = ObjectDefinition *(*)(const KESTstring *name);
void AddDefinitionFinder(DefinitionFinder finder);
void RemoveDefinitionFinder(DefinitionFinder finder);
ObjectDefinition *FindDefinition(const KESTstring *name);

// Every runtime class, in the order of RuntimeClassList.h.
uint32_t RuntimeClassCount();
ObjectDefinition *RuntimeClassAt(uint32_t index);

} // namespace definitions

extern "C" {

// Gives `target` a private copy of its class's event table and sets the
// handler of the event named `eventName` (searched from the last entry).
void RuntimeInstallInstanceEventHandler(RuntimeObject *target, KESTstring *eventName,
                                        void *handler);
}

namespace events {

// The handler the object uses for the event of `item` (its class's event
// table or its private copy); null when there is none. The runtime calls it
// through RuntimeCallImageHandler with the object as first argument.
void *Handler(RuntimeObject *object, const EventItem *item);

// Raises the event of `item` on `object`: when the object has a handler for
// it, calls the handler (through RuntimeCallImageHandler) with the object
// first and then `arguments`, holding a reference to the object meanwhile.
// Returns the handler's edx:eax (a Boolean result is its low byte), 0 when
// there is no handler; `*handled` tells whether one ran.
uint64_t Raise(RuntimeObject *object, const EventItem *item,
               std::initializer_list<uint32_t> arguments = {}, bool *handled = nullptr);

} // namespace events

// Each runtime class's definition, from RuntimeClassList.h.
#define KQ_RUNTIME_CLASS(Name) extern ObjectDefinition Name##Definition;
#include "RuntimeClassList.h"
#undef KQ_RUNTIME_CLASS
