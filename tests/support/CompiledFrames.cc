// The landing probe of the hand-written compiled methods.
#include "CompiledFrames.h"

namespace {
void (*gProbe)() = nullptr;
} // namespace

extern "C" void CompiledFrameLanded(void) {
    if (gProbe != nullptr) gProbe();
}

namespace kqtest {

void SetLandingProbe(void (*probe)()) {
    gProbe = probe;
}

} // namespace kqtest
