// Printing a container (see ContainerDump.h). Reads through the runtime's own
// container reader and record walkers, so a dump shows what the loader sees.
#include "ContainerDump.h"

#include "ImageContainer.h"
#include "ImageRecords.h"

#include <cstdlib>
#include <iomanip>
#include <memory>
#include <set>
#include <sstream>

namespace kqlink {

namespace {

using namespace kqimage;

std::string Hex(uint32_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << std::setw(6) << std::setfill('0') << v;
    return s.str();
}

std::string TypeText(uint32_t type) {
    std::string t;
    for (int shift = 24; shift >= 0; shift -= 8)
        t += char(type >> shift);
    return '"' + t + '"';
}

// Counts the sites of a chain in the unlinked code; -1 when it is damaged.
long ChainLength(const ImageMembers &m, uint32_t head) {
    std::set<uint32_t> seen;
    for (uint32_t site = head; site != 0; site = Read32(m.block[kMemberCode] + site))
        if (m.length[kMemberCode] < 4 || site > m.length[kMemberCode] - 4 ||
            !seen.insert(site).second)
            return -1;
    return long(seen.size());
}

class ImportPrinter {
  public:
    ImportPrinter(const ImageMembers &m, std::ostream &out) : mM(m), mOut(out) {}

    void Print() {
        const uint8_t *p = mM.block[kMemberImport];
        mEnd = mM.length[kMemberImport];
        while (mPos < mEnd) {
            uint32_t start = mPos;
            uint8_t tag = p[mPos++];
            if (!Record(p, tag)) {
                mOut << "  damaged record at import offset " << start << "\n";
                return;
            }
        }
    }

  private:
    bool Word(const uint8_t *p, uint32_t *v) {
        if (mEnd - mPos < 4) return false;
        *v = Read32(p + mPos);
        mPos += 4;
        return true;
    }
    bool Name(const uint8_t *p, std::string *name) {
        if (mPos >= mEnd || mEnd - mPos - 1 < uint32_t(p[mPos]) + 1) return false;
        uint8_t n = p[mPos];
        name->assign(reinterpret_cast<const char *>(p + mPos + 1), n);
        mPos += n + 2u;
        return p[mPos - 1] == 0;
    }
    void Sites(uint32_t head) {
        long n = ChainLength(mM, head);
        mOut << ": head " << Hex(head) << ", ";
        if (n < 0)
            mOut << "damaged chain\n";
        else
            mOut << n << (n == 1 ? " site\n" : " sites\n");
    }
    bool Record(const uint8_t *p, uint8_t tag) {
        uint32_t word;
        std::string name, library;
        switch (tag) {
        case kFixupRuntimeImport: {
            if (mPos >= mEnd) return false;
            uint8_t mode = p[mPos++];
            if (!Word(p, &word) || !Name(p, &name)) return false;
            mOut << "  runtime-import " << (mode == kImportRelative ? "relative " : "absolute ")
                 << name;
            Sites(word);
            return true;
        }
        case kFixupLibraryImport:
            if (!Word(p, &word) || !Name(p, &name) || !Name(p, &library)) return false;
            mOut << "  library-import " << name << " in " << library;
            Sites(word);
            return true;
        case kFixupDataReloc:
        case kFixupCodeReloc:
        case kFixupStringRef: {
            static const char *const kNames[] = {
                "", "", "data-relocation", "code-relocation", "", "string-reference"};
            if (!Word(p, &word)) return false;
            mOut << "  " << kNames[tag] << " site " << Hex(word);
            if (tag == kFixupStringRef && mM.length[kMemberCode] >= 4 &&
                word <= mM.length[kMemberCode] - 4) {
                uint32_t at = Read32(mM.block[kMemberCode] + word);
                uint32_t dataLength = mM.length[kMemberData];
                if (dataLength >= 22 && at <= dataLength - 22) {
                    const uint8_t *rec = mM.block[kMemberData] + at;
                    uint32_t n = Read32(rec + kStringLengthOffset);
                    if (n <= dataLength - at - 22)
                        mOut << " -> \"" << std::string(reinterpret_cast<const char *>(rec + 21), n)
                             << '"';
                }
            }
            mOut << "\n";
            return true;
        }
        default:
            return true;
        }
    }

    const ImageMembers &mM;
    std::ostream &mOut;
    uint32_t mPos = 0, mEnd = 0;
};

class OptionPrinter : public OptionVisitor {
  public:
    explicit OptionPrinter(std::ostream &out) : mOut(out) {}
    void Icon(uint32_t width, uint32_t height, const uint8_t *) override {
        mOut << "  icon " << width << "x" << height << "\n";
    }
    void Version(const uint8_t *record, uint32_t length) override {
        VersionInfo info;
        if (!DecodeVersion(record, length, &info)) return;
        mOut << "  version";
        for (uint32_t w : info.words)
            mOut << " " << w;
        for (const std::string &t : info.texts)
            mOut << " \"" << t << '"';
        mOut << "\n";
    }

  private:
    std::ostream &mOut;
};

} // namespace

bool DumpContainer(const std::vector<uint8_t> &file, std::ostream &out) {
    MemorySource source(file.data(), file.size());
    uint32_t offset = 0, size = uint32_t(file.size());
    SectionSearch found = FindImageSection(source, &offset, &size);
    if (found == SectionSearch::Damaged) return false;
    if (found == SectionSearch::Missing && file.size() >= 4 && file[0] == 0x7F && file[1] == 'E') {
        out << "no .kq section\n";
        return false;
    }
    MallocAllocator heap;
    ImageMembers m;
    if (!ReadSectionMembers(source, offset, size, heap, &m)) return false;
    out << "members:";
    for (uint32_t i = 0; i < kMemberCount; ++i)
        out << (i ? ", " : " ") << kMemberNames[i] << " " << m.length[i];
    out << "\nimport:\n";
    ImportPrinter(m, out).Print();
    out << "symbols:\n";
    SymbolTable symbols;
    if (symbols.Parse(m.block[kMemberSymbols], m.length[kMemberSymbols]))
        for (uint32_t i = 0; i < symbols.Count(); ++i)
            out << "  " << Hex(symbols.CodeOffset(i)) << " " << symbols.Name(i) << "\n";
    out << "resources:\n";
    ForEachResource(m.block[kMemberRsrc], m.length[kMemberRsrc], [&](const ResourceRecord &r) {
        out << "  " << TypeText(r.type) << " " << r.id << ": " << r.length << " bytes";
        if (r.type == kResourcePlugin && r.length > 0 && r.payload[0] < r.length)
            out << ", " << std::string(reinterpret_cast<const char *>(r.payload + 1), r.payload[0]);
        out << "\n";
    });
    out << "options:\n";
    OptionPrinter printer(out);
    ForEachOption(m.block[kMemberOptions], m.length[kMemberOptions], printer);
    for (uint8_t *block : m.block)
        std::free(block);
    return true;
}

} // namespace kqlink
