// The unhandled-exception report (see UnhandledException.h).
#include "UnhandledException.h"

#include "ObjectDefinition.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"

#include <string>

namespace {

const char kSource[] = "Common/RuntimeMain";

bool IsA(RuntimeObject *exc, ObjectDefinition &defn) {
    return RuntimeObjectIsa(exc, definitions::Convert(&defn));
}

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

void UnhandledExceptionReport(RuntimeObject *exc) {
    if (exc == nullptr || IsA(exc, ThreadEndExceptionDefinition)) return;
    // An EndException ends the application without a word; closing the
    // windows and the quit request belong to the application object.
    if (IsA(exc, EndExceptionDefinition)) return;
    KESTstring *message, *explanation;
    UnhandledExceptionTexts(exc, &message, &explanation);
    std::string text = std::string(kstr::Text(message)) + "\n" + kstr::Text(explanation);
    RuntimeErrorReport(kRuntimeErrorUnhandledException, kSource, __LINE__, "unhandled exception",
                       text.c_str());
    RuntimeUnlockString(message);
    RuntimeUnlockString(explanation);
}
