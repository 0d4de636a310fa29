// The code generator's state, shared by its files: GenModule.cc (the image:
// classes, their registration, start code), GenMethod.cc (frames, prologue,
// cleanup handler, locals and temporaries), GenStatements.cc,
// GenExpressions.cc, GenCalls.cc and GenConvert.cc.
//
// Values are computed into the accumulator: eax for 32-bit values (narrow
// integers sign- or zero-extended, Booleans 0 or 1, references), edx:eax
// for 64-bit integers and Currency, st(0) for Single and Double. The x87
// stack is empty at every call. The stack pointer of a method's body never
// moves: arguments are written into an area at the bottom of the frame.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AsmWriter.h"
#include "Codegen.h"

namespace kqc {

enum class Repr : uint8_t { I32, I64, F32, F64, Void };
Repr reprOf(const Type *t);

// How a frame slot is released by the cleanup handler.
enum class Counted : uint8_t { None, String, Object, Array };
Counted countedOf(const Type *t);
const char *lockEntry(Counted c);
const char *unlockEntry(Counted c);
const char *lockUnlockEntry(Counted c);

// An evaluated expression. `owned` is the frame offset of the temporary that
// holds the reference the value carries (0: borrowed or not counted).
struct Value {
    const Type *type = nullptr;
    int32_t owned = 0;
};

// Where a variable, field or shared field lives. With `baseSlot` the
// address is relative to a pointer kept in that frame slot (an object, or
// the variable a ByRef parameter stands for); otherwise to the frame
// pointer, or to `label` for shared fields.
struct Place {
    const Type *type = nullptr;
    int32_t baseSlot = 0;
    int32_t disp = 0;
    std::string label;
    bool frame = false; // relative to %ebp
};

class ModuleGen;

class MethodGen {
  public:
    // One argument of a call: an expression, or a constant (an omitted
    // optional parameter), or a value computed before.
    struct Argument {
        const Expr *expr = nullptr; // or
        const ConstValue *value = nullptr;
        const Type *type = nullptr;
        bool byRef = false;
        bool cString = false;  // String to a library function: its text bytes
        int32_t spilled = 0;   // temporary holding the computed value
        bool keepSlot = false; // `spilled` belongs to someone else
        Value computed;
    };
    MethodGen(ModuleGen &module, const ClassInfo *cls, bool receiver);

    // Parameters and locals of a checked method, then its statements.
    void parameters(const MethodDecl &decl, const Signature &sig);
    void locals(const MethodDecl &decl);
    void statements(const Block &body);
    // Writes the whole function (prologue, body, cleanup) under `symbol`.
    void finish(const std::string &symbol, const Type *result, const std::string &section = "text");

    // ---- emission (GenMethod.cc)
    void ins(const std::string &line) { code_ += "\t" + line + "\n"; }
    void raw(const std::string &text) { code_ += text; }
    void place(const std::string &label) { code_ += label + ":\n"; }
    std::string label();
    void call(const std::string &entry, SourcePos pos = {});
    void callSymbol(const std::string &symbol);
    void arg(uint32_t offset, const char *reg = "%eax");
    void useArgs(uint32_t bytes);
    void marker(uint32_t kind, int32_t variable, const std::string &target);
    void scanGuard();
    void backgroundTask();

    // ---- frame (GenMethod.cc)
    int32_t slot(uint32_t size, Counted counted);
    int32_t temp(Repr repr);
    int32_t countedTemp(Counted counted);
    void freeTemp(int32_t offset);
    static std::string at(int32_t offset) { return std::to_string(offset) + "(%ebp)"; }
    void releaseTemps();
    // Where Self is: the object the method was called for, or in the
    // handler of a control's event, the control's window (Me is the control).
    int32_t receiverOffset() const { return selfSlot_; }
    int32_t receiverOffset(const Expr *object) const {
        return object && object->kind == ExprKind::Me ? 8 : selfSlot_;
    }
    // Self from the control's window field; for a control array's handler
    // also the member's index (from the control's index field) into its
    // local.
    void controlHandler(uint32_t windowOffset, const Variable *arrayIndex, uint32_t indexOffset);

    // ---- values (GenExpressions.cc)
    Value expr(const Expr &e);
    void discard(const Expr &e);
    void condition(const Expr &e, const std::string &ifFalse);
    void release(Value &v);
    void releaseKeeping(Value &gone, const Value &kept);
    void own(Value &v);
    void keepOwned(Value &v);
    int32_t spill(const Value &v);
    void reload(int32_t offset, Repr repr);
    void load(Repr repr, const Type *t, const std::string &address, const std::string &high = "");
    void storeAcc(Repr repr, const Type *t, const std::string &address,
                  const std::string &high = "");
    void constant(const ConstValue &c, const Type *t);
    static bool decimalLiteral(const Expr &e, ConstValue *out);
    Value literal(const LiteralExpr &e);
    Value name(const NameExpr &e);
    Value member(const MemberExpr &e);
    Value object(const Expr &e, bool *staticAccess);
    Value fieldOf(Value object, const FieldInfo *f);
    Value property(const Value *object, const PropertyInfo *p);
    Value variable(const Variable *v);
    Value unary(const UnaryExpr &e);
    Value binary(const BinaryExpr &e);
    Value compare(const BinaryExpr &e);
    Value compareWith(Op op, const Type *operandType, const std::function<Value()> &left,
                      const std::function<Value()> &right, SourcePos pos);
    Value arithmetic64(const BinaryExpr &e);
    Value floating(const BinaryExpr &e);
    bool directOperand(const Expr &e, const Type *t, std::string *operand);
    void roundTo(const Type *t);
    Value newObject(const NewExpr &e);
    Value control(Value window, const ControlInfo *c, SourcePos pos);
    void nilCheck(const char *reg = "%eax");
    void divisorCheck(const char *reg);

    // ---- places and assignment (GenAssign.cc)
    void assign(const Expr &target, const Expr &value);
    int32_t assignmentObject(const Expr &objectExpr, const Value &v, Value *obj);
    Place placeOf(const Variable *v);
    Place placeOfField(const FieldInfo *f, int32_t objectSlot);
    std::string addressOf(const Place &p, int32_t extra = 0);
    void loadPlace(const Place &p);
    void store(const Place &p, Value value);
    void storeVariable(const Variable *v, Value value);
    void zeroVariable(const Variable *v);
    void setProperty(const Value *object, int32_t objectSlot, const PropertyInfo *p, Value value);

    // ---- calls (GenCalls.cc)
    Value callExpr(const CallExpr &c);
    Value callMethod(const CallExpr &c, const MethodInfo *m, const Expr *receiver);
    Value callRuntime(const std::string &entry, const Signature &sig,
                      const std::vector<const Expr *> &args, const Expr *receiver, SourcePos pos);
    Value finishCall(std::vector<Argument> &args, const Type *resultType);
    void releaseKeeping(std::vector<Argument> &args, Value &v);
    Value raiseEvent(const CallExpr &c, const EventInfo *event);
    Value indexArray(const CallExpr &c);
    Value controlArrayMember(const CallExpr &c);
    Value arrayMethod(const CallExpr &c);
    Value arraySlot(const Expr &array, int slot, std::vector<Argument> rest,
                    const Type *resultType);
    void arrayElementStore(const CallExpr &target, const Expr &value);
    void assignForm(const CallExpr &target, const Expr &value);
    Value result(const Type *t);
    uint32_t passArguments(std::vector<Argument> &args, uint32_t firstOffset);
    void releaseArguments(std::vector<Argument> &args);
    void address(const Expr &e);

    // ---- conversions (GenConvert.cc)
    void convert(Value &v, const Type *to, bool isExplicit);

    // ---- statements (GenStatements.cc)
    void statement(const Stmt &s);
    void dim(const DimStmt &s);
    void ifStatement(const IfStmt &s);
    void select(const SelectStmt &s);
    void forLoop(const ForStmt &s);
    void whileLoop(const WhileStmt &s);
    void doLoop(const DoStmt &s);
    void tryBlock(const TryStmt &s);
    void raise(const RaiseStmt &s);
    void returnStatement(const ReturnStmt &s);
    void jump(const Stmt *loop, bool toContinue);
    void jumpOut(const std::string &target, size_t keepTries);
    Value createArray(const Type *t, const ExprList &bounds);
    void setResult(const Type *result);

    ModuleGen &module_;
    const ClassInfo *cls_;
    bool receiver_;
    Expr self_{ExprKind::Self, SourcePos{}}; // the receiver, for calls without an object
    const MethodDecl *decl_ = nullptr;
    const Type *result_ = nullptr;

  private:
    friend class ModuleGen;
    struct Loop {
        const Stmt *stmt;
        std::string exitLabel, continueLabel;
        size_t tries; // the try blocks open where the loop starts
    };
    struct TryContext {
        const TryStmt *stmt;
        int32_t exception;                        // its exception slot
        std::vector<int32_t> nestedExceptions;    // slots of tries inside it
        std::map<std::string, std::string> exits; // target -> the path through Finally
    };

    std::string code_;
    int32_t next_ = -8; // the lowest frame offset used so far
    int32_t spSlot_ = -4, pending_ = -8, resultSlot_ = 0;
    int32_t selfSlot_ = 8;
    uint32_t argBytes_ = 0;                             // the outgoing argument area
    std::vector<std::pair<int32_t, Counted>> released_; // what the cleanup releases
    std::map<Repr, std::vector<int32_t>> freePlain_;
    std::map<Counted, std::vector<int32_t>> freeCounted_;
    std::vector<int32_t> countedTemps_;
    std::vector<Loop> loops_;
    std::vector<TryContext> tries_;
    std::string epilogue_;
    std::map<const TryStmt *, int32_t> trySlots_;
    std::set<int32_t> eightByte_; // plain slots of 8 bytes
};

class ModuleGen {
  public:
    ModuleGen(Program &program, std::vector<SourceUnit> &units, const Project *project,
              const CodegenOptions &options, Diagnostics &diags)
        : program_(program), units_(units), project_(project), options_(options), diags_(diags) {}
    bool run(std::string *out);

    // ---- for methods (GenModule.cc)
    std::string runtime(const std::string &entry, SourcePos pos);
    bool hasEntry(const std::string &entry) const;
    std::string classPointer(const ClassInfo *cls);
    std::string sharedField(const FieldInfo *f);
    std::string symbolOf(const MethodInfo *m);
    std::string mangled(const MethodInfo *m) const;
    std::string libraryFunction(const MethodInfo *m);
    std::string divisionByZero();
    std::string emptyText();
    void error(SourcePos pos, const std::string &message) { diags_.error(pos, message); }
    Program &program() { return program_; }
    AsmWriter &out() { return out_; }
    const ClassInfo *applicationClass() const;

    // ---- windows and menu bars (GenWindows.cc)
    bool isWindow(const ClassInfo *cls) const;
    std::string implicitWindow(const ClassInfo *cls);
    void constructWindow(MethodGen &g, int32_t objectSlot);
    uint32_t controlWindowOffset();
    uint32_t controlIndexOffset();
    void menuItemAccessor(ClassInfo *cls, const MethodInfo *m);

  private:
    void orderClasses();
    void generateClass(ClassInfo *cls);
    void generateMethod(ClassInfo *cls, MethodDecl &decl, MethodInfo *info);
    void initializer(ClassInfo *cls);
    void finalizer(ClassInfo *cls);
    void registration(MethodGen &g);
    void lookUpClasses();
    void registerClass(MethodGen &g, ClassInfo *cls);
    void interfaceTables(MethodGen &g, ClassInfo *cls, int32_t classSlot);
    void fileTypes(MethodGen &g);
    void startApplication(MethodGen &g);
    const Symbol *runtimeMember(const char *cls, const char *name, SymbolKind kind);
    std::string memberEntry(const char *cls, const char *name);
    void objectProperties(MethodGen &g, int32_t target, const std::vector<LayoutProperty> &props);
    void massProperties(MethodGen &g, int32_t target, const std::string &stream);
    void layoutHandler(ClassInfo *cls);
    std::string createControls(ClassInfo *cls);
    void addMenuHandlers(MethodGen &g, const ClassInfo *cls, int32_t target, const char *base);
    void windowInitializer(MethodGen &g, ClassInfo *cls);
    void menuEntries(MethodGen &g, int32_t parent, const std::vector<MenuEntry> &entries);
    void menuBarInitializer(MethodGen &g, ClassInfo *cls);
    void applicationMenuBar(MethodGen &g, int32_t appSlot);
    void applicationMenuHandlers(MethodGen &g, const ClassInfo *app, int32_t appSlot);
    void defaultWindow(MethodGen &g);
    void startCode();
    void checkEntries();

    Program &program_;
    std::vector<SourceUnit> &units_;
    const Project *project_;
    const CodegenOptions &options_;
    Diagnostics &diags_;
    AsmWriter out_;
    std::vector<ClassInfo *> classes_; // image classes, superclasses first
    std::map<const ClassInfo *, std::string> classPointers_;
    std::map<const FieldInfo *, std::string> sharedFields_;
    std::map<const ClassInfo *, std::string> initializers_, finalizers_;
    std::map<const ClassInfo *, std::string> layouts_, implicitWindows_;
    std::map<std::string, SourcePos> entries_; // runtime entry points used
    std::string divisionByZero_, emptyText_, exitStatus_;
};

} // namespace kqc
