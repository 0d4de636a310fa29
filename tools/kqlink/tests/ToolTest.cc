// kqlink as a command: link with a project, dump, package into an ELF file,
// and dump damaged input without crashing.
#include "TestObjects.h"

#include <gtest/gtest.h>

using namespace kqlinktest;

namespace {

const char kSource[] = R"(
    .section .text.entry,"ax"
entry:
    call RuntimeInit
    call RuntimeInit
    movl $greeting, %eax
    call RuntimeExit
    ret
    .section .kq.strings,"a"
greeting: .long 1, 0, 4, 2, 0x08000100
    .byte 2
    .ascii "hi"
    .byte 0
)";

} // namespace

TEST(Tool, LinksDumpsAndPackages) {
    TempDir dir;
    std::string object = Assemble(dir, "image", kSource);
    dir.Write("logo.bmp", "BM");
    dir.Write("app.kqp", "resource = \"BMP \" 0 logo.bmp\nversion.major = 4\n"
                         "version.short = Short\n");
    std::string out;
    ASSERT_EQ(RunCommand({KQLINK_PATH, "--project", dir.File("app.kqp"), "-o", dir.File("image.kq"),
                          object},
                         &out),
              0)
        << out;
    ASSERT_EQ(RunCommand({KQLINK_PATH, "--dump", dir.File("image.kq")}, &out), 0) << out;
    for (const char *line : {"members: code 21, data 24, import 43, symbols 18, rsrc 16,",
                             "runtime-import relative RuntimeExit: head 0x000010, 1 site",
                             "runtime-import relative RuntimeInit: head 0x000001, 2 sites",
                             "string-reference site 0x00000b", "0x000000 entry",
                             "\"BMP \" 0: 2 bytes", "version 4 0 0 0 0 0 \"Short\" \"\" \"\""})
        EXPECT_NE(out.find(line), std::string::npos) << line << " in:\n" << out;

    // Packaging: any ELF32 file can carry the section; the dump finds it there.
    std::string carrier = Assemble(dir, "carrier", ".text\n ret\n");
    ASSERT_EQ(RunCommand({KQLINK_PATH, "--package", carrier, dir.File("image.kq"), "-o",
                          dir.File("packaged")},
                         &out),
              0)
        << out;
    std::string dumped;
    ASSERT_EQ(RunCommand({KQLINK_PATH, "--dump", dir.File("packaged")}, &dumped), 0) << dumped;
    EXPECT_NE(dumped.find("members: code 21, data 24"), std::string::npos) << dumped;
    ASSERT_EQ(RunCommand({"readelf", "-S", "-W", dir.File("packaged")}, &out), 0);
    size_t kq = out.find(" .kq ");
    ASSERT_NE(kq, std::string::npos) << out;
    std::string line = out.substr(kq, out.find('\n', kq) - kq);
    EXPECT_EQ(line.find(" A "), std::string::npos) << "the section must not be loaded: " << line;
}

TEST(Tool, DumpOfDamagedInputFailsCleanly) {
    TempDir dir;
    dir.Write("short.kq", std::string("\x10\x00\x00\x00\xC3", 5));
    std::string out;
    EXPECT_EQ(RunCommand({KQLINK_PATH, "--dump", dir.File("short.kq")}, &out), 1);
    EXPECT_NE(out.find("code member runs past the end"), std::string::npos) << out;
    EXPECT_EQ(RunCommand({KQLINK_PATH, "--dump", dir.File("missing.kq")}, &out), 1);
    EXPECT_NE(out.find("cannot open"), std::string::npos) << out;
    EXPECT_EQ(RunCommand({KQLINK_PATH, "-o", dir.File("x.kq")}, &out), 2);
}
