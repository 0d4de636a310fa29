// The runtime's container reader and record walkers report damage through
// RuntimeErrorReport; in the host tools a report is a line on standard error.
#include "RuntimeErrorReport.h"

#include <cstdio>

void RuntimeErrorReport(int16_t, const char *, int32_t, const char *condition,
                        const char *message) {
    std::fprintf(stderr, "kqlink: %s\n", message != nullptr ? message : condition);
}
