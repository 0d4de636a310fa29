// StringMap: a hash map keyed by strings, compared without regard to case.
// Buckets are chained; all entries are also kept in a list in insertion
// order, which is the order of iteration. The hash runs over the key's bytes
// with "a".."z" folded to upper case: h = h * 31 + (signed) byte, then h
// modulo the bucket count. When the entries exceed three quarters of the
// buckets, the table is rebuilt with twice as many.
//
// The map holds one reference to each key. Iterators attach themselves to
// the map so that removing the entry an iterator stands on moves it along.
#pragma once

#include "KESTstring.h"

#include <cstdint>
#include <cstdio>
#include <new>

template <typename V>
class StringMap {
    struct Entry;

  public:
    static constexpr uint32_t kDefaultBuckets = 256;

    explicit StringMap(uint32_t buckets = kDefaultBuckets) {
        mBucketCount = buckets != 0 ? buckets : 1;
        mBuckets = new Entry *[mBucketCount]();
    }

    ~StringMap() {
        if (mIterators != nullptr) {
            std::fputs("WARNING: StringMap deleted with iterators still attached.\n", stderr);
            for (Iterator *it = mIterators; it != nullptr; it = it->mNextAttached) {
                it->mMap = nullptr;
                it->mNext = nullptr;
            }
        }
        Clear();
        delete[] mBuckets;
    }
    StringMap(const StringMap &) = delete;
    StringMap &operator=(const StringMap &) = delete;

    static uint32_t Hash(const KESTstring *key) {
        uint32_t h = 0;
        const char *bytes = kstr::Text(key);
        for (uint32_t i = 0, n = kstr::Length(key); i < n; ++i) {
            char c = bytes[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
        }
        return h;
    }

    uint32_t Count() const { return mCount; }
    uint32_t BucketCount() const { return mBucketCount; }
    uint32_t BucketOf(const KESTstring *key) const { return Hash(key) % mBucketCount; }

    // Sets `key` to `value` (replacing the value of an equal key, which keeps
    // its first spelling); false when memory runs out.
    bool Set(KESTstring *key, const V &value) {
        uint32_t hash = Hash(key);
        if (Entry *e = Find(key, hash)) {
            e->value = value;
            return true;
        }
        Entry *e = new (std::nothrow) Entry{key, value, hash, nullptr, mLast, nullptr};
        if (e == nullptr) return false;
        RuntimeLockString(key);
        Link(e);
        if (mLast != nullptr)
            mLast->next = e;
        else
            mFirst = e;
        mLast = e;
        if (++mCount > mBucketCount / 4 * 3) Resize(mBucketCount * 2);
        return true;
    }

    // Copies the value of `key` to `*value` when present.
    bool Lookup(const KESTstring *key, V *value) const {
        Entry *e = Find(key, Hash(key));
        if (e == nullptr) return false;
        if (value != nullptr) *value = e->value;
        return true;
    }

    bool Remove(const KESTstring *key) {
        Entry *e = Find(key, Hash(key));
        if (e == nullptr) return false;
        for (Iterator *it = mIterators; it != nullptr; it = it->mNextAttached)
            if (it->mNext == e) it->mNext = e->next;
        Entry **link = &mBuckets[e->hash % mBucketCount];
        while (*link != e)
            link = &(*link)->bucketNext;
        *link = e->bucketNext;
        (e->prev != nullptr ? e->prev->next : mFirst) = e->next;
        (e->next != nullptr ? e->next->prev : mLast) = e->prev;
        RuntimeUnlockString(e->key);
        delete e;
        --mCount;
        return true;
    }

    void Clear() {
        for (Iterator *it = mIterators; it != nullptr; it = it->mNextAttached)
            it->mNext = nullptr;
        for (Entry *e = mFirst; e != nullptr;) {
            Entry *next = e->next;
            RuntimeUnlockString(e->key);
            delete e;
            e = next;
        }
        for (uint32_t i = 0; i < mBucketCount; ++i)
            mBuckets[i] = nullptr;
        mFirst = mLast = nullptr;
        mCount = 0;
    }

    // Walks the entries in insertion order. Attached to its map while alive.
    class Iterator {
      public:
// The map keeps the address of a local iterator until the iterator's
// destructor takes it out again; GCC cannot see that pairing.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
        explicit Iterator(StringMap &map) : mMap(&map), mNext(map.mFirst) {
            mNextAttached = map.mIterators;
            map.mIterators = this;
        }
#pragma GCC diagnostic pop
        ~Iterator() {
            if (mMap == nullptr) return;
            Iterator **link = &mMap->mIterators;
            while (*link != this)
                link = &(*link)->mNextAttached;
            *link = mNextAttached;
        }
        Iterator(const Iterator &) = delete;
        Iterator &operator=(const Iterator &) = delete;

        // The next entry's key (no reference added) and value; false at the end.
        bool Next(KESTstring **key, V *value) {
            if (mNext == nullptr) return false;
            if (key != nullptr) *key = mNext->key;
            if (value != nullptr) *value = mNext->value;
            mNext = mNext->next;
            return true;
        }

      private:
        friend class StringMap;
        StringMap *mMap;
        Entry *mNext;
        Iterator *mNextAttached;
    };

  private:
    struct Entry {
        KESTstring *key;
        V value;
        uint32_t hash;
        Entry *bucketNext;
        Entry *prev; // insertion order
        Entry *next;
    };

    Entry *Find(const KESTstring *key, uint32_t hash) const {
        for (Entry *e = mBuckets[hash % mBucketCount]; e != nullptr; e = e->bucketNext)
            if (e->hash == hash && kstr::CompareFold(e->key, key) == 0) return e;
        return nullptr;
    }

    void Link(Entry *e) {
        Entry **head = &mBuckets[e->hash % mBucketCount];
        e->bucketNext = *head;
        *head = e;
    }

    void Resize(uint32_t newSize) {
        if (newSize <= mBucketCount) return; // doubling overflowed: keep the table
        Entry **buckets = new (std::nothrow) Entry *[newSize]();
        if (buckets == nullptr) return;
        delete[] mBuckets;
        mBuckets = buckets;
        mBucketCount = newSize;
        for (Entry *e = mFirst; e != nullptr; e = e->next)
            Link(e);
    }

    Entry **mBuckets;
    uint32_t mBucketCount;
    uint32_t mCount = 0;
    Entry *mFirst = nullptr;
    Entry *mLast = nullptr;
    Iterator *mIterators = nullptr;
};
