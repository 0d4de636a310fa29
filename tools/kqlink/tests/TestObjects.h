// Helpers of the kqlink tests: a private temporary folder, assembling i386
// sources with `as --32`, and running kqlink itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kqlinktest {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string &Path() const { return mPath; }
    std::string File(const std::string &name) const { return mPath + "/" + name; }
    void Write(const std::string &name, const std::string &text) const;

  private:
    std::string mPath;
};

// Assembles `source` into `dir`/name.o and returns the object's path.
std::string Assemble(const TempDir &dir, const std::string &name, const std::string &source);

// Runs a command without a shell; returns its exit status, output in `out`.
int RunCommand(const std::vector<std::string> &argv, std::string *out);

uint32_t Word(const std::vector<uint8_t> &bytes, uint32_t offset);

} // namespace kqlinktest
