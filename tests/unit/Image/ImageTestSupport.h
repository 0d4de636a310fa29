// Helpers of the image unit tests: building containers and ELF files in
// memory, heap placement of members, and counting runtime error reports
// (the tests run with KQ_ERROR_REPORT=ok, so reports go to standard error).
#pragma once

#include "ImageContainer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace imagetest {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes &b, uint32_t v);
void Put16(Bytes &b, uint16_t v);
void PutName(Bytes &b, const std::string &name);

// Six members framed as a container.
Bytes Container(const std::vector<Bytes> &members);

// A minimal ELF32 file whose sections are named `names` in order (with a
// leading null section and the name table last); section i's contents are
// `contents[i]`.
Bytes ElfWithSections(const std::vector<std::string> &names, const std::vector<Bytes> &contents);

// Captures standard error while alive; Reports() counts runtime error
// reports made meanwhile, Text() is what was written.
class ReportCapture {
  public:
    ReportCapture();
    ~ReportCapture();
    std::string Text();
    int Reports();

  private:
    std::string mText;
    bool mDone = false;
};

std::string TempFolder();

} // namespace imagetest
