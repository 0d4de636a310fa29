#include "StringFunctions.h"
#include "StringTestSupport.h"
#include "TextEncodingUtil.h"

using namespace strtest;

namespace {

std::string R(KESTstring *s) {
    return Str(StringRef(s));
}

} // namespace

TEST(StringFunctions, BytePartsUseOneBasedPositions) {
    StringRef s = S("Hauptfenster");
    EXPECT_EQ(R(StringLeft(s.Get(), 5)), "Haupt");
    EXPECT_EQ(R(StringRight(s.Get(), 6)), "enster");
    EXPECT_EQ(R(StringMid2(s.Get(), 6)), "fenster");
    EXPECT_EQ(R(StringMid2(s.Get(), 0)), "Hauptfenster");
    EXPECT_EQ(R(StringMid2(s.Get(), INT32_MIN)), "Hauptfenster");
    EXPECT_EQ(R(StringMid3(s.Get(), 6, 3)), "fen");
    EXPECT_EQ(R(StringMid3(s.Get(), 12, 5)), "r");
    EXPECT_EQ(R(StringMid3(s.Get(), 13, 5)), "");
    EXPECT_EQ(R(StringMid3(s.Get(), 2, -1)), "");
    EXPECT_EQ(StringLen(s.Get()), 12);
    EXPECT_EQ(StringLen(nullptr), 0);
    StringRef umlaut = S("\xC3\xA4");
    EXPECT_EQ(StringLen(umlaut.Get()), 2);
    EXPECT_EQ(StringAsc(umlaut.Get()), 0xC3);
    EXPECT_EQ(StringAsc(nullptr), 0);
    EXPECT_EQ(R(StringLeft(umlaut.Get(), 1)), "\xC3");
}

TEST(StringFunctions, ChrMakesOneByteStrings) {
    StringRef a(StringChr(65)), high(StringChr(0xE4)), wrapped(StringChr(0x141)),
        zero(StringChr(0)), negative(StringChr(-1));
    EXPECT_EQ(Str(a), "A");
    EXPECT_EQ(a.Get()->encoding, kEncodingASCII);
    EXPECT_EQ(Str(high), "\xE4");
    EXPECT_EQ(high.Get()->encoding, kEncodingUnknown);
    EXPECT_EQ(Str(wrapped), "A");
    EXPECT_EQ(wrapped.Get()->encoding, kEncodingUnknown);
    EXPECT_EQ(Str(zero), std::string(1, '\0'));
    EXPECT_EQ(Str(negative), "\xFF");
    EXPECT_EQ(negative.Get()->encoding, kEncodingUnknown);
}

TEST(StringFunctions, InStrFoldsCaseAndInStrBDoesNot) {
    StringRef s = S("Preis: 12 EUR, Preis: 13 eur");
    StringRef eur = S("eur", kEncodingASCII), empty;
    EXPECT_EQ(StringInStr(s.Get(), eur.Get()), 11);
    EXPECT_EQ(StringExtendsInStr(12, s.Get(), eur.Get()), 26);
    EXPECT_EQ(StringExtendsInStr(-5, s.Get(), eur.Get()), 11);
    EXPECT_EQ(StringExtendsInStr(27, s.Get(), eur.Get()), 0);
    EXPECT_EQ(StringExtendsInStr(500, s.Get(), eur.Get()), 0);
    EXPECT_EQ(StringInStrB(s.Get(), eur.Get()), 26);
    EXPECT_EQ(StringExtendsInStrB(27, s.Get(), eur.Get()), 0);
    EXPECT_EQ(StringInStr(s.Get(), empty.Get()), 0);
    EXPECT_EQ(StringInStr(nullptr, eur.Get()), 0);
    // Characters of UTF-8 text fold as characters: "Ä" finds "ä".
    StringRef german = S("Gr\xC3\xB6\xC3\x9F"
                         "e \xC3\xA4rger"),
              upper = S("\xC3\x84RGER");
    EXPECT_EQ(StringInStr(german.Get(), upper.Get()), 9);
    EXPECT_EQ(StringInStrB(german.Get(), upper.Get()), 0);
    // Latin-1 text is searched in the common encoding with a UTF-8 needle.
    StringRef latin = S("\xE4rger", textenc::kISOLatin1), lower = S("RGER", kEncodingUTF8);
    EXPECT_EQ(StringInStr(latin.Get(), lower.Get()), 3); // after the two bytes of "ä"
}

TEST(StringFunctions, FieldsCountAndPick) {
    StringRef s = S("a;b;;c"), sep = S(";"), word = S("AND"), none;
    EXPECT_EQ(StringCountFields(s.Get(), sep.Get()), 4);
    EXPECT_EQ(StringCountFields(nullptr, sep.Get()), 0);
    EXPECT_EQ(StringCountFields(s.Get(), none.Get()), 1);
    EXPECT_EQ(R(StringNthField(s.Get(), sep.Get(), 1)), "a");
    EXPECT_EQ(R(StringNthField(s.Get(), sep.Get(), 3)), "");
    EXPECT_EQ(R(StringNthField(s.Get(), sep.Get(), 4)), "c");
    EXPECT_EQ(R(StringNthField(s.Get(), sep.Get(), 5)), "");
    EXPECT_EQ(R(StringNthField(s.Get(), sep.Get(), 0)), "");
    EXPECT_EQ(R(StringNthField(s.Get(), none.Get(), 1)), "a;b;;c");
    EXPECT_EQ(R(StringNthField(s.Get(), none.Get(), 2)), "");
    StringRef words = S("salt and pepper AND oil");
    EXPECT_EQ(StringCountFields(words.Get(), word.Get()), 3);
    EXPECT_EQ(StringCountFieldsB(words.Get(), word.Get()), 2);
    EXPECT_EQ(R(StringNthField(words.Get(), word.Get(), 2)), " pepper ");
    EXPECT_EQ(R(StringNthFieldB(words.Get(), word.Get(), 2)), " oil");
    StringRef trailing = S("x,"), comma = S(",");
    EXPECT_EQ(StringCountFieldsB(trailing.Get(), comma.Get()), 2);
    EXPECT_EQ(R(StringNthFieldB(trailing.Get(), comma.Get(), 2)), "");
}

TEST(StringFunctions, ReplaceFirstOrAll) {
    StringRef s = S("Ab ab AB"), ab = S("ab"), x = S("[x]"), none;
    EXPECT_EQ(R(StringReplace(s.Get(), ab.Get(), x.Get())), "[x] ab AB");
    EXPECT_EQ(R(StringReplaceAll(s.Get(), ab.Get(), x.Get())), "[x] [x] [x]");
    EXPECT_EQ(R(StringReplaceB(s.Get(), ab.Get(), x.Get())), "Ab [x] AB");
    EXPECT_EQ(R(StringReplaceAllB(s.Get(), ab.Get(), none.Get())), "Ab  AB");
    EXPECT_EQ(R(StringReplaceAll(s.Get(), ab.Get(), none.Get())), "  ");
    {
        // Nothing to replace: the same record comes back.
        StringRef same(StringReplaceAll(s.Get(), x.Get(), ab.Get()));
        StringRef unchanged(StringReplace(s.Get(), none.Get(), ab.Get()));
        EXPECT_EQ(same.Get(), s.Get());
        EXPECT_EQ(unchanged.Get(), s.Get());
    }
    EXPECT_EQ(s.Get()->refCount, 1u);
    EXPECT_EQ(StringReplace(nullptr, ab.Get(), x.Get()), nullptr);
    // A replacement in another encoding joins the common encoding.
    StringRef price = S("12 EUR", kEncodingASCII), eur = S("eur", kEncodingASCII);
    StringRef euro = S("\xA4", 527); // "€" in ISO 8859-15
    StringRef replaced(StringReplaceAll(price.Get(), eur.Get(), euro.Get()));
    EXPECT_EQ(Str(replaced), "12 \xA4");
    EXPECT_EQ(replaced.Get()->encoding, 527u);
    StringRef utf8Euro = S("\xE2\x82\xAC");
    StringRef latin = S("\xE4 EUR", textenc::kISOLatin1);
    StringRef both(StringReplace(latin.Get(), eur.Get(), utf8Euro.Get()));
    EXPECT_EQ(Str(both), "\xC3\xA4 \xE2\x82\xAC");
    EXPECT_EQ(both.Get()->encoding, kEncodingUTF8);
}

TEST(StringFunctions, StrCompareModes) {
    StringRef a = S("abc"), upper = S("ABC"), b = S("abd");
    EXPECT_EQ(StringStrCompare(a.Get(), upper.Get(), 0), 1);
    EXPECT_EQ(StringStrCompare(a.Get(), upper.Get(), 1), 0);
    EXPECT_EQ(StringStrCompare(a.Get(), b.Get(), 1), -1);
    EXPECT_EQ(StringStrCompare(b.Get(), upper.Get(), 1), 1);
    EXPECT_EQ(StringStrCompare(nullptr, a.Get(), 0), -1);
}

TEST(StringFunctions, TrimSpacesAndTabs) {
    StringRef s = S(" \t Preis \t "), clean = S("Preis"), blank = S(" \t ");
    EXPECT_EQ(R(runLTrim(s.Get())), "Preis \t ");
    EXPECT_EQ(R(runRTrim(s.Get())), " \t Preis");
    EXPECT_EQ(R(runTrim(s.Get())), "Preis");
    EXPECT_EQ(runTrim(blank.Get()), nullptr);
    EXPECT_EQ(runTrim(nullptr), nullptr);
    StringRef same(runTrim(clean.Get()));
    EXPECT_EQ(same.Get(), clean.Get());
    StringRef newline = S("\nx\n");
    EXPECT_EQ(R(runTrim(newline.Get())), "\nx\n");
}
