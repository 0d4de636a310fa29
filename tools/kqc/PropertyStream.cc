// Encoding of design-time property streams (see PropertyStream.h).
#include "PropertyStream.h"

#include <cstdint>
#include <cstring>

namespace kqc {
namespace {

void bigEndian(std::string &out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The first character of the type code, which decides the value's bytes.
char kindOf(const Type *t) {
    std::string code = typeCode(t);
    if (code.empty()) return 0;
    // Only 32-bit integers and narrower fit the 4 bytes of an i entry.
    if (code[0] == 'i' && code != "i1" && code != "i2" && code != "i4") return 0;
    return code[0];
}

double realOf(const ConstValue &v) {
    return v.kind == ConstValue::Kind::Real ? v.real : static_cast<double>(v.integer);
}

} // namespace

bool streamable(const Type *t) {
    switch (kindOf(t)) {
    case 'b':
    case 'c':
    case 'f':
    case 'i':
    case 's':
        return true;
    default:
        return false;
    }
}

bool appendEntry(std::string &stream, int slot, const Type *t, const ConstValue &value) {
    if (slot < 0 || slot > 0xFFFF || !streamable(t)) return false;
    std::string entry;
    bigEndian(entry, static_cast<uint64_t>(slot), 2);
    switch (kindOf(t)) {
    case 'b':
        entry += static_cast<char>(value.integer != 0 ? 1 : 0);
        break;
    case 'c':
        bigEndian(entry, static_cast<uint64_t>(value.integer) & 0xFFFFFF, 3);
        break;
    case 'f': {
        // The runtime reads every f entry as a single, also for Double.
        float single = static_cast<float>(realOf(value));
        uint32_t bits;
        std::memcpy(&bits, &single, sizeof bits);
        bigEndian(entry, bits, 4);
        break;
    }
    case 'i':
        bigEndian(entry, static_cast<uint32_t>(value.integer), 4);
        break;
    default: // 's'
        bigEndian(entry, value.text.size(), 4);
        entry += value.text;
        break;
    }
    stream += entry;
    return true;
}

} // namespace kqc
