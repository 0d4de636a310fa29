// kqlink's linking of objects: chains, relocation tags, library imports,
// symbols, and the errors for what the image format cannot express.
#include "ElfObject.h"
#include "ImageLinker.h"
#include "TestObjects.h"

#include <gtest/gtest.h>

using namespace kqlink;
using namespace kqlinktest;

namespace {

LinkedImage LinkSource(const std::string &source, bool symbols = false) {
    TempDir dir;
    std::string object = Assemble(dir, "image", source);
    return LinkObject(ElfObject::Parse(ReadWholeFile(object), object), object, symbols);
}

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
    return std::vector<uint8_t>(list.begin(), list.end());
}

void AppendName(std::vector<uint8_t> &v, const std::string &name) {
    v.push_back(uint8_t(name.size()));
    v.insert(v.end(), name.begin(), name.end());
    v.push_back(0);
}

} // namespace

TEST(Linker, ThreadsOneChainPerTargetAndMode) {
    LinkedImage image = LinkSource(R"(
        .section .text.entry,"ax"
        call RuntimeInit
        call Other
        call RuntimeInit
        movl $RuntimeInit, %eax
        ret
    )");
    // Sites: call operands at 1, 6, 11; the absolute operand at 16.
    EXPECT_EQ(Word(image.code, 1), 11u);
    EXPECT_EQ(Word(image.code, 11), 0u);
    EXPECT_EQ(Word(image.code, 6), 0u);
    EXPECT_EQ(Word(image.code, 16), 0u);
    std::vector<uint8_t> expected = Bytes({1, 1, 6, 0, 0, 0});
    AppendName(expected, "Other");
    for (int b : {1, 1, 1, 0, 0, 0})
        expected.push_back(uint8_t(b));
    AppendName(expected, "RuntimeInit");
    for (int b : {1, 0, 16, 0, 0, 0})
        expected.push_back(uint8_t(b));
    AppendName(expected, "RuntimeInit");
    EXPECT_EQ(image.import, expected);
}

TEST(Linker, TagsCodeDataAndStringReferencesAndResolvesInternalCalls) {
    LinkedImage image = LinkSource(R"(
        .text
    helper: ret
        .section .text.entry,"ax"
        movl $label, %eax
        movl $datum, %eax
        movl $str, %eax
        call helper
        ret
    label: nop
        .section .kq.strings,"a"
    str: .long 1, 0, 5, 3, 0x08000100
        .byte 3
        .ascii "abc"
        .byte 0
        .data
        .p2align 2
    datum: .long 7
        .bss
        .p2align 2
        .space 16
    )");
    ASSERT_EQ(image.code.size(), 23u); // 22 bytes of entry code, then helper
    EXPECT_EQ(image.code[0], 0xB8);
    EXPECT_EQ(Word(image.code, 1), 21u); // label: after 3 movs, a call and ret
    EXPECT_EQ(Word(image.code, 6), 28u); // .data follows the 25-byte string record, aligned
    EXPECT_EQ(Word(image.code, 11), 0u); // the string record leads the data member
    uint32_t helper = uint32_t(image.code.size()) - 1;
    EXPECT_EQ(Word(image.code, 16), helper - 20);
    EXPECT_EQ(image.data.size(), 28u + 4 + 16);
    EXPECT_EQ(Word(image.data, 28), 7u);
    EXPECT_EQ(image.import, Bytes({3, 1, 0, 0, 0, 2, 6, 0, 0, 0, 5, 11, 0, 0, 0}));
}

TEST(Linker, DeclaredLibraryFunctionsBecomeLibraryImports) {
    LinkedImage image = LinkSource(R"(
        .section .text.entry,"ax"
        call cosine
        call cosine
        ret
        .section .kq.libimports
        .asciz "cosine", "cos", "libm.so.6"
    )");
    std::vector<uint8_t> expected = Bytes({4, 1, 0, 0, 0});
    AppendName(expected, "cos");
    AppendName(expected, "libm.so.6");
    EXPECT_EQ(image.import, expected);
    EXPECT_EQ(Word(image.code, 1), 6u);
    EXPECT_EQ(Word(image.code, 6), 0u);
}

TEST(Linker, SymbolsAreCodeSymbolsSortedByOffset) {
    LinkedImage image = LinkSource(R"(
        .text
    zeta: ret
        .section .text.entry,"ax"
    entry: nop
    alpha: ret
        .data
    notcode: .long 0
    )",
                                   true);
    ASSERT_GE(image.symbols.size(), 4u);
    ASSERT_EQ(Word(image.symbols, 0), 3u);
    const char *names = reinterpret_cast<const char *>(image.symbols.data() + 4 + 3 * 8);
    std::vector<std::pair<uint32_t, std::string>> got;
    for (uint32_t i = 0; i < 3; ++i)
        got.emplace_back(Word(image.symbols, 4 + 8 * i), names + Word(image.symbols, 8 + 8 * i));
    EXPECT_EQ(got, (std::vector<std::pair<uint32_t, std::string>>{
                       {0, "entry"}, {1, "alpha"}, {2, "zeta"}}));
}

TEST(Linker, RejectsWhatTheImageCannotExpress) {
    struct Case {
        const char *source;
        const char *error;
    } cases[] = {
        {".section .text.entry,\"ax\"\n movl x@GOTOFF, %eax\n.data\nx: .long 0\n",
         "relocation type 9 is not supported"},
        {".section .text.entry,\"ax\"\n call datum\n.data\ndatum: .long 0\n",
         "relative reference into the data member"},
        {".section .text.entry,\"ax\"\n movl $RuntimeInit+4, %eax\n", "has an addend"},
        {".data\n .long 1\n", "no entry code"},
        {".section .text.entry,\"ax\"\nentry: ret\n.section .kq.strings,\"a\"\n .long entry\n",
         "must not carry relocations"},
        {".section .text.entry,\"ax\"\n ret\n.section .kq.libimports\n .asciz \"f\", \"g\"\n",
         "triples"},
    };
    for (const Case &c : cases) {
        try {
            LinkSource(c.source);
            ADD_FAILURE() << "no error for: " << c.source;
        } catch (const LinkError &e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos)
                << e.what() << " for: " << c.source;
        }
    }
}

TEST(Linker, RejectsObjectsThatAreNotI386Relocatables) {
    TempDir dir;
    dir.Write("junk.o", "not an object at all, just text long enough for a header....");
    EXPECT_THROW(ElfObject::Parse(ReadWholeFile(dir.File("junk.o")), "junk.o"), LinkError);
    std::vector<uint8_t> truncated = ReadWholeFile(Assemble(dir, "t", ".text\n ret\n"));
    truncated.resize(60);
    EXPECT_THROW(ElfObject::Parse(truncated, "t.o"), LinkError);
}
