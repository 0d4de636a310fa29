// Ordering operations of arrays: sort (with companion arrays rearranged by
// the same permutation), shuffle and index of.
#include "ArrayStorage.h"

#include "RuntimeErrorReport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

// Uniform in [0, 1), from one generator seeded once per process.
double RandomFraction() {
    static std::mt19937 generator{std::random_device{}()};
    return std::generate_canonical<double, 32>(generator);
}

void SwapElements(char *bytes, int32_t width, int32_t i, int32_t j) {
    char tmp[64];
    char *a = bytes + size_t(i) * width, *b = bytes + size_t(j) * width;
    for (int32_t done = 0; done < width; done += int32_t(sizeof tmp)) {
        size_t n = std::min<size_t>(sizeof tmp, size_t(width - done));
        std::memcpy(tmp, a + done, n);
        std::memcpy(a + done, b + done, n);
        std::memcpy(b + done, tmp, n);
    }
}

// Rearranges the first perm.size() elements so that element k becomes the
// old element perm[k]. False when memory runs out (nothing changed).
bool Permute(char *bytes, int32_t width, const std::vector<int32_t> &perm) {
    size_t n = perm.size();
    char *old = static_cast<char *>(std::malloc(n * width));
    if (old == nullptr) return false;
    std::memcpy(old, bytes, n * width);
    for (size_t k = 0; k < n; ++k)
        std::memcpy(bytes + k * width, old + size_t(perm[k]) * width, width);
    std::free(old);
    return true;
}

// A companion array of a sort: its elements and their width.
struct Companion {
    char *bytes;
    int32_t width;
};

// Collects the companions of the null-terminated list; false (after raising
// or reporting) when one cannot follow the sort of `count` elements.
bool CollectCompanions(va_list *list, int32_t count, std::vector<Companion> *out) {
    if (list == nullptr) return true;
    while (RuntimeArray *companion = va_arg(*list, RuntimeArray *)) {
        auto elementSize = karray::Slot<int32_t (*)(RuntimeArray *)>(companion, kArrayElementSize);
        if (elementSize == nullptr) return false;
        int32_t width = elementSize(companion);
        if (width != 1 && width != 2 && width != 4 && width != 8) {
            KQ_ASSERT_TEXT(kArraySource, false, "0", nullptr);
            continue;
        }
        ArrayParts parts = ArrayPartsOf(companion);
        if (parts.record == nullptr || parts.Count() < count) {
            ArrayRaiseOutOfBounds();
            return false;
        }
        out->push_back(Companion{parts.Bytes(), width});
    }
    return true;
}

} // namespace

namespace arraystore {

int32_t IndexOf(const ArrayParts &p, const void *value, int32_t start) {
    if (!OneDimensional(p) || *p.data == nullptr) return -1;
    int32_t last = p.Bounds()[0];
    if (last < 0) return -1;
    if (start < -1 || start > last) {
        ArrayRaiseOutOfBounds();
        return -1;
    }
    const char *bytes = p.Bytes();
    for (int32_t i = start < 0 ? 0 : start; i <= last; ++i) {
        const char *element = bytes + size_t(i) * p.width;
        bool equal = p.kind->equal != nullptr ? p.kind->equal(element, value)
                                              : std::memcmp(element, value, p.width) == 0;
        if (equal) return i;
    }
    return -1;
}

void Shuffle(const ArrayParts &p) {
    int32_t n = *p.data != nullptr ? p.Count() : 0;
    for (int32_t i = n - 1; i >= 1; --i) {
        auto j = int32_t(RandomFraction() * (i + 1));
        if (j != i) SwapElements(p.Bytes(), p.width, i, j);
    }
}

void Sort(const ArrayParts &p, va_list *companionList) {
    if (!OneDimensional(p)) return;
    KQ_ASSERT_TEXT(kArraySource, p.kind->compare != nullptr, "fp", nullptr);
    if (p.kind->compare == nullptr) return;
    int32_t count = *p.data != nullptr ? p.Bounds()[0] + 1 : 0;
    std::vector<Companion> companions;
    if (!CollectCompanions(companionList, count, &companions)) return;
    if (count < 2) return;

    std::vector<int32_t> perm(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        perm[size_t(i)] = i;
    const char *bytes = p.Bytes();
    auto compare = p.kind->compare;
    int32_t width = p.width;
    std::stable_sort(perm.begin(), perm.end(), [=](int32_t a, int32_t b) {
        return compare(bytes + size_t(a) * width, bytes + size_t(b) * width) < 0;
    });
    if (!Permute(p.Bytes(), width, perm)) {
        ArrayRaiseOutOfMemory();
        return;
    }
    for (const Companion &c : companions)
        if (!Permute(c.bytes, c.width, perm)) ArrayRaiseOutOfMemory();
}

} // namespace arraystore
