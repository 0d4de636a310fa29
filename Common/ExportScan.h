// The exact linear scan that links a runtime import to the export table:
// the first entry, in index order, whose name equals the import's name byte
// for byte. Each entry carries a scan key (its length and its first three
// and last four bytes) so that most entries are passed over with one
// comparison; a key match is confirmed with memcmp, so the result is that of
// a plain scan. Header-only so that the host benchmark measures this code.
#pragma once

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace exportscan {

inline uint32_t Key(const char *name, uint32_t length) {
    if (length == 0) return 0;
    uint32_t key = (length & 0xFF) | uint32_t(uint8_t(name[0])) << 8 |
                   uint32_t(uint8_t(name[length - 1])) << 16;
    if (length > 1) key |= uint32_t(uint8_t(name[length - 2])) << 24;
    return key;
}

// The index of the first of `count` entries named exactly `name`, or -1.
// `names[i]` may be null (such entries have key 0 and length 0 and never
// match a non-empty name).
inline int32_t Find(const uint32_t *keys, const uint32_t *lengths, const char *const *names,
                    uint32_t count, const char *name, uint32_t length) {
    const uint32_t key = Key(name, length);
    auto matches = [&](uint32_t i) {
        return keys[i] == key && lengths[i] == length && names[i] != nullptr &&
               std::memcmp(names[i], name, length) == 0;
    };
    uint32_t i = 0;
    // Sixteen keys per step, compared without a branch each (four vector
    // compares where SSE2 is there); a step with a key match is then looked
    // at entry by entry, in index order.
    constexpr uint32_t kStep = 16;
    for (; i + kStep <= count; i += kStep) {
#if defined(__SSE2__)
        const __m128i wanted = _mm_set1_epi32(int32_t(key));
        const auto *k = reinterpret_cast<const __m128i *>(keys + i);
        __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(k), wanted),
                                                 _mm_cmpeq_epi32(_mm_loadu_si128(k + 1), wanted)),
                                    _mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(k + 2), wanted),
                                                 _mm_cmpeq_epi32(_mm_loadu_si128(k + 3), wanted)));
        if (_mm_movemask_epi8(hits) == 0) continue;
#else
        uint32_t hits = 0;
        for (uint32_t j = 0; j < kStep; ++j)
            hits |= uint32_t(keys[i + j] == key);
        if (hits == 0) continue;
#endif
        for (uint32_t j = i; j < i + kStep; ++j)
            if (matches(j)) return int32_t(j);
    }
    for (; i < count; ++i)
        if (matches(i)) return int32_t(i);
    return -1;
}

} // namespace exportscan
