/* Methods written by hand the way the compiler lays out compiled methods:
   frame-pointer chain, the body's stack pointer kept at -4(%ebp), locals
   receiving exceptions, handler markers after the call sites, and 16-byte
   stack alignment at every call. The exception tests and benchmarks raise
   through them (CompiledFrames.h declares them). */

#include "HandlerMarker.inc"

/* Method entry: the frame, `locals` bytes of locals (a multiple of 16 plus
   8, so that calls from the body are aligned), the exception locals -8 and
   -12 cleared, and the body's stack pointer kept at -4. */
.macro METHOD_ENTRY locals=24
    push %ebp
    mov %esp, %ebp
    sub $\locals, %esp
    movl $0, -8(%ebp)
    movl $0, -12(%ebp)
    mov %esp, -4(%ebp)
.endm

/* Method exit that hands both exception locals to the caller's array given
   as the argument at `argument`(%ebp). */
.macro RETURN_LOCALS argument
    mov \argument(%ebp), %ecx
    mov -8(%ebp), %eax
    mov %eax, (%ecx)
    mov -12(%ebp), %eax
    mov %eax, 4(%ecx)
    leave
    ret
.endm

/* The cleanup of a method without a Try: re-raises the exception pending
   in local -8, if any, and releases it. */
.macro PASS_ON_PENDING
    mov -8(%ebp), %eax
    test %eax, %eax
    jz .Lnothing_pending\@
    sub $12, %esp
    push %eax
    call RuntimeReraiseException
    mov -8(%ebp), %eax
    mov %eax, (%esp)
    call RuntimeUnlockObject
    add $16, %esp
.Lnothing_pending\@:
.endm

    .text

/* CatchCall(fn, arg): Try fn(arg) Catch into -8; the handler calls
   CompiledFrameLanded. Returns the caught exception (its reference) or 0. */
    .globl CatchCall
    .type CatchCall, @function
CatchCall:
    METHOD_ENTRY
    sub $12, %esp
    pushl 12(%ebp)
    call *8(%ebp)
    add $16, %esp
    KQ_MARKER 0x411, -8, 1f
    mov -4(%ebp), %esp
    call CompiledFrameLanded
1:  mov -8(%ebp), %eax
    leave
    ret
    .size CatchCall, . - CatchCall

/* NestedRegions(before, inside, caught): calls before(), then inside() in a
   nested protected region with its own handler (local -12); the outer
   handler's local is -8. caught[0] and caught[1] receive the two locals. */
    .globl NestedRegions
    .type NestedRegions, @function
NestedRegions:
    METHOD_ENTRY
    call *8(%ebp)
    KQ_MARKER 0x412, 0, 2f
2:  call *12(%ebp)
    KQ_MARKER 0x411, -12, 3f
    mov -4(%ebp), %esp
3:  KQ_MARKER 0x413, 0, 4f
4:  KQ_MARKER 0x411, -8, 5f
    mov -4(%ebp), %esp
5:  RETURN_LOCALS 16
    .size NestedRegions, . - NestedRegions

/* ScanHazards(fn, caught): between the call site and its handler lie plain
   jumps whose displacement bytes read as function ends (C9 C3, 5D C3), an
   end-of-region marker without a start, and a nested region in short form
   whose handler (local -12) must be passed over. caught[0] receives the
   handler's local -8, caught[1] the nested one's. */
    .globl ScanHazards
    .type ScanHazards, @function
ScanHazards:
    METHOD_ENTRY
    call *8(%ebp)
    jmp 9f
    .byte 0xE9, 0xC9, 0xC3, 0x00, 0x00
    .byte 0xEB, 0x5D
    .byte 0xC3
9:  KQ_MARKER 0x413, 0, 6f
6:  KQ_MARKER_SHORT 0x412, 0, 7f
7:  KQ_MARKER_SHORT 0x411, -12, 8f
    mov -4(%ebp), %esp
8:  KQ_MARKER_SHORT 0x413, 0, 10f
10: KQ_MARKER_SHORT 0x411, -8, 11f
    mov -4(%ebp), %esp
11: RETURN_LOCALS 12
    .size ScanHazards, . - ScanHazards

/* FarFrame(fn): calls fn() with a frame of 8 KiB of locals below its frame
   pointer, so that the callee's frame lies too far below it. Its handler
   (local -8) must not be reached. Returns that local. */
    .globl FarFrame
    .type FarFrame, @function
FarFrame:
    METHOD_ENTRY 8200
    call *8(%ebp)
    KQ_MARKER 0x411, -8, 1f
    mov -4(%ebp), %esp
1:  mov -8(%ebp), %eax
    leave
    ret
    .size FarFrame, . - FarFrame

/* Relay(link): calls link->fn(link->argument) as a method without a Try
   does: its cleanup handler takes the exception into its pending local
   (-8), re-raises it and releases it. */
    .globl Relay
    .type Relay, @function
Relay:
    METHOD_ENTRY
    mov 8(%ebp), %eax
    sub $12, %esp
    pushl 4(%eax)
    call *(%eax)
    add $16, %esp
    movl $0, -8(%ebp)
    KQ_MARKER 0x411, -8, 1f
    mov -4(%ebp), %esp
1:  PASS_ON_PENDING
    leave
    ret
    .size Relay, . - Relay

/* CompiledLoop(fn, argument): calls fn(argument) until it returns 0, with
   Relay's cleanup handler after the call site: a thread's Run looping in it
   ends when an exception (a ThreadEndException) is raised inside fn, as
   compiled code does. */
    .globl CompiledLoop
    .type CompiledLoop, @function
CompiledLoop:
    METHOD_ENTRY
1:  sub $12, %esp
    pushl 12(%ebp)
    call *8(%ebp)
    add $16, %esp
    KQ_MARKER 0x411, -8, 2f
    mov -4(%ebp), %esp
    jmp 3f
2:  test %eax, %eax
    jnz 1b
3:  PASS_ON_PENDING
    leave
    ret
    .size CompiledLoop, . - CompiledLoop

/* ChainEnd(fn): the outermost frame: fn() is called with a null frame
   link, so the chain ends there although a handler marker follows.
   Returns 1 when that handler was reached (it must not be). */
    .globl ChainEnd
    .type ChainEnd, @function
ChainEnd:
    push %ebp
    mov %esp, %ebp
    push %ebx
    sub $4, %esp
    mov %ebp, %ebx
    xor %ebp, %ebp
    call *8(%ebx)
    KQ_MARKER 0x411, 0, 1f
    lea -8(%ebx), %esp
    mov $1, %eax
    jmp 2f
1:  xor %eax, %eax
2:  mov %ebx, %ebp
    add $4, %esp
    pop %ebx
    pop %ebp
    ret
    .size ChainEnd, . - ChainEnd

    .globl CompiledFramesEnd
CompiledFramesEnd:

    .section .note.GNU-stack, "", @progbits
