# An image that declares functions of a library that does not exist and of
# one that exists but lacks them; it never calls them.
    .section .text.entry,"ax"
entry:
    push %ebp
    mov %esp, %ebp
    sub $8, %esp
    call RuntimeInit
    jmp done
    call absent
    call alsoAbsent
    call notInLibc
done:
    call RuntimeExit
    leave
    ret

    .section .kq.libimports
    .asciz "absent", "absent", "libkqnothere.so"
    .asciz "alsoAbsent", "alsoAbsent", "libkqnothere.so"
    .asciz "notInLibc", "kq_no_such_function", "libc.so.6"
