// Exceptions of the class model: the RuntimeException record, raising and
// re-raising, and the hooks of start-up and the debugger.
//
// Raising never unwinds the native stack. The runtime finds the handler of
// the nearest compiled frame by scanning the image's code after each return
// address for handler markers (RuntimeExceptionTransfer.cc), stores the
// exception in that frame's local and redirects one return address; every
// function between the raise and that frame then returns normally. So:
//
//   - a runtime function that raises returns normally afterwards, with no
//     half-done state (its result is discarded by the landing);
//   - runtime code keeps frame pointers and makes no sibling calls (the
//     build passes -fno-omit-frame-pointer -fno-optimize-sibling-calls), and
//     a function that may raise keeps its frame under 4096 bytes, or the
//     frame chain counts as broken;
//   - the runtime calls image code only through RuntimeCallImageHandler,
//     whose own handler marker catches whatever escapes.
//
// RuntimeException (36 bytes):
//
//   offset  field        property
//   0       header       RuntimeObject
//   24      errorNumber  "ErrorNumber" (intGetter/intSetter)
//   28      message      "Message" (stringGetter/stringSetter)
//   32      stack        the method "Stack": an array of strings
#pragma once

#include "ImageFormat.h"
#include "ObjectDefinition.h"
#include "RuntimeObject.h"

#include <cstddef>
#include <cstdint>

struct RuntimeArray;

#define KQ_EXCEPTION_SOURCE "../Common/Object Model/RuntimeExceptionFoundation"

struct RuntimeExceptionObject {
    RuntimeObject header;
    int32_t errorNumber;
    KESTstring *message;
    void *stack;
};

static_assert(offsetof(RuntimeExceptionObject, errorNumber) == 24, "RuntimeException.errorNumber");
static_assert(offsetof(RuntimeExceptionObject, message) == 28, "RuntimeException.message");
static_assert(offsetof(RuntimeExceptionObject, stack) == 32, "RuntimeException.stack");
static_assert(sizeof(RuntimeExceptionObject) == 36, "RuntimeException instance size");

// Handler markers in compiled code (their layout is part of the image
// format): kqimage::kMarkerHandler, kMarkerRegionStart, kMarkerRegionEnd,
// the kind at kMarkerKindOffset, the exception local's frame offset at
// kMarkerLocalOffset, the handler's first instruction at kMarkerSize.

// A frame's caller frame must lie within this many bytes above it.
constexpr uint32_t kMaximumFrameSize = 4096;

extern "C" {

void RuntimeRaiseException(RuntimeObject *exc);
void RuntimeReraiseException(RuntimeObject *exc);
void RaiseNilObjectException(void);
void RuntimeNilObject(void);
void RaiseOutOfBoundsException(void);
void RuntimeRaiseFunctionNotFoundException(KESTstring *functionName, KESTstring *libraryName);
void RuntimeUnhandledException(RuntimeObject *exc);

void RuntimeExceptionInitializer(RuntimeObject *exc);
void RuntimeExceptionFinalizer(RuntimeObject *exc);
RuntimeArray *RuntimeExceptionStack(RuntimeObject *exc);

// Calls image code (an event handler, menu handler or callback) with `count`
// 32-bit arguments and returns its eax (edx:eax for 64-bit results). An
// exception that escapes the handler is handed to RuntimeUnhandledException
// at once and the result is 0. (RuntimeCallImageHandler.S)
uint64_t RuntimeCallImageHandler(void *code, uint32_t count, const uint32_t *arguments);
}

namespace exceptions {

// The classes raised by the runtime itself, kept so that raising them needs
// no lookup; each is filled when its class is first built.
enum class Slot { RuntimeException, NilObject, IllegalCast, OutOfBounds, FunctionNotFound };
RuntimeClass *SlotClass(Slot slot);

// Raise by class: create an instance, raise it, release the creator's
// reference. Returns normally. A null class is a failed assertion "exclass".
void RaiseClass(RuntimeClass *exclass);
void RaiseDefinition(ObjectDefinition *defn);

// Raise by definition with message and error number (set before raising).
void RaiseWithMessage(ObjectDefinition *defn, const char *message, int32_t errorNumber);

// The properties of an exception object; a null exception is a failed
// assertion "exc". SetMessage adds its own reference to `message`.
void SetMessage(RuntimeObject *exc, KESTstring *message);
void SetErrorNumber(RuntimeObject *exc, int32_t errorNumber);

// Hooks. The unhandled-exception hook (start-up) receives every exception
// that no compiled handler takes; the debugger's raise hook sees every raised
// exception before the search. Null removes a hook.
using ExceptionHook = void (*)(RuntimeObject *exc);
void SetUnhandledExceptionHook(ExceptionHook hook);
void SetDebuggerRaiseHook(ExceptionHook hook);

// Code address to symbol (the loader's symbol table): true when `address`
// lies in the image; `*name` then receives the name of the symbol holding it
// as a new reference (null for none). Used for the exception's stack.
using SymbolLookup = bool (*)(const void *address, KESTstring **name);
void SetSymbolLookup(SymbolLookup lookup);

// Transfer of control for `exc` (raise and re-raise share it): finds the
// handler and redirects the return of the frame below it, or hands the
// exception to RuntimeUnhandledException. Returns normally.
void Transfer(RuntimeObject *exc);

// Scans the code after a return address for the handler of that call site:
// the address of the 0x411 marker that takes it, or null at the function's
// end. A null address is a failed assertion "ptr".
const uint8_t *FindHandler(const uint8_t *ptr);

// Walks the frame chain upwards from `frame` (a frame pointer) and calls
// `visit` with each return address until it returns false, the chain breaks
// (a null link or one that does not point upward) or it passes the stack top.
// A null `userData` is a failed assertion "userData".
using FrameVisitor = bool (*)(const void *returnAddress, void *userData);
void WalkFrames(void *frame, FrameVisitor visit, void *userData);

} // namespace exceptions

// The exception's stack (ExceptionStack.cc): an array of strings in the
// exception's stack field, made by the initializer.
namespace exceptionstack {
void Create(RuntimeObject *exc); // the empty array, upper bound -1
void Clear(RuntimeObject *exc);
void Append(RuntimeObject *exc, KESTstring *name); // adds its own reference
uint32_t Count(RuntimeObject *exc);
KESTstring *At(RuntimeObject *exc, uint32_t index); // no reference added
void Free(RuntimeObject *exc);
} // namespace exceptionstack
