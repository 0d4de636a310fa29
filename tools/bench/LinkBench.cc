// Linking an image the size of the calculator's: 1236 runtime imports
// threading 14296 call sites, 811 data relocations, 2790 code relocations and
// 3041 string references over 583308 bytes of code and 95509 of data,
// resolved against an export table of the runtime's 2476 entry-point names
// with the runtime's own exact scan. The baseline is a plain pass over the
// same bytes: restoring the code and data blocks and reading every byte of
// the import member once. Runs natively (host build).
#include "BenchRatio.h"
#include "ExportScan.h"
#include "ImageFixups.h"
#include "RuntimeErrorReport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

void RuntimeErrorReport(int16_t, const char *, int32_t, const char *, const char *) {
    std::fputs("link_bench: unexpected report\n", stderr);
}

namespace {

using Bytes = std::vector<uint8_t>;
using namespace kqimage;

constexpr uint32_t kCodeLength = 583308, kDataLength = 95509;
constexpr uint32_t kImports = 1236, kCallSites = 14296, kDataRelocs = 811, kCodeRelocs = 2790,
                   kStringRefs = 3041, kStringRecords = 1500;

struct ExportTable {
    std::vector<std::string> names;
    std::vector<const char *> pointers;
    std::vector<uint32_t> keys;
    std::vector<uint32_t> lengths;
};

ExportTable LoadExports() {
    ExportTable t;
    std::ifstream in(KQ_ENTRY_POINT_LIST);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#' && line[0] != '[') t.names.push_back(line);
    for (const std::string &n : t.names) {
        t.pointers.push_back(n.c_str());
        t.lengths.push_back(uint32_t(n.size()));
        t.keys.push_back(exportscan::Key(n.c_str(), uint32_t(n.size())));
    }
    return t;
}

class TableResolver : public ImportResolver {
  public:
    explicit TableResolver(const ExportTable &t) : mT(t) {}
    bool RuntimeExport(const char *name, uint32_t length, uint32_t *address) override {
        int32_t i = exportscan::Find(mT.keys.data(), mT.lengths.data(), mT.pointers.data(),
                                     uint32_t(mT.pointers.size()), name, length);
        if (i < 0) return false;
        *address = 0x08000000u + uint32_t(i) * 16;
        return true;
    }
    uint32_t LibraryFunction(const char *, const char *) override { return 0; }

  private:
    const ExportTable &mT;
};

void Put32(Bytes &b, uint32_t v) {
    uint8_t w[4];
    Write32(w, v);
    b.insert(b.end(), w, w + 4);
}

struct Image {
    Bytes code, data, import;
};

// Sites are spread evenly over the code, each the operand of a call.
Image MakeImage(const ExportTable &table) {
    Image image;
    image.code.assign(kCodeLength, 0x90);
    image.data.assign(kDataLength, 0);
    const uint32_t sites = kCallSites + kDataRelocs + kCodeRelocs + kStringRefs;
    const uint32_t stride = (kCodeLength - 8) / sites;
    uint32_t next = 0;
    auto site = [&] {
        uint32_t at = 1 + stride * next++;
        image.code[at - 1] = kCallOpcode;
        return at;
    };
    // Runtime imports: every other name of the table, chains of 11 or 12 sites
    // interleaved through the code as a compiler's calls are.
    std::vector<std::vector<uint32_t>> chains(kImports);
    for (uint32_t s = 0; s < kCallSites; ++s)
        chains[s % kImports].push_back(site());
    for (uint32_t i = 0; i < kImports; ++i) {
        const std::vector<uint32_t> &c = chains[i];
        for (size_t k = 0; k < c.size(); ++k)
            Write32(image.code.data() + c[k], k + 1 < c.size() ? c[k + 1] : 0);
        const std::string &name = table.names[(i * 2) % table.names.size()];
        image.import.push_back(kFixupRuntimeImport);
        image.import.push_back(kImportRelative);
        Put32(image.import, c.front());
        image.import.push_back(uint8_t(name.size()));
        image.import.insert(image.import.end(), name.begin(), name.end());
        image.import.push_back(0);
    }
    for (uint32_t r = 0; r < kStringRecords; ++r) { // records of 4 text bytes
        uint8_t *rec = image.data.data() + r * 26;
        Write32(rec, 1);
        Write32(rec + kStringCapacityOffset, 6);
        Write32(rec + kStringLengthOffset, 4);
        Write32(rec + kStringEncodingOffset, kEncodingUTF8);
        std::memcpy(rec + 20, "\4text", 6);
    }
    auto reloc = [&](uint8_t tag, uint32_t count, auto value) {
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t at = site();
            Write32(image.code.data() + at, value(i));
            image.import.push_back(tag);
            Put32(image.import, at);
        }
    };
    reloc(kFixupDataReloc, kDataRelocs, [](uint32_t i) { return (i * 97) % kDataLength; });
    reloc(kFixupCodeReloc, kCodeRelocs, [](uint32_t i) { return (i * 211) % kCodeLength; });
    reloc(kFixupStringRef, kStringRefs, [](uint32_t i) { return (i % kStringRecords) * 26; });
    return image;
}

struct Fixture {
    ExportTable table = LoadExports();
    Image image = MakeImage(table);
    Bytes code = image.code, data = image.data;
};

Fixture &TheFixture() {
    static Fixture f;
    return f;
}

void BM_PlainPass(benchmark::State &state) {
    Fixture &f = TheFixture();
    for (auto _ : state) {
        std::memcpy(f.code.data(), f.image.code.data(), kCodeLength);
        std::memcpy(f.data.data(), f.image.data.data(), kDataLength);
        uint32_t sum = 0;
        for (uint8_t b : f.image.import)
            sum += b;
        benchmark::DoNotOptimize(sum);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMicrosecond);

void BM_LinkImage(benchmark::State &state) {
    Fixture &f = TheFixture();
    TableResolver resolver(f.table);
    for (auto _ : state) {
        std::memcpy(f.code.data(), f.image.code.data(), kCodeLength);
        std::memcpy(f.data.data(), f.image.data.data(), kDataLength);
        PlacedImage placed{f.code.data(), kCodeLength, f.data.data(),
                           kDataLength,   0x400000,    0x800000};
        bool ok =
            ApplyFixups(f.image.import.data(), uint32_t(f.image.import.size()), placed, resolver);
        if (!ok) state.SkipWithError("the synthetic image did not link");
        benchmark::ClobberMemory();
    }
    state.counters["import_bytes"] = double(f.image.import.size());
}
BENCHMARK(BM_LinkImage)->Unit(benchmark::kMicrosecond);

// The same linking with every name resolved without a scan: what the chains,
// relocations and record parsing cost on their own.
class ConstantResolver : public ImportResolver {
  public:
    bool RuntimeExport(const char *, uint32_t, uint32_t *address) override {
        *address = 0x08000000u;
        return true;
    }
    uint32_t LibraryFunction(const char *, const char *) override { return 0; }
};

void BM_LinkWithoutLookup(benchmark::State &state) {
    Fixture &f = TheFixture();
    ConstantResolver resolver;
    for (auto _ : state) {
        std::memcpy(f.code.data(), f.image.code.data(), kCodeLength);
        std::memcpy(f.data.data(), f.image.data.data(), kDataLength);
        PlacedImage placed{f.code.data(), kCodeLength, f.data.data(),
                           kDataLength,   0x400000,    0x800000};
        ApplyFixups(f.image.import.data(), uint32_t(f.image.import.size()), placed, resolver);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LinkWithoutLookup)->Unit(benchmark::kMicrosecond);

KQ_BENCH_RATIO("link calculator-sized image / plain pass", BM_PlainPass, BM_LinkImage, 10.0);

} // namespace
