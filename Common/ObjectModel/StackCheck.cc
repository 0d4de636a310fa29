// Stack bounds of the running thread and the check compiled methods make on
// entry.
#include "StackCheck.h"

#include "RuntimeException.h"

namespace {

RuntimeThreadStack gMainThread = {0, 0, 0};
RuntimeThreadStack *gCurrent = &gMainThread;

constexpr int32_t kMainThreadPriority = 5;

} // namespace

namespace stackcheck {

RuntimeThreadStack *Current() {
    return gCurrent;
}

RuntimeThreadStack *Main() {
    return &gMainThread;
}

void SetCurrent(RuntimeThreadStack *record) {
    gCurrent = record != nullptr ? record : &gMainThread;
}

} // namespace stackcheck

extern "C" void KESTInitStackChecker(uint32_t size, uint32_t top) {
    uintptr_t base = top != 0 ? top : reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    gCurrent->base = base;
    gCurrent->limit = base - size;
    if (gCurrent == &gMainThread) gMainThread.priority = kMainThreadPriority;
}

extern "C" void RuntimeStackCheck(void) {
    uintptr_t sp = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    if (sp - kStackSafetyMargin < gCurrent->limit)
        exceptions::RaiseDefinition(&StackOverflowExceptionDefinition);
}
