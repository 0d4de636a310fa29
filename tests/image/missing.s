# An image that links against a name no runtime exports; it never calls it.
    .section .text.entry,"ax"
entry:
    push %ebp
    mov %esp, %ebp
    sub $8, %esp
    call RuntimeInit
    jmp done
    call NoSuchFunction
done:
    call RuntimeExit
    leave
    ret
