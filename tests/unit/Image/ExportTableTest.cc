// The runtime export table and the intrinsic function records: counts, the
// static part bound to implementations or to reporting fallbacks, exact
// lookup for linking, the name map, and additions.
#include "ExportScan.h"
#include "ImageTestSupport.h"
#include "IntrinsicFunction.h"
#include "RelocEntry.h"
#include "RuntimeArguments.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace imagetest;

namespace {

void *Code(const char *name) {
    void *code = nullptr;
    return RelocFindExact(name, uint32_t(std::strlen(name)), &code) ? code : nullptr;
}

int Lowest(const char *name) {
    for (uint32_t i = 0; i < RelocEntryCount(); ++i) {
        const RelocEntry *e = RelocEntryAt(i);
        if (e->name != nullptr && std::strcmp(e->name, name) == 0) return int(i);
    }
    return -1;
}

int DummyEntryPoint() {
    return 1;
}
int OtherEntryPoint() {
    return 2;
}

} // namespace

TEST(ExportTable, StaticPartHoldsEveryListedNameBoundToCode) {
    ASSERT_EQ(kStaticExportCount, 2476u);
    std::set<std::string> names;
    for (uint32_t i = 0; i < kStaticExportCount; ++i) {
        const RelocEntry *e = RelocEntryAt(i);
        ASSERT_NE(e->name, nullptr);
        EXPECT_NE(e->code, nullptr) << e->name;
        EXPECT_EQ(e->reserved[0] | e->reserved[1], 0u);
        names.insert(e->name);
    }
    EXPECT_EQ(names.size(), 2451u);
    // An implemented entry point is bound to its implementation.
    EXPECT_EQ(Code("RuntimeInit"), reinterpret_cast<void *>(&RuntimeInit));
    EXPECT_EQ(Code("RuntimeExit"), reinterpret_cast<void *>(&RuntimeExit));
    // Linking is exact and case-sensitive; a prefix is no match.
    EXPECT_EQ(Code("runtimeinit"), nullptr);
    EXPECT_EQ(Code("RuntimeIni"), nullptr);
    void *code = nullptr;
    EXPECT_TRUE(RelocFindExact("RuntimeInitX", 11, &code)); // the first 11 bytes
}

TEST(ExportTable, DuplicatedNamesShareOneEntryPointAndTheLowestIndexWins) {
    int duplicates = 0;
    for (uint32_t i = 0; i < kStaticExportCount; ++i) {
        const RelocEntry *e = RelocEntryAt(i);
        int first = Lowest(e->name);
        if (first != int(i)) {
            ++duplicates;
            EXPECT_EQ(RelocEntryAt(uint32_t(first))->code, e->code) << e->name;
        }
    }
    EXPECT_EQ(duplicates, 25);
}

TEST(ExportTable, UnimplementedEntryPointReportsItsName) {
    int index = Lowest("RuntimeTicks");
    ASSERT_GE(index, 0);
    ReportCapture capture;
    auto *missing = reinterpret_cast<long long (*)()>(kStaticExportFallbacks[index]);
    EXPECT_EQ(missing(), 0);
    EXPECT_NE(capture.Text().find("The entry point 'RuntimeTicks' is not implemented"),
              std::string::npos)
        << capture.Text();
}

TEST(ExportTable, AdditionsGoToTheDynamicPartAndConflictsAreReported) {
    uint32_t before = RelocEntryCount();
    void *dummy = reinterpret_cast<void *>(&DummyEntryPoint);
    ReportCapture capture;
    RelocAdd("RuntimeInit", reinterpret_cast<void *>(&RuntimeInit)); // same: nothing
    EXPECT_EQ(RelocEntryCount(), before);
    RelocAdd("TestOnlyEntryPoint", dummy);
    ASSERT_EQ(RelocEntryCount(), before + 1);
    EXPECT_STREQ(RelocEntryAt(before)->name, "TestOnlyEntryPoint");
    EXPECT_EQ(Code("TestOnlyEntryPoint"), dummy);
    EXPECT_EQ(RelocLookup("testonlyentrypoint"), dummy); // the name map folds case
    RelocAdd("TestOnlyEntryPoint", reinterpret_cast<void *>(&OtherEntryPoint));
    EXPECT_EQ(RelocEntryCount(), before + 1);
    EXPECT_EQ(Code("TestOnlyEntryPoint"), dummy);
    EXPECT_EQ(capture.Reports(), 1);
    EXPECT_NE(capture.Text().find("functionPtr == oldEntry->code"), std::string::npos);
    EXPECT_EQ(RelocEntryAt(RelocEntryCount()), nullptr);
}

TEST(IntrinsicFunctions, RecordsKeepTheirOrderAndOverloads) {
    ReportCapture capture;
    RegisterRuntimeIntrinsicFunctions();
    RegisterRuntimeIntrinsicFunctions(); // once only
    ASSERT_EQ(IntrinsicFunctionCount(), kIntrinsicFunctionRowCount);
    EXPECT_STREQ(IntrinsicFunctionAt(0)->name, "OpenURLMovie");
    EXPECT_STREQ(IntrinsicFunctionAt(0)->entryPointName, "openURLMovie");
    IntrinsicFunction *hex = FindIntrinsicFunction("Hex");
    ASSERT_NE(hex, nullptr);
    EXPECT_STREQ(hex->entryPointName, "RuntimeHexInt8"); // the first overload
    EXPECT_EQ(hex->parameterCount, 1u);
    IntrinsicFunction *nth = FindIntrinsicFunction("NthField");
    ASSERT_NE(nth, nullptr);
    EXPECT_EQ(nth->parameterCount, 3u);
    EXPECT_EQ(FindIntrinsicFunction("Join")->parameterCount, 2u); // A1s and s
    // A record's entry point is the export table's for the same name; the one
    // name outside the static part joined the dynamic part.
    EXPECT_EQ(hex->entryPoint, Code("RuntimeHexInt8"));
    EXPECT_NE(Code("_InitPluginEntrypoints"), nullptr);
    EXPECT_EQ(capture.Reports(), 0) << capture.Text();
}

TEST(ExportTable, ScanFindsTheFirstExactNameAcrossBlocksAndTail) {
    // 40 entries: two full blocks of sixteen and a tail of eight. Keys of
    // equal length, first and last bytes collide; only memcmp tells apart.
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("Name" + std::string(1, char('A' + i % 26)) + "xx");
    names[3] = "NameQxx"; // same key as names[16]
    names[20] = "NameQxx";
    names[37] = "Tail";
    std::vector<const char *> pointers;
    std::vector<uint32_t> keys, lengths;
    for (const std::string &n : names) {
        pointers.push_back(n.c_str());
        lengths.push_back(uint32_t(n.size()));
        keys.push_back(exportscan::Key(n.c_str(), uint32_t(n.size())));
    }
    pointers[5] = nullptr; // an entry without a name
    keys[5] = lengths[5] = 0;
    auto find = [&](const char *name) {
        return exportscan::Find(keys.data(), lengths.data(), pointers.data(),
                                uint32_t(pointers.size()), name, uint32_t(std::strlen(name)));
    };
    EXPECT_EQ(find("NameQxx"), 3);
    EXPECT_EQ(find("NameBxx"), 1);
    EXPECT_EQ(find("Tail"), 37);
    EXPECT_EQ(find("NameZxy"), -1);
    EXPECT_EQ(find("NameFxx"), 31); // 5 has no name; 31 is the next "F"
    EXPECT_EQ(find(""), -1);
}
