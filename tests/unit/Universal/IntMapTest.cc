#include "IntMap.h"

#include <gtest/gtest.h>

#include <vector>

TEST(IntMap, KeysThatShareABucketKeepInsertionOrder) {
    // 13 is odd, so keys collide exactly when they differ by a multiple of 1024.
    IntMap<int> map;
    ASSERT_EQ(IntMap<int>::BucketOf(5), IntMap<int>::BucketOf(5 + 1024));
    EXPECT_EQ(IntMap<int>::BucketOf(1), 13u);
    EXPECT_EQ(IntMap<int>::BucketOf(100), (100u * 13u) & 0x3FF);
    for (uint32_t k : {5u + 2048, 5u, 5u + 1024})
        map.Set(k, static_cast<int>(k));
    std::vector<uint32_t> order;
    map.ForEach([&](uint32_t k, int) { order.push_back(k); });
    EXPECT_EQ(order, (std::vector<uint32_t>{5 + 2048, 5, 5 + 1024}));
}

TEST(IntMap, SetReplacesAndRemoveUnchains) {
    IntMap<const char *> map;
    map.Set(7, "first");
    map.Set(7 + 1024, "other");
    map.Set(7, "second");
    EXPECT_EQ(map.Count(), 2u);
    const char *value = nullptr;
    ASSERT_TRUE(map.Lookup(7, &value));
    EXPECT_STREQ(value, "second");
    EXPECT_TRUE(map.Remove(7));
    EXPECT_FALSE(map.Lookup(7, &value));
    ASSERT_TRUE(map.Lookup(7 + 1024, &value));
    EXPECT_STREQ(value, "other");
    EXPECT_FALSE(map.Remove(7));
    EXPECT_EQ(map.Count(), 1u);
}
