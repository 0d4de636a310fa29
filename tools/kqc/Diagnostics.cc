// Collecting and printing diagnostics (see Diagnostics.h).
#include "Diagnostics.h"

#include <ostream>

namespace kqc {

void Diagnostics::error(SourcePos pos, std::string message) {
    if (errors_.size() >= kMaxErrors) {
        truncated_ = true;
        return;
    }
    errors_.push_back({pos, std::move(message)});
}

std::string Diagnostics::format(const Diagnostic &d) const {
    if (d.pos.file == 0) return "kqc: " + d.message;
    std::string out = sources_.file(d.pos.file).name;
    if (d.pos.line != 0) {
        out += ':' + std::to_string(d.pos.line) + ':' + std::to_string(d.pos.column);
    }
    return out + ": " + d.message;
}

void Diagnostics::print(std::ostream &out) const {
    for (const Diagnostic &d : errors_)
        out << format(d) << '\n';
    if (truncated_) out << "kqc: too many errors, stopping\n";
}

} // namespace kqc
