// Linking an object into image members (see ImageLinker.h).
#include "ImageLinker.h"

#include "ImageFormat.h"

#include <algorithm>
#include <cstring>
#include <elf.h>
#include <map>

namespace kqlink {

namespace {

using kqimage::Read32;
using kqimage::Write32;

enum class Block { None, Code, Data };

struct Placement {
    Block block = Block::None;
    uint32_t offset = 0;
};

struct Chain {
    std::vector<uint32_t> sites;
};

struct LibraryImport {
    std::string function, library;
    Chain chain;
};

class Linker {
  public:
    Linker(const ElfObject &object, const std::string &path) : mObject(object), mPath(path) {}

    LinkedImage Link(bool withSymbols) {
        ReadLibraryDeclarations();
        Place();
        for (const Section &s : mObject.sections)
            if (mPlacement[s.index].block == Block::Code)
                for (const Relocation &r : s.relocations)
                    Relocate(s, r);
            else if (!s.relocations.empty() && (s.flags & SHF_ALLOC))
                throw LinkError(mPath + ": section " + s.name +
                                " carries relocations but is placed in the data member");
        WriteImport();
        if (withSymbols) WriteSymbols();
        return std::move(mImage);
    }

  private:
    [[noreturn]] void Fail(const Section &s, uint32_t offset, const std::string &what) {
        throw LinkError(mPath + ": section " + s.name + " offset " + std::to_string(offset) + ": " +
                        what);
    }

    void ReadLibraryDeclarations() {
        const Section *s = mObject.Find(kLibImportsSection);
        if (s == nullptr) return;
        std::vector<std::string> texts;
        std::string current;
        for (uint8_t b : s->bytes) {
            if (b != 0) {
                current += char(b);
                continue;
            }
            texts.push_back(current);
            current.clear();
        }
        if (!current.empty() || texts.size() % 3 != 0)
            throw LinkError(mPath + ": " + kLibImportsSection +
                            " must hold triples of zero-terminated texts");
        for (size_t i = 0; i < texts.size(); i += 3) {
            if (texts[i + 1].empty() || texts[i + 2].empty() ||
                texts[i + 1].size() > kqimage::kMaxImportName ||
                texts[i + 2].size() > kqimage::kMaxImportName)
                throw LinkError(mPath + ": library import " + texts[i] +
                                " needs a function and a library name of 1 to 255 bytes");
            mLibraries[texts[i]] = LibraryImport{texts[i + 1], texts[i + 2], {}};
        }
    }

    static void Append(std::vector<uint8_t> &block, const Section &s, uint32_t *offset) {
        size_t at = (block.size() + s.align - 1) / s.align * s.align;
        block.resize(at, 0);
        *offset = uint32_t(at);
        block.insert(block.end(), s.bytes.begin(), s.bytes.end());
    }

    void Place() {
        mPlacement.resize(mObject.sections.size());
        const Section *entry = mObject.Find(kEntrySection);
        if (entry == nullptr) entry = mObject.Find(kTextSection);
        if (entry == nullptr || entry->bytes.empty())
            throw LinkError(mPath + ": no entry code (" + kEntrySection + " or " + kTextSection +
                            ")");
        auto placeCode = [&](const Section &s) {
            mPlacement[s.index].block = Block::Code;
            Append(mImage.code, s, &mPlacement[s.index].offset);
        };
        auto placeData = [&](const Section &s) {
            mPlacement[s.index].block = Block::Data;
            Append(mImage.data, s, &mPlacement[s.index].offset);
        };
        placeCode(*entry);
        const Section *strings = mObject.Find(kStringsSection);
        if (strings != nullptr) {
            if (!strings->relocations.empty())
                throw LinkError(mPath + ": " + kStringsSection + " must not carry relocations");
            placeData(*strings);
        }
        for (const Section &s : mObject.sections) {
            if (&s == entry || &s == strings || !(s.flags & SHF_ALLOC)) continue;
            if ((s.flags & SHF_EXECINSTR) || !s.relocations.empty())
                placeCode(s);
            else
                placeData(s);
        }
        mStrings = strings != nullptr ? strings->index : 0;
    }

    void Relocate(const Section &s, const Relocation &r) {
        uint32_t site = mPlacement[s.index].offset + r.offset;
        uint8_t *p = mImage.code.data() + site;
        int32_t addend = int32_t(Read32(p));
        const Symbol &sym = mObject.symbols[r.symbol];
        bool relative = r.type == R_386_PC32 || r.type == R_386_PLT32;
        if (!relative && r.type != R_386_32)
            Fail(s, r.offset, "relocation type " + std::to_string(r.type) + " is not supported");

        if (sym.section == SHN_UNDEF) {
            if (site == 0) Fail(s, r.offset, "an import site cannot be the entry point");
            if (relative && addend != -4)
                Fail(s, r.offset,
                     "a relative reference to " + sym.name + " must be a call or jump (addend -4)");
            if (!relative && addend != 0)
                Fail(s, r.offset, "an absolute reference to " + sym.name + " has an addend");
            auto lib = mLibraries.find(sym.name);
            if (lib != mLibraries.end()) {
                if (!relative)
                    Fail(s, r.offset, "library function " + sym.name + " must be called");
                lib->second.chain.sites.push_back(site);
            } else {
                if (sym.name.empty() || sym.name.size() > kqimage::kMaxImportName)
                    Fail(s, r.offset, "an import name must have 1 to 255 bytes");
                (relative ? mRelative : mAbsolute)[sym.name].sites.push_back(site);
            }
            return;
        }
        if (sym.section == SHN_ABS) {
            if (relative) Fail(s, r.offset, "a relative reference to absolute " + sym.name);
            Write32(p, uint32_t(addend) + sym.value);
            return;
        }
        if (sym.section >= SHN_LORESERVE)
            Fail(s, r.offset, "symbol " + sym.name + " is common or special; define it instead");
        const Placement &to = mPlacement[sym.section];
        uint32_t target = to.offset + sym.value + uint32_t(addend);
        if (to.block == Block::Code) {
            if (relative) {
                Write32(p, target - site);
            } else {
                Write32(p, target);
                mRelocations.emplace_back(site, kqimage::kFixupCodeReloc);
            }
        } else if (to.block == Block::Data && !relative) {
            Write32(p, target);
            mRelocations.emplace_back(site, sym.section == mStrings ? kqimage::kFixupStringRef
                                                                    : kqimage::kFixupDataReloc);
        } else {
            Fail(s, r.offset,
                 to.block == Block::Data
                     ? "a relative reference into the data member (" + sym.name + ")"
                     : "a reference to an unplaced section (" + sym.name + ")");
        }
    }

    // Threads a chain through the code; returns its head.
    uint32_t Thread(Chain &chain) {
        std::sort(chain.sites.begin(), chain.sites.end());
        for (size_t i = 0; i < chain.sites.size(); ++i)
            Write32(mImage.code.data() + chain.sites[i],
                    i + 1 < chain.sites.size() ? chain.sites[i + 1] : 0);
        return chain.sites.empty() ? 0 : chain.sites.front();
    }

    void Put32(uint32_t value) {
        uint8_t b[4];
        Write32(b, value);
        mImage.import.insert(mImage.import.end(), b, b + 4);
    }

    void PutName(const std::string &name) {
        mImage.import.push_back(uint8_t(name.size()));
        mImage.import.insert(mImage.import.end(), name.begin(), name.end());
        mImage.import.push_back(0);
    }

    void WriteImport() {
        for (auto *chains : {&mRelative, &mAbsolute})
            for (auto &[name, chain] : *chains) {
                mImage.import.push_back(kqimage::kFixupRuntimeImport);
                mImage.import.push_back(chains == &mRelative ? kqimage::kImportRelative
                                                             : kqimage::kImportAbsolute);
                Put32(Thread(chain));
                PutName(name);
            }
        for (auto &[symbol, lib] : mLibraries) {
            if (lib.chain.sites.empty()) continue;
            mImage.import.push_back(kqimage::kFixupLibraryImport);
            Put32(Thread(lib.chain));
            PutName(lib.function);
            PutName(lib.library);
        }
        std::sort(mRelocations.begin(), mRelocations.end());
        for (auto &[site, tag] : mRelocations) {
            mImage.import.push_back(tag);
            Put32(site);
        }
    }

    void WriteSymbols() {
        std::vector<std::pair<uint32_t, std::string>> code;
        for (const Symbol &sym : mObject.symbols) {
            if (sym.section == SHN_UNDEF || sym.section >= SHN_LORESERVE || sym.name.empty() ||
                sym.type == STT_SECTION || sym.type == STT_FILE || sym.name.rfind(".L", 0) == 0 ||
                mPlacement[sym.section].block != Block::Code)
                continue;
            code.emplace_back(mPlacement[sym.section].offset + sym.value, sym.name);
        }
        std::stable_sort(code.begin(), code.end(),
                         [](auto &a, auto &b) { return a.first < b.first; });
        std::vector<uint8_t> &out = mImage.symbols;
        out.resize(4 + 8 * code.size());
        Write32(out.data(), uint32_t(code.size()));
        std::vector<uint8_t> names;
        for (size_t i = 0; i < code.size(); ++i) {
            Write32(out.data() + 4 + 8 * i, code[i].first);
            Write32(out.data() + 8 + 8 * i, uint32_t(names.size()));
            names.insert(names.end(), code[i].second.begin(), code[i].second.end());
            names.push_back(0);
        }
        out.insert(out.end(), names.begin(), names.end());
    }

    const ElfObject &mObject;
    std::string mPath;
    LinkedImage mImage;
    std::vector<Placement> mPlacement;
    uint32_t mStrings = 0;
    std::map<std::string, Chain> mRelative, mAbsolute;
    std::map<std::string, LibraryImport> mLibraries;
    std::vector<std::pair<uint32_t, uint8_t>> mRelocations;
};

} // namespace

LinkedImage LinkObject(const ElfObject &object, const std::string &path, bool withSymbols) {
    return Linker(object, path).Link(withSymbols);
}

} // namespace kqlink
