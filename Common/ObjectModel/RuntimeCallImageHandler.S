/* RuntimeCallImageHandler(code, count, arguments): the one way the runtime
   calls image code (event handlers, menu handlers, callbacks). It copies the
   `count` argument words onto a 16-byte aligned stack, calls `code` and
   returns its edx:eax.

   Its frame follows the compiled-code conventions, so the frame chain that
   an exception walks ends here rather than in the native frames of GTK+ or
   the runtime below (which need not keep frame pointers): the handler marker
   after the call takes any exception that escapes the image code, hands it
   to RuntimeUnhandledException at once, releases it and returns 0.

   Frame: -4 ebx, -8 esi, -12 edi, -16 the body's stack pointer, -20 the
   caught exception. */

#include "HandlerMarker.inc"

    .text
    .globl RuntimeCallImageHandler
    .type RuntimeCallImageHandler, @function
RuntimeCallImageHandler:
    push %ebp
    mov %esp, %ebp
    push %ebx
    push %esi
    push %edi
    sub $28, %esp               /* the body's stack pointer is 16-byte aligned */
    movl $0, -20(%ebp)
    mov %esp, -16(%ebp)
    mov 12(%ebp), %ecx
    mov 16(%ebp), %esi
    lea 0(,%ecx,4), %eax
    sub %eax, %esp
    and $-16, %esp
    mov %esp, %edi
    cld
    rep movsl
    mov 8(%ebp), %eax
    call *%eax
    KQ_MARKER 0x411, -20, .Lreturn
    mov -16(%ebp), %esp         /* an exception escaped the image code */
    sub $12, %esp
    pushl -20(%ebp)
    call RuntimeUnhandledException
    movl -20(%ebp), %eax
    movl %eax, (%esp)
    call RuntimeUnlockObject
    add $16, %esp
    movl $0, -20(%ebp)
    xor %eax, %eax
    xor %edx, %edx
.Lreturn:
    lea -12(%ebp), %esp
    pop %edi
    pop %esi
    pop %ebx
    pop %ebp
    ret
    .size RuntimeCallImageHandler, . - RuntimeCallImageHandler

    .section .note.GNU-stack, "", @progbits
