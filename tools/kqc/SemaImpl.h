// The semantic analyser's state and rules, shared by its files:
// SemaDeclarations.cc (classes and members), SemaLayout.cc (windows,
// controls, menus), SemaStatements.cc, SemaExpressions.cc, SemaCalls.cc and
// ConstEval.cc.
#pragma once

#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Conversions.h"
#include "Sema.h"

namespace kqc {

// What a name or member stands for before it is used.
struct Resolved {
    Ref ref = Ref::Unresolved;
    const std::vector<Symbol *> *symbols = nullptr; // candidates (methods may come in forms)
    Symbol *symbol = nullptr;                       // the first candidate
    const Type *builtin = nullptr;                  // a built-in type name
};

// The method body being checked.
struct BodyContext {
    ClassInfo *cls = nullptr;     // Self's class
    ClassInfo *meClass = nullptr; // Me's class: the control in a control's handler
    MethodDecl *decl = nullptr;
    bool shared = false;
    const Type *result = nullptr; // Void in a Sub
    std::vector<std::unordered_map<std::string, Symbol *>> scopes;
    std::vector<Stmt *> loops; // enclosing loops, innermost last
};

// The class (or module) a member belongs to, for messages.
std::string ownerName(const Symbol *s);

// Whether a resolved member needs an object (it is no shared member).
bool instanceMember(const Resolved &r);

class Sema {
  public:
    Sema(Program &program, std::vector<SourceUnit> &units, const Project *project,
         Diagnostics &diags)
        : program_(program), types_(program.types), units_(units), project_(project),
          diags_(diags) {}
    bool run();

    void error(SourcePos pos, const std::string &message) { diags_.error(pos, message); }
    const Type *type(TypeKind k) const { return types_.get(k); }

    // ---- declarations (SemaDeclarations.cc)
    void declareClasses();
    void resolveBases(ClassInfo *cls);
    bool orderClasses();
    void declareMembers(ClassInfo *cls);
    void declareField(ClassInfo *cls, FieldDecl &f);
    void declareConst(ClassInfo *cls, ConstDecl &c);
    void declareEvent(ClassInfo *cls, EventDecl &e);
    void declareMethod(ClassInfo *cls, MethodDecl &m);
    void declareDeclare(ClassInfo *cls, DeclareDecl &d);
    void declareHandler(ClassInfo *cls, MethodDecl &m);
    bool checkOverride(ClassInfo *cls, MethodInfo *m);
    void checkControlHandlers(ClassInfo *cls);
    void layoutFields(ClassInfo *cls);
    void checkInterfaces(ClassInfo *cls);
    void declareGlobals();
    void checkProject();
    const Type *resolveType(const TypeRef &ref);
    Signature signatureOf(const std::vector<Param> &params, const TypeRef &result, bool isFunction);
    bool sameSignature(const Signature &a, const Signature &b) const;
    std::string describe(const Signature &sig) const;
    ClassInfo *runtimeClass(const char *name) const;
    void noDuplicate(ClassInfo *cls, const std::string &name, SourcePos pos);

    // ---- windows, controls and menus (SemaLayout.cc)
    void declareControls(ClassInfo *cls);
    void declareMenuBar(ClassInfo *cls);
    // `arrays`: the indexes used so far by each menu-item array.
    void menuEntries(std::vector<MenuEntry> &entries,
                     std::unordered_map<std::string, SourcePos> &seen,
                     std::unordered_map<std::string, std::set<uint64_t>> &arrays);
    void declareMenuHandler(ClassInfo *cls, MethodDecl &m);
    void declareMenuItemAccessors(ClassInfo *cls);
    void menuItemAccessors(ClassInfo *cls, const std::vector<MenuEntry> &entries);
    void checkLayout(ClassInfo *target, std::vector<LayoutProperty> &props);
    void controlStream(ControlInfo *control);
    void declarePictureResource();
    void implicitWindow(const ClassInfo *cls, SourcePos pos);
    void menuItemStream(MenuEntry &e);
    const MenuEntry *findMenuItem(const std::string &folded) const;

    // ---- statements (SemaStatements.cc)
    void checkBodies();
    void checkBody(ClassInfo *cls, MethodDecl &m, const Signature &sig);
    void block(Block &b);
    void statement(StmtPtr &s);
    void dim(DimStmt &s);
    void forLoop(ForStmt &s);
    void select(SelectStmt &s);
    void tryBlock(TryStmt &s);
    void jump(Stmt &s, JumpTarget target, bool isExit);
    void assign(AssignStmt &s);
    bool assignForm(AssignStmt &s);
    void condition(ExprPtr &e);
    Variable *declareLocal(const std::string &name, SourcePos pos, const Type *t);
    Variable *temp(const Type *t, SourcePos pos);
    void pushScope() { ctx_.scopes.emplace_back(); }
    void popScope() { ctx_.scopes.pop_back(); }

    // ---- expressions (SemaExpressions.cc)
    const Type *value(ExprPtr &e);
    const Type *expr(ExprPtr &e);
    Resolved lookup(const std::string &name, SourcePos pos);
    Resolved memberOf(ClassInfo *cls, const std::string &name, SourcePos pos, bool viaClass);
    const Type *name(ExprPtr &e);
    const Type *member(ExprPtr &e);
    const Type *literal(LiteralExpr &e);
    const Type *unary(UnaryExpr &e);
    const Type *binary(BinaryExpr &e);
    const Type *comparisonType(const Type *a, const Type *b, Op op, SourcePos pos);
    Resolved resolveMember(MemberExpr &m);
    const Type *ctype(CTypeExpr &e);
    const Type *newObject(NewExpr &e);
    const Type *useSymbol(ExprPtr &e, Resolved r, Ref *ref, const Symbol **symbol);
    bool instanceAccess(SourcePos pos, const Symbol *s);
    bool visible(SourcePos pos, const Symbol *s);
    void convert(ExprPtr &e, const Type *to, const char *context);
    void coerce(ExprPtr &e, const Type *to);
    bool isLValue(const Expr &e) const;
    ClassInfo *classOf(const Expr &e);

    // ---- calls (SemaCalls.cc)
    const Type *call(ExprPtr &e, bool statement);
    const Type *callResolved(CallExpr &c, Resolved r, bool statement);
    const Type *arrayMethod(CallExpr &c, const Type *arrayType, const std::string &name,
                            SourcePos pos);
    bool argsFit(ExprList &args, SourcePos pos, const std::string &what, const Signature &sig,
                 bool apply, int *cost);
    int chooseOverload(ExprList &args, SourcePos pos, const std::string &what,
                       const std::vector<const Signature *> &candidates);
    bool checkArgs(ExprList &args);
    void implicitCall(ExprPtr &e);

    // ---- constants (ConstEval.cc)
    bool constant(const Expr &e, ConstValue *out);
    bool constantOf(const ConstInfo *c, ConstValue *out);
    void resolveConst(ConstInfo *c);
    const Type *constantType(const ConstValue &v);

    Program &program_;
    TypeTable &types_;
    std::vector<SourceUnit> &units_;
    const Project *project_;
    Diagnostics &diags_;
    std::vector<ClassInfo *> imageClasses_; // superclasses first once ordered
    std::unordered_map<std::string, std::vector<Symbol *>> globals_; // module members and Declares
    std::vector<const MenuEntry *> menuItems_;
    std::unordered_set<std::string> missingReported_; // runtime properties reported missing
    BodyContext ctx_;
    bool assigning_ = false; // resolving an assignment's target: no implicit calls
};

} // namespace kqc
