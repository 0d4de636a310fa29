// Rendering of syntax trees (see AstDump.h).
#include "AstDump.h"

#include <sstream>

#include "Types.h"

namespace kqc {
namespace {

std::string typeText(const TypeRef &t) {
    if (!t.present()) return "-";
    std::string out = t.name;
    if (t.arrayDims > 0) out += "(" + std::string(t.arrayDims - 1, ',') + ")";
    return out;
}

std::string list(const ExprList &args) {
    std::string out;
    for (const ExprPtr &a : args)
        out += " " + (a ? dump(*a) : std::string("null"));
    return out;
}

std::string opt(const ExprPtr &e) {
    return e ? dump(*e) : "-";
}

std::string params(const std::vector<Param> &ps) {
    std::string out = "(";
    for (const Param &p : ps) {
        if (out.size() > 1) out += " ";
        out += "(" + std::string(p.byRef ? "byref " : "") + (p.optional ? "optional " : "") +
               p.name + " " + typeText(p.type) +
               (p.defaultValue ? " = " + dump(*p.defaultValue) : "") + ")";
    }
    return out + ")";
}

std::string menu(const MenuEntry &m) {
    std::string out = std::string(m.isMenu ? "(menu " : "(item ") + m.name;
    if (m.cls.present()) out += " as " + m.cls.name;
    out += " \"" + m.text + "\"";
    if (!m.shortcut.empty()) out += " shortcut \"" + m.shortcut + "\"";
    for (const MenuEntry &c : m.children)
        out += " " + menu(c);
    return out + ")";
}

std::string member(const MemberDecl &m) {
    std::string mods = std::string(m.isPrivate ? "private " : "") + (m.shared ? "shared " : "");
    switch (m.kind) {
    case MemberKind::Field: {
        auto &f = static_cast<const FieldDecl &>(m);
        return "(property " + mods + f.name + (f.isArray ? "(" + list(f.bounds) + ")" : "") + " " +
               typeText(f.type) + (f.init ? " = " + dump(*f.init) : "") + ")";
    }
    case MemberKind::Const: {
        auto &c = static_cast<const ConstDecl &>(m);
        return "(const " + c.name + " " + typeText(c.type) + " " + opt(c.value) + ")";
    }
    case MemberKind::Event: {
        auto &e = static_cast<const EventDecl &>(m);
        return "(event " + e.name + " " + params(e.params) + " " + typeText(e.result) + ")";
    }
    case MemberKind::Declare: {
        auto &d = static_cast<const DeclareDecl &>(m);
        return "(declare " + d.name + " lib \"" + d.lib + "\" " + params(d.params) + " " +
               typeText(d.result) + ")";
    }
    default:
        break;
    }
    auto &d = static_cast<const MethodDecl &>(m);
    const char *kind = m.kind == MemberKind::Handler       ? "on "
                       : m.kind == MemberKind::MenuHandler ? "handles "
                       : d.isFunction                      ? "function "
                                                           : "sub ";
    std::string name = d.control.empty() ? d.name : d.control + "." + d.name;
    return "(" + std::string(kind) + mods + name + " " + params(d.params) + " " +
           typeText(d.result) + " " + dump(d.body) + ")";
}

} // namespace

std::string dump(const Expr &e) {
    switch (e.kind) {
    case ExprKind::Literal: {
        auto &l = static_cast<const LiteralExpr &>(e);
        switch (l.lit) {
        case LiteralKind::Integer:
            return "(int " + std::to_string(l.intValue) + ")";
        case LiteralKind::Float: {
            std::ostringstream s;
            s << "(real " << l.realValue << ")";
            return s.str();
        }
        case LiteralKind::String:
            return "(str \"" + l.text + "\")";
        case LiteralKind::Color:
            return "(color " + std::to_string(l.intValue) + ")";
        case LiteralKind::Boolean:
            return l.intValue ? "true" : "false";
        case LiteralKind::Nil:
            return "nil";
        }
        return "?";
    }
    case ExprKind::Name:
        return static_cast<const NameExpr &>(e).name;
    case ExprKind::Me:
        return "me";
    case ExprKind::Self:
        return "self";
    case ExprKind::Super:
        return "super";
    case ExprKind::Member: {
        auto &m = static_cast<const MemberExpr &>(e);
        return "(. " + dump(*m.object) + " " + m.member + ")";
    }
    case ExprKind::Call: {
        auto &c = static_cast<const CallExpr &>(e);
        return std::string(c.parenthesized ? "(call " : "(call* ") + dump(*c.callee) +
               list(c.args) + ")";
    }
    case ExprKind::New: {
        auto &n = static_cast<const NewExpr &>(e);
        return "(new " + n.cls.name + list(n.args) + ")";
    }
    case ExprKind::Unary: {
        auto &u = static_cast<const UnaryExpr &>(e);
        return std::string("(") + (u.op == Op::Neg ? "neg" : spell(u.op)) + " " + dump(*u.operand) +
               ")";
    }
    case ExprKind::Binary: {
        auto &b = static_cast<const BinaryExpr &>(e);
        return std::string("(") + spell(b.op) + " " + dump(*b.lhs) + " " + dump(*b.rhs) + ")";
    }
    case ExprKind::CType: {
        auto &c = static_cast<const CTypeExpr &>(e);
        return "(ctype " + opt(c.value) + " " + typeText(c.target) + ")";
    }
    case ExprKind::Convert:
        return "(to " + typeName(e.type) + " " + dump(*static_cast<const ConvertExpr &>(e).value) +
               ")";
    case ExprKind::Error:
        return "error";
    }
    return "?";
}

std::string dump(const Block &b) {
    std::string out = "[";
    for (const StmtPtr &s : b) {
        if (out.size() > 1) out += " ";
        out += dump(*s);
    }
    return out + "]";
}

std::string dump(const Stmt &s) {
    switch (s.kind) {
    case StmtKind::Dim: {
        auto &d = static_cast<const DimStmt &>(s);
        std::string out = "(dim";
        for (const DimVar &v : d.vars)
            out += " " + v.name + (v.isArray ? "(" + list(v.bounds) + ")" : "");
        return out + " " + typeText(d.type) + (d.init ? " = " + dump(*d.init) : "") + ")";
    }
    case StmtKind::Const:
        return member(*static_cast<const ConstStmt &>(s).decl);
    case StmtKind::Assign: {
        auto &a = static_cast<const AssignStmt &>(s);
        return "(let " + dump(*a.target) + " " + dump(*a.value) + ")";
    }
    case StmtKind::Call:
        return dump(*static_cast<const CallStmt &>(s).call);
    case StmtKind::If: {
        auto &i = static_cast<const IfStmt &>(s);
        std::string out = "(if";
        for (const IfBranch &b : i.branches)
            out += " " + dump(*b.cond) + " " + dump(b.body);
        if (i.hasElse) out += " else " + dump(i.elseBody);
        return out + ")";
    }
    case StmtKind::Select: {
        auto &sel = static_cast<const SelectStmt &>(s);
        std::string out = "(select " + dump(*sel.selector);
        for (const CaseBlock &c : sel.cases) {
            out += " (case";
            if (c.isElse) out += " else";
            for (const CaseClause &cl : c.clauses) {
                if (cl.kind == CaseClause::Kind::Is) {
                    out += std::string(" (is ") + spell(cl.op) + " " + dump(*cl.value) + ")";
                } else if (cl.kind == CaseClause::Kind::Range) {
                    out += " (to " + dump(*cl.value) + " " + dump(*cl.upper) + ")";
                } else {
                    out += " " + dump(*cl.value);
                }
            }
            out += " " + dump(c.body) + ")";
        }
        return out + ")";
    }
    case StmtKind::For: {
        auto &f = static_cast<const ForStmt &>(s);
        return "(for " + f.var + " " + opt(f.from) + (f.downTo ? " downto " : " to ") + opt(f.to) +
               " step " + opt(f.step) + " " + dump(f.body) + ")";
    }
    case StmtKind::While: {
        auto &w = static_cast<const WhileStmt &>(s);
        return "(while " + opt(w.cond) + " " + dump(w.body) + ")";
    }
    case StmtKind::Do: {
        auto &d = static_cast<const DoStmt &>(s);
        std::string out = "(do";
        if (d.preCond) out += std::string(d.preUntil ? " until " : " while ") + dump(*d.preCond);
        out += " " + dump(d.body);
        if (d.postCond) out += std::string(d.postUntil ? " until " : " while ") + dump(*d.postCond);
        return out + ")";
    }
    case StmtKind::Exit:
    case StmtKind::Continue: {
        static const char *const targets[] = {"", " for", " while", " do", " sub", " function"};
        JumpTarget t = s.kind == StmtKind::Exit ? static_cast<const ExitStmt &>(s).target
                                                : static_cast<const ContinueStmt &>(s).target;
        return std::string(s.kind == StmtKind::Exit ? "(exit" : "(continue") +
               targets[static_cast<int>(t)] + ")";
    }
    case StmtKind::Return:
        return "(return " + opt(static_cast<const ReturnStmt &>(s).value) + ")";
    case StmtKind::Raise:
        return "(raise " + opt(static_cast<const RaiseStmt &>(s).value) + ")";
    case StmtKind::Try: {
        auto &t = static_cast<const TryStmt &>(s);
        std::string out = "(try " + dump(t.body);
        for (const CatchClause &c : t.catches) {
            out += " (catch " + (c.var.empty() ? "-" : c.var) + " " + typeText(c.type) + " " +
                   dump(c.body) + ")";
        }
        if (t.hasFinally) out += " (finally " + dump(t.finallyBody) + ")";
        return out + ")";
    }
    }
    return "?";
}

std::string dump(const SourceUnit &unit) {
    static const char *const kinds[] = {"class", "interface", "module", "window", "menubar"};
    std::string out;
    for (const auto &t : unit.types) {
        out += "(" + std::string(kinds[static_cast<int>(t->kind)]) + " " + t->name;
        if (!t->super.empty()) out += " inherits " + t->super;
        for (const auto &i : t->interfaces)
            out += " implements " + i.first;
        for (const LayoutProperty &p : t->layout)
            out += "\n  (set " + p.name + " " + dump(*p.value) + ")";
        for (const ControlDecl &c : t->controls) {
            out += "\n  (control " + c.name +
                   (c.isArray ? "(" + std::to_string(c.index) + ")" : "") + " " + c.cls.name;
            for (const LayoutProperty &p : c.properties)
                out += " (set " + p.name + " " + dump(*p.value) + ")";
            out += ")";
        }
        for (const MenuEntry &m : t->menus)
            out += "\n  " + menu(m);
        for (const MemberPtr &m : t->members)
            out += "\n  " + member(*m);
        out += ")\n";
    }
    for (const MemberPtr &m : unit.declares)
        out += member(*m) + "\n";
    return out;
}

} // namespace kqc
