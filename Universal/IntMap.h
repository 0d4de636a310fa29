// IntMap: a map keyed by 32-bit integers (addresses of definitions, widget
// identities, resource ids). A fixed table of 1024 buckets; bucket =
// (key * 13) & 0x3FF; entries are chained per bucket in insertion order and
// setting an existing key replaces its value.
#pragma once

#include <cstdint>
#include <new>

template <typename V>
class IntMap {
  public:
    static constexpr uint32_t kBuckets = 1024;

    IntMap() = default;
    ~IntMap() { Clear(); }
    IntMap(const IntMap &) = delete;
    IntMap &operator=(const IntMap &) = delete;

    static uint32_t BucketOf(uint32_t key) { return (key * 13u) & (kBuckets - 1); }

    // Sets `key` to `value`; false when memory runs out.
    bool Set(uint32_t key, const V &value) {
        Entry **link = &mBuckets[BucketOf(key)];
        for (; *link != nullptr; link = &(*link)->next) {
            if ((*link)->key == key) {
                (*link)->value = value;
                return true;
            }
        }
        Entry *entry = new (std::nothrow) Entry{key, value, nullptr};
        if (entry == nullptr) return false;
        *link = entry;
        ++mCount;
        return true;
    }

    // Copies the value of `key` to `*value` when present.
    bool Lookup(uint32_t key, V *value) const {
        for (Entry *e = mBuckets[BucketOf(key)]; e != nullptr; e = e->next) {
            if (e->key == key) {
                if (value != nullptr) *value = e->value;
                return true;
            }
        }
        return false;
    }

    bool Remove(uint32_t key) {
        for (Entry **link = &mBuckets[BucketOf(key)]; *link != nullptr; link = &(*link)->next) {
            if ((*link)->key == key) {
                Entry *gone = *link;
                *link = gone->next;
                delete gone;
                --mCount;
                return true;
            }
        }
        return false;
    }

    uint32_t Count() const { return mCount; }

    // Calls fn(key, value) for every entry, bucket by bucket.
    template <typename Fn>
    void ForEach(Fn fn) const {
        for (Entry *head : mBuckets)
            for (Entry *e = head; e != nullptr; e = e->next)
                fn(e->key, e->value);
    }

    void Clear() {
        for (Entry *&head : mBuckets) {
            while (head != nullptr) {
                Entry *next = head->next;
                delete head;
                head = next;
            }
        }
        mCount = 0;
    }

  private:
    struct Entry {
        uint32_t key;
        V value;
        Entry *next;
    };
    Entry *mBuckets[kBuckets] = {};
    uint32_t mCount = 0;
};
