// main() of the object-model tests: the stack checker set up as start-up
// does (the exception walk stops at the stack top it records), reports
// answered OK on standard error, and a check that no object outlives the
// tests of a run.
#include "ObjectModelTestSupport.h"

#include "StackCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace kqtest {
namespace {

RuntimeObject *gCaught = nullptr;

void KeepUnhandled(RuntimeObject *exc) {
    RuntimeLockObject(exc);
    RuntimeUnlockObject(gCaught);
    gCaught = exc;
}

uint32_t Invoke(const std::function<void()> *body) {
    (*body)();
    return 0;
}

} // namespace

RuntimeObject *Raised(const std::function<void()> &body) {
    exceptions::SetUnhandledExceptionHook(KeepUnhandled);
    gCaught = nullptr;
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(&body));
    RuntimeCallImageHandler(reinterpret_cast<void *>(&Invoke), 1, &argument);
    exceptions::SetUnhandledExceptionHook(nullptr);
    RuntimeObject *caught = gCaught;
    gCaught = nullptr;
    return caught;
}

} // namespace kqtest

int main(int argc, char **argv) {
    KESTInitStackChecker(0x40000, 0);
    setenv("KQ_ERROR_REPORT", "ok", 1);
    testing::InitGoogleTest(&argc, argv);
    uint32_t liveAtStart = objects::LiveObjectCount();
    int status = RUN_ALL_TESTS();
    if (objects::LiveObjectCount() != liveAtStart) {
        std::fprintf(stderr, "%u objects outlived the tests\n",
                     objects::LiveObjectCount() - liveAtStart);
        return 1;
    }
    return status;
}
