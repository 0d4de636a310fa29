# The image of the image tests: start code that calls the runtime by name,
# a library function, a string record, data and code relocations.
    .section .text.entry,"ax"
entry:
    push %ebp
    mov %esp, %ebp
    push %ebx
    sub $20, %esp               # keeps the stack 16-byte aligned at calls
    call RuntimeInit
    call RuntimeInitExternalClasses
    movl $0, (%esp)
    movl $1, 4(%esp)            # the minor version
    call AppIntegerVersionStuffGetter
    movl %eax, 4(%esp)
    movl $versionFormat, (%esp) # data relocation
    call printf                 # library import
    movl $greeting, %eax        # string reference
    movl 4(%eax), %eax          # the text pointer the loader set
    incl %eax                   # past the length byte
    movl %eax, (%esp)
    call puts
    movl $helper, %eax          # code relocation
    call *%eax
    call RuntimeExit
    movl %eax, exitResult
    movl exitResult, %eax
    movl %eax, 4(%esp)
    movl $exitFormat, (%esp)
    call printf
    add $20, %esp
    pop %ebx
    pop %ebp
    ret

    .text
helper:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl $helperText, (%esp)
    call puts
    leave
    ret

    .section .kq.strings,"a"
    .balign 4
greeting:
    .long 1, 0, 28, 26, 0x08000100
    .byte 26
    .ascii "hello from a string record"
    .byte 0

    .data
versionFormat: .asciz "minor version %d\n"
exitFormat: .asciz "exit %d\n"
helperText: .asciz "helper reached through a code relocation"
    .p2align 2
exitResult: .long 5

    .section .kq.libimports
    .asciz "printf", "printf", "libc.so.6"
    .asciz "puts", "puts", "libc.so.6"
