// Applying fix-up records: every tag, chains, unresolved imports, and
// damaged records that must stop linking without touching memory outside
// the image's blocks.
#include "ImageFixups.h"
#include "ImageTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

using namespace kqimage;
using namespace imagetest;

namespace {

class FakeResolver : public ImportResolver {
  public:
    std::map<std::string, uint32_t> exports{{"Alpha", 0x1000}, {"Beta", 0x2000}};
    std::vector<std::string> libraryCalls;
    bool RuntimeExport(const char *name, uint32_t length, uint32_t *address) override {
        auto it = exports.find(std::string(name, length));
        if (it == exports.end()) return false;
        *address = it->second;
        return true;
    }
    uint32_t LibraryFunction(const char *function, const char *library) override {
        libraryCalls.push_back(std::string(function) + "@" + library);
        return 0x5000;
    }
};

// Code and data blocks with guard bytes on both sides, at fixed bases.
struct Image {
    static constexpr uint32_t kGuard = 16;
    Bytes codeStore = Bytes(64 + 2 * kGuard, 0xAA);
    Bytes dataStore = Bytes(64 + 2 * kGuard, 0xBB);
    uint8_t *code() { return codeStore.data() + kGuard; }
    uint8_t *data() { return dataStore.data() + kGuard; }
    PlacedImage Placed() { return PlacedImage{code(), 64, data(), 64, 0x400000, 0x800000}; }
    uint32_t CodeWord(uint32_t at) { return Read32(code() + at); }
    void SetCode(uint32_t at, uint32_t v) { Write32(code() + at, v); }
    bool GuardsIntact() {
        for (const Bytes *store : {&codeStore, &dataStore})
            for (uint32_t i = 0; i < kGuard; ++i)
                if ((*store)[i] != (*store)[0] || (*store)[store->size() - 1 - i] != (*store)[0])
                    return false;
        return true;
    }
};

bool Apply(Image &image, const Bytes &import, FakeResolver &resolver) {
    return ApplyFixups(import.data(), uint32_t(import.size()), image.Placed(), resolver);
}

Bytes RuntimeImport(uint8_t mode, uint32_t head, const std::string &name) {
    Bytes r{kFixupRuntimeImport, mode};
    Put32(r, head);
    PutName(r, name);
    return r;
}

Bytes Site(uint8_t tag, uint32_t site) {
    Bytes r{tag};
    Put32(r, site);
    return r;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(Fixups, RuntimeImportsFillEveryChainSiteRelativeOrAbsolute) {
    Image image;
    image.SetCode(1, 11); // chain of Alpha: 1 -> 11 -> end
    image.SetCode(11, 0);
    image.SetCode(20, 0); // chain of Beta, mode 0: absolute
    image.SetCode(30, 0); // chain with mode 7: absolute as well
    FakeResolver resolver;
    ReportCapture capture;
    ASSERT_TRUE(Apply(image,
                      Join({RuntimeImport(kImportRelative, 1, "Alpha"),
                            RuntimeImport(kImportAbsolute, 20, "Beta"),
                            RuntimeImport(7, 30, "Alpha"), RuntimeImport(1, 0, "Beta")}),
                      resolver));
    EXPECT_EQ(image.CodeWord(1), 0x1000u - (0x400000 + 1 + 4));
    EXPECT_EQ(image.CodeWord(11), 0x1000u - (0x400000 + 11 + 4));
    EXPECT_EQ(image.CodeWord(20), 0x2000u);
    EXPECT_EQ(image.CodeWord(30), 0x1000u);
    EXPECT_EQ(capture.Reports(), 0);
    EXPECT_TRUE(image.GuardsIntact());
}

TEST(Fixups, MissingExportIsReportedOnceAndLinkingGoesOn) {
    Image image;
    image.SetCode(4, 0);
    image.SetCode(8, 0);
    FakeResolver resolver;
    ReportCapture capture;
    ASSERT_TRUE(Apply(image,
                      Join({RuntimeImport(1, 4, "Gamma"), RuntimeImport(1, 0, "Delta"),
                            RuntimeImport(0, 8, "Beta")}),
                      resolver));
    EXPECT_EQ(capture.Reports(), 2); // a head of 0 is still looked up
    EXPECT_NE(capture.Text().find("Failure Condition: foundFunction\nFunction 'Gamma' was not "
                                  "exported"),
              std::string::npos);
    EXPECT_EQ(image.CodeWord(4), 0u); // keeps its link value
    EXPECT_EQ(image.CodeWord(8), 0x2000u);
}

TEST(Fixups, RelocationsStringReferencesAndLibraryImports) {
    Image image;
    image.SetCode(0, 0x10); // code offset
    image.SetCode(4, 0x20); // data offset
    image.SetCode(8, 0);    // string record at data offset 0
    image.SetCode(12, 0);   // the same record again
    image.SetCode(20, 26);  // library chain: 20 -> 26 -> end
    image.SetCode(26, 0);
    std::memset(image.data(), 0, 30);
    Write32(image.data() + kStringLengthOffset, 3);
    FakeResolver resolver;
    Bytes library{kFixupLibraryImport};
    Put32(library, 20);
    PutName(library, "cos");
    PutName(library, "libm.so.6");
    ASSERT_TRUE(Apply(image,
                      Join({Bytes{0, 6, 255}, Site(kFixupCodeReloc, 0), Site(kFixupDataReloc, 4),
                            Site(kFixupStringRef, 8), Site(kFixupStringRef, 12), library}),
                      resolver));
    EXPECT_EQ(image.CodeWord(0), 0x400010u);
    EXPECT_EQ(image.CodeWord(4), 0x800020u);
    EXPECT_EQ(image.CodeWord(8), 0x800000u);
    EXPECT_EQ(image.CodeWord(12), 0x800000u);
    EXPECT_EQ(Read32(image.data() + kStringTextPointerOffset), 0x800000u + 20);
    EXPECT_EQ(resolver.libraryCalls, std::vector<std::string>{"cos@libm.so.6"});
    EXPECT_EQ(image.CodeWord(20), 0x5000u - (0x400000 + 24));
    EXPECT_EQ(image.CodeWord(26), 0x5000u - (0x400000 + 30));
    EXPECT_TRUE(image.GuardsIntact());
}

TEST(Fixups, DamagedRecordsStopLinkingInsideTheBlocks) {
    Bytes looping = RuntimeImport(1, 8, "Alpha");
    Bytes nameWithoutZero = RuntimeImport(1, 8, "Alpha");
    nameWithoutZero.back() = 'x';
    Bytes truncatedName = RuntimeImport(1, 8, "Alpha");
    truncatedName.resize(truncatedName.size() - 3);
    struct Case {
        const char *what;
        Bytes import;
        const char *message;
    } cases[] = {
        {"chain loops", looping, "runs into a site twice"},
        {"chain leaves code", RuntimeImport(1, 62, "Alpha"), "leaves the code block"},
        {"site past end", Site(kFixupCodeReloc, 61), "outside the code block"},
        {"site far away", Site(kFixupDataReloc, 0xFFFFFFFE), "outside the code block"},
        {"name without zero", nameWithoutZero, "no terminating zero"},
        {"name past end", truncatedName, "runs past the end"},
        {"record past end", Bytes{kFixupCodeReloc, 1, 0}, "runs past the end"},
        {"string outside data", Site(kFixupStringRef, 40), "outside the data block"},
        {"string too long", Site(kFixupStringRef, 44), "string record runs past"},
    };
    for (const Case &c : cases) {
        Image image;
        image.SetCode(8, 16); // a loop: 8 -> 16 -> 8
        image.SetCode(16, 8);
        image.SetCode(40, 60); // a string record offset near the end of data
        image.SetCode(44, 0);
        Write32(image.data() + kStringLengthOffset, 1000);
        FakeResolver resolver;
        ReportCapture capture;
        EXPECT_FALSE(Apply(image, c.import, resolver)) << c.what;
        EXPECT_EQ(capture.Reports(), 1) << c.what;
        EXPECT_NE(capture.Text().find(c.message), std::string::npos) << c.what << capture.Text();
        EXPECT_TRUE(image.GuardsIntact()) << c.what;
    }
}
