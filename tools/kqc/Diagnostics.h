// Error reports of the compiler, "file:line:column: message". The compiler
// keeps going after an error, so a run collects several; the count is
// capped so that a hopeless input cannot flood the output.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Source.h"

namespace kqc {

struct Diagnostic {
    SourcePos pos;
    std::string message;
};

class Diagnostics {
  public:
    static constexpr size_t kMaxErrors = 100;

    explicit Diagnostics(const SourceSet &sources) : sources_(sources) {}

    void error(SourcePos pos, std::string message);
    size_t errorCount() const { return errors_.size(); }
    bool truncated() const { return truncated_; }
    const std::vector<Diagnostic> &errors() const { return errors_; }

    // "file:line:column: message"; "file: message" without a line and
    // "kqc: message" without a file.
    std::string format(const Diagnostic &d) const;
    // Where a second place is, for messages about `from`: "line 12" in the
    // same file, "file:12" in another.
    std::string where(SourcePos pos, SourcePos from) const;
    void print(std::ostream &out) const;

  private:
    const SourceSet &sources_;
    std::vector<Diagnostic> errors_;
    bool truncated_ = false;
};

} // namespace kqc
