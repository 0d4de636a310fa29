#include "StringTestSupport.h"
#include "TextConverter.h"
#include "TextEncodingUtil.h"

using namespace strtest;
using textenc::kISOLatin1;
using textenc::kMacRoman;

namespace {

StringRef Convert(const StringRef &s, uint32_t target) {
    return StringRef(textenc::Convert(s.Get(), target));
}

} // namespace

TEST(TextEncoding, ConverterNamesAndFamilies) {
    EXPECT_STREQ(textenc::ConverterName(kMacRoman), "MAC");
    EXPECT_STREQ(textenc::ConverterName(513), "ISO_8859-1");
    EXPECT_STREQ(textenc::ConverterName(521), "ISO_8859-9");
    EXPECT_STREQ(textenc::ConverterName(527), "ISO_8859-15:1998");
    EXPECT_STREQ(textenc::ConverterName(0x500), "CP1252");
    EXPECT_STREQ(textenc::ConverterName(kEncodingUnknown), "UTF8"); // the system encoding
    EXPECT_EQ(textenc::ConverterName(522), nullptr);
    EXPECT_EQ(textenc::ConverterName(1), nullptr);
    EXPECT_TRUE(textenc::IsUnicodeFamily(kEncodingUTF16));
    EXPECT_TRUE(textenc::IsUnicodeFamily(kEncodingUTF32));
    EXPECT_FALSE(textenc::IsUnicodeFamily(kEncodingASCII));
    EXPECT_TRUE(textenc::IsMultiByte(1056));
    EXPECT_FALSE(textenc::IsMultiByte(kEncodingUTF8));
    EXPECT_FALSE(textenc::IsMultiByte(kISOLatin1));
    EXPECT_EQ(textenc::Base(kEncodingUTF8), 0x100u);
    EXPECT_EQ(textenc::Format(kEncodingUTF8), 2u);
    EXPECT_EQ(textenc::Variant(0x00050100), 5u);
}

TEST(TextEncoding, CombiningIdentifiers) {
    using textenc::Combine;
    EXPECT_EQ(Combine(kISOLatin1, kISOLatin1, false), kISOLatin1);
    EXPECT_EQ(Combine(kEncodingASCII, kEncodingUTF8, false), kEncodingUTF8);
    EXPECT_EQ(Combine(kEncodingASCII, kISOLatin1, false), kISOLatin1);
    EXPECT_EQ(Combine(kMacRoman, kEncodingASCII, false), kMacRoman);
    EXPECT_EQ(Combine(kISOLatin1, kMacRoman, false), kEncodingUnknown);
    EXPECT_EQ(Combine(kISOLatin1, kMacRoman, true), kEncodingUTF8);
    EXPECT_EQ(Combine(kEncodingASCII, kEncodingUTF16, true), kEncodingUTF16);
    EXPECT_EQ(Combine(kISOLatin1, kEncodingUTF16, true), kEncodingUTF16);
    EXPECT_EQ(Combine(kEncodingUTF8, kEncodingUTF16, true), kEncodingUTF8);
    EXPECT_EQ(Combine(kEncodingASCII, kEncodingUTF32, false), kEncodingUnknown);
}

TEST(TextEncoding, CommonEncodingOfTwoStrings) {
    StringRef ascii = S("ab", kEncodingASCII), latin = S("\xE4", kISOLatin1);
    KESTstring *asciiBefore = ascii.Get(), *latinBefore = latin.Get();
    EXPECT_EQ(textenc::BringToCommon(ascii.Holder(), latin.Holder()), kISOLatin1);
    EXPECT_EQ(ascii.Get(), asciiBefore); // nothing converted
    EXPECT_EQ(latin.Get(), latinBefore);

    StringRef mac = S("\x8A", kMacRoman);
    EXPECT_EQ(textenc::BringToCommon(latin.Holder(), mac.Holder()), kEncodingUTF8);
    EXPECT_EQ(Str(latin), "\xC3\xA4");
    EXPECT_EQ(Str(mac), "\xC3\xA4");
    EXPECT_EQ(latin.Get()->encoding, kEncodingUTF8);

    StringRef empty, raw = S("\xFF", kEncodingUnknown);
    EXPECT_EQ(textenc::BringToCommon(empty.Holder(), mac.Holder()), kEncodingUTF8);
    EXPECT_EQ(textenc::BringToCommon(empty.Holder(), StringRef().Holder()), kEncodingASCII);
    EXPECT_EQ(textenc::BringToCommon(raw.Holder(), mac.Holder()), kEncodingUnknown);
    EXPECT_EQ(Str(raw), "\xFF");

    std::string reports = ReportsDuring([&] { textenc::BringToCommon(nullptr, mac.Holder()); });
    EXPECT_NE(reports.find("Failure Condition: s1 and s2"), std::string::npos) << reports;
}

TEST(TextEncoding, ConversionCopiesAsciiAndConvertsTheRest) {
    // ASCII-only UTF-8 text going to Latin-1: the bytes are copied and relabelled.
    StringRef plain = S("Preis", kEncodingUTF8);
    StringRef latin = Convert(plain, kISOLatin1);
    EXPECT_NE(latin.Get(), plain.Get());
    EXPECT_EQ(Str(latin), "Preis");
    EXPECT_EQ(latin.Get()->encoding, kISOLatin1);
    // Latin-1 0xE4 is "ä", two bytes in UTF-8.
    StringRef ae = S("\xE4", kISOLatin1);
    StringRef utf8 = Convert(ae, kEncodingUTF8);
    EXPECT_EQ(Str(utf8), "\xC3\xA4");
    EXPECT_EQ(utf8.Get()->encoding, kEncodingUTF8);
    // UTF-16 and UTF-32 are real conversions, also for ASCII text.
    StringRef ab = S("ab", kEncodingASCII);
    EXPECT_EQ(Str(Convert(ab, kEncodingUTF16)), std::string("a\0b\0", 4));
    std::string utf32 = Str(Convert(ab, kEncodingUTF32));
    ASSERT_GE(utf32.size(), 8u);
    EXPECT_EQ(utf32.substr(utf32.size() - 8), std::string("a\0\0\0b\0\0\0", 8));
    // Text in UTF-16 whose bytes are all below 0x80 is still converted.
    StringRef wide = S(std::string("h\0i\0", 4), kEncodingUTF16);
    EXPECT_EQ(Str(Convert(wide, kISOLatin1)), "hi");
}

TEST(TextEncoding, ConversionLeavesTextWithoutConverterAsItIs) {
    StringRef s = S("\xE4", kISOLatin1);
    for (uint32_t target : {kEncodingUnknown, kISOLatin1, uint32_t(1), uint32_t(0x7777)}) {
        StringRef r = Convert(s, target);
        EXPECT_EQ(r.Get(), s.Get()) << target;
    }
    StringRef raw = S("\xE4", kEncodingUnknown);
    EXPECT_EQ(Convert(raw, kEncodingUTF8).Get(), raw.Get());
    EXPECT_EQ(textenc::Convert(nullptr, kEncodingUTF8), nullptr);
}

TEST(TextEncoding, UndecodableBytesBecomeQuestionMarks) {
    StringRef bad = S("a\xFF"
                      "b\xC3",
                      kEncodingUTF8); // invalid, then truncated
    StringRef latin = Convert(bad, kISOLatin1);
    EXPECT_EQ(Str(latin), "a?b?");
    StringRef wide = Convert(bad, kEncodingUTF16);
    EXPECT_EQ(Str(wide), std::string("a\0?\0b\0?\0", 8));
    StringRef ascii = S("\xC3\xA4x", kEncodingUTF8);
    // ä has no ASCII form: each of its bytes becomes "?".
    EXPECT_EQ(Str(Convert(ascii, kEncodingASCII)), "??x");
}

TEST(TextEncoding, LastConversionIsCached) {
    StringRef s = S("\xE4\xF6", kISOLatin1);
    StringRef first = Convert(s, kEncodingUTF8);
    StringRef second = Convert(s, kEncodingUTF8);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_EQ(s.Get()->refCount, 2u); // the cache holds its source
    StringRef other = S("\xFC", kISOLatin1);
    StringRef third = Convert(other, kEncodingUTF8); // replaces the entry
    EXPECT_EQ(s.Get()->refCount, 1u);
    StringRef fourth = Convert(s, kEncodingUTF8);
    EXPECT_NE(fourth.Get(), first.Get());
    EXPECT_EQ(Str(fourth), "\xC3\xA4\xC3\xB6");
}

TEST(TextEncoding, UTF8Sequences) {
    struct Case {
        std::string bytes;
        uint32_t cp;
        size_t used;
    } cases[] = {{"A", 'A', 1},
                 {"\xC3\xA4", 0xE4, 2},
                 {"\xE2\x82\xAC", 0x20AC, 3},
                 {"\xF0\x9F\x98\x80", 0x1F600, 4},
                 {"\xC0\x80", 0xC0, 1},         // overlong
                 {"\xE2\x82", 0xE2, 1},         // truncated
                 {"\xED\xA0\x80", 0xED, 1},     // surrogate
                 {"\xF4\x90\x80\x80", 0xF4, 1}, // beyond U+10FFFF
                 {"\x80", 0x80, 1}};
    for (const Case &c : cases) {
        size_t used;
        const auto *p = reinterpret_cast<const uint8_t *>(c.bytes.data());
        EXPECT_EQ(textenc::DecodeUTF8(p, c.bytes.size(), &used), c.cp) << c.bytes;
        EXPECT_EQ(used, c.used) << c.bytes;
        if (c.used > 1) {
            uint8_t out[4];
            ASSERT_EQ(textenc::EncodeUTF8(c.cp, out), c.used);
            EXPECT_EQ(std::string(reinterpret_cast<char *>(out), c.used), c.bytes);
        }
    }
    uint8_t out[4];
    EXPECT_EQ(textenc::EncodeUTF8(0xD800, out), 0u);
    EXPECT_EQ(textenc::EncodeUTF8(0x110000, out), 0u);
}

TEST(TextEncoding, InternetNames) {
    EXPECT_STREQ(textenc::InternetName(kEncodingUTF8), "UTF-8");
    EXPECT_STREQ(textenc::InternetName(kEncodingUTF16), "UTF-16");
    EXPECT_STREQ(textenc::InternetName(0x04000100), "UTF-7");
    EXPECT_STREQ(textenc::InternetName(0x08050100), "UTF-8"); // any variant of a format
    EXPECT_STREQ(textenc::InternetName(kEncodingUTF32), "UCS-4");
    EXPECT_STREQ(textenc::InternetName(0x500), "windows-1252");
    EXPECT_STREQ(textenc::InternetName(kEncodingASCII), "US-ASCII");
    EXPECT_STREQ(textenc::InternetName(kMacRoman), "macintosh");
    EXPECT_STREQ(textenc::InternetName(1), "X-MAC-JAPANESE");
    EXPECT_STREQ(textenc::InternetName(textenc::kShiftJIS), "Shift_JIS");
    EXPECT_EQ(textenc::InternetName(kISOLatin1), nullptr);
    EXPECT_EQ(textenc::FromInternetName("utf-8"), kEncodingUTF8);
    EXPECT_EQ(textenc::FromInternetName("SHIFT_JIS"), textenc::kShiftJIS);
    EXPECT_EQ(textenc::FromInternetName("latin1"), kEncodingUnknown);
    EXPECT_EQ(textenc::FromInternetName(nullptr), kEncodingUnknown);
}

TEST(TextEncoding, RelabelAndCharacters) {
    StringRef s = S("\xE4", kISOLatin1);
    StringRef same(kstr::Relabel(s.Get(), kISOLatin1)), other(kstr::Relabel(s.Get(), kMacRoman));
    EXPECT_EQ(same.Get(), s.Get());
    EXPECT_EQ(Str(other), "\xE4");
    EXPECT_EQ(other.Get()->encoding, kMacRoman);
    StringRef euro(textenc::CharacterIn(0x500, 0x20AC)), ae(textenc::CharacterIn(kMacRoman, 0xE4));
    EXPECT_EQ(Str(euro), "\x80");
    EXPECT_EQ(euro.Get()->encoding, 0x500u);
    EXPECT_EQ(Str(ae), "\x8A");
    EXPECT_EQ(textenc::CharacterIn(kEncodingUTF8, 0xD800), nullptr);
}

TEST(TextEncoding, GuessingJapaneseEncodings) {
    // "日本語" in each encoding.
    StringRef jis = S("\x1B$BF|K\\8l\x1B(B", kEncodingUnknown);
    StringRef euc = S("\xC6\xFC\xCB\xDC\xB8\xEC", kEncodingUnknown);
    StringRef sjis = S("\x93\xFA\x96\x7B\x8C\xEA", kEncodingUnknown);
    EXPECT_EQ(textenc::GuessJapanese(jis.Get()), textenc::kISO2022JP);
    EXPECT_EQ(textenc::GuessJapanese(euc.Get()), textenc::kEUCJP);
    EXPECT_EQ(textenc::GuessJapanese(sjis.Get()), textenc::kShiftJIS);
    EXPECT_EQ(textenc::GuessJapanese(nullptr), textenc::kShiftJIS);
}

TEST(TextEncoding, StreamConverterCompletesCharactersAcrossPieces) {
    textenc::StreamConverter converter(kEncodingUTF8, kISOLatin1);
    // "ä" split between two pieces.
    StringRef first(converter.Convert(S("a\xC3").Get()));
    StringRef second(converter.Convert(S("\xA4z").Get()));
    EXPECT_EQ(Str(first), "a");
    EXPECT_EQ(Str(second), "\xE4z");
    EXPECT_EQ(second.Get()->encoding, kISOLatin1);
    // Clear forgets the waiting start of a character.
    StringRef cut(converter.Convert(S("\xC3").Get()));
    EXPECT_EQ(cut.Get(), nullptr);
    converter.Clear();
    EXPECT_EQ(Str(StringRef(converter.Convert(S("\xA4").Get()))), "?");
    // Without a converter the bytes stay, labelled with the source.
    textenc::StreamConverter none(kISOLatin1, 0x7777);
    StringRef kept(none.Convert(S("\xE4").Get()));
    EXPECT_EQ(Str(kept), "\xE4");
    EXPECT_EQ(kept.Get()->encoding, kISOLatin1);
}
