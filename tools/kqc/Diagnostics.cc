// Collecting and printing diagnostics (see Diagnostics.h).
#include "Diagnostics.h"

#include <algorithm>
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

std::string Diagnostics::where(SourcePos pos, SourcePos from) const {
    if (pos.file == 0) return "the runtime";
    if (pos.file == from.file) return "line " + std::to_string(pos.line);
    return sources_.file(pos.file).name + ":" + std::to_string(pos.line);
}

// Printed in the order of the sources, whatever stage found them.
void Diagnostics::print(std::ostream &out) const {
    std::vector<const Diagnostic *> sorted;
    for (const Diagnostic &d : errors_)
        sorted.push_back(&d);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Diagnostic *a, const Diagnostic *b) {
        if (a->pos.file != b->pos.file) return a->pos.file < b->pos.file;
        if (a->pos.line != b->pos.line) return a->pos.line < b->pos.line;
        return a->pos.column < b->pos.column;
    });
    for (const Diagnostic *d : sorted)
        out << format(*d) << '\n';
    if (truncated_) out << "kqc: too many errors, stopping\n";
}

} // namespace kqc
