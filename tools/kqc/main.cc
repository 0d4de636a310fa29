// kqc, the Kestlang compiler.
//   kqc --dump-ast file.kst...   parse the files and print their trees
#include <cstring>
#include <iostream>

#include "AstDump.h"
#include "Lexer.h"
#include "Parser.h"

using namespace kqc;

int main(int argc, char **argv) {
    SourceSet sources;
    Diagnostics diags(sources);
    bool dumpAst = false;
    std::vector<SourceUnit> units;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump-ast") == 0) {
            dumpAst = true;
            continue;
        }
        std::string text;
        if (!readFile(argv[i], &text)) {
            diags.error({}, std::string("cannot read ") + argv[i]);
            continue;
        }
        uint32_t id = sources.add(argv[i], std::move(text));
        units.push_back(parse(tokenize(sources, id, diags), id, diags));
    }
    if (dumpAst) {
        for (const SourceUnit &u : units)
            std::cout << dump(u);
    }
    diags.print(std::cerr);
    return diags.errorCount() ? 1 : 0;
}
