// Source file set and file reading (see Source.h).
#include "Source.h"

#include <fstream>
#include <sstream>

namespace kqc {

SourceSet::SourceSet() {
    files_.push_back(std::make_unique<SourceFile>());
}

uint32_t SourceSet::add(std::string name, std::string text) {
    files_.push_back(std::make_unique<SourceFile>(SourceFile{std::move(name), std::move(text)}));
    return static_cast<uint32_t>(files_.size() - 1);
}

bool readFile(const std::string &path, std::string *text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    *text = buffer.str();
    return true;
}

} // namespace kqc
