// What names stand for: classes (of the runtime, from the manifest, and of
// the image, from the sources), their fields, runtime properties, constants,
// methods and events, controls of windows, intrinsic global functions, and
// local variables. The Program owns every symbol of one compilation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Ast.h"
#include "Types.h"

namespace kqc {

enum class SymbolKind : uint8_t {
    Variable,
    Field,
    Property,
    Constant,
    Method,
    Event,
    Class,
    Intrinsic,
    Control
};

struct Symbol {
    Symbol(SymbolKind k, std::string n, SourcePos p) : kind(k), name(std::move(n)), pos(p) {}
    virtual ~Symbol() = default;
    SymbolKind kind;
    std::string name; // as declared
    SourcePos pos;    // file 0 for symbols of the runtime
};

// The value of a constant expression.
struct ConstValue {
    enum class Kind : uint8_t { None, Integer, Real, String, Boolean, Nil } kind = Kind::None;
    int64_t integer = 0; // Integer, Boolean (0/1), Color
    double real = 0;
    std::string text;
};

// A constant as Currency, in ten-thousandths. A value that lies within
// rounding error of a whole number of ten-thousandths is that number: the
// literal 12.34 is 12.3400 although its Double is 12.33999...; any other
// value is truncated toward zero as the running program converts.
int64_t currencyUnits(double value);

struct Variable : Symbol {
    Variable(std::string n, SourcePos p, const Type *t)
        : Symbol(SymbolKind::Variable, std::move(n), p), type(t) {}
    const Type *type;
    bool isParam = false;
    bool byRef = false;
    bool isTemp = false; // made by the compiler (loop limits, Select values)
    int paramIndex = -1;
    int32_t frameOffset = 0; // code generation: ebp-relative
};

struct ParamInfo {
    std::string name;
    const Type *type = nullptr;
    bool byRef = false;
    bool optional = false;
    ConstValue defaultValue; // for optional parameters
};

struct Signature {
    const Type *result = nullptr; // Void for a Sub
    std::vector<ParamInfo> params;
};

struct ClassInfo;
struct EventInfo;
struct ControlInfo;

struct FieldInfo : Symbol {
    FieldInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Field, std::move(n), p) {}
    ClassInfo *owner = nullptr;
    const Type *type = nullptr;
    bool shared = false;
    bool isPrivate = false;
    uint32_t offset = 0; // instance fields: from the object's start
    FieldDecl *decl = nullptr;
};

// A property slot of a runtime class, reached through its accessors.
struct PropertyInfo : Symbol {
    PropertyInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Property, std::move(n), p) {}
    ClassInfo *owner = nullptr;
    const Type *type = nullptr;
    int slot = 0;
    uint32_t param = 0;         // handed to both accessors (a field offset for the generic ones)
    std::string getter, setter; // entry points; empty when missing
    bool shared = false;
};

struct ConstInfo : Symbol {
    ConstInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Constant, std::move(n), p) {}
    ClassInfo *owner = nullptr; // null for a local constant
    const Type *type = nullptr;
    ConstValue value;
    ConstDecl *decl = nullptr;
    enum class State : uint8_t { Unresolved, Resolving, Done } state = State::Unresolved;
};

enum class MethodOrigin : uint8_t { Image, Runtime, Declare, Interface };

struct MethodInfo : Symbol {
    MethodInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Method, std::move(n), p) {}
    ClassInfo *owner = nullptr;
    MethodOrigin origin = MethodOrigin::Image;
    Signature sig;
    bool shared = false;
    bool isPrivate = false;
    bool isAssign = false; // runtime member in its assigning form
    int vtableIndex = -1;  // image methods called through the method table
    std::string entry;     // runtime entry point / declared function's name
    std::string lib;       // Declare: the library
    MethodDecl *decl = nullptr;
    const MethodInfo *overrides = nullptr;
    const EventInfo *event = nullptr;     // On handlers: the event handled
    const ControlInfo *control = nullptr; // On Control.Event handlers: the control
    // The handler of a control array's event: its first parameter, a local
    // that receives the index of the member whose event it is.
    const Variable *arrayIndex = nullptr;
    std::string menuItem; // Handles Menu: the item's name
    // A window's accessor of the item of its name in the window's menu bar.
    bool itemAccessor = false;
};

struct EventInfo : Symbol {
    EventInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Event, std::move(n), p) {}
    ClassInfo *owner = nullptr;
    Signature sig;
    int index = 0; // in the class's event table
};

struct ControlInfo : Symbol {
    ControlInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Control, std::move(n), p) {}
    ClassInfo *window = nullptr;
    ClassInfo *cls = nullptr;
    int index = 0; // creation order
    // A member of a control array: its index (the others have none), and
    // the array's first member, which stands for the array's name and its
    // handlers (a control that is no member is its own first).
    bool isArray = false;
    int32_t arrayIndex = INT32_MIN;
    const ControlInfo *first = this;
    const ControlDecl *decl = nullptr;
    std::string stream; // its design-time property stream, its name first
};

// One overload of an intrinsic global function.
struct Overload {
    Signature sig;
    std::string entry;
    std::string assignEntry; // `F(args) = value`; empty when not assignable
};

struct IntrinsicInfo : Symbol {
    IntrinsicInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Intrinsic, std::move(n), p) {}
    std::vector<Overload> overloads;
};

struct ClassInfo : Symbol {
    ClassInfo(std::string n, SourcePos p) : Symbol(SymbolKind::Class, std::move(n), p) {}

    ClassInfo *super = nullptr;
    std::vector<ClassInfo *> interfaces; // declared by this class
    bool isInterface = false;
    bool isModule = false;
    bool isWindow = false;  // declared with Window
    bool isMenuBar = false; // declared with MenuBar
    bool fromRuntime = false;
    bool isRoot = false;      // `Object`: every object is one; no class record at run time
    bool consoleOnly = false; // runtime class usable only without a GUI
    bool guiOnly = false;     // runtime class that needs the GUI
    const Type *type = nullptr;

    // Sizes of the class record's tables (inherited entries included).
    uint32_t instanceSize = 24;
    int methodCount = 0, eventCount = 0, memberCount = 0, propertyCount = 0, interfaceCount = 0;
    std::string initializer, finalizer; // runtime classes: entry points

    std::unordered_map<std::string, std::vector<Symbol *>> members; // own, by folded name
    std::vector<Symbol *> memberOrder;                              // own, in declaration order
    std::vector<MethodInfo *> vtable;        // image classes: every virtual method by slot
    std::vector<EventInfo *> events;         // every event by index, inherited first
    std::unordered_set<std::string> handled; // folded names of events this class handles
    std::vector<ControlInfo *> controls;
    TypeDecl *decl = nullptr;

    // Own members of that (folded) name, or null.
    const std::vector<Symbol *> *own(const std::string &folded) const;
    // The members of the first class up the chain that declares the name.
    const std::vector<Symbol *> *find(const std::string &folded) const;
    // This class, a superclass, or an interface implemented up the chain.
    bool isA(const ClassInfo *other) const;
    void add(Symbol *member);
};

class Program {
  public:
    // Starts with the root class `Object`, which every class inherits.
    Program();

    TypeTable types;

    template <class T, class... Args>
    T *make(Args &&...args) {
        auto owned = std::make_unique<T>(std::forward<Args>(args)...);
        T *raw = owned.get();
        symbols_.push_back(std::move(owned));
        return raw;
    }

    ClassInfo *findClass(const std::string &name) const;
    ClassInfo *addClass(const std::string &name, SourcePos pos); // null when the name is taken
    IntrinsicInfo *findIntrinsic(const std::string &name) const;
    IntrinsicInfo *intrinsic(const std::string &name); // found or made

    // The runtime's exported entry points (the manifest's `entry` records).
    std::unordered_set<std::string> entries;
    const std::vector<ClassInfo *> &classes() const { return classOrder_; }

  private:
    std::vector<std::unique_ptr<Symbol>> symbols_;
    std::unordered_map<std::string, ClassInfo *> classes_;
    std::vector<ClassInfo *> classOrder_;
    std::unordered_map<std::string, IntrinsicInfo *> intrinsics_;
};

} // namespace kqc
