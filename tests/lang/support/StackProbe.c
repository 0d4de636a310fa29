/* A library function for the language tests: whether its caller had the
   stack pointer on a 16-byte boundary at the call. The call pushes the
   return address and the prologue the frame pointer, so the frame pointer
   then lies 8 bytes below a boundary. */
#include <stdint.h>

int KQStackAligned(void) {
    return (uintptr_t)__builtin_frame_address(0) % 16 == 8;
}
