// Helpers of the object-model tests: the runtime set up as start-up does,
// raising under a frame that stops the exception's walk, and reports
// captured as text.
#pragma once

#include "ReportSupport.h"
#include "RuntimeException.h"
#include "RuntimeObject.h"

#include <functional>
#include <string>

namespace kqtest {

// Runs `body` the way the runtime runs image code (RuntimeCallImageHandler)
// and returns the exception that escaped it, with a reference the caller
// owns, or null.
RuntimeObject *Raised(const std::function<void()> &body);

// A KESTstring made from text, with one reference owned by the holder.
class Text {
  public:
    explicit Text(const char *text) : mString(kstr::FromC(text)) {}
    ~Text() { RuntimeUnlockString(mString); }
    Text(const Text &) = delete;
    Text &operator=(const Text &) = delete;
    KESTstring *get() const { return mString; }

  private:
    KESTstring *mString;
};

} // namespace kqtest
