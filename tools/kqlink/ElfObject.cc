// Reading an ELF32 i386 relocatable object (see ElfObject.h).
#include "ElfObject.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>

namespace kqlink {

namespace {

template <typename T>
T At(const std::vector<uint8_t> &file, uint64_t offset, const std::string &path, const char *what) {
    if (offset > file.size() || sizeof(T) > file.size() - offset)
        throw LinkError(path + ": " + what + " lies outside the file");
    T value;
    std::memcpy(&value, file.data() + offset, sizeof(T));
    return value;
}

std::string NameAt(const std::vector<uint8_t> &table, uint32_t offset, const std::string &path) {
    if (offset >= table.size()) throw LinkError(path + ": a name lies outside its string table");
    const char *start = reinterpret_cast<const char *>(table.data() + offset);
    const void *end = std::memchr(start, 0, table.size() - offset);
    if (end == nullptr) throw LinkError(path + ": a name has no terminating zero byte");
    return std::string(start, static_cast<const char *>(end));
}

std::vector<uint8_t> Contents(const std::vector<uint8_t> &file, const Elf32_Shdr &sh,
                              const std::string &path, const std::string &name) {
    if (sh.sh_type == SHT_NOBITS) return std::vector<uint8_t>(sh.sh_size, 0);
    if (uint64_t(sh.sh_offset) + sh.sh_size > file.size())
        throw LinkError(path + ": section " + name + " lies outside the file");
    return std::vector<uint8_t>(file.begin() + sh.sh_offset,
                                file.begin() + sh.sh_offset + sh.sh_size);
}

} // namespace

std::vector<uint8_t> ReadWholeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw LinkError(path + ": cannot open");
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

ElfObject ElfObject::Parse(const std::vector<uint8_t> &file, const std::string &path) {
    auto eh = At<Elf32_Ehdr>(file, 0, path, "the ELF header");
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS32 ||
        eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_machine != EM_386)
        throw LinkError(path + ": not an ELF32 i386 object");
    if (eh.e_type != ET_REL) throw LinkError(path + ": not a relocatable object");
    if (eh.e_shentsize != sizeof(Elf32_Shdr))
        throw LinkError(path + ": unexpected section header size");

    std::vector<Elf32_Shdr> headers;
    for (uint32_t i = 0; i < eh.e_shnum; ++i)
        headers.push_back(At<Elf32_Shdr>(file, uint64_t(eh.e_shoff) + i * sizeof(Elf32_Shdr), path,
                                         "the section table"));
    if (eh.e_shstrndx >= headers.size()) throw LinkError(path + ": no section name table");
    std::vector<uint8_t> names = Contents(file, headers[eh.e_shstrndx], path, "names");

    ElfObject object;
    for (uint32_t i = 0; i < headers.size(); ++i) {
        const Elf32_Shdr &sh = headers[i];
        Section s;
        s.name = NameAt(names, sh.sh_name, path);
        s.index = i;
        s.type = sh.sh_type;
        s.flags = sh.sh_flags;
        s.align = sh.sh_addralign != 0 ? sh.sh_addralign : 1;
        if (s.align > 4096 || (s.align & (s.align - 1)) != 0)
            throw LinkError(path + ": section " + s.name + " has an unusable alignment");
        if (sh.sh_type != SHT_NULL) s.bytes = Contents(file, sh, path, s.name);
        object.sections.push_back(std::move(s));
    }

    for (const Elf32_Shdr &sh : headers) {
        if (sh.sh_type != SHT_SYMTAB) continue;
        if (!object.symbols.empty()) throw LinkError(path + ": more than one symbol table");
        if (sh.sh_link >= headers.size()) throw LinkError(path + ": symbol names missing");
        std::vector<uint8_t> table = Contents(file, sh, path, "symtab");
        std::vector<uint8_t> strings = Contents(file, headers[sh.sh_link], path, "strtab");
        for (size_t at = 0; at + sizeof(Elf32_Sym) <= table.size(); at += sizeof(Elf32_Sym)) {
            Elf32_Sym sym;
            std::memcpy(&sym, table.data() + at, sizeof sym);
            Symbol s{NameAt(strings, sym.st_name, path), sym.st_value, sym.st_shndx,
                     uint8_t(ELF32_ST_TYPE(sym.st_info)), uint8_t(ELF32_ST_BIND(sym.st_info))};
            if (s.section != SHN_UNDEF && s.section < SHN_LORESERVE &&
                s.section >= object.sections.size())
                throw LinkError(path + ": symbol " + s.name + " names a missing section");
            if (s.type == STT_SECTION) s.name = object.sections[s.section].name;
            object.symbols.push_back(std::move(s));
        }
    }

    for (const Elf32_Shdr &sh : headers) {
        if (sh.sh_type == SHT_RELA)
            throw LinkError(path + ": RELA relocations are not used on i386");
        if (sh.sh_type != SHT_REL) continue;
        if (sh.sh_info >= object.sections.size())
            throw LinkError(path + ": relocations for a missing section");
        Section &target = object.sections[sh.sh_info];
        std::vector<uint8_t> table = Contents(file, sh, path, "rel");
        for (size_t at = 0; at + sizeof(Elf32_Rel) <= table.size(); at += sizeof(Elf32_Rel)) {
            Elf32_Rel rel;
            std::memcpy(&rel, table.data() + at, sizeof rel);
            Relocation r{rel.r_offset, ELF32_R_TYPE(rel.r_info), ELF32_R_SYM(rel.r_info)};
            if (r.symbol >= object.symbols.size())
                throw LinkError(path + ": relocation names a missing symbol");
            if (uint64_t(r.offset) + 4 > target.bytes.size())
                throw LinkError(path + ": relocation outside section " + target.name);
            target.relocations.push_back(r);
        }
    }
    return object;
}

const Section *ElfObject::Find(const std::string &name) const {
    for (const Section &s : sections)
        if (s.name == name) return &s;
    return nullptr;
}

} // namespace kqlink
