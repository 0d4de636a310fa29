// The Dictionary class: variant keys to variant values in a chained hash
// table whose bucket counts are primes, with the entries also kept in a
// vector so that they can be reached by position.
//
// Dictionary object, after the RuntimeObject header:
//   offset  field       meaning
//   24      binsFixed   set when the program chose the bucket count
//                       (automatic resizing is then off)
//   28      vector      the entries: growth step, entries, count, capacity;
//                       insertion order, except that a removal moves the last
//                       entry into the removed one's position
//   44      bucketCount a prime of kDictionaryPrimes, or the program's choice
//   48      buckets     heads of the chains
//   52      busy        set while an operation runs: use of the dictionary
//                       from code that the operation calls (a key's
//                       "Operator_Hash") is reported and does nothing
//
// Keys are equal when their hashes (VariantHash) are equal and
// VariantCompare finds them equal; the bucket of a key is its hash, taken
// as unsigned, modulo the bucket count.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RuntimeObject.h"

struct RuntimeArray;
struct ObjectDefinition;

struct DictionaryEntry {
    RuntimeObject *key;   // one reference
    RuntimeObject *value; // one reference
    int32_t hash;
    int32_t position; // in the entry vector
    DictionaryEntry *next;
};

struct DictionaryEntryVector {
    int32_t growthStep;
    DictionaryEntry **entries;
    int32_t count;
    int32_t capacity;
};

struct DictionaryObject {
    RuntimeObject header;
    uint8_t binsFixed;
    DictionaryEntryVector vector;
    uint32_t bucketCount;
    DictionaryEntry **buckets;
    uint8_t busy;
};
static_assert(offsetof(DictionaryObject, binsFixed) == 24, "Dictionary.binsFixed");
static_assert(offsetof(DictionaryObject, vector) == 28, "Dictionary.vector");
static_assert(offsetof(DictionaryObject, bucketCount) == 44, "Dictionary.bucketCount");
static_assert(offsetof(DictionaryObject, buckets) == 48, "Dictionary.buckets");
static_assert(offsetof(DictionaryObject, busy) == 52, "Dictionary.busy");

// Bucket counts: 61 at creation; automatic sizes are the first of these at
// least count * 4 / 3, and 65521 beyond the last.
constexpr uint32_t kDictionaryPrimes[] = {61,   127,  251,   509,   1021, 2039,
                                          4093, 8191, 16381, 32749, 65521};
constexpr uint32_t kDictionaryInitialBuckets = 61;

extern ObjectDefinition DictionaryDefinition;

extern "C" {
void dictionaryConstructor(RuntimeObject *dict);
void dictionaryDestructor(RuntimeObject *dict);
int32_t dictionaryCount(RuntimeObject *dict);
bool dictionaryHasKey(RuntimeObject *dict, RuntimeObject *key);
RuntimeObject *dictionaryValueGetter(RuntimeObject *dict, RuntimeObject *key);
void dictionaryValueSetter(RuntimeObject *dict, RuntimeObject *key, RuntimeObject *value);
RuntimeObject *DictionaryLookup(RuntimeObject *dict, RuntimeObject *key,
                                RuntimeObject *defaultValue);
void dictionaryRemove(RuntimeObject *dict, RuntimeObject *key);
void dictionaryRemoveAll(RuntimeObject *dict);
RuntimeObject *dictionaryKey(RuntimeObject *dict, int32_t index);
RuntimeObject *dictionaryValueByIndex(RuntimeObject *dict, int32_t index);
RuntimeArray *dictionaryKeys(RuntimeObject *dict);
RuntimeArray *dictionaryValues(RuntimeObject *dict);
int32_t dictionaryGetBins(RuntimeObject *dict);
// A property setter: the parameter of the property slot comes before the
// value, as for every setter.
void dictionarySetBins(RuntimeObject *dict, int32_t parameter, int32_t bins);
}
