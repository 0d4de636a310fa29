#include "StringFunctions.h"
#include "StringTestSupport.h"
#include "TextEncodingUtil.h"

using namespace strtest;

namespace {

std::string R(KESTstring *s) {
    return Str(StringRef(s));
}

const uint32_t kShiftJIS = 2561;

} // namespace

TEST(StringCharacters, UTF8TextCountsWholeCharacters) {
    // "Grüße €": 7 characters in 11 bytes.
    StringRef s = S("Gr\xC3\xBC\xC3\x9F"
                    "e \xE2\x82\xAC");
    EXPECT_EQ(StringDBCSLen(s.Get()), 7);
    EXPECT_EQ(R(StringDBCSLeft(s.Get(), 3)), "Gr\xC3\xBC");
    EXPECT_EQ(R(StringDBCSRight(s.Get(), 3)), "e \xE2\x82\xAC");
    EXPECT_EQ(R(StringDBCSMid2(s.Get(), 4)), "\xC3\x9F"
                                             "e \xE2\x82\xAC");
    EXPECT_EQ(R(StringDBCSMid3(s.Get(), 3, 2)), "\xC3\xBC\xC3\x9F");
    EXPECT_EQ(R(StringDBCSMid3(s.Get(), 0, 1)), "G");
    EXPECT_EQ(R(StringDBCSMid3(s.Get(), 8, 1)), "");
    EXPECT_EQ(R(StringDBCSLeft(s.Get(), -1)), "");
    EXPECT_EQ(StringDBCSAsc(s.Get()), 'G');
    StringRef euro = S("\xE2\x82\xAC");
    EXPECT_EQ(StringDBCSAsc(euro.Get()), 0x20AC);
    StringRef ss = S("SS"), e = S("E \xE2\x82\xAC");
    EXPECT_EQ(StringDBCSInStr(s.Get(), e.Get()), 5);
    EXPECT_EQ(StringDBCSInStr(s.Get(), ss.Get()), 0);
    {
        StringRef whole(StringDBCSLeft(s.Get(), 99));
        EXPECT_EQ(whole.Get(), s.Get());
    }
    // A stray byte is one character of its own.
    StringRef broken = S("a\xFF"
                         "b");
    EXPECT_EQ(StringDBCSLen(broken.Get()), 3);
}

TEST(StringCharacters, OtherEncodingsCountUnitsOrBytes) {
    StringRef wide = S(std::string("a\0\xE4\0z\0", 6), kEncodingUTF16);
    EXPECT_EQ(StringDBCSLen(wide.Get()), 3);
    EXPECT_EQ(R(StringDBCSMid3(wide.Get(), 2, 1)), std::string("\xE4\0", 2));
    EXPECT_EQ(StringDBCSAsc(StringRef(StringDBCSRight(wide.Get(), 2)).Get()), 0xE4);
    StringRef latin = S("\xE4\xF6\xFC", textenc::kISOLatin1);
    EXPECT_EQ(StringDBCSLen(latin.Get()), 3);
    EXPECT_EQ(R(StringDBCSRight(latin.Get(), 1)), "\xFC");
    EXPECT_EQ(StringDBCSAsc(latin.Get()), 0xE4);
    // Shift_JIS: "日本" is two characters of two bytes each, worked on in
    // UTF-8 and converted back.
    StringRef japanese = S("\x93\xFA\x96\x7B"
                           "a",
                           kShiftJIS);
    EXPECT_EQ(StringDBCSLen(japanese.Get()), 3);
    StringRef second(StringDBCSMid3(japanese.Get(), 2, 1));
    EXPECT_EQ(Str(second), "\x96\x7B");
    EXPECT_EQ(second.Get()->encoding, kShiftJIS);
    StringRef a = S("A", kEncodingASCII);
    EXPECT_EQ(StringDBCSInStr(japanese.Get(), a.Get()), 3);
}

TEST(StringCharacters, ChrOfCodePoints) {
    StringRef a(StringDBCSChr('A')), euro(StringDBCSChr(0x20AC)), smile(StringDBCSChr(0x1F600));
    EXPECT_EQ(Str(a), "A");
    EXPECT_EQ(Str(euro), "\xE2\x82\xAC");
    EXPECT_EQ(euro.Get()->encoding, kEncodingUTF8);
    EXPECT_EQ(Str(smile), "\xF0\x9F\x98\x80");
    EXPECT_EQ(StringDBCSChr(-1), nullptr);
    EXPECT_EQ(StringDBCSChr(0xD800), nullptr);
    EXPECT_EQ(StringDBCSChr(0x110000), nullptr);
}

TEST(StringCharacters, CaseMapping) {
    StringRef s = S("gr\xC3\xBC\xC3\x9F"
                    "e aus k\xC3\xB6LN");
    EXPECT_EQ(R(StringUCase(s.Get())), "GR\xC3\x9CSSE AUS K\xC3\x96LN");
    EXPECT_EQ(R(StringLCase(s.Get())), "gr\xC3\xBC\xC3\x9F"
                                       "e aus k\xC3\xB6ln");
    EXPECT_EQ(R(StringTitleCase(s.Get())), "Gr\xC3\xBC\xC3\x9F"
                                           "e Aus K\xC3\xB6ln");
    StringRef words = S("don't STOP-me now", kEncodingASCII);
    EXPECT_EQ(R(StringTitleCase(words.Get())), "Don't Stop-Me Now");
    EXPECT_EQ(R(StringUCase(words.Get())), "DON'T STOP-ME NOW");
    // Latin-1 maps through UTF-8 and stays Latin-1.
    StringRef latin = S("\xE4pfel", textenc::kISOLatin1);
    StringRef upper(StringUCase(latin.Get()));
    EXPECT_EQ(Str(upper), "\xC4PFEL");
    EXPECT_EQ(upper.Get()->encoding, textenc::kISOLatin1);
    // Text that is not valid UTF-8 maps its ASCII letters only.
    StringRef raw = S("\xFF"
                      "ab",
                      kEncodingUnknown);
    EXPECT_EQ(R(StringUCase(raw.Get())), "\xFF"
                                         "AB");
    EXPECT_EQ(StringUCase(nullptr), nullptr);
    StringRef done = S("ABC");
    StringRef same(StringUCase(done.Get()));
    EXPECT_EQ(same.Get(), done.Get());
}
