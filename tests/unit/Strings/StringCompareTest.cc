#include "StringMap.h"
#include "StringTestSupport.h"
#include "TextEncodingUtil.h"

#include <glib.h>

using namespace strtest;

namespace {

int Fold(const std::string &a, const std::string &b, uint32_t ea = kEncodingASCII,
         uint32_t eb = kEncodingASCII) {
    return kstr::CompareFold(S(a, ea).Get(), S(b, eb).Get());
}
int Binary(const std::string &a, const std::string &b) {
    return kstr::CompareBinary(S(a, kEncodingASCII).Get(), S(b, kEncodingASCII).Get());
}
int Runtime(const std::string &a, const std::string &b, uint32_t ea = kEncodingUTF8,
            uint32_t eb = kEncodingUTF8) {
    return RuntimeStringCompare(S(a, ea).Get(), S(b, eb).Get());
}

} // namespace

TEST(StringCompare, FoldComparisonOfEqualAndDifferentLengths) {
    EXPECT_EQ(Fold("Hauptfenster", "HAUPTFENSTER"), 0);
    EXPECT_EQ(Fold("abc", "abd"), -1);
    EXPECT_EQ(Fold("abd", "ABC"), 1);
    EXPECT_EQ(Fold("ab", "abc"), -1); // a prefix is smaller
    EXPECT_EQ(Fold("ABC", "ab"), 1);
    EXPECT_EQ(Fold("", "a"), -1);
    EXPECT_EQ(kstr::CompareFold(nullptr, nullptr), 0);
    // Different lengths compare folded bytes as signed values: a byte of the
    // upper half sorts before every ASCII byte.
    EXPECT_EQ(Fold("\xE9", "ab", kEncodingUnknown, kEncodingUnknown), -1);
    EXPECT_EQ(Fold("ab", "\xE9x\xE9", kEncodingUnknown, kEncodingUnknown), 1);
    // Mac Roman accented letters fold when the lengths differ (ä / Ä).
    EXPECT_EQ(Fold("\x8A", "\x80x", textenc::kMacRoman, textenc::kMacRoman), -1);
    EXPECT_EQ(Fold("\x8Ax", "\x80", textenc::kMacRoman, textenc::kMacRoman), 1);
    EXPECT_EQ(Fold("\x8A"
                   "a",
                   "\x80"
                   "Ab",
                   textenc::kMacRoman, textenc::kMacRoman),
              -1);
    // Equal lengths stop at a NUL byte, as strncasecmp does.
    EXPECT_EQ(Fold(std::string("a\0x", 3), std::string("A\0y", 3)), 0);
}

TEST(StringCompare, BinaryComparisonRespectsCase) {
    EXPECT_EQ(Binary("abc", "abc"), 0);
    EXPECT_EQ(Binary("abc", "ABC"), 1);
    EXPECT_EQ(Binary("AB", "abc"), -1);
    EXPECT_EQ(Binary("abc", "ab"), 1);
    EXPECT_EQ(kstr::CompareBinary(nullptr, S("a").Get()), -1);
}

TEST(StringCompare, FoldComparisonMeetsInTheCommonEncoding) {
    // ASCII against UTF-8 needs no conversion; Latin-1 against Mac Roman is
    // compared in UTF-8, where both hold the same letter.
    EXPECT_EQ(Fold("Welcome", "WELCOME", kEncodingASCII, kEncodingUTF8), 0);
    EXPECT_EQ(Fold("\xE4", "\x8A", textenc::kISOLatin1, textenc::kMacRoman), 0);
    EXPECT_NE(Fold("\xE4", "\x8A", kEncodingUnknown, textenc::kMacRoman), 0);
}

TEST(StringCompare, FoldTableMatchesMacRomanUpperCase) {
    // Every Mac Roman letter whose upper-case form is also in the set, and
    // which carries an accent (or is a ligature), folds to that form; the
    // rest of the upper half stays.
    GIConv toUtf8 = g_iconv_open("UTF-8", "MAC");
    ASSERT_NE(toUtf8, reinterpret_cast<GIConv>(-1));
    int folded = 0;
    for (int b = 0x80; b < 0x100; ++b) {
        char in = char(b);
        gchar *utf8 = g_convert_with_iconv(&in, 1, toUtf8, nullptr, nullptr, nullptr);
        ASSERT_NE(utf8, nullptr);
        gunichar c = g_utf8_get_char(utf8);
        g_free(utf8);
        uint8_t f = kstr::kFoldTable.map[b];
        if (f != b) {
            ++folded;
            char out = char(f);
            gchar *upper = g_convert_with_iconv(&out, 1, toUtf8, nullptr, nullptr, nullptr);
            EXPECT_EQ(g_utf8_get_char(upper), g_unichar_toupper(c)) << std::hex << b;
            g_free(upper);
        }
    }
    g_iconv_close(toUtf8);
    EXPECT_EQ(folded, 29);
    for (int b = 0; b < 0x80; ++b)
        EXPECT_EQ(kstr::kFoldTable.map[b], b >= 'a' && b <= 'z' ? b - 32 : b);
}

TEST(StringCompare, RuntimeComparisonFoldsCharactersOfUnicodeText) {
    EXPECT_EQ(Runtime("\xC3\x84rger", "\xC3\xA4RGER"), 0); // Ärger / äRGER
    EXPECT_EQ(Runtime("\xC3\xA4", "\xC3\xB6"), -1);
    EXPECT_EQ(Runtime("abc", "ab"), 1);
    EXPECT_EQ(Runtime(std::string("\xC4\x00", 2), std::string("\xE4\x00", 2), kEncodingUTF16,
                      kEncodingUTF16),
              0);
    // ASCII against UTF-16 is converted and then compared by characters.
    EXPECT_EQ(Runtime("AB", std::string("a\0b\0", 4), kEncodingASCII, kEncodingUTF16), 0);
    // Empty operands: the same record is equal, else the empty one is smaller.
    EXPECT_EQ(RuntimeStringCompare(nullptr, nullptr), 0);
    EXPECT_EQ(Runtime("", "a"), -1);
    EXPECT_EQ(Runtime("a", ""), 1);
    StringRef s = S("x");
    EXPECT_EQ(RuntimeStringCompare(s.Get(), s.Get()), 0);
    // Other encodings use the byte comparison.
    EXPECT_EQ(Runtime("abc", "ABC", textenc::kISOLatin1, textenc::kISOLatin1), 0);
}

TEST(StringCompare, StringMapFindsKeysOfOtherEncodings) {
    StringMap<int> map;
    StringRef key = S("calcAll", kEncodingASCII);
    map.Set(key.Get(), 7);
    int value = 0;
    EXPECT_TRUE(map.Lookup(S("CALCALL", kEncodingUTF8).Get(), &value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(map.Lookup(S("calcAl", kEncodingUTF8).Get(), &value));
}
