// The runtime error report: how broken invariants inside the runtime are
// reported. A modal GTK+ error dialog names the error code and its text, the
// source file, the line, the failed condition and an optional message. OK
// returns to the caller, which goes on as if the check had passed; Cancel
// ends the process at once with exit status 0.
//
// With the environment variable KQ_ERROR_REPORT set to "ok" or "cancel" the
// report is written to standard error and answered that way without a
// dialog (headless runs, tests). Without a display it goes to standard error
// and is answered OK.
//
// Failures that the application can handle are class-model exceptions, never
// reports.
#pragma once

#include <cstdint>

enum RuntimeErrorCode : int16_t {
    kRuntimeErrorNone = 0,
    kRuntimeErrorPluginTOCLoad = 1,
    kRuntimeErrorInvalidClassDefinition = 2,
    kRuntimeErrorUnknownClass = 3,
    kRuntimeErrorFailedAssertion = 4,
    kRuntimeErrorUnableToWriteToHandle = 5,
    kRuntimeErrorCarbonLibRequired = 6,
    kRuntimeErrorCannotConnectToDebugger = 7,
    kRuntimeErrorUnhandledException = 8,
};

// The text of a code; null for a code outside the table.
const char *RuntimeErrorCodeText(int code);

// The full text of a report, as the dialog shows it.
char *RuntimeErrorReportText(int16_t code, const char *source, int32_t line, const char *condition,
                             const char *message);

// Makes the report. `message` may be null.
void RuntimeErrorReport(int16_t code, const char *source, int32_t line, const char *condition,
                        const char *message);

// A failed check: code 4 with the condition as written in the source.
#define KQ_ASSERT(source, cond)                                                                    \
    ((cond)                                                                                        \
         ? (void)0                                                                                 \
         : RuntimeErrorReport(kRuntimeErrorFailedAssertion, (source), __LINE__, #cond, nullptr))

// A failed check whose condition text or message is given explicitly.
#define KQ_ASSERT_TEXT(source, cond, text, message)                                                \
    ((cond) ? (void)0                                                                              \
            : RuntimeErrorReport(kRuntimeErrorFailedAssertion, (source), __LINE__, (text),         \
                                 (message)))
