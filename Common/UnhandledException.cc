// The unhandled-exception report (see UnhandledException.h).
#include "UnhandledException.h"

#include "Application.h"
#include "MainLoop.h"
#include "MessageDialog.h"
#include "ObjectDefinition.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"

#include <gdk/gdk.h>

#include <cstdlib>
#include <string>

namespace {

const char kSource[] = "Common/RuntimeMain";

void ReportAsRuntimeError(KESTstring *message, KESTstring *explanation) {
    std::string text = std::string(kstr::Text(message)) + "\n" + kstr::Text(explanation);
    RuntimeErrorReport(kRuntimeErrorUnhandledException, kSource, __LINE__, "unhandled exception",
                       text.c_str());
}

// On a display the message dialog; headless (no display, or reports
// answered through KQ_ERROR_REPORT) the runtime error report on standard
// error.
void Present(KESTstring *message, KESTstring *explanation) {
    if (std::getenv("KQ_ERROR_REPORT") != nullptr || gdk_display_get_default() == nullptr)
        ReportAsRuntimeError(message, explanation);
    else
        dialogs::ShowUnhandledException(message, explanation);
}

UnhandledExceptionPresenter gPresenter = Present;

} // namespace

void UnhandledExceptionTexts(RuntimeObject *exc, KESTstring **message, KESTstring **explanation) {
    auto *e = reinterpret_cast<RuntimeExceptionObject *>(exc);
    std::string text = std::string("An exception of class ") + kstr::Text(exc->classPtr->name) +
                       " was not handled.  The application must shut down.";
    std::string why;
    if (kstr::Length(e->message) != 0)
        why += std::string("Exception Message: ") + kstr::Text(e->message) + "\r";
    if (e->errorNumber != 0) why += "Exception Error Number: " + std::to_string(e->errorNumber);
    *message = kstr::FromC(text.c_str());
    *explanation =
        why.empty() ? nullptr : kstr::Make(why.data(), uint32_t(why.size()), kEncodingUTF8);
}

void SetUnhandledExceptionPresenter(UnhandledExceptionPresenter presenter) {
    gPresenter = presenter != nullptr ? presenter : Present;
}

void UnhandledExceptionReport(RuntimeObject *exc) {
    if (exc == nullptr || application::OfferUnhandledException(exc)) return;
    if (mainloop::QuitRequested()) return;
    if (definitions::IsA(exc, &EndExceptionDefinition)) {
        mainloop::CloseAllWindows();
        mainloop::SetQuitRequested(true);
        return;
    }
    KESTstring *message, *explanation;
    UnhandledExceptionTexts(exc, &message, &explanation);
    gPresenter(message, explanation);
    RuntimeUnlockString(message);
    RuntimeUnlockString(explanation);
    mainloop::SetQuitRequested(true);
}
