// One pass of untrusted bytes through the loader's reading and linking.
#include "ImagePipeline.h"

#include "ImageContainer.h"
#include "ImageFixups.h"
#include "ImageRecords.h"
#include "RuntimeErrorReport.h"

#include <cstdlib>
#include <cstring>

namespace {

int gReports = 0;

using namespace kqimage;

class StandInExports : public ImportResolver {
  public:
    bool RuntimeExport(const char *name, uint32_t length, uint32_t *address) override {
        if (length == 0 || name[0] == 'X') return false; // some names are missing
        *address = 0x10000u + length;
        return true;
    }
    uint32_t LibraryFunction(const char *function, const char *) override {
        return function[0] == 'X' ? 0 : 0x20000u;
    }
};

class Visitor : public OptionVisitor {
  public:
    void Icon(uint32_t width, uint32_t height, const uint8_t *pixels) override {
        sum += pixels[width * height * 4 - 1];
    }
    void Version(const uint8_t *record, uint32_t length) override {
        VersionInfo info;
        if (DecodeVersion(record, length, &info)) sum += uint32_t(info.texts[2].size());
    }
    uint32_t sum = 0;
};

bool Process(ImageSource &source, uint32_t offset, uint32_t size, imagefuzz::PipelineResult *r) {
    MallocAllocator heap;
    ImageMembers m;
    if (!ReadSectionMembers(source, offset, size, heap, &m)) return false;
    r->containerRead = true;
    PlacedImage placed{m.block[kMemberCode],
                       m.length[kMemberCode],
                       m.block[kMemberData],
                       m.length[kMemberData],
                       0x400000,
                       0x800000};
    StandInExports exports;
    r->linked = ApplyFixups(m.block[kMemberImport], m.length[kMemberImport], placed, exports);
    uint32_t sum = 0;
    ForEachResource(m.block[kMemberRsrc], m.length[kMemberRsrc], [&](const ResourceRecord &rec) {
        sum += rec.length != 0 ? rec.payload[rec.length - 1] : 0;
    });
    Visitor visitor;
    ForEachOption(m.block[kMemberOptions], m.length[kMemberOptions], visitor);
    SymbolTable symbols;
    if (symbols.Parse(m.block[kMemberSymbols], m.length[kMemberSymbols])) {
        uint32_t index, distance;
        for (uint32_t probe : {0u, 1u, 100u, 0xFFFFFFFFu})
            if (symbols.Find(probe, &index, &distance))
                sum += uint32_t(std::strlen(symbols.Name(index)));
    }
    for (uint8_t *block : m.block)
        std::free(block);
    return sum != 0xFFFFFFFF;
}

} // namespace

void RuntimeErrorReport(int16_t, const char *, int32_t, const char *condition, const char *) {
    if (condition != nullptr) ++gReports;
}

namespace imagefuzz {

int TakeReportCount() {
    int n = gReports;
    gReports = 0;
    return n;
}

PipelineResult RunImagePipeline(const uint8_t *data, size_t size) {
    PipelineResult result;
    MemorySource source(data, size);
    uint32_t offset = 0, length = 0;
    if (FindImageSection(source, &offset, &length) == SectionSearch::Found)
        Process(source, offset, length, &result);
    if (size <= 0xFFFFFFFFu) Process(source, 0, uint32_t(size), &result);
    result.reports = TakeReportCount();
    return result;
}

} // namespace imagefuzz
