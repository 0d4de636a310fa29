// The parser: expressions and their precedence, statements, declarations,
// layouts and menus, and recovery from syntax errors.
#include <gtest/gtest.h>

#include "AstDump.h"
#include "Lexer.h"
#include "Parser.h"

namespace kqc {
namespace {

struct Parsed {
    std::string tree;
    std::vector<std::string> errors;
};

Parsed parseText(const std::string &text) {
    SourceSet sources;
    Diagnostics diags(sources);
    uint32_t id = sources.add("p.kst", text);
    SourceUnit unit = parse(tokenize(sources, id, diags), id, diags);
    Parsed out{dump(unit), {}};
    for (const Diagnostic &d : diags.errors())
        out.errors.push_back(diags.format(d));
    return out;
}

// The tree of the statements of one Sub.
std::string body(const std::string &statements) {
    Parsed p = parseText("Module M\nSub S()\n" + statements + "\nEnd Sub\nEnd Module\n");
    EXPECT_TRUE(p.errors.empty()) << p.errors[0];
    size_t start = p.tree.find("() - [") + 6;
    return p.tree.substr(start, p.tree.rfind("])") - start);
}

TEST(Parser, OperatorPrecedenceFromPowerDownToOr) {
    EXPECT_EQ(body("x = -2 ^ 2 + 3 * 4 Mod 5"),
              "(let x (+ (neg (^ (int 2) (int 2))) (Mod (* (int 3) (int 4)) (int 5))))");
    EXPECT_EQ(body("x = 2 ^ -1 ^ 2"), "(let x (^ (^ (int 2) (neg (int 1))) (int 2)))");
    EXPECT_EQ(body("x = a = 1 And Not b < 2 Or c Xor d"),
              "(let x (Xor (Or (And (= a (int 1)) (Not (< b (int 2)))) c) d))");
    EXPECT_EQ(body("x = a - b - c \\ d / e"), "(let x (- (- a b) (/ (\\ c d) e)))");
    EXPECT_EQ(body("x = o IsA Foo And (a + b) * c"), "(let x (And (IsA o Foo) (* (+ a b) c)))");
    EXPECT_EQ(
        body("x = CType(y, Integer) + New Foo(1).Bar(2)(3)"),
        "(let x (+ (ctype y Integer) (call (call (. (new Foo (int 1)) Bar) (int 2)) (int 3))))");
    EXPECT_EQ(body("x = Me.a + Self.b + Super.c() + o.End"),
              "(let x (+ (+ (+ (. me a) (. self b)) (call (. super c))) (. o End)))");
}

TEST(Parser, CallsWithAndWithoutParentheses) {
    EXPECT_EQ(body("Print \"a\", 1"), "(call* Print (str \"a\") (int 1))");
    EXPECT_EQ(body("obj.Method 1, x"), "(call* (. obj Method) (int 1) x)");
    EXPECT_EQ(body("Beep"), "(call* Beep)");
    EXPECT_EQ(body("Foo()"), "(call Foo)");
    EXPECT_EQ(body("Foo -1"), "(call* Foo (neg (int 1)))");
    EXPECT_EQ(body("Print (a + b) * 2, c"), "(call* Print (* (+ a b) (int 2)) c)");
    EXPECT_EQ(body("Print (a) - 1"), "(call* Print (- a (int 1)))");
    EXPECT_EQ(body("a(1, 2) = b(3)"), "(let (call a (int 1) (int 2)) (call b (int 3)))");
    EXPECT_EQ(body("w.List(1).Name = \"x\""),
              "(let (. (call (. w List) (int 1)) Name) (str \"x\"))");
}

TEST(Parser, ConditionalsAndLoops) {
    EXPECT_EQ(body("If a Then\nx = 1\nElseIf b Then\nx = 2\nElse If c Then\nElse\nx = 3\nEnd If"),
              "(if a [(let x (int 1))] b [(let x (int 2))] c [] else [(let x (int 3))])");
    EXPECT_EQ(body("If a Then Exit Else Return 5"), "(if a [(exit)] else [(return (int 5))])");
    EXPECT_EQ(body("If a Then If b Then Foo 1"), "(if a [(if b [(call* Foo (int 1))])])");
    EXPECT_EQ(
        body("Select Case n\nCase 1, 2\nx = 1\nCase Is > 5, 3 To 4\nCase Else\nx = 0\nEnd Select"),
        "(select n (case (int 1) (int 2) [(let x (int 1))]) (case (is > (int 5)) (to (int 3) (int "
        "4)) []) "
        "(case else [(let x (int 0))]))");
    EXPECT_EQ(body("For i = 10 DownTo 1 Step 2\nContinue For\nNext i"),
              "(for i (int 10) downto (int 1) step (int 2) [(continue for)])");
    EXPECT_EQ(body("For i As Integer = 0 To n\nNext"), "(for i (int 0) to n step - [])");
    EXPECT_EQ(body("While a\nExit While\nWend\nWhile b\nEnd While"),
              "(while a [(exit while)]) (while b [])");
    EXPECT_EQ(body("Do Until a\nLoop\nDo\nExit Do\nLoop While b\nDo\nLoop"),
              "(do until a []) (do [(exit do)] while b) (do [])");
}

TEST(Parser, DeclarationsTryAndRaise) {
    EXPECT_EQ(body("Dim a, b As Integer\nDim c(10), d(2, 3) As Double\nDim n() As String\nDim x As "
                   "New Foo(1)\n"
                   "Dim y = 1.5\nConst K As Integer = 3"),
              "(dim a b Integer) (dim c( (int 10)) d( (int 2) (int 3)) Double) (dim n() String) "
              "(dim x Foo = (new Foo (int 1))) (dim y - = (real 1.5)) (const K Integer (int 3))");
    EXPECT_EQ(
        body("Try\nRaise New NilObjectException\nCatch e As NilObjectException\nCatch\nFinally\nx "
             "= 1\n"
             "End Try"),
        "(try [(raise (new NilObjectException))] (catch e NilObjectException []) (catch - - []) "
        "(finally [(let x (int 1))]))");
}

TEST(Parser, ClassesInterfacesModulesAndDeclares) {
    Parsed p = parseText(
        "Class Shape Inherits Base Implements IDraw, IPrint\n"
        "  Property Name As String = \"x\"\n"
        "  Private Shared Property Count As Integer\n"
        "  Property Items(10) As Integer\n"
        "  Const Max = 5\n"
        "  Event Changed(ByRef v As Integer, Optional w As Double = 1.5) As Boolean\n"
        "  Function Area(args() As String) As Double\n    Return 0\n  End Function\n"
        "  Shared Sub Reset\n  End Sub\n"
        "  On Open()\n  End On\n"
        "  Handles Menu FileQuit\n    Return True\n  End Handles\n"
        "  Declare Function getpid Lib \"libc.so.6\" () As Integer\n"
        "End Class\n"
        "Interface IDraw\n  Sub Draw(g As Graphics)\n  Function Size() As Integer\nEnd Interface\n"
        "Module Util\n  Property Total As Double\n  Sub Add(x As Double)\n  End Sub\nEnd Module\n"
        "Declare Sub abort Lib \"libc.so.6\"\n");
    ASSERT_TRUE(p.errors.empty()) << p.errors[0];
    EXPECT_EQ(p.tree,
              "(class Shape inherits Base implements IDraw implements IPrint\n"
              "  (property Name String = (str \"x\"))\n"
              "  (property private shared Count Integer)\n"
              "  (property Items( (int 10)) Integer)\n"
              "  (const Max - (int 5))\n"
              "  (event Changed ((byref v Integer) (optional w Double = (real 1.5))) Boolean)\n"
              "  (function Area ((args String())) Double [(return (int 0))])\n"
              "  (sub shared Reset () - [])\n"
              "  (on Open () - [])\n"
              "  (handles FileQuit () - [(return true)])\n"
              "  (declare getpid lib \"libc.so.6\" () Integer))\n"
              "(interface IDraw\n"
              "  (sub Draw ((g Graphics)) - [])\n"
              "  (function Size () Integer []))\n"
              "(module Util\n"
              "  (property shared Total Double)\n"
              "  (sub shared Add ((x Double)) - []))\n"
              "(declare abort lib \"libc.so.6\" () -)\n");
}

TEST(Parser, WindowLayoutsAndMenuBars) {
    Parsed p =
        parseText("Window Hauptfenster\n"
                  "  Title = \"DAR-Ozorado pillwerk\"\n"
                  "  Width = 637\n"
                  "  MenuBar = Menü\n"
                  "  Control AEKField As EditField\n    Left = 20\n    Top = 38\n  End Control\n"
                  "  Sub calcAll()\n  End Sub\n"
                  "  On AEKField.TextChange()\n    calcAll\n  End On\n"
                  "End Window\n"
                  "MenuBar Menü\n"
                  "  Menu DateiMenu \"&Datei\"\n"
                  "    Item FileQuit As QuitMenuItem \"Beenden\" Shortcut \"Ctrl+Q\"\n"
                  "    Menu Sub1 \"More\"\n      Item Inner \"x\"\n    End Menu\n"
                  "    Item UntitledMenu0 \"-\"\n"
                  "  End Menu\n"
                  "End MenuBar\n");
    ASSERT_TRUE(p.errors.empty()) << p.errors[0];
    EXPECT_EQ(p.tree, "(window Hauptfenster\n"
                      "  (set Title (str \"DAR-Ozorado pillwerk\"))\n"
                      "  (set Width (int 637))\n"
                      "  (set MenuBar Menü)\n"
                      "  (control AEKField EditField (set Left (int 20)) (set Top (int 38)))\n"
                      "  (sub calcAll () - [])\n"
                      "  (on AEKField.TextChange () - [(call* calcAll)]))\n"
                      "(menubar Menü\n"
                      "  (menu DateiMenu \"&Datei\" (item FileQuit as QuitMenuItem \"Beenden\" "
                      "shortcut \"Ctrl+Q\") "
                      "(menu Sub1 \"More\" (item Inner \"x\")) (item UntitledMenu0 \"-\")))\n");
}

TEST(Parser, RecoversAndReportsSeveralErrors) {
    Parsed p = parseText("Class A\n"
                         "  Sub One()\n"
                         "    If x Then\n"
                         "      y = \n"
                         "    Next\n"
                         "  End Sub\n"
                         "  Sub Two()\n"
                         "    For i = 1 To 3\n"
                         "  End Function\n"
                         "  Function Three() As Integer\n"
                         "    Return 1 +* 2\n"
                         "    Dim = 4\n"
                         "    Select Case q\n"
                         "      z = 1\n"
                         "    End Select\n"
                         "  Sub Four()\n"
                         "  End Sub\n"
                         "End Module\n"
                         "Sub Outside()\n"
                         "End Sub\n"
                         "Class B\n"
                         "  Property P As Integer\n");
    std::vector<std::string> expected{
        "p.kst:4:11: expected an expression, found end of line",
        "p.kst:5:5: unexpected 'Next'",
        "p.kst:3:5: 'If' is not closed by 'End If'",
        "p.kst:8:5: 'For' is not closed by 'Next'",
        "p.kst:9:3: expected 'End Sub', found 'End Function'",
        "p.kst:11:15: expected an expression, found '*'",
        "p.kst:12:9: expected a variable name, found '='",
        "p.kst:14:7: expected Case, found 'z'",
        "p.kst:10:3: 'Function' is not closed by 'End Function'",
        "p.kst:18:1: expected 'End Class', found 'End Module'",
        "p.kst:19:1: 'Sub' must be inside a Class, Module or Window",
        "p.kst:21:1: 'Class' is not closed by 'End Class'",
    };
    EXPECT_EQ(p.errors, expected);
    // What could be parsed is kept.
    EXPECT_NE(p.tree.find("(sub Four () - [])"), std::string::npos);
    EXPECT_NE(p.tree.find("(class B\n  (property P Integer))"), std::string::npos);
}

TEST(Parser, ConstructsThatCannotShareALine) {
    Parsed p = parseText(
        "Module M\nSub S()\nIf a Then For i = 1 To 2\nIf a Then If b Then\nFor Each x In y\n"
        "5\nx + 1\nEnd Sub\nEnd Module\n");
    std::vector<std::string> expected{
        "p.kst:3:11: 'For' cannot follow Then on the same line",
        "p.kst:4:11: only a single-line If can follow Then on the same line",
        "p.kst:5:5: For Each is not part of Kestlang; count with For i = 0 To ...",
        "p.kst:6:1: this expression is not a statement",
        "p.kst:7:3: expected end of line, found '+'",
    };
    EXPECT_EQ(p.errors, expected);
}

} // namespace
} // namespace kqc
