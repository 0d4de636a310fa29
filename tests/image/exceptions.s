# Exceptions raised by the runtime and taken by the image's own handler
# markers, with the runtime's entry points bound by the real loader: a Try
# around a raising entry point, a method whose cleanup handler passes the
# exception on to its caller's Try, and a raise that nothing takes.
    .include "HandlerMarker.inc"

    .section .text.entry,"ax"
entry:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    call RuntimeInit
    movl $RaiseNilObjectException, (%esp)   # an entry point's address
    call tryCall
    movl $passOn, (%esp)
    call tryCall
    call uncaught
    movl $afterText, (%esp)
    call puts
    call RuntimeExit
    leave
    ret

    .text
# Try: fn(); Catch exc: printCaught(exc)
tryCall:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl $0, -8(%ebp)
    mov %esp, -4(%ebp)
    call *8(%ebp)
    KQ_MARKER 0x411, -8, 1f
    mov -4(%ebp), %esp
1:  mov -8(%ebp), %eax
    mov %eax, (%esp)
    call printCaught
    leave
    ret

# No Try: the cleanup handler takes the exception into the pending local,
# re-raises it and releases it.
passOn:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl $0, -8(%ebp)
    mov %esp, -4(%ebp)
    call RaiseOutOfBoundsException
    movl $0, -8(%ebp)
    KQ_MARKER 0x411, -8, 1f
    mov -4(%ebp), %esp
1:  mov -8(%ebp), %eax
    test %eax, %eax
    jz 2f
    mov %eax, (%esp)
    call RuntimeReraiseException
    mov -8(%ebp), %eax
    mov %eax, (%esp)
    call RuntimeUnlockObject
2:  leave
    ret

# Nothing takes this one: the runtime reports it and the raise returns.
uncaught:
    push %ebp
    mov %esp, %ebp
    sub $8, %esp
    call RaiseNilObjectException
    leave
    ret

# printCaught(exc): "caught <class>, <n> reference(s)", then releases exc.
printCaught:
    push %ebp
    mov %esp, %ebp
    push %ebx
    sub $20, %esp
    mov 8(%ebp), %ebx
    test %ebx, %ebx
    jz 1f
    mov 4(%ebx), %eax           # classPtr
    mov 4(%eax), %eax           # its name
    mov 4(%eax), %eax           # the name's text pointer
    inc %eax                    # past the length byte
    mov %eax, 4(%esp)
    mov 12(%ebx), %eax          # refCount
    mov %eax, 8(%esp)
    movl $caughtFormat, (%esp)
    call printf
    mov %ebx, (%esp)
    call RuntimeUnlockObject
    jmp 2f
1:  movl $nothingText, (%esp)
    call puts
2:  add $20, %esp
    pop %ebx
    pop %ebp
    ret

    .data
caughtFormat: .asciz "caught %s, %d reference(s)\n"
nothingText: .asciz "nothing caught"
afterText: .asciz "after the unhandled exception"

    .section .kq.libimports
    .asciz "printf", "printf", "libc.so.6"
    .asciz "puts", "puts", "libc.so.6"
