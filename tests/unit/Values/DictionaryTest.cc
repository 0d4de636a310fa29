#include "ValueTestSupport.h"

#include "Dictionary.h"
#include "ObjectDefinition.h"
#include "RuntimeArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Dictionaries : public testing::Test {
  protected:
    Dictionaries() : dict(definitions::Instantiate(&DictionaryDefinition)) {}
    DictionaryObject *d() const { return reinterpret_cast<DictionaryObject *>(dict.get()); }

    void Store(const std::string &key, int32_t value) {
        Held k(TextVariant(key.c_str())), v(Int32ToVariant(value));
        dictionaryValueSetter(dict.get(), k.get(), v.get());
    }
    std::string KeyAt(int32_t index) {
        Held key(dictionaryKey(dict.get(), index));
        return VariantText(key.get());
    }

    Held dict;
};

} // namespace

TEST_F(Dictionaries, KeysDifferingInCaseAreOneKey) {
    EXPECT_EQ(d()->bucketCount, 61u);
    Held lower(TextVariant("aspirin")), upper(TextVariant("ASPIRIN")), price(DoubleToVariant(4.95));
    dictionaryValueSetter(dict.get(), lower.get(), price.get());
    EXPECT_EQ(lower.get()->refCount, 2);
    EXPECT_EQ(price.get()->refCount, 2);
    Held other(Int32ToVariant(3));
    dictionaryValueSetter(dict.get(), upper.get(), other.get());
    EXPECT_EQ(dictionaryCount(dict.get()), 1);
    EXPECT_EQ(price.get()->refCount, 1); // replaced and released
    EXPECT_EQ(KeyAt(0), "aspirin");      // the first spelling stays
    EXPECT_TRUE(dictionaryHasKey(dict.get(), upper.get()));

    Held got(dictionaryValueGetter(dict.get(), lower.get()));
    EXPECT_EQ(got.get(), other.get());
    EXPECT_EQ(other.get()->refCount, 3);

    Held missing(TextVariant("Ibuprofen"));
    EXPECT_EQ(DictionaryLookup(dict.get(), missing.get(), nullptr), nullptr);
    Held fallback(DictionaryLookup(dict.get(), missing.get(), price.get()));
    EXPECT_EQ(fallback.get(), price.get());
    EXPECT_EQ(
        RaisedBy([&] { EXPECT_EQ(dictionaryValueGetter(dict.get(), missing.get()), nullptr); }),
        "KeyNotFoundException");
    EXPECT_EQ(RaisedBy([&] { dictionaryRemove(dict.get(), missing.get()); }),
              "KeyNotFoundException");
    EXPECT_FALSE(dictionaryHasKey(dict.get(), nullptr));
}

TEST_F(Dictionaries, RemovalMovesTheLastEntryIntoTheGap) {
    for (const char *key : {"eins", "zwei", "drei"})
        Store(key, 1);
    Held first(TextVariant("EINS"));
    dictionaryRemove(dict.get(), first.get());
    EXPECT_EQ(dictionaryCount(dict.get()), 2);
    EXPECT_EQ(KeyAt(0), "drei");
    EXPECT_EQ(KeyAt(1), "zwei");
    for (int32_t bad : {-1, 2})
        EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(dictionaryKey(dict.get(), bad), nullptr); }),
                  "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(dictionaryValueByIndex(dict.get(), 2), nullptr); }),
              "OutOfBoundsException");
    Held value(dictionaryValueByIndex(dict.get(), 1));
    EXPECT_EQ(VariantToInt32(value.get()), 1);

    RuntimeArray *keys = dictionaryKeys(dict.get());
    ASSERT_EQ(RuntimeUBound(keys), 1);
    EXPECT_EQ(VariantText(karray::At<RuntimeObject *>(keys, 0)), "drei");
    RuntimeUnlockArray(keys);

    dictionaryRemoveAll(dict.get());
    EXPECT_EQ(dictionaryCount(dict.get()), 0);
    RuntimeArray *none = dictionaryValues(dict.get());
    EXPECT_EQ(RuntimeUBound(none), -1);
    RuntimeUnlockArray(none);
}

TEST_F(Dictionaries, RehashesPastThreeQuartersToTheNextPrime) {
    for (int i = 1; i <= 46; ++i)
        Store("key" + std::to_string(i), i);
    EXPECT_EQ(d()->bucketCount, 61u); // 46 * 4 / 3 = 61: the same count
    EXPECT_EQ(d()->vector.growthStep, 0);
    Store("key47", 47);
    EXPECT_EQ(d()->bucketCount, 127u);
    EXPECT_EQ(d()->vector.growthStep, 31);
    EXPECT_EQ(d()->vector.capacity, 64); // grown by its capacity while it had no step
    for (int i = 1; i <= 47; ++i) {
        Held key(TextVariant(("KEY" + std::to_string(i)).c_str()));
        Held value(dictionaryValueGetter(dict.get(), key.get()));
        EXPECT_EQ(VariantToInt32(value.get()), i);
    }
    // Spare room beyond twice the step is trimmed to the next multiple of
    // the step above the count.
    for (int i = 1; i <= 46; ++i) {
        Held key(TextVariant(("key" + std::to_string(i)).c_str()));
        dictionaryRemove(dict.get(), key.get());
    }
    EXPECT_EQ(d()->vector.count, 1);
    EXPECT_EQ(d()->vector.capacity, 31);
    EXPECT_EQ(KeyAt(0), "key47");
}

TEST_F(Dictionaries, ChosenBucketCountStaysUntilAutomaticAgain) {
    dictionarySetBins(dict.get(), 0, 1000);
    for (int i = 0; i < 1200; ++i)
        Store(std::to_string(i), i);
    EXPECT_EQ(dictionaryGetBins(dict.get()), 1000);
    dictionarySetBins(dict.get(), 0, 0);
    EXPECT_EQ(dictionaryGetBins(dict.get()), 2039); // first prime >= 1600
    EXPECT_EQ(d()->binsFixed, 0);
    Held probe(TextVariant("1199"));
    EXPECT_TRUE(dictionaryHasKey(dict.get(), probe.get()));
    EXPECT_EQ(RaisedBy([&] { dictionarySetBins(dict.get(), 0, 0x7FFFFFFF); }),
              "OutOfMemoryException");
    EXPECT_EQ(dictionaryGetBins(dict.get()), 2039);
    dictionaryRemoveAll(dict.get());
    EXPECT_EQ(dictionaryGetBins(dict.get()), 61);
}

namespace {

RuntimeObject *gReentered = nullptr;
int32_t gCountSeen = -2;

// "Operator_Hash" of a key class that uses the dictionary it is being stored in.
int32_t ReenteringHash(RuntimeObject *) {
    gCountSeen = dictionaryCount(gReentered);
    return 5;
}

} // namespace

TEST_F(Dictionaries, UseFromInsideAnOperationIsReportedNotWaitedFor) {
    RuntimeClass *cls = RuntimeNewClass(nullptr, 0, 0, 0, 1, 0);
    cls->name = kstr::FromC("Schluessel");
    cls->instanceSize = sizeof(RuntimeObject);
    cls->members[0] = {reinterpret_cast<void *>(&ReenteringHash),
                       kstr::FromC("Operator_Hash%i4%o<Schluessel>")};
    Held key(RuntimeNewObject(cls)), value(Int32ToVariant(1));
    gReentered = dict.get();
    std::string reports =
        kqtest::ReportsDuring([&] { dictionaryValueSetter(dict.get(), key.get(), value.get()); });
    EXPECT_NE(reports.find("Failure Condition: !dict->busy"), std::string::npos) << reports;
    EXPECT_EQ(gCountSeen, 0);
    EXPECT_EQ(dictionaryCount(dict.get()), 1); // the outer operation completed
    EXPECT_EQ(d()->busy, 0);
}
