// Hand-written compiled methods (CompiledFrames.S) that carry real handler
// markers, for the tests and benchmarks of the exception mechanism.
#pragma once

#include "RuntimeObject.h"

#include <cstdint>

// A call that Relay makes: fn(argument).
struct CompiledLink {
    void *fn;
    const void *argument;
};

extern "C" {
// Try fn(argument) Catch: the caught exception with its reference, or null.
RuntimeObject *CatchCall(void *fn, const void *argument);
// before(), then inside() in a nested protected region; caught[0] receives
// the outer handler's exception, caught[1] the nested one's.
void NestedRegions(void (*before)(), void (*inside)(), RuntimeObject **caught);
// fn() followed by plain jumps and markers that a careless scan misreads;
// caught[0] and caught[1] as for NestedRegions.
void ScanHazards(void (*fn)(), RuntimeObject **caught);
// fn() from a frame with 8 KiB of locals: its handler is out of reach.
RuntimeObject *FarFrame(void (*fn)());
// A method without a Try: passes exceptions on through its cleanup handler.
void Relay(const CompiledLink *link);
// fn(argument) again and again until it returns 0; passes exceptions on.
void CompiledLoop(int (*fn)(void *), void *argument);
// fn() called with a null frame link; 1 when the handler after it was reached.
uint32_t ChainEnd(void (*fn)());
extern const char CompiledFramesEnd[];

// Called by CatchCall's handler when an exception lands there.
void CompiledFrameLanded(void);
}

namespace kqtest {

// What CompiledFrameLanded calls (null: nothing).
void SetLandingProbe(void (*probe)());

} // namespace kqtest
