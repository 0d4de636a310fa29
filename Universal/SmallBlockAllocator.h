// The small-block allocator: the source of string records and other small,
// short-lived runtime blocks. Blocks up to kLargestSmallBlock bytes come from
// per-size free lists carved out of larger chunks (a pop instead of a malloc);
// larger blocks go to malloc. The caller passes the size again when it frees a
// block, so blocks carry no header.
//
// Not locked: runtime state is only touched by the thread that holds the
// runtime's thread lock, so one caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace smallblock {

constexpr size_t kGranule = 8;
constexpr size_t kLargestSmallBlock = 512;

// A block of at least `size` bytes, or null when memory runs out (or size is 0).
void *Allocate(size_t size);

// Gives back a block obtained from Allocate with the same `size`.
void Release(void *block, size_t size);

// Bytes currently handed out (the sizes asked for, not rounded).
size_t BytesInUse();

} // namespace smallblock
