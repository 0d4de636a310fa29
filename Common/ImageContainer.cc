// Reading the application image container (see ImageContainer.h).
#include "ImageContainer.h"

#include "RuntimeErrorReport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kqimage {

namespace {

const char kSource[] = "Common/loaderX86";

// ELF32 header and section header fields the search reads.
constexpr uint32_t kElfHeaderSize = 52;
constexpr uint32_t kElfSectionTableOffset = 32;
constexpr uint32_t kElfSectionEntrySize = 46;
constexpr uint32_t kElfSectionCount = 48;
constexpr uint32_t kElfNameTableIndex = 50;
constexpr uint32_t kSectionNameOffset = 0;
constexpr uint32_t kSectionContentsOffset = 16;
constexpr uint32_t kSectionContentsSize = 20;
constexpr uint32_t kSectionHeaderMinimum = 24;
constexpr uint32_t kMaxNameTable = 1u << 24;

class FileSource : public ImageSource {
  public:
    explicit FileSource(int fd) : mFd(fd) {
        struct stat st;
        mSize = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? uint64_t(st.st_size) : 0;
    }
    ~FileSource() override { close(mFd); }
    uint64_t Size() const override { return mSize; }
    bool Read(uint64_t offset, void *to, uint32_t length) override {
        if (offset > mSize || length > mSize - offset) return false;
        auto *p = static_cast<uint8_t *>(to);
        while (length > 0) {
            ssize_t n = pread(mFd, p, length, off_t(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            p += n;
            offset += uint64_t(n);
            length -= uint32_t(n);
        }
        return true;
    }

  private:
    int mFd;
    uint64_t mSize;
};

void ReportDamage(const char *condition, const std::string &message) {
    RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, condition, message.c_str());
}

bool ReadWord(ImageSource &file, uint64_t offset, uint32_t *value) {
    uint8_t bytes[4];
    if (!file.Read(offset, bytes, 4)) return false;
    *value = Read32(bytes);
    return true;
}

// Reads the section header fields of section `index`; false outside the file.
bool ReadSectionHeader(ImageSource &file, uint32_t tableOffset, uint32_t entrySize, uint32_t index,
                       uint32_t *name, uint32_t *offset, uint32_t *size) {
    uint8_t header[kSectionHeaderMinimum];
    uint64_t at = uint64_t(tableOffset) + uint64_t(index) * entrySize;
    if (!file.Read(at, header, sizeof header)) return false;
    *name = Read32(header + kSectionNameOffset);
    *offset = Read32(header + kSectionContentsOffset);
    *size = Read32(header + kSectionContentsSize);
    return true;
}

void Release(ImageMembers *members, BlockAllocator &allocator) {
    for (uint32_t i = 0; i < kMemberCount; ++i) {
        if (i == kMemberCode)
            allocator.DiscardCode(members->block[i]);
        else
            std::free(members->block[i]);
        members->block[i] = nullptr;
        members->length[i] = 0;
    }
}

} // namespace

bool MemorySource::Read(uint64_t offset, void *to, uint32_t length) {
    if (offset > mSize || length > mSize - offset) return false;
    std::memcpy(to, mBytes + offset, length);
    return true;
}

SectionSearch FindImageSection(ImageSource &file, uint32_t *offset, uint32_t *size) {
    uint8_t header[kElfHeaderSize];
    // Anything that is not an ELF32 file has no section to find.
    if (!file.Read(0, header, sizeof header) || std::memcmp(header, "\177ELF", 4) != 0 ||
        header[4] != 1)
        return SectionSearch::Missing;
    uint32_t tableOffset = Read32(header + kElfSectionTableOffset);
    int32_t entrySize = int16_t(Read16(header + kElfSectionEntrySize));
    int32_t count = int16_t(Read16(header + kElfSectionCount));
    int32_t nameIndex = int16_t(Read16(header + kElfNameTableIndex));
    if (count == 0) return SectionSearch::Missing;
    if (entrySize < int32_t(kSectionHeaderMinimum) || count < 0 || nameIndex < 0 ||
        nameIndex >= count) {
        ReportDamage("sectionHeaders", "The executable's section table is damaged");
        return SectionSearch::Damaged;
    }
    uint32_t ignored, namesOffset, namesSize;
    if (!ReadSectionHeader(file, tableOffset, uint32_t(entrySize), uint32_t(nameIndex), &ignored,
                           &namesOffset, &namesSize) ||
        namesSize > kMaxNameTable || uint64_t(namesOffset) + namesSize > file.Size()) {
        ReportDamage("sectionNames", "The executable's section name table lies outside the file");
        return SectionSearch::Damaged;
    }
    auto *names = static_cast<uint8_t *>(std::malloc(namesSize + 1));
    if (names == nullptr || !file.Read(namesOffset, names, namesSize)) {
        std::free(names);
        ReportDamage("sectionNames", "The executable's section name table cannot be read");
        return SectionSearch::Damaged;
    }
    SectionSearch result = SectionSearch::Missing;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t name, at, length;
        if (!ReadSectionHeader(file, tableOffset, uint32_t(entrySize), uint32_t(i), &name, &at,
                               &length)) {
            ReportDamage("sectionHeaders", "The executable's section table lies outside the file");
            result = SectionSearch::Damaged;
            break;
        }
        if (name <= namesSize && namesSize - name >= sizeof kSectionName &&
            std::memcmp(names + name, kSectionName, sizeof kSectionName) == 0) {
            if (uint64_t(at) + length > file.Size()) {
                ReportDamage("kqSection", "The executable's .kq section lies outside the file");
                result = SectionSearch::Damaged;
            } else {
                *offset = at;
                *size = length;
                result = SectionSearch::Found;
            }
            break;
        }
    }
    std::free(names);
    return result;
}

bool ReadSectionMembers(ImageSource &file, uint32_t offset, uint32_t size,
                        BlockAllocator &allocator, ImageMembers *members) {
    *members = ImageMembers();
    members->fromSection = true;
    uint64_t at = offset;
    const uint64_t end = uint64_t(offset) + size;
    for (uint32_t m = 0; m < kMemberCount; ++m) {
        uint32_t length;
        if (end - at < 4 || !ReadWord(file, at, &length)) {
            ReportDamage("memberLength", std::string("The application image is damaged: the ") +
                                             kMemberNames[m] + " member's length is missing");
            Release(members, allocator);
            return false;
        }
        at += 4;
        if (length > end - at) {
            ReportDamage("memberLength <= sectionRemaining",
                         std::string("The application image is damaged: the ") + kMemberNames[m] +
                             " member runs past the end of the .kq section");
            Release(members, allocator);
            return false;
        }
        if (length == 0) continue;
        if (m == kMemberRsrc) members->rsrcFileOffset = uint32_t(at);
        uint8_t *block =
            m == kMemberCode ? allocator.CodeBlock(length) : allocator.HeapBlock(length);
        if (block == nullptr || !file.Read(at, block, length)) {
            if (m == kMemberCode)
                allocator.DiscardCode(block);
            else
                std::free(block);
            ReportDamage("memberBlock", std::string("The application image's ") + kMemberNames[m] +
                                            " member cannot be read");
            Release(members, allocator);
            return false;
        }
        members->block[m] = block;
        members->length[m] = length;
        at += length;
    }
    return true;
}

void ReadMemberFiles(const char *folder, BlockAllocator &allocator, ImageMembers *members) {
    *members = ImageMembers();
    static const ImageMember kOrder[] = {kMemberImport, kMemberCode,    kMemberData,
                                         kMemberRsrc,   kMemberOptions, kMemberSymbols};
    for (ImageMember m : kOrder) {
        std::string path = folder != nullptr && *folder != 0 ? std::string(folder) + "/" : "";
        path += kMemberFileNames[m];
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        FileSource file(fd);
        uint64_t size = file.Size();
        if (size == 0) continue;
        if (size > 0x7FFFFFFF) {
            ReportDamage("memberFile", "The member file " + path + " is too large");
            continue;
        }
        uint32_t length = uint32_t(size);
        uint8_t *block =
            m == kMemberCode ? allocator.CodeBlock(length) : allocator.HeapBlock(length);
        if (block == nullptr || !file.Read(0, block, length)) {
            if (m == kMemberCode)
                allocator.DiscardCode(block);
            else
                std::free(block);
            ReportDamage("memberFile", "The member file " + path + " cannot be read");
            continue;
        }
        members->block[m] = block;
        members->length[m] = length;
    }
}

bool ReadContainer(const char *exePath, BlockAllocator &allocator, ImageMembers *members) {
    int fd = exePath != nullptr ? open(exePath, O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
        std::string message = std::string("Can't open executable ") + (exePath ? exePath : "");
        RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "exeFile",
                           message.c_str());
        ReadMemberFiles("", allocator, members);
        return true;
    }
    FileSource file(fd);
    uint32_t offset = 0, size = 0;
    switch (FindImageSection(file, &offset, &size)) {
    case SectionSearch::Found:
        return ReadSectionMembers(file, offset, size, allocator, members);
    case SectionSearch::Missing:
        ReadMemberFiles("", allocator, members);
        return true;
    case SectionSearch::Damaged:
        break;
    }
    *members = ImageMembers();
    return false;
}

} // namespace kqimage
