// The source texts of one compilation and positions in them. Every token,
// tree node and diagnostic carries a SourcePos; lines and columns count from
// 1, columns in code points (a tab is one column), 0 means "not known".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kqc {

struct SourcePos {
    uint32_t file = 0;
    uint32_t line = 0;
    uint32_t column = 0;
};

struct SourceFile {
    std::string name; // as given on the command line or in the project file
    std::string text;
};

class SourceSet {
  public:
    // Index 0 is reserved for "no file" (diagnostics about the run itself).
    SourceSet();
    uint32_t add(std::string name, std::string text);
    const SourceFile &file(uint32_t id) const { return *files_[id]; }
    size_t size() const { return files_.size(); }

  private:
    std::vector<std::unique_ptr<SourceFile>> files_;
};

// Reads a whole file; false when it cannot be read.
bool readFile(const std::string &path, std::string *text);

} // namespace kqc
