# A console image: registers a console application, gives it a Run handler
# and runs it. Run prints a greeting, the last command-line argument and the
# upper bound of the argument array, and returns 7, the exit status.
    .section .text.entry,"ax"
entry:
    push %ebp
    mov %esp, %ebp
    push %ebx
    sub $20, %esp               # keeps the stack 16-byte aligned at calls
    call RuntimeInit
    call RuntimeInitExternalClasses
    movl $0, (%esp)
    movl $0, 4(%esp)
    call RuntimeRegisterConsoleAppObject
    call getAppObject
    mov %eax, %ebx
    movl %ebx, (%esp)
    movl $runName, 4(%esp)
    movl $run, 8(%esp)
    call RuntimeInstallInstanceEventHandler
    movl %ebx, (%esp)
    call RuntimeUnlockObject
    call RuntimeRun
    call RuntimeExit
    add $20, %esp
    pop %ebx
    pop %ebp
    ret

    .text
# run(app, args) -> 7
run:
    push %ebp
    mov %esp, %ebp
    push %ebx
    push %esi
    sub $16, %esp
    movl $greeting, (%esp)
    call RuntimeConsolePrint
    mov 12(%ebp), %eax
    mov %eax, (%esp)
    call RuntimeUBound
    mov %eax, %esi
    mov 12(%ebp), %eax
    mov 4(%eax), %ecx           # the array's operations
    mov %eax, (%esp)
    mov %esi, 4(%esp)
    call *(%ecx)                # slot 0, Get: the last argument
    mov %eax, %ebx
    mov %ebx, (%esp)
    call RuntimeConsolePrint
    mov %ebx, (%esp)
    call RuntimeUnlockString
    mov %esi, (%esp)
    call StringStrInt32
    mov %eax, %ebx
    mov %ebx, (%esp)
    call RuntimeConsolePrint
    mov %ebx, (%esp)
    call RuntimeUnlockString
    mov $7, %eax
    add $16, %esp
    pop %esi
    pop %ebx
    pop %ebp
    ret

    .section .kq.strings,"a"
    .balign 4
runName:
    .long 1, 0, 5, 3, 0x08000100
    .byte 3
    .ascii "Run"
    .byte 0
    .balign 4
greeting:
    .long 1, 0, 35, 33, 0x08000100
    .byte 33
    .ascii "console program without a display"
    .byte 0
