// The unhandled-exception report: what start-up hands the exception model as
// its unhandled-exception hook.
#pragma once

struct RuntimeObject;
struct KESTstring;

// The texts of the report: "An exception of class <name> was not handled.
// The application must shut down." and the explanation (message and error
// number, each only when present). Both are new strings.
void UnhandledExceptionTexts(RuntimeObject *exc, KESTstring **message, KESTstring **explanation);

// The hook: an EndException ends the application quietly; any other
// exception is reported. Until the message dialog of the class library
// exists, the report is a runtime error report (code 8, "Unhandled
// Exception") carrying the message and the explanation.
void UnhandledExceptionReport(RuntimeObject *exc);
