// Reading the container: the exact ".kq" section, the six members, member
// files, and damaged input.
#include "ImageContainer.h"
#include "ImageTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kqimage;
using namespace imagetest;

namespace {

const Bytes kMembers[6] = {{0xC3}, {1, 2}, {}, {}, {9, 9, 9}, {2}};

Bytes SixMembers() {
    return Container(std::vector<Bytes>(kMembers, kMembers + 6));
}

} // namespace

TEST(Container, FindsTheFirstSectionNamedExactlyKq) {
    Bytes elf = ElfWithSections({".kqx", ".k", ".kq", ".kq"}, {{1}, {2}, SixMembers(), {3}});
    MemorySource source(elf.data(), elf.size());
    uint32_t offset = 0, size = 0;
    ASSERT_EQ(FindImageSection(source, &offset, &size), SectionSearch::Found);
    EXPECT_EQ(offset, 52u + 2);
    EXPECT_EQ(size, SixMembers().size());

    MallocAllocator heap;
    ImageMembers m;
    ASSERT_TRUE(ReadSectionMembers(source, offset, size, heap, &m));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Bytes(m.block[i], m.block[i] + m.length[i]), kMembers[i]) << kMemberNames[i];
    EXPECT_EQ(m.block[kMemberImport], nullptr);
    // rsrc payload: after the code (4+1), data (4+2), import (4), symbols (4), rsrc length (4).
    EXPECT_EQ(m.rsrcFileOffset, offset + 23);

    Bytes other = ElfWithSections({".kqx", ".k", ".kq2"}, {{1}, {2}, SixMembers()});
    MemorySource none(other.data(), other.size());
    EXPECT_EQ(FindImageSection(none, &offset, &size), SectionSearch::Missing);
    Bytes notElf = SixMembers();
    MemorySource raw(notElf.data(), notElf.size());
    EXPECT_EQ(FindImageSection(raw, &offset, &size), SectionSearch::Missing);
}

TEST(Container, DamagedSectionsAreReportedAndYieldNothing) {
    MallocAllocator heap;
    ImageMembers m;
    Bytes longCode = Container({{0xC3}, {}, {}, {}, {}, {}});
    kqimage::Write32(longCode.data(), 1000);
    Bytes truncated = SixMembers();
    truncated.resize(truncated.size() - 3); // the options member's length is cut
    for (const Bytes &section : {longCode, truncated}) {
        ReportCapture capture;
        MemorySource source(section.data(), section.size());
        EXPECT_FALSE(ReadSectionMembers(source, 0, uint32_t(section.size()), heap, &m));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(m.block[i], nullptr);
        EXPECT_EQ(capture.Reports(), 1);
    }

    Bytes elf = ElfWithSections({".kq"}, {SixMembers()});
    Bytes badSection = elf;
    kqimage::Write32(badSection.data() + kqimage::Read32(elf.data() + 32) + 40 + 20, 1u << 30);
    Bytes badNames = elf;
    badNames[50] = 7; // name table index beyond the count
    Bytes badTable = elf;
    kqimage::Write32(badTable.data() + 32, 0xFFFFFF00);
    for (const Bytes &file : {badSection, badNames, badTable}) {
        ReportCapture capture;
        MemorySource source(file.data(), file.size());
        uint32_t offset, size;
        EXPECT_EQ(FindImageSection(source, &offset, &size), SectionSearch::Damaged);
        EXPECT_EQ(capture.Reports(), 1);
    }
}

TEST(Container, MemberFilesStandInWhenTheExecutableCannotBeOpened) {
    std::string folder = TempFolder();
    std::ofstream(folder + "/code.dat", std::ios::binary) << "\xC3";
    std::ofstream(folder + "/data.dat", std::ios::binary) << "abc";
    std::ofstream(folder + "/rsrc.dat", std::ios::binary) << ""; // empty: no member
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    MallocAllocator heap;
    ImageMembers m;
    ReportCapture capture;
    EXPECT_TRUE(ReadContainer("/nonexistent/pillwerk", heap, &m));
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_NE(capture.Text().find("Failure Condition: exeFile\nCan't open executable "
                                  "/nonexistent/pillwerk"),
              std::string::npos)
        << capture.Text();
    EXPECT_EQ(m.length[kMemberCode], 1u);
    EXPECT_EQ(Bytes(m.block[kMemberData], m.block[kMemberData] + 3), (Bytes{'a', 'b', 'c'}));
    EXPECT_EQ(m.block[kMemberRsrc], nullptr);
    EXPECT_EQ(m.block[kMemberImport], nullptr);
    EXPECT_EQ(m.rsrcFileOffset, 0u);
    EXPECT_FALSE(m.fromSection);
}
