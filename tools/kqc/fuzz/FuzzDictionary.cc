// Prints a libFuzzer dictionary of Kestlang's words and operators, taken
// from the lexer's own keyword list, so the fuzzer builds plausible lines.
#include <cstdio>

#include "Token.h"

int main() {
#define KQC_PRINT_KEYWORD(name) std::printf("\"%s\"\n", #name);
    KQC_KEYWORDS(KQC_PRINT_KEYWORD)
#undef KQC_PRINT_KEYWORD
    const char *const extra[] = {
        "Window",  "Control", "MenuBar", "Menu",  "Item", "Shortcut", "Lib",
        "Handles", "Rem",     " _\\x0a", "\\x0a", "&h",   "&c",       "&b",
        "&o",      "<>",      "<=",      ">=",    "\\\"", "//",       "'"};
    for (const char *e : extra)
        std::printf("\"%s\"\n", e);
    return 0;
}
