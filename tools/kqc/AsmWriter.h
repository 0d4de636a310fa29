// The assembler text kqc writes (GNU as, AT&T syntax, i386): the sections of
// an image as kqlink expects them, labels, the static string records of
// string constants and names (KESTstring layout), floating point constants,
// and immediates that cannot be mistaken for the byte patterns the runtime's
// handler search looks for.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace kqc {

class AsmWriter {
  public:
    // Sections: the start code (first in the code member), methods, data
    // (globals without addresses), string records, library functions.
    std::string entry, text, data, strings, libimports;

    // A fresh local label (".L<n>").
    std::string label();
    // The label of a static string record holding `utf8`; one per text.
    std::string stringRecord(const std::string &utf8);
    // The label of an 8-byte double constant in the data member.
    std::string doubleConstant(double value);
    // A zero-filled global of `size` bytes in the data member.
    std::string global(uint32_t size, const std::string &comment);
    // A library function imported by name: the symbol code calls.
    std::string libraryFunction(const std::string &function, const std::string &library);

    // The whole file.
    std::string finish() const;

  private:
    uint32_t labels_ = 0;
    std::map<std::string, std::string> strings_;
    std::map<uint64_t, std::string> doubles_;
    std::map<std::string, std::string> libraryFunctions_;
};

// A symbol name as GNU as reads it: quoted, so that any name is possible.
std::string quoted(const std::string &name);

// Instructions that put `value` into `reg` ("%eax") whose bytes hold no end
// of a function (C9 C3, 5D C3) and no handler marker kind (0x411..0x413),
// which the runtime's scan of compiled code would take for what they are not.
std::string loadImmediate(uint32_t value, const char *reg);

} // namespace kqc
