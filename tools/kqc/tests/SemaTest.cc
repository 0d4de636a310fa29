// Semantic analysis as the code generator sees it: the conversions put into
// the tree, what names and calls resolve to, chosen overloads, class
// layouts and tables, folded constants.
#include <gtest/gtest.h>

#include "AstDump.h"
#include "CheckedProgram.h"
#include "Utf8.h"

namespace kqc {
namespace {

class SemaTest : public CheckedProgram {
  protected:
    ClassInfo *cls(const char *name) { return program_.findClass(name); }
    MethodDecl &method(const char *className, const char *name) {
        for (MemberPtr &m : cls(className)->decl->members) {
            if (utf8::fold(m->name) == utf8::fold(name)) return static_cast<MethodDecl &>(*m);
        }
        throw std::runtime_error("no method");
    }
    // The statements of a method, one dump per statement.
    std::vector<std::string> body(const char *className, const char *name) {
        std::vector<std::string> out;
        for (const StmtPtr &s : method(className, name).body)
            out.push_back(dump(*s));
        return out;
    }
    const CallExpr &callIn(const char *className, const char *name, size_t statement) {
        const Stmt &s = *method(className, name).body.at(statement);
        const Expr *e = s.kind == StmtKind::Call ? static_cast<const CallStmt &>(s).call.get()
                                                 : static_cast<const AssignStmt &>(s).value.get();
        while (e->kind == ExprKind::Convert)
            e = static_cast<const ConvertExpr &>(*e).value.get();
        return static_cast<const CallExpr &>(*e);
    }
};

TEST_F(SemaTest, ConversionsAndPromotionsAreMadeExplicit) {
    check("Class C\n Sub M(i As Integer, b As Int8, w As Int16, s As Single, u As UInt32, v As "
          "Variant)\n"
          "  Dim d As Double = i + 1\n"
          "  Dim x As Integer = b + w\n"
          "  d = s * 2\n"
          "  d = i / 2\n"
          "  Dim k As Int8 = 5\n"
          "  Dim big As Int64 = u\n"
          "  x = v\n"
          "  v = x\n"
          "  Dim flag As Boolean = u > i And s <= 1\n"
          " End Sub\nEnd Class\n");
    EXPECT_EQ(
        body("C", "M"),
        (std::vector<std::string>{
            "(dim d Double = (to Double (+ i (int 1))))",
            "(dim x Integer = (+ (to Integer b) (to Integer w)))",
            "(let d (to Double (* s (to Single (int 2)))))",
            "(let d (/ (to Double i) (to Double (int 2))))",
            "(dim k Int8 = (to Int8 (int 5)))",
            "(dim big Int64 = (to Int64 u))",
            "(let x (to Integer v))",
            "(let v (to Variant x))",
            "(dim flag Boolean = (And (> (to Int64 u) (to Int64 i)) (<= s (to Single (int 1)))))",
        }));
}

TEST_F(SemaTest, NamesAndCallsResolveToWhatTheyStandFor) {
    check("Module G\n Property Total As Double\n Function Twice(x As Double) As Double\n  Return x "
          "* 2\n"
          " End Function\nEnd Module\n"
          "Class C Inherits Dictionary\n Property F As Integer\n"
          " Sub M(p As Integer)\n"
          "  F = p\n"
          "  Total = Twice(1)\n"
          "  F = Count\n"
          "  Print Str(5)\n"
          "  Print Str(2.5)\n"
          "  Print Str(CType(F, Int64))\n"
          "  Dim t As Integer = Ticks\n"
          "  Value(1) = 2\n"
          " End Sub\nEnd Class\n");
    auto &assign = static_cast<const AssignStmt &>(*method("C", "M").body[0]);
    EXPECT_EQ(static_cast<const NameExpr &>(*assign.target).ref, Ref::Field);
    auto &p = static_cast<const NameExpr &>(*assign.value);
    EXPECT_EQ(p.ref, Ref::Local);
    EXPECT_TRUE(static_cast<const Variable *>(p.symbol)->isParam);
    auto &total = static_cast<const AssignStmt &>(*method("C", "M").body[1]);
    EXPECT_EQ(static_cast<const NameExpr &>(*total.target).ref, Ref::SharedField);
    EXPECT_EQ(callIn("C", "M", 1).ref, Ref::SharedMethod);
    const CallExpr &count = callIn("C", "M", 2);
    EXPECT_EQ(count.ref, Ref::RuntimeMethod);
    EXPECT_FALSE(count.parenthesized);
    EXPECT_EQ(static_cast<const MethodInfo *>(count.symbol)->entry, "dictionaryCount");
    const char *strEntries[] = {"StringStrInt32", "StringStrDouble", "StringStrInt64"};
    for (size_t i = 0; i < 3; ++i) {
        const CallExpr &print = callIn("C", "M", 3 + i);
        EXPECT_EQ(print.overload->entry, "RuntimePrint");
        auto &str = static_cast<const CallExpr &>(*print.args[0]);
        EXPECT_EQ(str.overload->entry, strEntries[i]);
    }
    auto &ticks = static_cast<const DimStmt &>(*method("C", "M").body[6]);
    EXPECT_EQ(static_cast<const CallExpr &>(*ticks.init).overload->entry, "RuntimeTicks");
    auto &setValue = static_cast<const AssignStmt &>(*method("C", "M").body[7]);
    auto &target = static_cast<const CallExpr &>(*setValue.target);
    EXPECT_EQ(static_cast<const MethodInfo *>(target.symbol)->entry, "dictionaryValueSetter");
    EXPECT_EQ(dump(*setValue.value), "(to Variant (int 2))");
}

TEST_F(SemaTest, ClassLayoutsMethodTablesAndEvents) {
    check("Class Base Inherits Application\n"
          " Property Flag As Boolean\n Property Count As Integer\n Property Amount As Double\n"
          " Shared Property Instances As Integer\n"
          " Event Ready(n As Integer)\n"
          " Sub A()\n End Sub\n Sub B()\n End Sub\n"
          " On Open()\n End On\nEnd Class\n"
          "Class Sub1 Inherits Base\n Property Extra As Int8\n"
          " Sub B()\n End Sub\n Sub C()\n End Sub\n"
          " On Ready(n As Integer)\n End On\nEnd Class\n");
    ClassInfo *base = cls("Base"), *sub = cls("Sub1");
    auto field = [&](ClassInfo *c, const char *name) {
        return static_cast<const FieldInfo *>(c->find(utf8::fold(name))->front())->offset;
    };
    EXPECT_EQ(field(base, "Flag"), 40u); // right after Application's 40 bytes
    EXPECT_EQ(field(base, "Count"), 44u);
    EXPECT_EQ(field(base, "Amount"), 48u);
    EXPECT_EQ(base->instanceSize, 56u);
    EXPECT_EQ(field(sub, "Extra"), 56u);
    EXPECT_EQ(sub->instanceSize, 60u);
    ASSERT_EQ(base->vtable.size(), 2u);
    ASSERT_EQ(sub->vtable.size(), 3u);
    EXPECT_EQ(sub->vtable[0]->owner, base); // A inherited
    EXPECT_EQ(sub->vtable[1]->owner, sub);  // B overridden in its slot
    EXPECT_EQ(sub->vtable[2]->name, "C");
    EXPECT_EQ(base->eventCount, 3); // Open, UnhandledException, then Ready
    EXPECT_EQ(base->events[2]->name, "Ready");
    EXPECT_TRUE(base->handled.count("open"));
    EXPECT_EQ(static_cast<const MethodInfo *>(method("Sub1", "Ready").symbol)->event->index, 2);
    EXPECT_EQ(base->memberCount, 1 + 3); // Application's Quit, then A, B and the Open handler
}

TEST_F(SemaTest, ConstantsFoldWithTheWidthOfTheirType) {
    check("Module K\n"
          " Const A As Integer = &h7FFFFFFF + 1\n"
          " Const B As Int8 = CType(300, Int8)\n"
          " Const C As Double = 7 \\ 2 + 0.5\n"
          " Const D As String = \"ab\" + \"cd\"\n"
          " Const E As Boolean = Not (A > 0) And B = 44\n"
          " Const F As Integer = -7 Mod 3\n"
          "End Module\n");
    auto value = [&](const char *name) {
        return static_cast<const ConstInfo *>(cls("K")->find(utf8::fold(name))->front())->value;
    };
    EXPECT_EQ(value("A").integer, INT32_MIN);
    EXPECT_EQ(value("B").integer, 44);
    EXPECT_DOUBLE_EQ(value("C").real, 3.5);
    EXPECT_EQ(value("D").text, "abcd");
    EXPECT_EQ(value("E").integer, 1);
    EXPECT_EQ(value("F").integer, -1);
}

} // namespace
} // namespace kqc
