// Per-size free lists over chunks that are never returned to the system: the
// runtime's small blocks are reused constantly, so holding the chunks costs
// little and keeps allocation to a few instructions. In a build with the
// address sanitizer, every byte that is not part of a handed-out block (the
// uncarved rest of a chunk, free blocks, the rounding after a block's size)
// is marked unaddressable, so that overruns of small blocks are caught as
// they would be with malloc.
#include "SmallBlockAllocator.h"

#include <cstdlib>
#include <sanitizer/asan_interface.h>

namespace smallblock {
namespace {

constexpr size_t kClasses = kLargestSmallBlock / kGranule;
constexpr size_t kChunkBytes = 32 * 1024;

struct FreeBlock {
    FreeBlock *next;
};

struct SizeClass {
    FreeBlock *freeList = nullptr;
    char *bump = nullptr; // uncarved rest of the newest chunk of this class
    char *bumpEnd = nullptr;
};

SizeClass gClasses[kClasses];
size_t gBytesInUse = 0;

size_t ClassOf(size_t size) {
    return (size - 1) / kGranule;
}

void *Carve(SizeClass &sc, size_t blockBytes) {
    if (sc.bump == nullptr || sc.bumpEnd - sc.bump < static_cast<ptrdiff_t>(blockBytes)) {
        char *chunk = static_cast<char *>(std::malloc(kChunkBytes));
        if (chunk == nullptr) return nullptr;
        ASAN_POISON_MEMORY_REGION(chunk, kChunkBytes);
        sc.bump = chunk;
        sc.bumpEnd = chunk + kChunkBytes - kChunkBytes % blockBytes;
    }
    void *block = sc.bump;
    sc.bump += blockBytes;
    return block;
}

} // namespace

void *Allocate(size_t size) {
    if (size == 0) return nullptr;
    void *block;
    if (size > kLargestSmallBlock) {
        block = std::malloc(size);
    } else {
        SizeClass &sc = gClasses[ClassOf(size)];
        size_t blockBytes = (ClassOf(size) + 1) * kGranule;
        if (sc.freeList != nullptr) {
            block = sc.freeList;
            ASAN_UNPOISON_MEMORY_REGION(block, sizeof(FreeBlock));
            sc.freeList = sc.freeList->next;
            ASAN_POISON_MEMORY_REGION(block, blockBytes);
        } else {
            block = Carve(sc, blockBytes);
        }
        if (block != nullptr) ASAN_UNPOISON_MEMORY_REGION(block, size);
    }
    if (block != nullptr) gBytesInUse += size;
    return block;
}

void Release(void *block, size_t size) {
    if (block == nullptr) return;
    gBytesInUse -= size;
    if (size > kLargestSmallBlock) {
        std::free(block);
        return;
    }
    SizeClass &sc = gClasses[ClassOf(size)];
    size_t blockBytes = (ClassOf(size) + 1) * kGranule;
    ASAN_POISON_MEMORY_REGION(block, blockBytes);
    ASAN_UNPOISON_MEMORY_REGION(block, sizeof(FreeBlock));
    FreeBlock *freed = static_cast<FreeBlock *>(block);
    freed->next = sc.freeList;
    sc.freeList = freed;
    ASAN_POISON_MEMORY_REGION(block, sizeof(FreeBlock));
}

size_t BytesInUse() {
    return gBytesInUse;
}

} // namespace smallblock
