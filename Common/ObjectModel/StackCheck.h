// The stack-depth check of compiled code and the stack bounds of the running
// thread. Every thread has a stack record; the thread scheduler makes the
// record of the thread it lets run the current one (SetCurrent). The main
// thread's record is static and filled at start-up by KESTInitStackChecker.
//
// The exception mechanism takes the stack top from the same record: a frame
// link beyond it ends the walk of the frame chain.
#pragma once

#include <cstdint>

struct RuntimeThreadStack {
    uintptr_t limit;  // lowest stack address the thread may use
    uintptr_t base;   // where the check started: the top of the checked stack
    int32_t priority; // scheduling priority (tickets)
};

// Below the stack pointer a method needs this much room, or it overflows.
constexpr uintptr_t kStackSafetyMargin = 8192;

extern "C" {
// Sets the current record's base (the current stack position when top is 0)
// and limit (base - size); on the main thread also its priority, 5.
void KESTInitStackChecker(uint32_t size, uint32_t top);

// Raises StackOverflowException when the stack pointer minus the safety
// margin lies below the current thread's limit.
void RuntimeStackCheck(void);
}

namespace stackcheck {

RuntimeThreadStack *Current();
RuntimeThreadStack *Main();
void SetCurrent(RuntimeThreadStack *record); // null selects the main thread's

} // namespace stackcheck
