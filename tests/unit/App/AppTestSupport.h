// Helpers of the application, main-loop, timer and thread tests: the runtime
// set up as start-up sets it up, objects of runtime classes with handlers
// installed the way a window installs its controls' handlers, a log of what
// the handlers saw, and code run the way the runtime runs image code.
#pragma once

#include "CompiledFrames.h"
#include "ObjectDefinition.h"
#include "ReportSupport.h"
#include "RuntimeException.h"

#include <functional>
#include <string>
#include <vector>

namespace apptest {

// What handlers wrote, in order.
std::vector<std::string> &Log();
std::string Joined(const std::vector<std::string> &items, const char *separator = " ");

// The messages of the unhandled-exception reports shown (exceptions that
// nothing caught and the application did not take).
std::vector<std::string> &Unhandled();

// Runs `body` inside a compiled Try frame: the exception raised in it, with
// its reference, or null.
RuntimeObject *Raised(const std::function<void()> &body);

using kqtest::ClassName;
using kqtest::ReportsDuring;

// Runs `body` the way the runtime runs an image handler (through
// RuntimeCallImageHandler): an exception escaping it goes to the hook.
void RunAsImage(const std::function<void()> &body);

// A new object of a runtime class (one reference for the caller).
Ref<> New(ObjectDefinition *defn);

// Installs `handler` for the event named `event` of this object only.
void Handle(RuntimeObject *object, const char *event, void *handler);

// Turns nested main-loop iterations (DoEvents without sleeping) until
// `done` holds or `timeoutMs` passed; true when it held.
bool IterateUntil(const std::function<bool()> &done, int timeoutMs = 10000);

// Milliseconds of a monotonic clock.
double NowMs();

} // namespace apptest
