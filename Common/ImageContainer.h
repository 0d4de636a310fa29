// Reading the application image container: the ".kq" section of the running
// executable (an ELF32 file), or, when the executable has no such section,
// the member files "code.dat", ... in the current folder.
//
// The container is untrusted input: every length and offset is checked
// against the file and the section before anything is allocated or read, and
// a damaged container yields a runtime error report and no members. This
// file knows nothing of GTK+ or the class model, so that a host build of it
// can be fuzzed.
#pragma once

#include "ImageFormat.h"

#include <cstdint>
#include <cstdlib>

namespace kqimage {

// Where container bytes come from: a file, or memory in tests and fuzzing.
class ImageSource {
  public:
    virtual ~ImageSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies `length` bytes at `offset`; false when they are not all there.
    virtual bool Read(uint64_t offset, void *to, uint32_t length) = 0;
};

class MemorySource : public ImageSource {
  public:
    MemorySource(const uint8_t *bytes, uint64_t size) : mBytes(bytes), mSize(size) {}
    uint64_t Size() const override { return mSize; }
    bool Read(uint64_t offset, void *to, uint32_t length) override;

  private:
    const uint8_t *mBytes;
    uint64_t mSize;
};

// Where the members are placed. The loader places code page-aligned and
// executable; tests and the fuzzer use plain heap blocks (malloc). Blocks of
// a container that turns out damaged are handed back through Discard.
class BlockAllocator {
  public:
    virtual ~BlockAllocator() = default;
    virtual uint8_t *CodeBlock(uint32_t length) = 0;
    virtual uint8_t *HeapBlock(uint32_t length) = 0;
    virtual void DiscardCode(uint8_t *block) { std::free(block); }
};

// Plain heap blocks for every member: the host tools and tests.
class MallocAllocator : public BlockAllocator {
  public:
    uint8_t *CodeBlock(uint32_t length) override { return HeapBlock(length); }
    uint8_t *HeapBlock(uint32_t length) override {
        return static_cast<uint8_t *>(std::malloc(length));
    }
};

struct ImageMembers {
    uint8_t *block[kMemberCount] = {};
    uint32_t length[kMemberCount] = {};
    // File offset of the rsrc payload; 0 when the members came from files.
    uint32_t rsrcFileOffset = 0;
    bool fromSection = false;
};

enum class SectionSearch {
    Found,   // offset and size describe the section's contents
    Missing, // a well-formed ELF32 file without a ".kq" section, or no ELF32 file
    Damaged, // the section table points outside the file (reported)
};

// Finds the first section, in index order, named exactly ".kq".
SectionSearch FindImageSection(ImageSource &file, uint32_t *offset, uint32_t *size);

// Reads the six members of a section found by FindImageSection. False (with
// a report, and no member kept) when a member runs past the section.
bool ReadSectionMembers(ImageSource &file, uint32_t offset, uint32_t size,
                        BlockAllocator &allocator, ImageMembers *members);

// Reads the member files of `folder` ("" for the current folder). A file
// that is missing or empty gives no member.
void ReadMemberFiles(const char *folder, BlockAllocator &allocator, ImageMembers *members);

// The whole step: the executable's section, else member files. A path that
// cannot be opened is reported ("Can't open executable ..."); a damaged
// section is reported and yields false.
bool ReadContainer(const char *exePath, BlockAllocator &allocator, ImageMembers *members);

} // namespace kqimage
