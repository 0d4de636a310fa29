#include "SimpleVector.h"

#include <gtest/gtest.h>

TEST(SimpleVector, GrowsByCapacityWhenNoStepIsSet) {
    SimpleVector<int> v;
    std::vector<uint32_t> capacities;
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(v.Append(i));
        if (capacities.empty() || capacities.back() != v.Capacity())
            capacities.push_back(v.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{16, 32, 64, 128}));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(v[i], i);
}

TEST(SimpleVector, GrowsByStepButNeverByLessThanSixteen) {
    SimpleVector<int> small(5), large(100);
    for (int i = 0; i < 17; ++i)
        small.Append(i);
    EXPECT_EQ(small.Capacity(), 32u);
    for (int i = 0; i < 101; ++i)
        large.Append(i);
    EXPECT_EQ(large.Capacity(), 200u);
}

TEST(SimpleVector, InsertAndRemoveKeepOrder) {
    SimpleVector<char> v;
    for (char c : std::string("acd"))
        v.Append(c);
    v.Insert(1, 'b');
    v.Insert(99, 'e'); // clipped to the end
    EXPECT_EQ(std::string(v.begin(), v.end()), "abcde");
    v.RemoveAt(0);
    v.RemoveAt(99); // out of range: nothing
    EXPECT_EQ(std::string(v.begin(), v.end()), "bcde");
    EXPECT_EQ(v.Pop(), 'e');
    EXPECT_EQ(v.Count(), 3u);
}
