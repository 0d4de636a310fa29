#include "TextEncodingObject.h"
#include "RuntimeException.h"
#include "StackCheck.h"
#include "StringTestSupport.h"
#include "TextEncodingUtil.h"

using namespace strtest;

namespace {

// A counted object reference of the test.
struct Obj {
    explicit Obj(RuntimeObject *o) : object(o) {}
    ~Obj() { RuntimeUnlockObject(object); }
    TextEncodingObject *Encoding() const { return reinterpret_cast<TextEncodingObject *>(object); }
    RuntimeObject *object;
};

std::string PropertyName(RuntimeClass *cls, uint32_t index) {
    return kstr::Text(cls->properties[index].name);
}

RuntimeObject *gUnhandled = nullptr;

void KeepUnhandled(RuntimeObject *exc) {
    RuntimeLockObject(exc);
    gUnhandled = exc;
}

uint32_t ReadBaseOfNil() {
    return uint32_t(textEncodingBaseGetter(nullptr, 0));
}

} // namespace

TEST(TextEncodingObject, OneObjectPerIdentifierWithItsParts) {
    Obj utf8(EncodingsGetFromCode(kEncodingUTF8)), again(EncodingsGetFromCode(kEncodingUTF8));
    ASSERT_NE(utf8.object, nullptr);
    EXPECT_EQ(utf8.object, again.object);
    EXPECT_EQ(utf8.Encoding()->base, 0x100u);
    EXPECT_EQ(utf8.Encoding()->variant, 0u);
    EXPECT_EQ(utf8.Encoding()->format, 2u);
    EXPECT_EQ(utf8.Encoding()->one, 1u);
    EXPECT_EQ(utf8.Encoding()->identifier, kEncodingUTF8);
    EXPECT_EQ(utf8.object->refCount, 3); // the cache's reference and the two here
    EXPECT_EQ(EncodingsGetFromCode(kEncodingUnknown), nullptr);

    // getTextEncoding: the identifier is the base, except UTF-8.
    Obj made(getTextEncoding(0x100, 0, 2)), latin(getTextEncoding(0x201, 0, 0));
    EXPECT_EQ(made.object, utf8.object);
    EXPECT_EQ(GetEncodingFromTEObject(latin.object), 0x201u);
    Obj wide(getTextEncoding(0x100, 0, 3));
    EXPECT_EQ(GetEncodingFromTEObject(wide.object), kEncodingUTF16);
    EXPECT_EQ(GetEncodingFromTEObject(nullptr), kEncodingUnknown);
    EXPECT_EQ(getTextEncoding(0xFFFF, 0, 0), nullptr);

    EXPECT_EQ(textEncodingBaseGetter(latin.object, 0), 0x201);
    EXPECT_EQ(textEncodingFormatGetter(utf8.object, 0), 2);
    EXPECT_EQ(textEncodingVariantGetter(utf8.object, 0), 0);
    EXPECT_EQ(Str(StringRef(textEncodingInternetName(utf8.object, 0))), "UTF-8");
    EXPECT_EQ(textEncodingInternetName(latin.object, 0), nullptr);
    EXPECT_TRUE(TextEncodingEquals(utf8.object, made.object));
    EXPECT_FALSE(TextEncodingEquals(utf8.object, latin.object));
    EXPECT_FALSE(TextEncodingEquals(utf8.object, nullptr));
}

TEST(TextEncodingObject, StringsAndTheirEncodings) {
    StringRef latin = S("\xE4", textenc::kISOLatin1), raw = S("x", kEncodingUnknown);
    Obj ascii(StringGetEncoding(nullptr)), of(StringGetEncoding(latin.Get()));
    EXPECT_EQ(GetEncodingFromTEObject(ascii.object), kEncodingASCII);
    EXPECT_EQ(GetEncodingFromTEObject(of.object), textenc::kISOLatin1);
    EXPECT_EQ(StringGetEncoding(raw.Get()), nullptr);

    Obj mac(EncodingsGetFromCode(textenc::kMacRoman)), utf8(EncodingsGetFromCode(kEncodingUTF8));
    StringRef relabelled(StringSetEncoding(latin.Get(), mac.object));
    EXPECT_EQ(Str(relabelled), "\xE4");
    EXPECT_EQ(relabelled.Get()->encoding, textenc::kMacRoman);
    StringRef same(StringSetEncoding(latin.Get(), of.object));
    EXPECT_EQ(same.Get(), latin.Get());
    StringRef unknown(StringSetEncoding(latin.Get(), nullptr));
    EXPECT_EQ(unknown.Get()->encoding, kEncodingUnknown);

    StringRef converted(StringConvertEncoding(latin.Get(), utf8.object));
    EXPECT_EQ(Str(converted), "\xC3\xA4");
    StringRef euro(TextEncodingChr(mac.object, 0xE4));
    EXPECT_EQ(Str(euro), "\x8A");
    EXPECT_EQ(TextEncodingChr(mac.object, -1), nullptr);

    Obj guessed(guessJapaneseEncoding(S("\x93\xFA").Get()));
    EXPECT_EQ(GetEncodingFromTEObject(guessed.object), textenc::kShiftJIS);
    Obj internet(getInternetTextEncoding(S("windows-1252").Get()));
    EXPECT_EQ(GetEncodingFromTEObject(internet.object), 0x500u);
    EXPECT_EQ(getInternetTextEncoding(S("nonsense").Get()), nullptr);
    Obj font(getFontTextEncoding(S("Sans").Get()));
    EXPECT_EQ(GetEncodingFromTEObject(font.object), kEncodingUTF8);
}

TEST(TextEncodingObject, ClassesAsTheCompilerSeesThem) {
    RuntimeClass *cls = definitions::Convert(&TextEncodingDefinition);
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->instanceSize, 44u);
    ASSERT_EQ(cls->propertyCount, 4u);
    EXPECT_EQ(PropertyName(cls, 0), "Base%i4%");
    EXPECT_EQ(cls->properties[0].getter, KQ_CODE(textEncodingBaseGetter));
    EXPECT_EQ(PropertyName(cls, 3), "InternetName%s%");
    EXPECT_EQ(cls->properties[3].setter, nullptr);
    ASSERT_EQ(cls->memberCount, 2u);
    EXPECT_EQ(std::string(kstr::Text(cls->members[0].name)),
              "Equals%b%o<TextEncoding>o<TextEncoding>");
    EXPECT_EQ(std::string(kstr::Text(cls->members[1].name)), "Chr%s%o<TextEncoding>i4");

    RuntimeClass *module = definitions::Convert(&EncodingsDefinition);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->propertyCount, 91u);
    EXPECT_EQ(PropertyName(module, 0), "UTF8%o<TextEncoding>%");
    EXPECT_EQ(module->properties[0].parameter, int32_t(kEncodingUTF8));
    EXPECT_EQ(module->properties[0].getter, KQ_CODE(EncodingsGetFromCode));
    // Every property names an identifier that gives an object.
    for (uint32_t i = 0; i < module->propertyCount; ++i) {
        Obj encoding(EncodingsGetFromCode(uint32_t(module->properties[i].parameter)));
        EXPECT_NE(encoding.object, nullptr) << PropertyName(module, i);
    }
    Obj first(GetEncodingsObject()), second(EncodingsGetter());
    EXPECT_EQ(first.object, second.object);
    EXPECT_EQ(first.object->classPtr, module);

    RuntimeClass *converter = definitions::Convert(&TextConverterDefinition);
    ASSERT_EQ(converter->memberCount, 2u);
    EXPECT_EQ(converter->finalizer, &textConverterDestructor);
}

TEST(TextEncodingObject, ConverterObjects) {
    Obj utf8(EncodingsGetFromCode(kEncodingUTF8)), latin(EncodingsGetFromCode(0x201));
    Obj converter(getTextConverter(utf8.object, latin.object));
    ASSERT_NE(converter.object, nullptr);
    StringRef first(textConverterConvert(converter.object, S("\xC3").Get()));
    StringRef second(textConverterConvert(converter.object, S("\xA4!").Get()));
    EXPECT_EQ(first.Get(), nullptr);
    EXPECT_EQ(Str(second), "\xE4!");
    textConverterConvert(converter.object, S("\xC3").Get());
    textConverterClear(converter.object);
    EXPECT_EQ(Str(StringRef(textConverterConvert(converter.object, S("x").Get()))), "x");
}

TEST(TextEncodingObject, NilReceiversRaiseNilObjectException) {
    KESTInitStackChecker(0x40000, 0);
    exceptions::SetUnhandledExceptionHook(KeepUnhandled);
    RuntimeCallImageHandler(reinterpret_cast<void *>(&ReadBaseOfNil), 0, nullptr);
    exceptions::SetUnhandledExceptionHook(nullptr);
    ASSERT_NE(gUnhandled, nullptr);
    EXPECT_EQ(std::string(kstr::Text(gUnhandled->classPtr->name)), "NilObjectException");
    RuntimeUnlockObject(gUnhandled);
}
