// The unhandled-exception report: what start-up hands the exception model as
// its unhandled-exception hook. An exception that nothing caught is first
// offered to the application object (a ThreadEndException counts as
// handled, any other but an EndException goes to its UnhandledException
// event). Not handled, and no quit under way: an EndException closes all
// windows and ends the main loop quietly; any other exception is shown to
// the user with the texts below, and then the main loop ends, so that the
// process shuts down normally.
#pragma once

struct RuntimeObject;
struct KESTstring;

// The texts of the report: "An exception of class <name> was not handled.
// The application must shut down." and the explanation (message and error
// number, each only when present). Both are new strings.
void UnhandledExceptionTexts(RuntimeObject *exc, KESTstring **message, KESTstring **explanation);

// How the report is shown: by default the message dialog (with the stop
// icon, modal), or without a display or with KQ_ERROR_REPORT set a runtime
// error report (code 8, "Unhandled Exception") carrying the message and the
// explanation. The explanation may be null. Null restores the default.
using UnhandledExceptionPresenter = void (*)(KESTstring *message, KESTstring *explanation);
void SetUnhandledExceptionPresenter(UnhandledExceptionPresenter presenter);

// The hook.
void UnhandledExceptionReport(RuntimeObject *exc);
