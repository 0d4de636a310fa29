// An ELF32 i386 relocatable object as kqlink reads it: the allocated
// sections with their bytes, the symbols and the REL relocations that apply
// to each section. Everything is checked while reading; a malformed object is
// a LinkError naming what is wrong.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kqlink {

class LinkError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Relocation {
    uint32_t offset; // within the section it applies to
    uint32_t type;   // R_386_...
    uint32_t symbol; // index into ElfObject::symbols
};

struct Section {
    std::string name;
    uint32_t index;
    uint32_t type;  // SHT_...
    uint32_t flags; // SHF_...
    uint32_t align;
    std::vector<uint8_t> bytes; // zeros for SHT_NOBITS
    std::vector<Relocation> relocations;
};

struct Symbol {
    std::string name;
    uint32_t value;
    uint16_t section; // SHN_UNDEF, SHN_ABS, SHN_COMMON or a section index
    uint8_t type;     // STT_...
    uint8_t binding;  // STB_...
};

struct ElfObject {
    std::vector<Section> sections; // indexed by section header index
    std::vector<Symbol> symbols;

    // Parses an object file's bytes; throws LinkError.
    static ElfObject Parse(const std::vector<uint8_t> &file, const std::string &path);
    const Section *Find(const std::string &name) const;
};

std::vector<uint8_t> ReadWholeFile(const std::string &path);

} // namespace kqlink
