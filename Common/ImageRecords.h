// Walking the record members of an application image: resources, options
// (icons and the version record) and the symbol table. Every record is
// checked against its member before it is handed on; damage is reported and
// ends the walk. Host-buildable like the container reader.
#pragma once

#include "ImageFormat.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kqimage {

struct ResourceRecord {
    uint32_t type;
    uint16_t id;
    const uint8_t *payload;
    uint32_t length;
    uint32_t position; // of the payload within the rsrc member
};

// Calls `visit` for each record of the rsrc member in order. False when a
// record runs past the member (reported; the records before it were visited).
bool ForEachResource(const uint8_t *rsrc, uint32_t length,
                     const std::function<void(const ResourceRecord &)> &visit);

class OptionVisitor {
  public:
    virtual ~OptionVisitor() = default;
    // `pixels`: width * height * 4 bytes, RGBA rows from the top.
    virtual void Icon(uint32_t width, uint32_t height, const uint8_t *pixels) = 0;
    // The bytes after the tag to the end of the third text.
    virtual void Version(const uint8_t *record, uint32_t length) = 0;
};

// Walks the options member. An unknown tag is reported (condition "0") and
// the walk goes on with the next byte; a truncated record is reported and
// ends the walk (false).
bool ForEachOption(const uint8_t *options, uint32_t length, OptionVisitor &visitor);

// The length of the version record at `record` (six words and three texts),
// or 0 when it runs past `available` bytes.
uint32_t VersionRecordLength(const uint8_t *record, uint32_t available);

struct VersionInfo {
    uint32_t words[kVersionWordCount];
    std::string texts[kVersionTextCount];
};

// Decodes a version record; false when it is shorter than it says.
bool DecodeVersion(const uint8_t *record, uint32_t length, VersionInfo *info);

// The symbols member, checked once: every name offset must fall inside the
// name area and every name must end there.
class SymbolTable {
  public:
    // False (reported) when the member is damaged; the table is then empty.
    bool Parse(const uint8_t *symbols, uint32_t length);
    uint32_t Count() const { return mCount; }
    uint32_t CodeOffset(uint32_t index) const;
    const char *Name(uint32_t index) const;
    // The last entry, in table order, whose code offset is strictly below
    // `codeOffset`; false when there is none.
    bool Find(uint32_t codeOffset, uint32_t *index, uint32_t *distance) const;

  private:
    const uint8_t *mEntries = nullptr;
    const char *mNames = nullptr;
    uint32_t mCount = 0;
};

} // namespace kqimage
