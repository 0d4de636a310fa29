// Fuzz target: arbitrary bytes as the design-time property stream of an
// object whose class has a slot of every value kind, generic and own
// setters, a read-only slot, a type the stream cannot carry and names
// without a type code. No input may crash, read past the stream, or leak
// or over-release a string.
#include "FuzzSupport.h"

#include "PropertyStream.h"
#include "RuntimeObject.h"
#include "SmallBlockAllocator.h"

#include <cstring>

namespace {

struct Fields {
    RuntimeObject header;
    bool visible;      // 24
    int32_t width;     // 28
    int32_t color;     // 32
    float ratio;       // 36
    double scale;      // 40
    KESTstring *title; // 48
};

int gOwnCalls = 0;

void OwnTextSetter(RuntimeObject *object, int32_t parameter, KESTstring *value) {
    kqfuzz::Require(parameter == 48, "own setters get their slot's parameter");
    kqfuzz::CheckRecord(value, "a string value of the stream");
    RuntimeLockUnlockStrings(value, reinterpret_cast<Fields *>(object)->title);
    reinterpret_cast<Fields *>(object)->title = value;
    ++gOwnCalls;
}

void OwnIntSetter(RuntimeObject *, int32_t, int32_t) {
    ++gOwnCalls;
}

RuntimeClass *FuzzClass() {
    void *const generic = reinterpret_cast<void *>(1);
    struct Slot {
        const char *name;
        int32_t parameter;
        void *setter;
    };
    const Slot slots[] = {
        {"Visible%b%", 24, generic},
        {"Width%i4%", 28, generic},
        {"Color%c%", 32, generic},
        {"Ratio%f4%", 36, generic},
        {"Scale%d%", 40, generic},
        {"Title%s%", 48, generic},
        {"Caption%s%", 48, reinterpret_cast<void *>(&OwnTextSetter)},
        {"Index%i4%", 7, reinterpret_cast<void *>(&OwnIntSetter)},
        {"Handle%i4%", 0, nullptr},
        {"Shape%o<Rect>%", 0, generic},
        {"Bare%%", 0, generic},
        {"NoCode", 0, generic},
    };
    RuntimeClass *cls = RuntimeNewClass(nullptr, 0, 0, 0, 0, sizeof slots / sizeof slots[0]);
    cls->name = kstr::FromC("FuzzFields");
    cls->instanceSize = sizeof(Fields);
    for (uint32_t i = 0; i < cls->propertyCount; ++i)
        cls->properties[i] = {kstr::FromC(slots[i].name), slots[i].parameter, nullptr,
                              slots[i].setter};
    return cls;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static RuntimeClass *cls = FuzzClass();
    if (size > 0xFFFF) return 0;
    auto *object = reinterpret_cast<Fields *>(RuntimeNewObject(cls));
    size_t before = smallblock::BytesInUse();
    KESTstring *stream = kstr::Make(data, uint32_t(size), kEncodingUnknown);
    RuntimeMassPropertySetter(&object->header, stream);
    kqfuzz::Require(stream == nullptr || stream->refCount == 1,
                    "the decoder leaves the stream's references as they were");
    RuntimeUnlockString(stream);
    kqfuzz::CheckRecord(object->title, "the string field");
    RuntimeUnlockString(object->title);
    object->title = nullptr;
    kqfuzz::Require(smallblock::BytesInUse() == before,
                    "every string the decoder made is released or held by the object");
    RuntimeUnlockObject(&object->header);
    return 0;
}
