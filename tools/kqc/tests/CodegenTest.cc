// The frames of generated methods: each method checks the stack once, and
// the stack pointer is 16-byte aligned at every call because the prologue
// rounds the frame and nothing in the body moves the stack pointer.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "CheckedProgram.h"
#include "Codegen.h"

namespace kqc {
namespace {

// The instructions of each method (a quoted label starts one), by name.
std::map<std::string, std::vector<std::string>> methods(const std::string &assembly) {
    std::map<std::string, std::vector<std::string>> out;
    std::vector<std::string> *current = nullptr;
    std::istringstream lines(assembly);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() > 2 && line[0] == '"' && line.back() == ':') {
            current = &out[line.substr(1, line.size() - 3)];
        } else if (current && !line.empty() && line[0] == '\t' && line[1] != '.') {
            current->push_back(line.substr(1));
        }
    }
    return out;
}

// The assembly of a checked program whose start code calls M.Main.
class Codegen : public CheckedProgram {
  protected:
    std::string compile(const std::string &text) {
        check(text);
        std::string assembly;
        if (diags_.errorCount()) return assembly;
        CodegenOptions options;
        options.mainMethod = "M.Main";
        generateAssembly(program_, units_, nullptr, options, diags_, &assembly);
        for (const Diagnostic &d : diags_.errors())
            ADD_FAILURE() << diags_.format(d);
        return assembly;
    }
};

TEST_F(Codegen, EveryMethodChecksTheStackOnceAndKeepsItAlignedAtItsCalls) {
    std::string assembly = compile(
        "Interface I\n Function F(x As Double) As Double\nEnd Interface\n"
        "Class Base Implements I\n"
        " Property Name As String = \"n\"\n"
        " Event Changed(v As Integer) As Boolean\n"
        " Sub Constructor(a As Integer, b As Int64, c As Single)\n  Name = Str(a)\n End Sub\n"
        " Function F(x As Double) As Double\n  Return x * 2\n End Function\n"
        " Sub Fire()\n  If Changed(3) Then Name = \"x\"\n End Sub\n"
        "End Class\n"
        "Class Derived Inherits Base\n"
        " On Changed(v As Integer) As Boolean\n  Return v > 1\n End On\n"
        "End Class\n"
        "Module M\n"
        " Function Many(a As Integer, b As Double, c As String, d As Int64, e As Int8) As String\n"
        "  Dim x, y, z As Integer\n  Dim t As String = c + c\n"
        "  Try\n   x = a \\ y\n  Catch err As RuntimeException\n   t = err.Message\n"
        "  Finally\n   z = 1\n  End Try\n"
        "  Return t + Str(x + z)\n End Function\n"
        " Sub Main()\n  Dim d As New Derived(1, 2, 3)\n  d.Fire\n  Dim i As I = d\n"
        "  Print Many(1, i.F(2), d.Name, 4, 5)\n End Sub\n"
        "End Module\n");
    auto all = methods(assembly);
    for (const char *name : {"Base.Constructor", "Base.F", "Base.Fire", "Derived.Changed", "M.Many",
                             "M.Main", "Base.#Initialize"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(all.count(name));
        const std::vector<std::string> &code = all[name];
        ASSERT_GE(code.size(), 3u);
        EXPECT_EQ(code[0], "pushl %ebp");
        EXPECT_EQ(code[1], "movl %esp, %ebp");
        // After the return address and the saved frame pointer (8 bytes),
        // the frame brings the stack pointer to a 16-byte boundary.
        unsigned frame = 0;
        ASSERT_EQ(std::sscanf(code[2].c_str(), "subl $%u, %%esp", &frame), 1) << code[2];
        EXPECT_EQ((frame + 8) % 16, 0u) << frame;
        int stackChecks = 0;
        for (size_t i = 3; i < code.size(); ++i) {
            const std::string &ins = code[i];
            if (ins == "call RuntimeStackCheck") ++stackChecks;
            bool restoresStack = ins == "movl -4(%ebp), %esp" || ins == "leave";
            bool writesStack = ins.size() > 6 && ins.compare(ins.size() - 6, 6, ", %esp") == 0;
            bool movesStack = ins.rfind("push", 0) == 0 || ins.rfind("pop", 0) == 0 ||
                              (writesStack && !restoresStack);
            EXPECT_FALSE(movesStack) << ins;
        }
        EXPECT_EQ(stackChecks, 1);
    }
}

} // namespace
} // namespace kqc
