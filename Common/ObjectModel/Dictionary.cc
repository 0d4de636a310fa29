// The Dictionary class (layout and rules in Dictionary.h). Each operation
// runs under the busy flag and leaves the dictionary consistent before it
// drops any reference: dropping one may run a destructor, which may use the
// dictionary again.
#include "Dictionary.h"

#include "ObjectDefinition.h"
#include "RuntimeArray.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "Variant.h"

#include <cstdlib>

extern ObjectDefinition KeyNotFoundExceptionDefinition;
extern ObjectDefinition OutOfMemoryExceptionDefinition;

namespace {

const char kSource[] = "../Common/Object Model/Dictionary";

DictionaryObject *Dict(RuntimeObject *object) {
    return reinterpret_cast<DictionaryObject *>(object);
}

// References an operation gives up, dropped once it has finished.
class Releases {
  public:
    ~Releases() {
        for (int i = 0; i < mCount; ++i)
            RuntimeUnlockObject(mObjects[i]);
    }
    void Add(RuntimeObject *object) {
        if (mCount < 2)
            mObjects[mCount++] = object;
        else
            RuntimeUnlockObject(object);
    }

  private:
    RuntimeObject *mObjects[2] = {};
    int mCount = 0;
};

// The busy flag for the duration of one operation. A dictionary that is
// already busy (or nil) is refused: the operation then does nothing.
class Operation {
  public:
    explicit Operation(RuntimeObject *object) : mDict(Dict(object)) {
        if (object == nullptr) {
            RaiseNilObjectException();
            mDict = nullptr;
        } else if (mDict->busy) {
            KQ_ASSERT_TEXT(kSource, false, "!dict->busy",
                           "A Dictionary was used by code that one of its own operations called.");
            mDict = nullptr;
        } else {
            mDict->busy = 1;
        }
    }
    ~Operation() {
        if (mDict != nullptr) mDict->busy = 0;
    }
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

    explicit operator bool() const { return mDict != nullptr; }
    DictionaryObject *operator->() const { return mDict; }
    DictionaryObject *get() const { return mDict; }

  private:
    DictionaryObject *mDict;
};

void RaiseOutOfMemory() {
    exceptions::RaiseDefinition(&OutOfMemoryExceptionDefinition);
}

uint32_t BucketOf(const DictionaryObject *d, int32_t hash) {
    return uint32_t(hash) % d->bucketCount;
}

// The link that points at the entry of `key`, or null.
DictionaryEntry **FindLink(DictionaryObject *d, RuntimeObject *key, int32_t hash) {
    if (d->bucketCount == 0) return nullptr;
    for (DictionaryEntry **link = &d->buckets[BucketOf(d, hash)]; *link != nullptr;
         link = &(*link)->next)
        if ((*link)->hash == hash && VariantCompare((*link)->key, key) == 0) return link;
    return nullptr;
}

DictionaryEntry *Find(DictionaryObject *d, RuntimeObject *key) {
    DictionaryEntry **link = FindLink(d, key, VariantHash(key));
    return link != nullptr ? *link : nullptr;
}

// A cleared bucket array of `n` buckets in place of the old one; false after
// raising OutOfMemoryException (the old one stays).
bool AllocateBuckets(DictionaryObject *d, int64_t n) {
    auto **buckets = static_cast<DictionaryEntry **>(std::calloc(size_t(n), sizeof(void *)));
    if (buckets == nullptr) {
        RaiseOutOfMemory();
        return false;
    }
    std::free(d->buckets);
    d->buckets = buckets;
    d->bucketCount = uint32_t(n);
    return true;
}

// Rehashes into `n` buckets (n < 1: the first prime of the table that is at
// least count * 4 / 3): every entry is chained again in vector order, and
// the vector's growth step becomes a quarter of the bucket count (at most
// 1024). False after raising OutOfMemoryException.
bool Rehash(DictionaryObject *d, int64_t n) {
    if (n < 1) {
        int64_t wanted = int64_t(d->vector.count) * 4 / 3;
        n = kDictionaryPrimes[sizeof kDictionaryPrimes / sizeof kDictionaryPrimes[0] - 1];
        for (uint32_t prime : kDictionaryPrimes) {
            if (prime >= wanted) {
                n = prime;
                break;
            }
        }
    }
    if (uint64_t(n) == d->bucketCount) return true;
    if (!AllocateBuckets(d, n)) return false;
    for (int32_t i = 0; i < d->vector.count; ++i) {
        DictionaryEntry *e = d->vector.entries[i];
        uint32_t bucket = BucketOf(d, e->hash);
        e->next = d->buckets[bucket];
        d->buckets[bucket] = e;
    }
    d->vector.growthStep = int32_t(n / 4 < 1024 ? n / 4 : 1024);
    return true;
}

bool EnsureBuckets(DictionaryObject *d) {
    return d->bucketCount != 0 || AllocateBuckets(d, kDictionaryInitialBuckets);
}

// Appends to the entry vector, growing it by its step, or by its capacity
// when the step is 0, and by at least 16.
bool Append(DictionaryEntryVector *v, DictionaryEntry *e) {
    if (v->count == v->capacity) {
        int32_t growth = v->growthStep != 0 ? v->growthStep : v->capacity;
        int32_t capacity = v->capacity + (growth < 16 ? 16 : growth);
        void *entries = std::realloc(v->entries, size_t(capacity) * sizeof e);
        if (entries == nullptr) return false;
        v->entries = static_cast<DictionaryEntry **>(entries);
        v->capacity = capacity;
    }
    e->position = v->count;
    v->entries[v->count++] = e;
    return true;
}

// Moves the last entry into position `index` and trims spare room beyond
// twice the growth step (or twice the count when there is no step).
void RemoveAt(DictionaryEntryVector *v, int32_t index) {
    int32_t lastIndex = v->count - 1;
    KQ_ASSERT_TEXT(kSource, index >= 0 && index <= lastIndex, "index >= 0 and index <= lastIndex",
                   nullptr);
    if (index < 0 || index > lastIndex) return;
    v->entries[index] = v->entries[lastIndex];
    v->entries[index]->position = index;
    v->count = lastIndex;
    int32_t step = v->growthStep, spare = v->capacity - v->count;
    int32_t capacity = v->capacity;
    if (step > 0 && spare > 2 * step)
        capacity = (v->count / step + 1) * step;
    else if (step == 0 && spare > 2 * v->count)
        capacity = (v->count / 16 + 1) * 16;
    if (capacity == v->capacity) return;
    if (void *entries = std::realloc(v->entries, size_t(capacity) * sizeof(void *))) {
        v->entries = static_cast<DictionaryEntry **>(entries);
        v->capacity = capacity;
    }
}

// Empties the dictionary (61 buckets, no entries, automatic sizing) and
// hands back the entries it held, for the caller to release.
DictionaryEntryVector Detach(DictionaryObject *d) {
    DictionaryEntryVector held = d->vector;
    d->vector = DictionaryEntryVector{};
    d->binsFixed = 0;
    if (d->bucketCount == kDictionaryInitialBuckets ||
        !AllocateBuckets(d, kDictionaryInitialBuckets))
        for (uint32_t i = 0; i < d->bucketCount; ++i)
            d->buckets[i] = nullptr;
    return held;
}

void ReleaseEntries(const DictionaryEntryVector &held) {
    for (int32_t i = 0; i < held.count; ++i) {
        RuntimeUnlockObject(held.entries[i]->key);
        RuntimeUnlockObject(held.entries[i]->value);
        std::free(held.entries[i]);
    }
    std::free(held.entries);
}

// A new array of the keys or the values, in vector order.
RuntimeArray *Column(RuntimeObject *dict, bool keys) {
    Operation d(dict);
    if (!d) return nullptr;
    RuntimeArray *a = CreateArray(1, kArrayObject, d->vector.count - 1);
    auto set = a != nullptr ? karray::Slot<void (*)(RuntimeArray *, RuntimeObject *, int32_t)>(
                                  a, kArraySetUnchecked)
                            : nullptr;
    for (int32_t i = 0; set != nullptr && i < d->vector.count; ++i) {
        DictionaryEntry *e = d->vector.entries[i];
        set(a, keys ? e->key : e->value, i);
    }
    return a;
}

RuntimeObject *AtPosition(RuntimeObject *dict, int32_t index, bool key) {
    Operation d(dict);
    if (!d) return nullptr;
    if (index < 0 || index >= d->vector.count) {
        RaiseOutOfBoundsException();
        return nullptr;
    }
    DictionaryEntry *e = d->vector.entries[index];
    RuntimeObject *result = key ? e->key : e->value;
    RuntimeLockObject(result);
    return result;
}

} // namespace

extern "C" void dictionaryConstructor(RuntimeObject *dict) {
    EnsureBuckets(Dict(dict));
}

extern "C" void dictionaryDestructor(RuntimeObject *dict) {
    DictionaryObject *d = Dict(dict);
    DictionaryEntryVector held = d->vector;
    d->vector = DictionaryEntryVector{};
    std::free(d->buckets);
    d->buckets = nullptr;
    d->bucketCount = 0;
    ReleaseEntries(held);
}

extern "C" int32_t dictionaryCount(RuntimeObject *dict) {
    Operation d(dict);
    return d ? d->vector.count : 0;
}

extern "C" bool dictionaryHasKey(RuntimeObject *dict, RuntimeObject *key) {
    Operation d(dict);
    return d && Find(d.get(), key) != nullptr;
}

extern "C" RuntimeObject *dictionaryValueGetter(RuntimeObject *dict, RuntimeObject *key) {
    Operation d(dict);
    if (!d) return nullptr;
    DictionaryEntry *e = Find(d.get(), key);
    if (e == nullptr) {
        exceptions::RaiseDefinition(&KeyNotFoundExceptionDefinition);
        return nullptr;
    }
    RuntimeLockObject(e->value);
    return e->value;
}

extern "C" RuntimeObject *DictionaryLookup(RuntimeObject *dict, RuntimeObject *key,
                                           RuntimeObject *defaultValue) {
    Operation d(dict);
    if (!d) return nullptr;
    DictionaryEntry *e = Find(d.get(), key);
    RuntimeObject *result = e != nullptr ? e->value : defaultValue;
    RuntimeLockObject(result);
    return result;
}

extern "C" void dictionaryValueSetter(RuntimeObject *dict, RuntimeObject *key,
                                      RuntimeObject *value) {
    Releases releases; // after the operation has ended
    Operation d(dict);
    if (!d || !EnsureBuckets(d.get())) return;
    int32_t hash = VariantHash(key);
    if (DictionaryEntry **link = FindLink(d.get(), key, hash)) {
        RuntimeLockObject(value);
        releases.Add((*link)->value);
        (*link)->value = value;
        return;
    }
    auto *e = static_cast<DictionaryEntry *>(std::malloc(sizeof(DictionaryEntry)));
    if (e == nullptr || !Append(&d->vector, e)) {
        std::free(e);
        RaiseOutOfMemory();
        return;
    }
    RuntimeLockObject(key);
    RuntimeLockObject(value);
    e->key = key;
    e->value = value;
    e->hash = hash;
    uint32_t bucket = BucketOf(d.get(), hash);
    e->next = d->buckets[bucket];
    d->buckets[bucket] = e;
    if (!d->binsFixed && uint32_t(d->vector.count) > d->bucketCount * 3 / 4) Rehash(d.get(), 0);
}

extern "C" void dictionaryRemove(RuntimeObject *dict, RuntimeObject *key) {
    Releases releases; // after the operation has ended
    Operation d(dict);
    if (!d) return;
    DictionaryEntry **link = FindLink(d.get(), key, VariantHash(key));
    if (link == nullptr) {
        exceptions::RaiseDefinition(&KeyNotFoundExceptionDefinition);
        return;
    }
    DictionaryEntry *e = *link;
    *link = e->next;
    RemoveAt(&d->vector, e->position);
    releases.Add(e->key);
    releases.Add(e->value);
    std::free(e);
}

extern "C" void dictionaryRemoveAll(RuntimeObject *dict) {
    DictionaryEntryVector held{};
    {
        Operation d(dict);
        if (!d) return;
        held = Detach(d.get());
    }
    ReleaseEntries(held);
}

extern "C" RuntimeObject *dictionaryKey(RuntimeObject *dict, int32_t index) {
    return AtPosition(dict, index, true);
}

extern "C" RuntimeObject *dictionaryValueByIndex(RuntimeObject *dict, int32_t index) {
    return AtPosition(dict, index, false);
}

extern "C" RuntimeArray *dictionaryKeys(RuntimeObject *dict) {
    return Column(dict, true);
}

extern "C" RuntimeArray *dictionaryValues(RuntimeObject *dict) {
    return Column(dict, false);
}

extern "C" int32_t dictionaryGetBins(RuntimeObject *dict) {
    Operation d(dict);
    return d ? int32_t(d->bucketCount) : 0;
}

extern "C" void dictionarySetBins(RuntimeObject *dict, int32_t, int32_t bins) {
    Operation d(dict);
    if (!d) return;
    d->binsFixed = bins >= 1;
    Rehash(d.get(), bins);
}

// --- The class ------------------------------------------------------------

namespace {

const ArrayType kVariantArray = {{kTypeKindArray}, &kTypeVariant, 1};

const ParameterEntry kKeyParameter[] = {KQ_PARAMETER("key", &kTypeVariant)};
const ParameterEntry kLookupParameters[] = {KQ_PARAMETER("key", &kTypeVariant),
                                            KQ_PARAMETER("defaultValue", &kTypeVariant)};
const ParameterEntry kIndexParameter[] = {KQ_PARAMETER("index", &kTypeInteger)};

const PropertyEntry kDictionaryProperties[] = {
    KQ_READONLY_PROPERTY("Count", &kTypeInteger, dictionaryCount, 0),
    KQ_PROPERTY("BinCount", &kTypeInteger, dictionaryGetBins, dictionarySetBins, 0),
};

const MethodEntry kDictionaryMethods[] = {
    KQ_METHOD("HasKey", &kTypeBoolean, KQ_TABLE(kKeyParameter), dictionaryHasKey),
    KQ_ASSIGNABLE_METHOD("Value", &kTypeVariant, KQ_TABLE(kKeyParameter), dictionaryValueGetter,
                         dictionaryValueSetter),
    KQ_METHOD("Lookup", &kTypeVariant, KQ_TABLE(kLookupParameters), DictionaryLookup),
    KQ_METHOD("Remove", nullptr, KQ_TABLE(kKeyParameter), dictionaryRemove),
    KQ_METHOD("Clear", nullptr, KQ_NO_TABLE, dictionaryRemoveAll),
    KQ_METHOD("Key", &kTypeVariant, KQ_TABLE(kIndexParameter), dictionaryKey),
    KQ_METHOD("ValueByIndex", &kTypeVariant, KQ_TABLE(kIndexParameter), dictionaryValueByIndex),
    KQ_METHOD("Keys", &kVariantArray, KQ_NO_TABLE, dictionaryKeys),
    KQ_METHOD("Values", &kVariantArray, KQ_NO_TABLE, dictionaryValues),
};

const RuntimeClassDeclaration kDictionaryDeclaration = {
    "Dictionary",
    nullptr,
    sizeof(DictionaryObject),
    KQ_ANYWHERE,
    false,
    KQ_TABLE(kDictionaryProperties),
    KQ_TABLE(kDictionaryMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_FUNCTION(dictionaryConstructor),
    KQ_FUNCTION(dictionaryDestructor),
};

} // namespace

ObjectDefinition DictionaryDefinition(&kDictionaryDeclaration);
