// Decoding of the design-time property stream (see PropertyStream.h).
#include "PropertyStream.h"

#include "GenericAccessors.h"
#include "RuntimeErrorReport.h"
#include "RuntimeObject.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

const char kSource[] = "Common/runctl";

// The setter entry that stands for the generic setter of the value's kind.
void *const kGenericSetter = reinterpret_cast<void *>(1);

void Report(int line, const char *condition, const std::string &message) {
    RuntimeErrorReport(kRuntimeErrorFailedAssertion, kSource, line, condition,
                       message.empty() ? nullptr : message.c_str());
}

// A reader over the stream's bytes that never passes their end.
class StreamReader {
  public:
    explicit StreamReader(const KESTstring *stream)
        : mBytes(reinterpret_cast<const uint8_t *>(kstr::Text(stream))),
          mLength(kstr::Length(stream)) {}

    bool AtEnd() const { return mPosition >= mLength; }
    uint32_t Left() const { return mLength - mPosition; }
    uint32_t Position() const { return mPosition; }

    // The next `width` bytes as a big-endian number; the caller has checked
    // that they are there.
    uint64_t BigEndian(uint32_t width) {
        uint64_t value = 0;
        for (uint32_t i = 0; i < width; ++i)
            value = value << 8 | mBytes[mPosition++];
        return value;
    }
    const uint8_t *Take(uint32_t count) {
        const uint8_t *at = mBytes + mPosition;
        mPosition += count;
        return at;
    }

  private:
    const uint8_t *mBytes;
    uint32_t mLength;
    uint32_t mPosition = 0;
};

// The first character of the type code in "Name%code%"; 0 when there is none.
char TypeCharacter(const KESTstring *name) {
    const char *text = kstr::Text(name);
    const char *percent = std::strchr(text, '%');
    return percent != nullptr && percent[1] != '%' ? percent[1] : 0;
}

// Bytes of the value for a type character (for "s" the length word only);
// 0 for an unknown character.
uint32_t FixedWidth(char type) {
    switch (type) {
    case 'b':
        return 1;
    case 'c':
        return 3;
    case 'd':
        return 8;
    case 'f':
    case 'i':
    case 's':
        return 4;
    default:
        return 0;
    }
}

std::string Describe(uint32_t slot, const KESTstring *name) {
    return "slot " + std::to_string(slot) + " (" + kstr::Text(name) + ")";
}

bool Fits(StreamReader &in, uint32_t needed, uint32_t slot, const KESTstring *name) {
    if (needed <= in.Left()) return true;
    Report(__LINE__, "valueLength <= bytesLeft",
           "Property value runs past the end of the stream: " + Describe(slot, name) + " needs " +
               std::to_string(needed) + " bytes, " + std::to_string(in.Left()) + " left.");
    return false;
}

// Calls the entry's setter, or `generic` when the entry holds 1.
template <typename T>
void Call(void *setter, void (*generic)(RuntimeObject *, int32_t, T), RuntimeObject *object,
          int32_t parameter, T value) {
    auto function = setter == kGenericSetter
                        ? generic
                        : reinterpret_cast<void (*)(RuntimeObject *, int32_t, T)>(setter);
    function(object, parameter, value);
}

// Reads the value of one entry and calls its setter; false when the value
// does not fit in what is left of the stream.
bool Assign(StreamReader &in, RuntimeObject *object, const RuntimePropertyEntry &entry,
            uint32_t slot, char type) {
    if (!Fits(in, FixedWidth(type), slot, entry.name)) return false;
    void *setter = entry.setter;
    int32_t parameter = entry.parameter;
    switch (type) {
    case 'b':
        Call<bool>(setter, &boolSetter, object, parameter, in.BigEndian(1) != 0);
        return true;
    case 'c':
    case 'i':
        Call<int32_t>(setter, &intSetter, object, parameter,
                      int32_t(uint32_t(in.BigEndian(FixedWidth(type)))));
        return true;
    case 'd': {
        uint64_t bits = in.BigEndian(8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        Call<double>(setter, &doubleSetter, object, parameter, value);
        return true;
    }
    case 'f': {
        auto bits = uint32_t(in.BigEndian(4));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        Call<float>(setter, &singleSetter, object, parameter, value);
        return true;
    }
    default: { // 's'
        auto length = uint32_t(in.BigEndian(4));
        if (!Fits(in, length, slot, entry.name)) return false;
        KESTstring *value = kstr::Make(in.Take(length), length, kEncodingUTF8);
        Call<KESTstring *>(setter, &stringSetter, object, parameter, value);
        RuntimeUnlockString(value);
        return true;
    }
    }
}

} // namespace

extern "C" void RuntimeMassPropertySetter(RuntimeObject *object, KESTstring *stream) {
    if (object == nullptr || stream == nullptr || object->classPtr == nullptr) return;
    const RuntimePropertyEntry *table = object->classPtr->properties;
    uint32_t propTableCount = object->classPtr->propertyCount;
    StreamReader in(stream);
    while (!in.AtEnd()) {
        if (in.Left() < 2) {
            Report(__LINE__, "slotLength <= bytesLeft",
                   "Property stream ends inside a slot number at byte " +
                       std::to_string(in.Position()) + ".");
            return;
        }
        auto destIndex = uint32_t(in.BigEndian(2));
        if (destIndex >= propTableCount) {
            Report(__LINE__, "destIndex < propTableCount", "");
            return;
        }
        const RuntimePropertyEntry &entry = table[destIndex];
        if (entry.setter == nullptr) {
            Report(__LINE__, "0",
                   std::string("Assignment to read-only property ") + kstr::Text(entry.name));
            return;
        }
        char type = TypeCharacter(entry.name);
        if (FixedWidth(type) == 0) {
            Report(__LINE__, "0", "Illegal type in mass property input.");
            continue;
        }
        if (!Assign(in, object, entry, destIndex, type)) return;
    }
}
