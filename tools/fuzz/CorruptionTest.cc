// The corruption corpus: a valid container, then every truncation and every
// single-byte corruption of it, through the loader's reading and linking in
// a build with the address and undefined-behaviour sanitizers. No input may
// crash or touch memory outside its blocks; damage is reported.
#include "ImagePipeline.h"
#include "ValidImage.h"

#include <gtest/gtest.h>

using namespace imagefuzz;

TEST(Corruption, ValidContainerLinksWithoutReports) {
    std::vector<uint8_t> valid = ValidContainer();
    PipelineResult r = RunImagePipeline(valid.data(), valid.size());
    EXPECT_TRUE(r.containerRead);
    EXPECT_TRUE(r.linked);
    EXPECT_EQ(r.reports, 0);
}

TEST(Corruption, EveryTruncationIsReported) {
    std::vector<uint8_t> valid = ValidContainer();
    for (size_t length = 0; length < valid.size(); ++length) {
        // A copy of exactly `length` bytes, so that reading past it is caught.
        std::vector<uint8_t> cut(valid.begin(), valid.begin() + long(length));
        PipelineResult r = RunImagePipeline(cut.data(), cut.size());
        EXPECT_FALSE(r.containerRead) << length;
        EXPECT_GE(r.reports, 1) << length;
    }
}

TEST(Corruption, EverySingleByteCorruptionIsSurvived) {
    std::vector<uint8_t> valid = ValidContainer();
    int damaged = 0, inputs = 0;
    for (size_t at = 0; at < valid.size(); ++at) {
        for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF, valid[at] + 1}) {
            std::vector<uint8_t> bad = valid;
            bad[at] = uint8_t(value);
            PipelineResult r = RunImagePipeline(bad.data(), bad.size());
            ++inputs;
            if (!r.containerRead || !r.linked || r.reports > 0) ++damaged;
        }
    }
    // Most corruptions are noticed; all of them are survived.
    EXPECT_GT(damaged, inputs / 4) << damaged << " of " << inputs;
}

TEST(Corruption, HugeMemberLengthsAreRefusedBeforeAllocation) {
    std::vector<uint8_t> valid = ValidContainer();
    for (uint32_t value : {0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFF0u}) {
        std::vector<uint8_t> bad = valid;
        bad[0] = uint8_t(value);
        bad[1] = uint8_t(value >> 8);
        bad[2] = uint8_t(value >> 16);
        bad[3] = uint8_t(value >> 24);
        PipelineResult r = RunImagePipeline(bad.data(), bad.size());
        EXPECT_FALSE(r.containerRead);
        EXPECT_GE(r.reports, 1);
    }
}
