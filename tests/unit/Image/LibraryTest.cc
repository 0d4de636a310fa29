// Shared libraries named by text: the library cache and linker-script
// parsing, the run-time search with its identity tables, and the plug-in
// payload and the check of its library.
#include "ImageTestSupport.h"
#include "KESTstring.h"
#include "LibrarySearch.h"
#include "plugin.h"

#include <cstddef>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

using namespace imagetest;

extern "C" {
void *LoadFunctionPointerFromLibrary(KESTstring *function, KESTstring *library);
bool IsFunctionAvailable(void *, KESTstring *function, KESTstring *library);
}

TEST(Libraries, CacheLinesAndGroupsAreParsed) {
    const std::string cache = "3 libs found in cache\n"
                              "\tlibmx.so.1 (libc6) => /opt/libmx.so.1\n"
                              "\tlibm.so.6 (libc6) =>   /lib/i386/libm.so.6  \r\n"
                              "\tlibm.so.6 (libc6,x32) => /libx32/libm.so.6\n";
    size_t from = 0;
    std::string path;
    std::vector<std::string> found;
    while (libsearch::NextCachePath(cache, "libm.so.6", &from, &path))
        found.push_back(path);
    // The name inside a path counts as an occurrence too: the next "=>" is
    // then the following line's, which is tried once more.
    EXPECT_EQ(found, (std::vector<std::string>{"/lib/i386/libm.so.6", "/libx32/libm.so.6",
                                               "/libx32/libm.so.6"}));
    from = 0;
    EXPECT_FALSE(libsearch::NextCachePath(cache, "libz", &from, &path));

    EXPECT_EQ(libsearch::GroupMembers("/* script */ GROUP ( /lib/a.so.6  b.so ) INPUT(x)"),
              (std::vector<std::string>{"/lib/a.so.6", "b.so"}));
    EXPECT_TRUE(libsearch::GroupMembers("GROUP ( unterminated").empty());
    EXPECT_TRUE(libsearch::GroupMembers("INPUT ( a.so )").empty());
}

TEST(Libraries, RunTimeSearchFindsNamesScriptsAndRemembersByRecord) {
    // A bare name is found through the name with ".so" appended.
    KESTstring *cosName = kstr::FromC("cos");
    KESTstring *libm = kstr::FromC("libm.so.6");
    void *cosine = LoadFunctionPointerFromLibrary(cosName, libm);
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(reinterpret_cast<double (*)(double)>(cosine)(0.0), 1.0);

    // A linker script naming one absolute path loads that library.
    std::string folder = TempFolder();
    std::string script = folder + "/libscripted.so";
    std::ofstream(script) << "/* GNU ld script */\nGROUP ( /lib/i386-linux-gnu/libm.so.6 )\n";
    KESTstring *scripted = kstr::FromC(script.c_str());
    KESTstring *sinName = kstr::FromC("sin");
    EXPECT_TRUE(IsFunctionAvailable(nullptr, sinName, scripted));

    // A missing function is searched once; a failed library fails at once
    // afterwards for the same record, even once the file exists.
    KESTstring *nothing = kstr::FromC("no_such_function_here");
    EXPECT_EQ(LoadFunctionPointerFromLibrary(nothing, libm), nullptr);
    std::string late = folder + "/liblate.so";
    KESTstring *lateName = kstr::FromC(late.c_str());
    KESTstring *tanName = kstr::FromC("tan");
    EXPECT_FALSE(IsFunctionAvailable(nullptr, tanName, lateName));
    std::ofstream(late) << "GROUP ( /lib/i386-linux-gnu/libm.so.6 )\n";
    EXPECT_FALSE(IsFunctionAvailable(nullptr, tanName, lateName));
    KESTstring *sameTextNewRecord = kstr::FromC(late.c_str());
    EXPECT_TRUE(IsFunctionAvailable(nullptr, tanName, sameTextNewRecord));
    for (KESTstring *s :
         {cosName, libm, scripted, sinName, nothing, lateName, tanName, sameTextNewRecord})
        RuntimeUnlockString(s);
}

TEST(Libraries, PluginPayloadsCarryAPlainFileName) {
    std::string name;
    const uint8_t *library;
    uint32_t length;
    const uint8_t good[] = {5, 'l', 'i', 'b', 'X', 'Y', 0x7F, 'E'};
    ASSERT_TRUE(SplitPluginPayload(good, sizeof good, &name, &library, &length));
    EXPECT_EQ(name, "libXY");
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(library[0], 0x7F);
    const uint8_t withFolder[] = {6, '.', '.', '/', 'l', 'i', 'b', 1};
    const uint8_t dots[] = {2, '.', '.', 1};
    const uint8_t tooLong[] = {9, 'a', 'b'};
    const uint8_t empty[] = {0, 1};
    for (const auto &[bytes, size] :
         {std::pair<const uint8_t *, uint32_t>{withFolder, sizeof withFolder},
          {dots, sizeof dots},
          {tooLong, sizeof tooLong},
          {empty, sizeof empty}})
        EXPECT_FALSE(SplitPluginPayload(bytes, size, &name, &library, &length));
    EXPECT_NE(RuntimeLookupPluginEntrypoint("RuntimeInit"), nullptr);
    EXPECT_EQ(RuntimeLookupPluginEntrypoint("NoSuchEntryPoint"), nullptr);
}

// A library cut short or with a broken header is refused before it is
// installed: the dynamic loader would map it and the process would die of a
// bus error on the first page past the file's end.
TEST(Libraries, PluginLibrariesAreCheckedBeforeTheyAreInstalled) {
    void *libm = dlopen("libm.so.6", RTLD_LAZY);
    ASSERT_NE(libm, nullptr);
    Dl_info info;
    ASSERT_NE(dladdr(dlsym(libm, "cos"), &info), 0);
    std::ifstream in(info.dli_fname, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 4096u) << info.dli_fname;
    std::string why;
    EXPECT_TRUE(CheckPluginLibrary(bytes.data(), uint32_t(bytes.size()), &why)) << why;

    auto refused = [&](std::vector<uint8_t> damaged, uint32_t length) {
        bool accepted = CheckPluginLibrary(damaged.data(), length, &why);
        return accepted ? std::string("accepted") : why;
    };
    EXPECT_EQ(refused(bytes, uint32_t(bytes.size() / 10)),
              "file too short: a segment ends past the end of the file");
    EXPECT_EQ(refused(bytes, 40), "file too short");
    std::vector<uint8_t> magic = bytes;
    magic[1] = 'K';
    EXPECT_EQ(refused(magic, uint32_t(magic.size())), "invalid ELF header");
    std::vector<uint8_t> wide = bytes;
    wide[EI_CLASS] = ELFCLASS64;
    EXPECT_EQ(refused(wide, uint32_t(wide.size())), "not a library for 32-bit x86");
    std::vector<uint8_t> executable = bytes;
    executable[offsetof(Elf32_Ehdr, e_type)] = ET_EXEC;
    EXPECT_EQ(refused(executable, uint32_t(executable.size())), "not a shared library");
    // Program headers placed so that their end wraps around 32 bits.
    std::vector<uint8_t> headers = bytes;
    uint32_t far = 0xFFFFFFF0u;
    std::memcpy(&headers[offsetof(Elf32_Ehdr, e_phoff)], &far, 4);
    EXPECT_EQ(refused(headers, uint32_t(headers.size())), "damaged program headers");
    EXPECT_EQ(refused({}, 0), "file too short");
}
