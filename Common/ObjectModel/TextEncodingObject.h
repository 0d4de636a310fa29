// How the language sees text encodings: `TextEncoding` objects (one per
// identifier, kept for the whole run), the `Encodings` module with one
// class-level property per named encoding, and `TextConverter` objects that
// convert text arriving in pieces. The conversions themselves are
// Universal/TextEncodingUtil's.
//
// TextEncodingObject, after the object header:
//
//   offset  field       meaning
//   24      base        low 16 bits of the identifier
//   28      variant     next 10 bits
//   32      format      top 6 bits
//   36      one         always 1
//   40      identifier  the encoding identifier strings carry
#pragma once

#include "ObjectDefinition.h"
#include "RuntimeObject.h"
#include "TextConverter.h"

#include <cstddef>
#include <cstdint>

struct TextEncodingObject {
    RuntimeObject header;
    uint32_t base;
    uint32_t variant;
    uint32_t format;
    uint32_t one;
    uint32_t identifier;
};

static_assert(offsetof(TextEncodingObject, base) == 24, "TextEncodingObject.base");
static_assert(offsetof(TextEncodingObject, variant) == 28, "TextEncodingObject.variant");
static_assert(offsetof(TextEncodingObject, format) == 32, "TextEncodingObject.format");
static_assert(offsetof(TextEncodingObject, one) == 36, "TextEncodingObject.one");
static_assert(offsetof(TextEncodingObject, identifier) == 40, "TextEncodingObject.identifier");
static_assert(sizeof(TextEncodingObject) == 44, "TextEncodingObject size");

struct TextConverterObject {
    RuntimeObject header;
    textenc::StreamConverter converter; // made by getTextConverter
};

// The module: a class without instances of its own state, whose properties
// are class-level and read through EncodingsGetFromCode with the property's
// identifier as the parameter. Listed in RuntimeModuleList.h.
extern ObjectDefinition EncodingsDefinition;

extern "C" {

// The TextEncoding of an identifier (a new reference); nil for 0xFFFF.
RuntimeObject *EncodingsGetFromCode(uint32_t identifier);
// The Encodings module object.
RuntimeObject *GetEncodingsObject(void);
RuntimeObject *EncodingsGetter(void);
// The object for base, variant and format; its identifier is the base,
// except that base 0x100 with format 2 is UTF-8 (0x08000100).
RuntimeObject *getTextEncoding(int32_t base, int32_t variant, int32_t format);
RuntimeObject *getInternetTextEncoding(KESTstring *name);
RuntimeObject *getFontTextEncoding(KESTstring *fontName);
RuntimeObject *guessJapaneseEncoding(KESTstring *s);
// The identifier of a TextEncoding; 0xFFFF for nil.
uint32_t GetEncodingFromTEObject(RuntimeObject *encoding);

// Strings and encodings: the encoding of a string (ASCII for an empty one,
// nil when unknown), the same bytes under another encoding (nil: unknown),
// the string converted to an encoding.
RuntimeObject *StringGetEncoding(KESTstring *s);
KESTstring *StringSetEncoding(KESTstring *s, RuntimeObject *encoding);
KESTstring *StringConvertEncoding(KESTstring *s, RuntimeObject *encoding);

// TextEncoding members.
int32_t textEncodingBaseGetter(RuntimeObject *encoding, int32_t parameter);
int32_t textEncodingVariantGetter(RuntimeObject *encoding, int32_t parameter);
int32_t textEncodingFormatGetter(RuntimeObject *encoding, int32_t parameter);
KESTstring *textEncodingInternetName(RuntimeObject *encoding, int32_t parameter);
bool TextEncodingEquals(RuntimeObject *encoding, RuntimeObject *other);
KESTstring *TextEncodingChr(RuntimeObject *encoding, int32_t code);

// TextConverter members.
RuntimeObject *getTextConverter(RuntimeObject *source, RuntimeObject *target);
KESTstring *textConverterConvert(RuntimeObject *converter, KESTstring *s);
void textConverterClear(RuntimeObject *converter);
void textConverterDestructor(RuntimeObject *converter);
}
