#include "StringMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A string with one reference held by the test.
struct Str {
    explicit Str(const std::string &text)
        : s(kstr::Make(text.data(), static_cast<uint32_t>(text.size()), kEncodingASCII)) {}
    ~Str() { RuntimeUnlockString(s); }
    KESTstring *s;
};

std::vector<std::string> Keys(StringMap<int> &map) {
    std::vector<std::string> keys;
    StringMap<int>::Iterator it(map);
    KESTstring *key;
    while (it.Next(&key, nullptr))
        keys.emplace_back(kstr::Text(key));
    return keys;
}

} // namespace

TEST(StringMap, HashFoldsAsciiLettersAndTakesBytesAsSigned) {
    Str a("A"), ab("aB"), upper("AB"), accented("\xE9");
    EXPECT_EQ(StringMap<int>::Hash(a.s), 65u);
    EXPECT_EQ(StringMap<int>::Hash(ab.s), 65u * 31 + 66);
    EXPECT_EQ(StringMap<int>::Hash(ab.s), StringMap<int>::Hash(upper.s));
    EXPECT_EQ(StringMap<int>::Hash(accented.s), 0xFFFFFFE9u);
    EXPECT_EQ(StringMap<int>::Hash(nullptr), 0u);
}

TEST(StringMap, LooksUpWithoutRegardToCaseAndHoldsKeys) {
    StringMap<int> map;
    Str key("Hauptfenster"), probe("HAUPTFENSTER"), other("Welcome");
    ASSERT_TRUE(map.Set(key.s, 1));
    EXPECT_EQ(key.s->refCount, 2u);
    EXPECT_EQ(map.BucketOf(key.s), map.BucketOf(probe.s));
    int value = 0;
    ASSERT_TRUE(map.Lookup(probe.s, &value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(map.Lookup(other.s, &value));
    map.Set(probe.s, 2); // replaces; the first spelling stays
    EXPECT_EQ(map.Count(), 1u);
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"Hauptfenster"}));
    EXPECT_TRUE(map.Remove(probe.s));
    EXPECT_EQ(key.s->refCount, 1u);
    EXPECT_EQ(probe.s->refCount, 1u);
}

TEST(StringMap, DoublesBucketsPastThreeQuartersAndKeepsOrder) {
    StringMap<int> map(8);
    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i) {
        expected.push_back("key" + std::to_string(i));
        Str k(expected.back());
        map.Set(k.s, i);
        EXPECT_EQ(map.BucketCount(), 8u);
    }
    Str k6("key6");
    map.Set(k6.s, 6); // 7 entries > 6 = three quarters of 8
    expected.push_back("key6");
    EXPECT_EQ(map.BucketCount(), 16u);
    EXPECT_EQ(Keys(map), expected);
    for (int i = 0; i < 7; ++i) {
        Str k("KEY" + std::to_string(i));
        int value = -1;
        EXPECT_TRUE(map.Lookup(k.s, &value));
        EXPECT_EQ(value, i);
    }
}

TEST(StringMap, IteratorsSurviveRemovalAndDeletionOfTheMap) {
    auto *map = new StringMap<int>;
    Str a("a"), b("b"), c("c");
    map->Set(a.s, 1);
    map->Set(b.s, 2);
    map->Set(c.s, 3);
    StringMap<int>::Iterator it(*map);
    int value = 0;
    ASSERT_TRUE(it.Next(nullptr, &value));
    EXPECT_EQ(value, 1);
    map->Remove(b.s); // the entry the iterator stands on
    ASSERT_TRUE(it.Next(nullptr, &value));
    EXPECT_EQ(value, 3);

    StringMap<int>::Iterator early(*map);
    testing::internal::CaptureStderr();
    delete map;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "WARNING: StringMap deleted with iterators still attached.\n");
    EXPECT_FALSE(early.Next(nullptr, &value));
    EXPECT_EQ(a.s->refCount, 1u);
}
