# The image of the class and exception tests: a class registered with
# RuntimeNewClass and called through its method table, an intrinsic class
# found by name, exceptions caught through handler markers (also past a
# nested protected region), and one that nothing catches.
    .section .text.entry,"ax"
entry:
    push %ebp
    mov %esp, %ebp
    push %ebx
    sub $36, %esp               # 16-byte aligned at calls
    call RuntimeInit
    call RuntimeInitExternalClasses

    # class Sample: no superclass, one method, 28-byte instances
    movl $0, (%esp)
    movl $1, 4(%esp)
    movl $0, 8(%esp)
    movl $0, 12(%esp)
    movl $0, 16(%esp)
    movl $0, 20(%esp)
    call RuntimeNewClass
    movl %eax, %ebx
    movl $sampleName, 4(%ebx)   # name
    movl $28, 12(%ebx)          # instance size
    movl 36(%ebx), %eax         # method table
    movl $greet, (%eax)
    movl $greetName, 4(%eax)
    movl %ebx, (%esp)
    call RuntimeNewObject
    movl %eax, %ebx
    movl %ebx, (%esp)
    movl (%ebx), %eax           # the object's method table
    call *(%eax)
    movl %ebx, (%esp)
    call RuntimeUnlockObject

    movl $exceptionName, (%esp)
    call RuntimeLookupClass
    test %eax, %eax
    setne %al
    movzbl %al, %eax
    movl %eax, 4(%esp)
    movl $lookupFormat, (%esp)
    call printf

    call catchHere
    call catchPastNestedRegion
    call RaiseNilObjectException   # nothing catches this one
    movl $afterText, (%esp)
    call puts
    call RuntimeExit
    add $36, %esp
    pop %ebx
    pop %ebp
    ret

    .text
# Prints the name of the class of the object given.
greet:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl 8(%ebp), %eax
    movl 4(%eax), %eax          # classPtr
    movl 4(%eax), %eax          # name
    movl 4(%eax), %eax          # text
    incl %eax
    movl %eax, 4(%esp)
    movl $greetFormat, (%esp)
    call printf
    leave
    ret

# Prints the class name of a caught exception (in the frame's local) and
# releases it; nothing when the local is empty.
report:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl 8(%ebp), %eax
    test %eax, %eax
    jz 1f
    movl 4(%eax), %eax
    movl 4(%eax), %eax
    movl 4(%eax), %eax
    incl %eax
    movl %eax, 4(%esp)
    movl 12(%ebp), %eax
    movl %eax, (%esp)
    call printf
    movl 8(%ebp), %eax
    movl %eax, (%esp)
    call RuntimeUnlockObject
1:  leave
    ret

catchHere:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl $0, -4(%ebp)           # the exception local
    movl %esp, -8(%ebp)         # the body's stack pointer
    call RaiseNilObjectException
    .byte 0xE9                  # handler marker, kind 0x411, local at -4
    .long 8
    .long 0x411
    .short 0
    .short -4
    movl -8(%ebp), %esp
    movl $caughtFormat, 4(%esp)
    movl -4(%ebp), %eax
    movl %eax, (%esp)
    call report
    leave
    ret

catchPastNestedRegion:
    push %ebp
    mov %esp, %ebp
    sub $24, %esp
    movl $0, -4(%ebp)
    movl %esp, -8(%ebp)
    call RaiseNilObjectException
    .byte 0xE9                  # a nested region starts after the call site
    .long 8
    .long 0x412
    .short 0
    .short 0
    .byte 0xE9                  # its handler must be passed over
    .long 10
    .long 0x411
    .short 0
    .short -4
    ud2
    .byte 0xE9                  # the nested region ends
    .long 8
    .long 0x413
    .short 0
    .short 0
    .byte 0xE9                  # the handler of this frame
    .long 8
    .long 0x411
    .short 0
    .short -4
    movl -8(%ebp), %esp
    movl $nestedFormat, 4(%esp)
    movl -4(%ebp), %eax
    movl %eax, (%esp)
    call report
    leave
    ret

    .section .kq.strings,"a"
    .balign 4
sampleName:
    .long 1, 0, 8, 6, 0x08000100
    .byte 6
    .ascii "Sample"
    .byte 0
    .balign 4
greetName:
    .long 1, 0, 18, 16, 0x08000100
    .byte 16
    .ascii "greet%%o<Sample>"
    .byte 0
    .balign 4
exceptionName:
    .long 1, 0, 20, 18, 0x08000100
    .byte 18
    .ascii "NilObjectException"
    .byte 0

    .data
greetFormat: .asciz "method called on %s\n"
lookupFormat: .asciz "RuntimeLookupClass found a class: %d\n"
caughtFormat: .asciz "caught %s\n"
nestedFormat: .asciz "caught %s past a nested region\n"
afterText: .asciz "the image goes on after the unhandled-exception report"

    .section .kq.libimports
    .asciz "printf", "printf", "libc.so.6"
    .asciz "puts", "puts", "libc.so.6"
