// SimpleVector: the runtime's growable vector of plain values (pointers,
// integers, small records). When full it grows by its growth step, or by its
// current capacity when the step is 0, and never by fewer than 16 slots, so
// that appending is amortised constant time with or without a step.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

template <typename T>
class SimpleVector {
    static_assert(std::is_trivially_copyable<T>::value,
                  "SimpleVector moves its elements with memcpy");

  public:
    static constexpr uint32_t kMinimumGrowth = 16;

    explicit SimpleVector(uint32_t growthStep = 0) : mGrowthStep(growthStep) {}
    ~SimpleVector() { std::free(mItems); }
    SimpleVector(const SimpleVector &) = delete;
    SimpleVector &operator=(const SimpleVector &) = delete;

    uint32_t Count() const { return mCount; }
    uint32_t Capacity() const { return mCapacity; }
    bool IsEmpty() const { return mCount == 0; }
    T &operator[](uint32_t index) { return mItems[index]; }
    const T &operator[](uint32_t index) const { return mItems[index]; }
    T *begin() { return mItems; }
    T *end() { return mItems + mCount; }
    const T *begin() const { return mItems; }
    const T *end() const { return mItems + mCount; }
    T &Last() { return mItems[mCount - 1]; }

    // Appends a value; false (and nothing changed) when memory runs out.
    bool Append(const T &value) {
        if (mCount == mCapacity && !Grow()) return false;
        mItems[mCount++] = value;
        return true;
    }

    // Inserts before `index` (clipped to the end); false when memory runs out.
    bool Insert(uint32_t index, const T &value) {
        if (index > mCount) index = mCount;
        if (mCount == mCapacity && !Grow()) return false;
        std::memmove(mItems + index + 1, mItems + index, (mCount - index) * sizeof(T));
        mItems[index] = value;
        ++mCount;
        return true;
    }

    // Removes the entry at `index`, keeping the order of the rest.
    void RemoveAt(uint32_t index) {
        if (index >= mCount) return;
        std::memmove(mItems + index, mItems + index + 1, (mCount - index - 1) * sizeof(T));
        --mCount;
    }

    T Pop() { return mItems[--mCount]; }
    void Clear() { mCount = 0; }

    // Releases the storage as well as the entries.
    void Reset() {
        std::free(mItems);
        mItems = nullptr;
        mCount = mCapacity = 0;
    }

    // The capacity the vector would move to from `capacity` with `step`.
    static uint32_t NextCapacity(uint32_t capacity, uint32_t step) {
        uint32_t growth = step != 0 ? step : capacity;
        if (growth < kMinimumGrowth) growth = kMinimumGrowth;
        return capacity + growth;
    }

  private:
    bool Grow() {
        uint32_t capacity = NextCapacity(mCapacity, mGrowthStep);
        if (capacity <= mCapacity || capacity > UINT32_MAX / sizeof(T)) return false;
        void *items = std::realloc(mItems, size_t(capacity) * sizeof(T));
        if (items == nullptr) return false;
        mItems = static_cast<T *>(items);
        mCapacity = capacity;
        return true;
    }

    T *mItems = nullptr;
    uint32_t mCount = 0;
    uint32_t mCapacity = 0;
    uint32_t mGrowthStep;
};
