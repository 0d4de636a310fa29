// The TextEncoding and TextConverter classes and the Encodings module.
#include "TextEncodingObject.h"

#include "IntMap.h"
#include "RuntimeException.h"
#include "TextEncodingUtil.h"

#include <new>

namespace {

TextEncodingObject *AsEncoding(RuntimeObject *object) {
    return reinterpret_cast<TextEncodingObject *>(object);
}

// One object per identifier for the whole run; the map holds a reference.
IntMap<TextEncodingObject *> gEncodings;

RuntimeObject *EncodingObject(uint32_t identifier, uint32_t base, uint32_t variant,
                              uint32_t format) {
    TextEncodingObject *object;
    if (!gEncodings.Lookup(identifier, &object)) {
        object = AsEncoding(definitions::Instantiate(&TextEncodingDefinition));
        if (object == nullptr) return nullptr;
        object->base = base;
        object->variant = variant;
        object->format = format;
        object->one = 1;
        object->identifier = identifier;
        if (!gEncodings.Set(identifier, object)) return &object->header; // not kept: the caller's
    }
    RuntimeLockObject(&object->header);
    return &object->header;
}

RuntimeObject *ObjectFor(uint32_t identifier) {
    if (identifier == kEncodingUnknown) return nullptr;
    return EncodingObject(identifier, textenc::Base(identifier), textenc::Variant(identifier),
                          textenc::Format(identifier));
}

// A TextEncoding argument; null (and NilObjectException) for nil.
TextEncodingObject *Receiver(RuntimeObject *object) {
    if (object == nullptr) RaiseNilObjectException();
    return AsEncoding(object);
}

const ParameterEntry kChrParameters[] = {KQ_PARAMETER("code", &kTypeInteger)};
const ParameterEntry kEqualsParameters[] = {
    KQ_PARAMETER("other", &TextEncodingDefinition),
};

const PropertyEntry kTextEncodingProperties[] = {
    KQ_READONLY_PROPERTY("Base", &kTypeInteger, textEncodingBaseGetter, 0),
    KQ_READONLY_PROPERTY("Variant", &kTypeInteger, textEncodingVariantGetter, 0),
    KQ_READONLY_PROPERTY("Format", &kTypeInteger, textEncodingFormatGetter, 0),
    KQ_READONLY_PROPERTY("InternetName", &kTypeString, textEncodingInternetName, 0),
};

const MethodEntry kTextEncodingMethods[] = {
    KQ_METHOD("Equals", &kTypeBoolean, KQ_TABLE(kEqualsParameters), TextEncodingEquals),
    KQ_METHOD("Chr", &kTypeString, KQ_TABLE(kChrParameters), TextEncodingChr),
};

const RuntimeClassDeclaration kTextEncodingDeclaration = {
    "TextEncoding",
    nullptr,
    sizeof(TextEncodingObject),
    KQ_ANYWHERE,
    false,
    KQ_TABLE(kTextEncodingProperties),
    KQ_TABLE(kTextEncodingMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_FUNCTION,
    KQ_NO_FUNCTION,
};

const ParameterEntry kConvertParameters[] = {KQ_PARAMETER("text", &kTypeString)};

const MethodEntry kTextConverterMethods[] = {
    KQ_METHOD("Convert", &kTypeString, KQ_TABLE(kConvertParameters), textConverterConvert),
    KQ_METHOD("Clear", nullptr, KQ_NO_TABLE, textConverterClear),
};

const RuntimeClassDeclaration kTextConverterDeclaration = {
    "TextConverter",
    nullptr,
    sizeof(TextConverterObject),
    KQ_ANYWHERE,
    false,
    KQ_NO_TABLE,
    KQ_TABLE(kTextConverterMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_FUNCTION,
    KQ_FUNCTION(textConverterDestructor),
};

// The module's properties: class-level, each read by EncodingsGetFromCode
// with its identifier as the parameter.
#define KQ_ENCODING(name, identifier)                                                              \
    {                                                                                              \
        kMemberShared, name, &TextEncodingDefinition, KQ_CODE(EncodingsGetFromCode),               \
            "EncodingsGetFromCode", nullptr, nullptr, identifier, 0                                \
    }

const PropertyEntry kEncodingsProperties[] = {
    KQ_ENCODING("UTF8", kEncodingUTF8), KQ_ENCODING("UTF16", kEncodingUTF16),
    KQ_ENCODING("UCS4", kEncodingUTF32), KQ_ENCODING("MacRoman", 0), KQ_ENCODING("MacJapanese", 1),
    KQ_ENCODING("MacChineseTrad", 2), KQ_ENCODING("MacKorean", 3), KQ_ENCODING("MacArabic", 4),
    KQ_ENCODING("MacHebrew", 5), KQ_ENCODING("MacGreek", 6), KQ_ENCODING("MacCyrillic", 7),
    KQ_ENCODING("MacDevanagari", 9), KQ_ENCODING("MacGurmukhi", 10), KQ_ENCODING("MacGujarati", 11),
    KQ_ENCODING("MacOriya", 12), KQ_ENCODING("MacBengali", 13), KQ_ENCODING("MacTamil", 14),
    KQ_ENCODING("MacTelugu", 15), KQ_ENCODING("MacKannada", 16), KQ_ENCODING("MacMalayalam", 17),
    KQ_ENCODING("MacSinhalese", 18), KQ_ENCODING("MacBurmese", 19), KQ_ENCODING("MacKhmer", 20),
    KQ_ENCODING("MacThai", 21), KQ_ENCODING("MacLaotian", 22), KQ_ENCODING("MacGeorgian", 23),
    KQ_ENCODING("MacArmenian", 24), KQ_ENCODING("MacChineseSimp", 25),
    KQ_ENCODING("MacTibetan", 26), KQ_ENCODING("MacMongolian", 27), KQ_ENCODING("MacEthiopic", 28),
    KQ_ENCODING("MacCentralEurRoman", 29), KQ_ENCODING("MacVietnamese", 30),
    KQ_ENCODING("MacExtArabic", 31), KQ_ENCODING("MacSymbol", 33), KQ_ENCODING("MacDingbats", 34),
    KQ_ENCODING("MacTurkish", 35), KQ_ENCODING("MacCroatian", 36), KQ_ENCODING("MacIcelandic", 37),
    KQ_ENCODING("MacRomanian", 38), KQ_ENCODING("MacCeltic", 39), KQ_ENCODING("MacGaelic", 40),
    // ISO 8859: part n is 0x200 + n.
    KQ_ENCODING("ISOLatin1", 0x201), KQ_ENCODING("ISOLatin2", 0x202),
    KQ_ENCODING("ISOLatin3", 0x203), KQ_ENCODING("ISOLatin4", 0x204),
    KQ_ENCODING("ISOLatin5", 0x209), KQ_ENCODING("ISOLatin6", 0x20A),
    KQ_ENCODING("ISOLatin7", 0x20D), KQ_ENCODING("ISOLatin8", 0x20E),
    KQ_ENCODING("ISOLatin9", 0x20F), KQ_ENCODING("ISOLatinCyrillic", 0x205),
    KQ_ENCODING("ISOLatinArabic", 0x206), KQ_ENCODING("ISOLatinGreek", 0x207),
    KQ_ENCODING("ISOLatinHebrew", 0x208),
    // DOS code pages.
    KQ_ENCODING("DOSLatinUS", 0x400), KQ_ENCODING("DOSGreek", 0x405),
    KQ_ENCODING("DOSBalticRim", 0x406), KQ_ENCODING("DOSLatin1", 0x410),
    KQ_ENCODING("DOSGreek1", 0x411), KQ_ENCODING("DOSLatin2", 0x412),
    KQ_ENCODING("DOSCyrillic", 0x413), KQ_ENCODING("DOSTurkish", 0x414),
    KQ_ENCODING("DOSPortuguese", 0x415), KQ_ENCODING("DOSIcelandic", 0x416),
    KQ_ENCODING("DOSHebrew", 0x417), KQ_ENCODING("DOSCanadianFrench", 0x418),
    KQ_ENCODING("DOSArabic", 0x419), KQ_ENCODING("DOSNordic", 0x41A),
    KQ_ENCODING("DOSRussian", 0x41B), KQ_ENCODING("DOSGreek2", 0x41C),
    KQ_ENCODING("DOSThai", 0x41D), KQ_ENCODING("DOSJapanese", 0x420),
    KQ_ENCODING("DOSChineseSimplif", 0x421), KQ_ENCODING("DOSKorean", 0x422),
    KQ_ENCODING("DOSChineseTrad", 0x423),
    // Windows code pages.
    KQ_ENCODING("WindowsLatin1", 0x500), KQ_ENCODING("WindowsANSI", 0x500),
    KQ_ENCODING("WindowsLatin2", 0x501), KQ_ENCODING("WindowsCyrillic", 0x502),
    KQ_ENCODING("WindowsGreek", 0x503), KQ_ENCODING("WindowsLatin5", 0x504),
    KQ_ENCODING("WindowsHebrew", 0x505), KQ_ENCODING("WindowsArabic", 0x506),
    KQ_ENCODING("WindowsBalticRim", 0x507), KQ_ENCODING("WindowsVietnamese", 0x508),
    KQ_ENCODING("WindowsKoreanJohab", 0x510), KQ_ENCODING("ShiftJIS", textenc::kShiftJIS),
    KQ_ENCODING("KOI8_R", 0xA02), KQ_ENCODING("MacRomanLatin1", 0xA04),
    KQ_ENCODING("SystemDefault", kEncodingUTF8), // the system encoding here
};

#undef KQ_ENCODING

const ParameterEntry kGetFromCodeParameters[] = {KQ_PARAMETER("code", &kTypeInteger)};

const MethodEntry kEncodingsMethods[] = {
    {"EncodingsGetFromCode", &TextEncodingDefinition, KQ_TABLE(kGetFromCodeParameters),
     KQ_FUNCTION(EncodingsGetFromCode), KQ_NO_FUNCTION, 0, kMemberShared, 0},
};

// A module: no object size of its own.
const RuntimeClassDeclaration kEncodingsDeclaration = {
    "Encodings",
    nullptr,
    0,
    KQ_ANYWHERE,
    false,
    KQ_TABLE(kEncodingsProperties),
    KQ_TABLE(kEncodingsMethods),
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_TABLE,
    KQ_NO_FUNCTION,
    KQ_NO_FUNCTION,
};

} // namespace

ObjectDefinition TextEncodingDefinition(&kTextEncodingDeclaration);
ObjectDefinition TextConverterDefinition(&kTextConverterDeclaration);
ObjectDefinition EncodingsDefinition(&kEncodingsDeclaration);

extern "C" {

RuntimeObject *EncodingsGetFromCode(uint32_t identifier) {
    return ObjectFor(identifier);
}

RuntimeObject *GetEncodingsObject(void) {
    static RuntimeObject *module = definitions::Instantiate(&EncodingsDefinition);
    RuntimeLockObject(module);
    return module;
}

RuntimeObject *EncodingsGetter(void) {
    return GetEncodingsObject();
}

RuntimeObject *getTextEncoding(int32_t base, int32_t variant, int32_t format) {
    uint32_t identifier = base == 0x100 && format == 2 ? kEncodingUTF8 : uint32_t(base);
    if (identifier == kEncodingUnknown) return nullptr;
    return EncodingObject(identifier, uint32_t(base), uint32_t(variant), uint32_t(format));
}

RuntimeObject *getInternetTextEncoding(KESTstring *name) {
    return ObjectFor(textenc::FromInternetName(kstr::Text(name)));
}

RuntimeObject *getFontTextEncoding(KESTstring *) {
    return ObjectFor(textenc::SystemEncoding()); // fonts take UTF-8 text on this platform
}

RuntimeObject *guessJapaneseEncoding(KESTstring *s) {
    return ObjectFor(textenc::GuessJapanese(s));
}

uint32_t GetEncodingFromTEObject(RuntimeObject *encoding) {
    return encoding != nullptr ? AsEncoding(encoding)->identifier : kEncodingUnknown;
}

RuntimeObject *StringGetEncoding(KESTstring *s) {
    return ObjectFor(kstr::Encoding(s));
}

KESTstring *StringSetEncoding(KESTstring *s, RuntimeObject *encoding) {
    return kstr::Relabel(s, GetEncodingFromTEObject(encoding));
}

KESTstring *StringConvertEncoding(KESTstring *s, RuntimeObject *encoding) {
    return textenc::Convert(s, GetEncodingFromTEObject(encoding));
}

int32_t textEncodingBaseGetter(RuntimeObject *encoding, int32_t) {
    TextEncodingObject *e = Receiver(encoding);
    return e != nullptr ? int32_t(e->base) : 0;
}

int32_t textEncodingVariantGetter(RuntimeObject *encoding, int32_t) {
    TextEncodingObject *e = Receiver(encoding);
    return e != nullptr ? int32_t(e->variant) : 0;
}

int32_t textEncodingFormatGetter(RuntimeObject *encoding, int32_t) {
    TextEncodingObject *e = Receiver(encoding);
    return e != nullptr ? int32_t(e->format) : 0;
}

KESTstring *textEncodingInternetName(RuntimeObject *encoding, int32_t) {
    TextEncodingObject *e = Receiver(encoding);
    const char *name = e != nullptr ? textenc::InternetName(e->identifier) : nullptr;
    return name != nullptr ? kstr::FromC(name) : nullptr;
}

bool TextEncodingEquals(RuntimeObject *encoding, RuntimeObject *other) {
    TextEncodingObject *e = Receiver(encoding);
    return e != nullptr && other != nullptr && e->identifier == AsEncoding(other)->identifier;
}

KESTstring *TextEncodingChr(RuntimeObject *encoding, int32_t code) {
    TextEncodingObject *e = Receiver(encoding);
    return e != nullptr && code >= 0 ? textenc::CharacterIn(e->identifier, uint32_t(code))
                                     : nullptr;
}

RuntimeObject *getTextConverter(RuntimeObject *source, RuntimeObject *target) {
    RuntimeObject *object = definitions::Instantiate(&TextConverterDefinition);
    if (object == nullptr) return nullptr;
    new (&reinterpret_cast<TextConverterObject *>(object)->converter)
        textenc::StreamConverter(GetEncodingFromTEObject(source), GetEncodingFromTEObject(target));
    return object;
}

KESTstring *textConverterConvert(RuntimeObject *converter, KESTstring *s) {
    if (converter == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    return reinterpret_cast<TextConverterObject *>(converter)->converter.Convert(s);
}

void textConverterClear(RuntimeObject *converter) {
    if (converter == nullptr) {
        RaiseNilObjectException();
        return;
    }
    reinterpret_cast<TextConverterObject *>(converter)->converter.Clear();
}

void textConverterDestructor(RuntimeObject *converter) {
    reinterpret_cast<TextConverterObject *>(converter)->converter.~StreamConverter();
}

} // extern "C"
