#include "SmallBlockAllocator.h"
#include "KESTstring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

TEST(SmallBlockAllocator, CountsBytesHandedOutAndReusesFreedBlocks) {
    size_t start = smallblock::BytesInUse();
    void *a = smallblock::Allocate(30);
    void *b = smallblock::Allocate(30);
    void *big = smallblock::Allocate(4000);
    ASSERT_TRUE(a && b && big);
    EXPECT_EQ(smallblock::BytesInUse(), start + 30 + 30 + 4000);
    std::memset(big, 0x5A, 4000);
    smallblock::Release(a, 30);
    EXPECT_EQ(smallblock::Allocate(27), a); // same size class, last freed first
    smallblock::Release(a, 27);
    smallblock::Release(b, 30);
    smallblock::Release(big, 4000);
    EXPECT_EQ(smallblock::BytesInUse(), start);
    EXPECT_EQ(smallblock::Allocate(0), nullptr);
}

TEST(SmallBlockAllocator, BlocksDoNotOverlapAcrossChunks) {
    // Enough blocks of one class to span several chunks; every byte written
    // must survive the writes to all other blocks.
    std::vector<unsigned char *> blocks;
    for (int i = 0; i < 3000; ++i) {
        auto *p = static_cast<unsigned char *>(smallblock::Allocate(24));
        ASSERT_NE(p, nullptr);
        std::memset(p, i & 0xFF, 24);
        blocks.push_back(p);
    }
    EXPECT_EQ(std::set<unsigned char *>(blocks.begin(), blocks.end()).size(), blocks.size());
    for (int i = 0; i < 3000; ++i) {
        for (int j = 0; j < 24; ++j)
            ASSERT_EQ(blocks[i][j], i & 0xFF);
        smallblock::Release(blocks[i], 24);
    }
}

TEST(SmallBlockAllocator, StringRecordsAreOneBlockOfLengthPlus22) {
    size_t start = smallblock::BytesInUse();
    std::string text(300, 'x');
    KESTstring *s = kstr::Make(text.data(), 300, kEncodingASCII);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(smallblock::BytesInUse(), start + 322);
    EXPECT_EQ(s->text, reinterpret_cast<uint8_t *>(s) + 20);
    EXPECT_EQ(s->text[0], 255); // length byte saturates
    EXPECT_EQ(s->text[301], 0);
    EXPECT_EQ(s->capacity, 302u);
    RuntimeUnlockString(s);
    EXPECT_EQ(smallblock::BytesInUse(), start);
    EXPECT_EQ(kstr::Make("", 0, kEncodingASCII), nullptr);
}
