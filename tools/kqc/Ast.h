// The syntax tree of Kestlang. The parser builds it; semantic analysis fills
// the fields marked "sema" (types, what a name refers to, implicit
// conversions inserted as Convert nodes) and the code generator reads it.
// Nodes own their children; every node has the position of its first token.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Source.h"

namespace kqc {

struct Type;
struct Symbol;
struct Variable;
struct Overload;

// ---- types as written ------------------------------------------------------

struct TypeRef {
    std::string name; // empty: no type written
    SourcePos pos;
    int arrayDims = 0;          // `As Integer()` is 1, `As Integer(,)` is 2
    const Type *type = nullptr; // sema
    bool present() const { return !name.empty(); }
};

// ---- expressions -----------------------------------------------------------

enum class ExprKind : uint8_t {
    Literal,
    Name,
    Me,
    Self,
    Super,
    Member,
    Call,
    New,
    Unary,
    Binary,
    CType,
    Convert, // inserted by sema: implicit conversion
    Error,   // stands for an expression that did not parse
};

enum class LiteralKind : uint8_t { Integer, Float, String, Color, Boolean, Nil };

enum class Op : uint8_t {
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Pow,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    IsA,
    And,
    Or,
    Xor,
    Neg,
    Plus,
    Not,
};

const char *spell(Op op);

struct Expr {
    explicit Expr(ExprKind k, SourcePos p) : kind(k), pos(p) {}
    virtual ~Expr() = default;
    ExprKind kind;
    SourcePos pos;
    const Type *type = nullptr; // sema
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

struct LiteralExpr : Expr {
    LiteralExpr(SourcePos p, LiteralKind k) : Expr(ExprKind::Literal, p), lit(k) {}
    LiteralKind lit;
    uint64_t intValue = 0; // Integer, Color, Boolean (0/1)
    double realValue = 0;
    std::string text;   // String: the decoded text
    bool based = false; // &h/&o/&b
};

// What a name or member access refers to, and how a call is carried out.
enum class Ref : uint8_t {
    Unresolved,
    Local,       // a local variable or parameter
    Field,       // an instance field of an image class
    SharedField, // a shared field (class or module level)
    Property,    // a runtime property slot, through its accessors
    Constant,
    Method,        // an image method, called through the method table
    SharedMethod,  // a shared method or module method: direct call
    RuntimeMethod, // a runtime class member: direct call of its entry point
    Event,         // raising an event of the class itself
    Declare,       // a declared library function
    Intrinsic,     // an intrinsic global function
    Class,         // a class name (shared member access, casts, New)
    Module,
    ImplicitWindow, // a window class name used as an object
    Control,        // a control of the window
    App,            // the application object
    Index,          // array element
    Conversion,     // Integer(x) and friends: explicit conversion
    Cast,           // ClassName(obj): checked cast
    ArrayMethod,    // a.Ubound, a.Append(x), ...: through the array's operations
};

// The methods every array has.
enum class ArrayOp : uint8_t {
    None,
    Ubound,
    Append,
    Insert,
    Remove,
    Sort,
    IndexOf,
    Shuffle,
    Redim
};

struct NameExpr : Expr {
    NameExpr(SourcePos p, std::string n) : Expr(ExprKind::Name, p), name(std::move(n)) {}
    std::string name;
    Ref ref = Ref::Unresolved;      // sema
    const Symbol *symbol = nullptr; // sema
};

struct MemberExpr : Expr {
    MemberExpr(SourcePos p, ExprPtr obj, std::string m, SourcePos mp)
        : Expr(ExprKind::Member, p), object(std::move(obj)), member(std::move(m)), memberPos(mp) {}
    ExprPtr object;
    std::string member;
    SourcePos memberPos;
    Ref ref = Ref::Unresolved;      // sema
    const Symbol *symbol = nullptr; // sema
};

struct CallExpr : Expr {
    CallExpr(SourcePos p, ExprPtr c) : Expr(ExprKind::Call, p), callee(std::move(c)) {}
    ExprPtr callee;
    ExprList args;
    bool parenthesized = true;          // false: `Name args` statement form
    Ref ref = Ref::Unresolved;          // sema
    const Symbol *symbol = nullptr;     // sema: method, event, property, ...
    const Overload *overload = nullptr; // sema: the chosen intrinsic overload
    ArrayOp arrayOp = ArrayOp::None;    // sema: Ref::ArrayMethod
    bool direct = false;                // sema: Super.Method: no method-table call
};

struct NewExpr : Expr {
    explicit NewExpr(SourcePos p) : Expr(ExprKind::New, p) {}
    TypeRef cls;
    ExprList args;
    const Symbol *constructor = nullptr; // sema: the Constructor method, if any
};

struct UnaryExpr : Expr {
    UnaryExpr(SourcePos p, Op o, ExprPtr e)
        : Expr(ExprKind::Unary, p), op(o), operand(std::move(e)) {}
    Op op;
    ExprPtr operand;
};

struct BinaryExpr : Expr {
    BinaryExpr(SourcePos p, Op o, ExprPtr l, ExprPtr r)
        : Expr(ExprKind::Binary, p), op(o), lhs(std::move(l)), rhs(std::move(r)) {}
    Op op;
    ExprPtr lhs, rhs;
    const Type *operandType = nullptr; // sema: the type both sides were brought to
};

struct CTypeExpr : Expr {
    explicit CTypeExpr(SourcePos p) : Expr(ExprKind::CType, p) {}
    ExprPtr value;
    TypeRef target;
};

struct ConvertExpr : Expr {
    ConvertExpr(SourcePos p, ExprPtr v) : Expr(ExprKind::Convert, p), value(std::move(v)) {}
    ExprPtr value;
};

// ---- statements ------------------------------------------------------------

enum class StmtKind : uint8_t {
    Dim,
    Const,
    Assign,
    Call,
    If,
    Select,
    For,
    While,
    Do,
    Exit,
    Continue,
    Return,
    Try,
    Raise,
};

struct Stmt {
    Stmt(StmtKind k, SourcePos p) : kind(k), pos(p) {}
    virtual ~Stmt() = default;
    StmtKind kind;
    SourcePos pos;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct DimVar {
    std::string name;
    SourcePos pos;
    bool isArray = false;         // written with parentheses: `a(10)`, `names()`
    ExprList bounds;              // upper bounds, empty for `names()`
    Variable *variable = nullptr; // sema
};

struct DimStmt : Stmt {
    explicit DimStmt(SourcePos p) : Stmt(StmtKind::Dim, p) {}
    std::vector<DimVar> vars;
    TypeRef type;
    ExprPtr init; // also `As New Class(args)`
    bool asNew = false;
};

struct ConstDecl;
struct ConstStmt : Stmt {
    explicit ConstStmt(SourcePos p) : Stmt(StmtKind::Const, p) {}
    std::unique_ptr<ConstDecl> decl;
};

struct AssignStmt : Stmt {
    explicit AssignStmt(SourcePos p) : Stmt(StmtKind::Assign, p) {}
    ExprPtr target, value;
};

struct CallStmt : Stmt {
    explicit CallStmt(SourcePos p) : Stmt(StmtKind::Call, p) {}
    ExprPtr call; // a CallExpr after sema (a bare name is turned into a call)
};

struct IfBranch {
    SourcePos pos;
    ExprPtr cond;
    Block body;
};

struct IfStmt : Stmt {
    explicit IfStmt(SourcePos p) : Stmt(StmtKind::If, p) {}
    std::vector<IfBranch> branches; // If and each ElseIf
    Block elseBody;
    bool hasElse = false;
    bool singleLine = false;
};

struct CaseClause {
    enum class Kind : uint8_t { Value, Range, Is } kind = Kind::Value;
    SourcePos pos;
    Op op = Op::Eq; // Is: the comparison
    ExprPtr value, upper;
    const Type *operandType = nullptr; // sema: the type selector and values are compared in
};

struct CaseBlock {
    SourcePos pos;
    bool isElse = false;
    std::vector<CaseClause> clauses;
    Block body;
};

struct SelectStmt : Stmt {
    explicit SelectStmt(SourcePos p) : Stmt(StmtKind::Select, p) {}
    ExprPtr selector;
    std::vector<CaseBlock> cases;
    Variable *temp = nullptr; // sema: holds the selector's value
};

struct ForStmt : Stmt {
    explicit ForStmt(SourcePos p) : Stmt(StmtKind::For, p) {}
    std::string var;
    SourcePos varPos;
    TypeRef declType; // `For i As Integer = ...` declares the variable
    ExprPtr from, to, step;
    bool downTo = false;
    Block body;
    std::string nextVar; // as written after Next, may be empty
    SourcePos nextPos;
    Variable *variable = nullptr;                  // sema
    Variable *limit = nullptr, *stepVar = nullptr; // sema: evaluated once
};

struct WhileStmt : Stmt {
    explicit WhileStmt(SourcePos p) : Stmt(StmtKind::While, p) {}
    ExprPtr cond;
    Block body;
};

struct DoStmt : Stmt {
    explicit DoStmt(SourcePos p) : Stmt(StmtKind::Do, p) {}
    ExprPtr preCond, postCond; // either may be null
    bool preUntil = false, postUntil = false;
    Block body;
};

enum class JumpTarget : uint8_t { Loop, For, While, Do, Sub, Function };

struct ExitStmt : Stmt {
    ExitStmt(SourcePos p, JumpTarget t) : Stmt(StmtKind::Exit, p), target(t) {}
    JumpTarget target;
    const Stmt *loop = nullptr; // sema: the loop left, null for the method
};

struct ContinueStmt : Stmt {
    ContinueStmt(SourcePos p, JumpTarget t) : Stmt(StmtKind::Continue, p), target(t) {}
    JumpTarget target;
    const Stmt *loop = nullptr; // sema
};

struct ReturnStmt : Stmt {
    explicit ReturnStmt(SourcePos p) : Stmt(StmtKind::Return, p) {}
    ExprPtr value;
};

struct CatchClause {
    SourcePos pos;
    std::string var; // may be empty
    SourcePos varPos;
    TypeRef type; // empty: any RuntimeException
    Block body;
    Variable *variable = nullptr; // sema
};

struct TryStmt : Stmt {
    explicit TryStmt(SourcePos p) : Stmt(StmtKind::Try, p) {}
    Block body;
    std::vector<CatchClause> catches;
    bool hasFinally = false;
    Block finallyBody;
};

struct RaiseStmt : Stmt {
    explicit RaiseStmt(SourcePos p) : Stmt(StmtKind::Raise, p) {}
    ExprPtr value;
};

// ---- declarations ----------------------------------------------------------

struct Param {
    std::string name;
    SourcePos pos;
    TypeRef type;
    bool byRef = false;
    bool optional = false;
    ExprPtr defaultValue;
};

enum class MemberKind : uint8_t { Field, Const, Event, Method, Handler, MenuHandler, Declare };

struct MemberDecl {
    MemberDecl(MemberKind k, SourcePos p) : kind(k), pos(p) {}
    virtual ~MemberDecl() = default;
    MemberKind kind;
    SourcePos pos;
    std::string name;
    SourcePos namePos;
    bool isPrivate = false;
    bool shared = false;
    Symbol *symbol = nullptr; // sema
};
using MemberPtr = std::unique_ptr<MemberDecl>;

struct FieldDecl : MemberDecl {
    explicit FieldDecl(SourcePos p) : MemberDecl(MemberKind::Field, p) {}
    TypeRef type;
    bool isArray = false; // `Property items(10) As Integer`
    ExprList bounds;
    ExprPtr init;
};

struct ConstDecl : MemberDecl {
    explicit ConstDecl(SourcePos p) : MemberDecl(MemberKind::Const, p) {}
    TypeRef type;
    ExprPtr value;
};

struct EventDecl : MemberDecl {
    explicit EventDecl(SourcePos p) : MemberDecl(MemberKind::Event, p) {}
    std::vector<Param> params;
    TypeRef result;
};

// Sub, Function, On handlers and Handles Menu blocks: anything with a body.
struct MethodDecl : MemberDecl {
    MethodDecl(MemberKind k, SourcePos p) : MemberDecl(k, p) {}
    bool isFunction = false;
    std::vector<Param> params;
    TypeRef result;
    Block body;
    SourcePos endPos;    // the End line: where the epilogue is
    std::string control; // Handler: `On Control.Event`, empty for own events
    SourcePos controlPos;
    std::vector<Variable *> locals; // sema: every local and temporary
};

struct DeclareDecl : MemberDecl {
    explicit DeclareDecl(SourcePos p) : MemberDecl(MemberKind::Declare, p) {}
    bool isFunction = false;
    std::string lib;
    std::vector<Param> params;
    TypeRef result;
};

// `Name = value` in a window or control layout.
struct LayoutProperty {
    std::string name;
    SourcePos pos;
    ExprPtr value;
    // sema: the entry of the property stream for a constant value; for an
    // object value (set by its setter) the property, and the value is a
    // class name (a new object of it) or an expression.
    std::string entry;
    const Symbol *objectProperty = nullptr;
};

struct ControlDecl {
    std::string name;
    SourcePos pos;
    bool isArray = false; // `Control Name(index) As Class`: a control-array member
    uint64_t index = 0;
    SourcePos indexPos;
    TypeRef cls;
    std::vector<LayoutProperty> properties;
};

struct MenuEntry {
    bool isMenu = false; // Menu (with children) or Item
    std::string name;
    SourcePos pos;
    bool isArray = false; // `Item Name(index) ...`: a member of a menu-item array
    uint64_t index = 0;
    SourcePos indexPos;
    TypeRef cls; // Item ... As Class; empty for MenuItem
    std::string text;
    std::string shortcut;
    std::vector<MenuEntry> children;
    Symbol *itemClass = nullptr; // sema: the class of the item's object
    std::string stream;          // sema: its name, text and shortcut as a property stream
};

enum class DeclKind : uint8_t { Class, Interface, Module, Window, MenuBar };

struct TypeDecl {
    DeclKind kind = DeclKind::Class;
    SourcePos pos;
    std::string name;
    SourcePos namePos;
    std::string super; // Inherits, may be empty
    SourcePos superPos;
    std::vector<std::pair<std::string, SourcePos>> interfaces;
    std::vector<MemberPtr> members;
    std::vector<LayoutProperty> layout; // Window: design-time properties
    std::vector<ControlDecl> controls;  // Window
    std::vector<MenuEntry> menus;       // MenuBar
    Symbol *symbol = nullptr;           // sema: its ClassInfo
};

// One parsed source file.
struct SourceUnit {
    uint32_t fileId = 0;
    std::vector<std::unique_ptr<TypeDecl>> types;
    std::vector<MemberPtr> declares; // Declare statements outside any block
};

} // namespace kqc
