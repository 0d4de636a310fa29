// The ConsoleApplication class and its Run (see ConsoleApplication.h).
#include "ConsoleApplication.h"

#include "Application.h"
#include "MainLoop.h"
#include "RuntimeArguments.h"
#include "RuntimeArray.h"

#include <cstring>

namespace {

EventEntry kConsoleEvents[] = {KQ_EVENT("Run", "args() as String", "integer")};

const RuntimeClassDeclaration kConsoleApplicationDeclaration = {
    "ConsoleApplication",
    &ApplicationDefinition,
    kApplicationInstanceSize,
    KQ_CONSOLE_ONLY,
    false,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_TABLE(kConsoleEvents),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_FUNCTION(ConsoleApplicationInitializer),
    KQ_NO_FUNCTION};

// The command line as the language sees it: a string array, the program
// first.
RuntimeArray *Arguments() {
    RuntimeArray *args = karray::Create(kArrayString, -1);
    for (int i = 0; args != nullptr && i < gRuntimeArgc; ++i) {
        const char *text = gRuntimeArgv[i];
        KESTstring *arg = kstr::Make(text, uint32_t(std::strlen(text)), kEncodingUTF8);
        karray::Append(args, arg);
        RuntimeUnlockString(arg);
    }
    return args;
}

} // namespace

ObjectDefinition ConsoleApplicationDefinition(&kConsoleApplicationDeclaration);

namespace console {

bool RunConsoleApplication() {
    RuntimeObject *app = reinterpret_cast<RuntimeObject *>(application::Current());
    if (app == nullptr || !definitions::IsA(app, &ConsoleApplicationDefinition)) return false;
    RuntimeArray *args = Arguments();
    uint64_t status =
        events::Raise(app, kConsoleEvents[0].item, {uint32_t(reinterpret_cast<uintptr_t>(args))});
    RuntimeUnlockArray(args);
    application::SetExitStatus(int32_t(status));
    mainloop::SetQuitRequested(true);
    return true;
}

} // namespace console

extern "C" {

void ConsoleApplicationInitializer(RuntimeObject *object) {
    // No window ever opens: auto quit would end the program at its first
    // DoEvents.
    reinterpret_cast<ApplicationObject *>(object)->autoQuit = 0;
}

void RuntimeRegisterConsoleAppObject(RuntimeObject *app, bool) {
    application::Register(app, &ConsoleApplicationDefinition);
}

} // extern "C"
