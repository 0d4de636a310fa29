/* The bytes that malloc has handed out and not got back, for the memory
   tests (C and C++). In an address-sanitizer build malloc is the
   sanitizer's, whose mallinfo2 reports zeros; its own count stands in (a
   freed block waiting in its quarantine counts as given back). */
#pragma once
#include <stddef.h>

#ifdef __SANITIZE_ADDRESS__
#ifdef __cplusplus
extern "C"
#endif
    size_t
    __sanitizer_get_current_allocated_bytes(void);

static inline size_t KQHeapInUse(void) {
    return __sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>

static inline size_t KQHeapInUse(void) {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
#endif
