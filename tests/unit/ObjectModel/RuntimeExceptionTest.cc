// Raising through hand-written compiled frames (CompiledFrames.S) that carry
// real handler markers: landing, nested regions, scan hazards, broken frame
// chains, re-raise through cleanup handlers, the trampoline for image code,
// the exception's stack, the hooks and the stack check.
#include "ObjectModelTestSupport.h"

#include "CompiledFrames.h"

#include "RuntimeArray.h"
#include "RuntimeException.h"
#include "StackCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using kqtest::ClassName;
using kqtest::Raised;
using kqtest::ReportsDuring;
using kqtest::Text;

namespace {
std::vector<std::string> gLog;
} // namespace

extern "C" {
void RaiseThenNote(const void *) {
    gLog.push_back("raise");
    RaiseNilObjectException();
    gLog.push_back("returned");
}
void RaiseNil() {
    RaiseNilObjectException();
}
void DoNothing() {}
}

namespace {

const CompiledLink kRaiseNil = {KQ_CODE(RaiseNil), nullptr};

RuntimeObject *gUnhandled = nullptr;
void KeepUnhandled(RuntimeObject *exc) {
    gLog.push_back("unhandled " + ClassName(exc));
    RuntimeLockObject(exc);
    gUnhandled = exc;
}

class Exceptions : public testing::Test {
  protected:
    void SetUp() override {
        gLog.clear();
        gUnhandled = nullptr;
        exceptions::SetUnhandledExceptionHook(KeepUnhandled);
        kqtest::SetLandingProbe([] { gLog.push_back("landed"); });
    }
    void TearDown() override {
        exceptions::SetUnhandledExceptionHook(nullptr);
        exceptions::SetDebuggerRaiseHook(nullptr);
        exceptions::SetSymbolLookup(nullptr);
        kqtest::SetLandingProbe(nullptr);
        RuntimeUnlockObject(gUnhandled);
    }
};

} // namespace

TEST_F(Exceptions, RaiseInARuntimeFunctionLandsInTheCallersHandlerAfterItReturns) {
    uint32_t live = objects::LiveObjectCount();
    RuntimeObject *exc = CatchCall(KQ_CODE(RaiseThenNote), nullptr);
    EXPECT_EQ(gLog, (std::vector<std::string>{"raise", "returned", "landed"}));
    ASSERT_NE(exc, nullptr);
    EXPECT_EQ(ClassName(exc), "NilObjectException");
    EXPECT_EQ(exc->refCount, 1); // the handler's local holds the only reference
    RuntimeUnlockObject(exc);
    EXPECT_EQ(objects::LiveObjectCount(), live);

    gLog.clear(); // normal flow jumps over the handler
    EXPECT_EQ(CatchCall(KQ_CODE(DoNothing), nullptr), nullptr);
    EXPECT_TRUE(gLog.empty());
}

TEST_F(Exceptions, NestedRegionsAfterTheCallSiteDoNotCatchIt) {
    RuntimeObject *caught[2] = {};
    NestedRegions(RaiseNil, DoNothing, caught);
    EXPECT_EQ(ClassName(caught[0]), "NilObjectException");
    EXPECT_EQ(caught[1], nullptr);
    RuntimeUnlockObject(caught[0]);

    RuntimeObject *inner[2] = {};
    NestedRegions(DoNothing, RaiseNil, inner);
    EXPECT_EQ(inner[0], nullptr);
    EXPECT_EQ(ClassName(inner[1]), "NilObjectException");
    RuntimeUnlockObject(inner[1]);
}

TEST_F(Exceptions, ScanSkipsJumpDisplacementsAndUnbalancedRegionEnds) {
    RuntimeObject *caught[2] = {};
    ScanHazards(RaiseNil, caught);
    EXPECT_EQ(ClassName(caught[0]), "NilObjectException");
    EXPECT_EQ(caught[1], nullptr);
    RuntimeUnlockObject(caught[0]);
    EXPECT_TRUE(gLog.empty());
}

TEST_F(Exceptions, CleanupHandlersPassTheExceptionOnFrameByFrame) {
    RuntimeObject *exc = CatchCall(KQ_CODE(Relay), &kRaiseNil);
    EXPECT_EQ(gLog, std::vector<std::string>{"landed"});
    ASSERT_NE(exc, nullptr);
    EXPECT_EQ(exc->refCount, 1);
    RuntimeUnlockObject(exc);
}

TEST_F(Exceptions, NoHandlerUpToTheTrampolineIsUnhandled) {
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(&kRaiseNil));
    uint64_t result = RuntimeCallImageHandler(KQ_CODE(Relay), 1, &argument);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(gLog, std::vector<std::string>{"unhandled NilObjectException"});
    ASSERT_NE(gUnhandled, nullptr);
    EXPECT_EQ(gUnhandled->refCount, 1); // the trampoline released its reference
}

TEST_F(Exceptions, BrokenFrameChainsEndTheSearch) {
    EXPECT_EQ(FarFrame(RaiseNil), nullptr); // its frame is more than 4096 bytes up
    EXPECT_EQ(gLog, std::vector<std::string>{"unhandled NilObjectException"});
    RuntimeUnlockObject(gUnhandled);
    gUnhandled = nullptr;

    gLog.clear();
    EXPECT_EQ(ChainEnd(RaiseNil), 0u); // a null link
    EXPECT_EQ(gLog, std::vector<std::string>{"unhandled NilObjectException"});
}

TEST_F(Exceptions, TrampolinePassesArgumentsOnAnAlignedStack) {
    struct Probe {
        static uint64_t Sum(uint32_t a, uint32_t b, uint32_t c) {
            auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
            gLog.push_back(frame % 16 == 8 ? "aligned" : "misaligned");
            return (uint64_t(a) << 32) | (b + c);
        }
        static uint64_t None() {
            auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
            gLog.push_back(frame % 16 == 8 ? "aligned" : "misaligned");
            return 5;
        }
    };
    const uint32_t arguments[] = {7, 30, 12, 99, 99};
    EXPECT_EQ(RuntimeCallImageHandler(KQ_CODE(Probe::Sum), 3, arguments), (uint64_t(7) << 32) | 42);
    EXPECT_EQ(RuntimeCallImageHandler(KQ_CODE(Probe::Sum), 5, arguments), (uint64_t(7) << 32) | 42);
    EXPECT_EQ(RuntimeCallImageHandler(KQ_CODE(Probe::None), 0, nullptr), 5u);
    EXPECT_EQ(gLog, (std::vector<std::string>{"aligned", "aligned", "aligned"}));
}

namespace {

// The image's symbol table for the hand-written methods: an address belongs
// to the last method that starts strictly below it.
bool LookupCompiledFrame(const void *address, KESTstring **name) {
    struct Symbol {
        const char *name;
        uintptr_t start;
    };
    std::vector<Symbol> symbols = {
        {"CatchCall", uintptr_t(&CatchCall)},
        {"NestedRegions", uintptr_t(&NestedRegions)},
        {"ScanHazards", uintptr_t(&ScanHazards)},
        {"FarFrame", uintptr_t(&FarFrame)},
        {"Relay", uintptr_t(&Relay)},
        {"ChainEnd", uintptr_t(&ChainEnd)},
    };
    std::sort(symbols.begin(), symbols.end(),
              [](const Symbol &a, const Symbol &b) { return a.start < b.start; });
    auto at = reinterpret_cast<uintptr_t>(address);
    if (at < symbols.front().start || at >= uintptr_t(CompiledFramesEnd)) return false;
    const char *found = nullptr;
    for (const Symbol &s : symbols)
        if (s.start < at) found = s.name;
    *name = found != nullptr ? kstr::FromC(found) : nullptr;
    return true;
}

} // namespace

TEST_F(Exceptions, RaisingRecordsTheImageMethodsOnTheStack) {
    exceptions::SetSymbolLookup(LookupCompiledFrame);
    exceptions::SetDebuggerRaiseHook(
        [](RuntimeObject *exc) { gLog.push_back("debugger " + ClassName(exc)); });
    RuntimeObject *exc = CatchCall(KQ_CODE(Relay), &kRaiseNil);
    ASSERT_NE(exc, nullptr);
    // The "Stack" method hands out the array of names, innermost first.
    RuntimeArray *stack = RuntimeExceptionStack(exc);
    ASSERT_GE(karray::UBound(stack), 1);
    EXPECT_STREQ(kstr::Text(karray::At<KESTstring *>(stack, 0)), "Relay");
    EXPECT_STREQ(kstr::Text(karray::At<KESTstring *>(stack, 1)), "CatchCall");
    RuntimeUnlockArray(stack);
    // The re-raise of the cleanup handler records nothing and is not shown to
    // the debugger again; the debugger sees the raise before the landing.
    EXPECT_EQ(gLog, (std::vector<std::string>{"debugger NilObjectException", "landed"}));

    // Raised again from an image without symbols: the stack starts afresh and
    // stays empty.
    exceptions::SetSymbolLookup(nullptr);
    RuntimeObject *again = CatchCall(KQ_CODE(RuntimeRaiseException), exc);
    EXPECT_EQ(again, exc);
    stack = RuntimeExceptionStack(exc);
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(karray::UBound(stack), -1);
    RuntimeUnlockArray(stack);
    RuntimeUnlockObject(again);
    RuntimeUnlockObject(exc);
}

TEST_F(Exceptions, NilExceptionsAreNotRaised) {
    exceptions::SetDebuggerRaiseHook([](RuntimeObject *) { gLog.push_back("debugger"); });
    EXPECT_EQ(Raised([] {
                  RuntimeRaiseException(nullptr);
                  RuntimeReraiseException(nullptr);
              }),
              nullptr);
    EXPECT_TRUE(gLog.empty());
}

TEST_F(Exceptions, RuntimeRaisesWithClassMessageAndNumber) {
    Text function("gtk_frobnicate"), library("libgtk-x11-2.0.so");
    RuntimeObject *exc =
        Raised([&] { RuntimeRaiseFunctionNotFoundException(function.get(), library.get()); });
    EXPECT_EQ(ClassName(exc), "FunctionNotFoundException");
    auto *e = reinterpret_cast<RuntimeExceptionObject *>(exc);
    EXPECT_STREQ(kstr::Text(e->message), "Could not load gtk_frobnicate from libgtk-x11-2.0.so");
    RuntimeUnlockObject(exc);

    exc = Raised([] {
        exceptions::RaiseWithMessage(&IllegalLockingExceptionDefinition,
                                     "Illegal initialCount for the Semaphore.", 1);
    });
    e = reinterpret_cast<RuntimeExceptionObject *>(exc);
    EXPECT_EQ(ClassName(exc), "IllegalLockingException");
    EXPECT_STREQ(kstr::Text(e->message), "Illegal initialCount for the Semaphore.");
    EXPECT_EQ(e->errorNumber, 1);
    RuntimeUnlockObject(exc);

    for (auto raise : {RaiseOutOfBoundsException, RuntimeNilObject}) {
        exc = Raised(raise);
        EXPECT_EQ(ClassName(exc),
                  raise == RuntimeNilObject ? "NilObjectException" : "OutOfBoundsException");
        RuntimeUnlockObject(exc);
    }
    exc = Raised([] { exceptions::RaiseDefinition(&EndExceptionDefinition); });
    EXPECT_EQ(ClassName(exc), "EndException");
    EXPECT_EQ(exc->refCount, 1);
    RuntimeUnlockObject(exc);
}

TEST_F(Exceptions, ExceptionObjectsReleaseTheirMessageAndStack) {
    exceptions::SetSymbolLookup(LookupCompiledFrame);
    definitions::Convert(&RuntimeExceptionDefinition); // its names stay
    Text message("Nachricht");
    uint32_t memory = RuntimeDebugMemoryUsed();
    RuntimeObject *exc = definitions::Instantiate(&RuntimeExceptionDefinition);
    exceptions::SetMessage(exc, message.get());
    EXPECT_EQ(message.get()->refCount, 2u);
    RuntimeObject *caught = CatchCall(KQ_CODE(RuntimeRaiseException), exc);
    EXPECT_EQ(caught, exc);
    EXPECT_EQ(exc->refCount, 2);
    EXPECT_GE(exceptionstack::Count(exc), 1u);
    RuntimeUnlockObject(caught);
    RuntimeUnlockObject(exc);
    EXPECT_EQ(message.get()->refCount, 1u);
    EXPECT_EQ(RuntimeDebugMemoryUsed(), memory);
}

TEST_F(Exceptions, MisuseIsReported) {
    exceptions::SetUnhandledExceptionHook(nullptr);
    RuntimeObject *exc = definitions::Instantiate(&RuntimeExceptionDefinition);
    std::string reports = ReportsDuring([&] {
        RuntimeUnhandledException(exc);
        EXPECT_EQ(exceptions::FindHandler(nullptr), nullptr);
        exceptions::WalkFrames(
            __builtin_frame_address(0), [](const void *, void *) { return true; }, nullptr);
        exceptions::SetMessage(nullptr, nullptr);
        exceptions::SetErrorNumber(nullptr, 3);
        exceptions::RaiseClass(nullptr);
    });
    RuntimeUnlockObject(exc);
    EXPECT_NE(reports.find("../Common/Object Model/RuntimeExceptionFoundation"), std::string::npos);
    for (const char *condition : {"0", "ptr", "userData", "exc", "exclass"})
        EXPECT_NE(reports.find(std::string("Failure Condition: ") + condition + "\n"),
                  std::string::npos)
            << condition;
}

TEST_F(Exceptions, StackCheckRaisesNearTheThreadsLimit) {
    RuntimeThreadStack saved = *stackcheck::Current();
    EXPECT_EQ(stackcheck::Current(), stackcheck::Main());
    EXPECT_EQ(saved.priority, 5);
    EXPECT_EQ(CatchCall(KQ_CODE(RuntimeStackCheck), nullptr), nullptr);

    KESTInitStackChecker(4096, 0); // less than the safety margin is left
    RuntimeObject *exc = CatchCall(KQ_CODE(RuntimeStackCheck), nullptr);
    *stackcheck::Current() = saved;
    EXPECT_EQ(ClassName(exc), "StackOverflowException");
    RuntimeUnlockObject(exc);

    RuntimeThreadStack thread = {0, 0, 0};
    stackcheck::SetCurrent(&thread);
    KESTInitStackChecker(65536, 0x80000000u);
    EXPECT_EQ(thread.base, 0x80000000u);
    EXPECT_EQ(thread.limit, 0x80000000u - 65536);
    EXPECT_EQ(thread.priority, 0); // only the main thread's is set
    stackcheck::SetCurrent(nullptr);
    EXPECT_EQ(stackcheck::Current(), stackcheck::Main());
}

TEST_F(Exceptions, AnyObjectCanBeRaisedWithoutTouchingMoreThanItsHeader) {
    exceptions::SetSymbolLookup(LookupCompiledFrame);
    RuntimeClass *plain = RuntimeNewClass(nullptr, 0, 0, 0, 0, 0);
    plain->name = kstr::FromC("Plain");
    plain->instanceSize = sizeof(RuntimeObject);
    RuntimeObject *objects[3];
    for (RuntimeObject *&o : objects)
        o = RuntimeNewObject(plain);
    RuntimeObject *caught = CatchCall(KQ_CODE(RuntimeRaiseException), objects[1]);
    EXPECT_EQ(caught, objects[1]);
    for (RuntimeObject *o : objects) { // neighbours in memory stay as they were
        EXPECT_EQ(o->classPtr, plain);
        EXPECT_EQ(o->eventTable, plain->events);
        EXPECT_EQ(o->refCount, o == caught ? 2 : 1);
    }
    RuntimeUnlockObject(caught);
    for (RuntimeObject *o : objects)
        RuntimeUnlockObject(o);
}
