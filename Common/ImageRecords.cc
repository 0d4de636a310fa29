// Walking resource, option and symbol records (see ImageRecords.h).
#include "ImageRecords.h"

#include "RuntimeErrorReport.h"

#include <cstdio>
#include <cstring>

namespace kqimage {

namespace {

const char kSource[] = "Common/loaderX86";

void ReportDamage(const char *condition, const char *member, uint32_t offset) {
    char message[160];
    std::snprintf(message, sizeof message,
                  "The application image's %s member is damaged at offset %u", member, offset);
    RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, condition, message);
}

} // namespace

bool ForEachResource(const uint8_t *rsrc, uint32_t length,
                     const std::function<void(const ResourceRecord &)> &visit) {
    uint32_t pos = 0;
    while (pos < length) {
        if (length - pos < kResourceHeaderSize) {
            ReportDamage("resourceHeader", "rsrc", pos);
            return false;
        }
        const uint8_t *header = rsrc + pos;
        uint32_t payloadLength = Read32(header + kResourceLengthOffset);
        uint32_t payload = pos + kResourceHeaderSize;
        if (payloadLength > length - payload) {
            ReportDamage("resourceLength", "rsrc", pos);
            return false;
        }
        visit(ResourceRecord{Read32(header + kResourceTypeOffset),
                             Read16(header + kResourceIdOffset), rsrc + payload, payloadLength,
                             payload});
        pos = payload + payloadLength;
    }
    return true;
}

uint32_t VersionRecordLength(const uint8_t *record, uint32_t available) {
    uint32_t pos = kVersionWordCount * 4;
    for (uint32_t t = 0; t < kVersionTextCount; ++t) {
        if (pos >= available) return 0;
        pos += 1 + record[pos];
    }
    return pos <= available ? pos : 0;
}

bool ForEachOption(const uint8_t *options, uint32_t length, OptionVisitor &visitor) {
    uint32_t pos = 0;
    while (pos < length) {
        uint32_t recordStart = pos;
        uint8_t tag = options[pos++];
        if (tag == kOptionIcon) {
            if (length - pos < 2) {
                ReportDamage("iconRecord", "options", recordStart);
                return false;
            }
            uint32_t width = options[pos], height = options[pos + 1];
            uint32_t size = width * height * 4;
            pos += 2;
            if (size > length - pos) {
                ReportDamage("iconRecord", "options", recordStart);
                return false;
            }
            if (width != 0 && height != 0) visitor.Icon(width, height, options + pos);
            pos += size;
        } else if (tag == kOptionVersion) {
            uint32_t size = VersionRecordLength(options + pos, length - pos);
            if (size == 0) {
                ReportDamage("versionRecord", "options", recordStart);
                return false;
            }
            visitor.Version(options + pos, size);
            pos += size;
        } else {
            RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, __LINE__, "0", nullptr);
        }
    }
    return true;
}

bool DecodeVersion(const uint8_t *record, uint32_t length, VersionInfo *info) {
    if (VersionRecordLength(record, length) == 0) return false;
    for (uint32_t w = 0; w < kVersionWordCount; ++w)
        info->words[w] = Read32(record + 4 * w);
    uint32_t pos = kVersionWordCount * 4;
    for (uint32_t t = 0; t < kVersionTextCount; ++t) {
        uint8_t n = record[pos];
        info->texts[t].assign(reinterpret_cast<const char *>(record + pos + 1), n);
        pos += 1 + n;
    }
    return true;
}

bool SymbolTable::Parse(const uint8_t *symbols, uint32_t length) {
    *this = SymbolTable();
    if (symbols == nullptr || length == 0) return true;
    uint32_t count = length >= 4 ? Read32(symbols) : 0;
    if (length < 4 || count > (length - 4) / kSymbolEntrySize) {
        ReportDamage("symbolCount", "symbols", 0);
        return false;
    }
    const uint8_t *entries = symbols + 4;
    uint32_t namesStart = 4 + count * kSymbolEntrySize;
    uint32_t namesSize = length - namesStart;
    const char *names = reinterpret_cast<const char *>(symbols + namesStart);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t nameOffset = Read32(entries + i * kSymbolEntrySize + 4);
        if (nameOffset >= namesSize ||
            std::memchr(names + nameOffset, 0, namesSize - nameOffset) == nullptr) {
            ReportDamage("symbolName", "symbols", 4 + i * kSymbolEntrySize);
            return false;
        }
    }
    mEntries = entries;
    mNames = names;
    mCount = count;
    return true;
}

uint32_t SymbolTable::CodeOffset(uint32_t index) const {
    return Read32(mEntries + index * kSymbolEntrySize);
}

const char *SymbolTable::Name(uint32_t index) const {
    return mNames + Read32(mEntries + index * kSymbolEntrySize + 4);
}

bool SymbolTable::Find(uint32_t codeOffset, uint32_t *index, uint32_t *distance) const {
    bool found = false;
    for (uint32_t i = 0; i < mCount; ++i) {
        uint32_t start = CodeOffset(i);
        if (start < codeOffset) {
            *index = i;
            *distance = codeOffset - start;
            found = true;
        }
    }
    return found;
}

} // namespace kqimage
