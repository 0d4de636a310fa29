#include "SmallBlockAllocator.h"
#include "StringTestSupport.h"
#include "TextEncodingUtil.h"

#include <string>

using namespace strtest;

TEST(StringRecord, LayoutOfShortAndLongRecords) {
    size_t before = smallblock::BytesInUse();
    {
        StringRef s = S(std::string(300, 'x'), kEncodingASCII);
        ASSERT_NE(s.Get(), nullptr);
        EXPECT_EQ(smallblock::BytesInUse(), before + 300 + 22);
        EXPECT_EQ(s.Get()->length, 300u);
        EXPECT_EQ(s.Get()->capacity, 302u);
        EXPECT_EQ(s.Get()->text[0], 255);
        EXPECT_EQ(s.Get()->text[301], 0);
        EXPECT_EQ(s.Get()->text, reinterpret_cast<uint8_t *>(s.Get()) + 20);
        StringRef t = S("abc", kEncodingASCII);
        EXPECT_EQ(t.Get()->text[0], 3);
        EXPECT_EQ(std::string(kstr::Text(t.Get())), "abc");
        EXPECT_EQ(t.Get()->refCount, 1u);
    }
    EXPECT_EQ(smallblock::BytesInUse(), before);
    EXPECT_EQ(kstr::Make("x", 0, kEncodingASCII), nullptr);
    EXPECT_STREQ(kstr::Text(nullptr), "");
    EXPECT_EQ(kstr::Encoding(nullptr), kEncodingASCII);
}

TEST(StringRecord, LockUnlockAndAssignment) {
    StringRef a = S("a"), b = S("b");
    RuntimeLockString(nullptr);
    RuntimeUnlockString(nullptr);
    RuntimeLockUnlockStrings(a.Get(), a.Get());
    EXPECT_EQ(a.Get()->refCount, 1u);
    RuntimeLockString(b.Get()); // a holder of b takes a instead
    RuntimeLockUnlockStrings(a.Get(), b.Get());
    EXPECT_EQ(a.Get()->refCount, 2u);
    EXPECT_EQ(b.Get()->refCount, 1u);
    RuntimeLockUnlockStrings(nullptr, a.Get());
    EXPECT_EQ(a.Get()->refCount, 1u);
}

TEST(StringRecord, PartsClipAndShareTheWholeRange) {
    StringRef s = S("Hauptfenster", kEncodingASCII);
    struct Case {
        int32_t start, count;
        const char *expected;
    } cases[] = {{0, 5, "Haupt"}, {5, 3, "fen"}, {-4, 2, "Ha"}, {10, 99, "er"},         {12, 1, ""},
                 {40, 1, ""},     {3, 0, ""},    {3, -2, ""},   {0, 12, "Hauptfenster"}};
    for (const Case &c : cases) {
        StringRef part(kstr::Mid(s.Get(), c.start, c.count));
        EXPECT_EQ(Str(part), c.expected) << c.start << "," << c.count;
        if (part.Get() != nullptr) {
            EXPECT_EQ(part.Get()->encoding, kEncodingASCII);
        }
    }
    EXPECT_EQ(Str(StringRef(kstr::Left(s.Get(), 4))), "Haup");
    EXPECT_EQ(Str(StringRef(kstr::Right(s.Get(), 4))), "ster");
    EXPECT_EQ(Str(StringRef(kstr::MidToEnd(s.Get(), 5))), "fenster");
    EXPECT_EQ(kstr::Left(s.Get(), -1), nullptr);
    EXPECT_EQ(kstr::Right(nullptr, 3), nullptr);
    {
        StringRef whole(kstr::Right(s.Get(), 100));
        StringRef again(kstr::Mid(s.Get(), -1, 100));
        EXPECT_EQ(whole.Get(), s.Get());
        EXPECT_EQ(again.Get(), s.Get());
        EXPECT_EQ(s.Get()->refCount, 3u);
    }
    EXPECT_EQ(s.Get()->refCount, 1u);
}

TEST(StringRecord, ConcatenationSharesEmptyOperandsAndJoinsEncodings) {
    EXPECT_EQ(RuntimeAddString(nullptr, nullptr), nullptr);
    StringRef a = S("Preis ", kEncodingASCII);
    {
        StringRef r(RuntimeAddString(a.Get(), nullptr));
        StringRef l(RuntimeAddString(nullptr, a.Get()));
        EXPECT_EQ(r.Get(), a.Get());
        EXPECT_EQ(l.Get(), a.Get());
        EXPECT_EQ(a.Get()->refCount, 3u);
    }
    StringRef euro = S("12 \xE2\x82\xAC", kEncodingUTF8);
    StringRef joined(RuntimeAddString(a.Get(), euro.Get()));
    EXPECT_EQ(Str(joined), "Preis 12 \xE2\x82\xAC");
    EXPECT_EQ(joined.Get()->encoding, kEncodingUTF8);
    EXPECT_EQ(a.Get()->refCount, 1u);
    EXPECT_EQ(euro.Get()->refCount, 1u);

    // Latin-1 and Mac Roman meet in UTF-8: both sides are converted.
    StringRef latin = S("\xE4", textenc::kISOLatin1), mac = S("\x8A", textenc::kMacRoman);
    StringRef both(RuntimeAddString(latin.Get(), mac.Get()));
    EXPECT_EQ(Str(both), "\xC3\xA4\xC3\xA4");
    EXPECT_EQ(both.Get()->encoding, kEncodingUTF8);
    // An unknown side joins the bytes as they are.
    StringRef raw = S("\xFF", kEncodingUnknown);
    StringRef mixed(RuntimeAddString(latin.Get(), raw.Get()));
    EXPECT_EQ(Str(mixed), "\xE4\xFF");
    EXPECT_EQ(mixed.Get()->encoding, kEncodingUnknown);
}

TEST(StringRecord, FindByteFromPosition) {
    StringRef s = S("a;b;c");
    EXPECT_EQ(kstr::FindByte(s.Get(), ';', 0), 1);
    EXPECT_EQ(kstr::FindByte(s.Get(), ';', 2), 3);
    EXPECT_EQ(kstr::FindByte(s.Get(), ';', -7), 1);
    EXPECT_EQ(kstr::FindByte(s.Get(), ';', 4), -1);
    EXPECT_EQ(kstr::FindByte(s.Get(), ';', 99), -1);
    EXPECT_EQ(kstr::FindByte(nullptr, ';', 0), -1);
}

TEST(StringRecord, SetByteCopiesSharedRecordsAndReportsBadPositions) {
    StringRef original = S("abc");
    StringRef holder = StringRef::Shared(original.Get());
    ASSERT_TRUE(kstr::SetByte(holder.Holder(), 1, 'X'));
    EXPECT_NE(holder.Get(), original.Get()); // copied on write
    EXPECT_EQ(Str(holder), "aXc");
    EXPECT_EQ(Str(original), "abc");
    EXPECT_EQ(original.Get()->refCount, 1u);
    KESTstring *before = holder.Get();
    ASSERT_TRUE(kstr::SetByte(holder.Holder(), 0, 'Y')); // sole holder: in place
    EXPECT_EQ(holder.Get(), before);
    EXPECT_EQ(Str(holder), "YXc");

    std::string reports = ReportsDuring([&] {
        EXPECT_FALSE(kstr::SetByte(holder.Holder(), 3, 'Z'));
        EXPECT_FALSE(kstr::SetByte(holder.Holder(), -1, 'Z'));
    });
    EXPECT_NE(reports.find("Failure Condition: not (pos < 0 || pos >= Length())"),
              std::string::npos)
        << reports;
    EXPECT_NE(reports.find("Universal/KESTstring"), std::string::npos);
    EXPECT_EQ(Str(holder), "YXc");

    StringRef empty;
    reports = ReportsDuring([&] { EXPECT_FALSE(kstr::SetByte(empty.Holder(), 0, 'Z')); });
    EXPECT_NE(reports.find("Failure Condition: not pos\n"), std::string::npos) << reports;
    EXPECT_EQ(empty.Get(), nullptr);
}

TEST(StringRecord, AppendFormatKeepsTheEncodingAndGrowsPastSmallBuffers) {
    StringRef s;
    kstr::AppendFormat(s.Holder(), "%d-%s", 42, "x");
    EXPECT_EQ(Str(s), "42-x");
    EXPECT_EQ(s.Get()->encoding, kEncodingASCII);
    StringRef u = S("\xC3\xA4", kEncodingUTF8);
    std::string longText(1000, 'q');
    kstr::AppendFormat(u.Holder(), "%s!", longText.c_str());
    EXPECT_EQ(Str(u), "\xC3\xA4" + longText + "!");
    EXPECT_EQ(u.Get()->encoding, kEncodingUTF8);
    EXPECT_EQ(u.Get()->refCount, 1u);
}

TEST(StringRecord, CopyAndToUTF8) {
    StringRef s = S("\xE4", textenc::kISOLatin1);
    StringRef copy(kstr::Copy(s.Get()));
    EXPECT_NE(copy.Get(), s.Get());
    EXPECT_EQ(Str(copy), "\xE4");
    EXPECT_EQ(copy.Get()->encoding, textenc::kISOLatin1);
    StringRef utf8(kstr::ToUTF8(s.Get()));
    EXPECT_EQ(Str(utf8), "\xC3\xA4");
    StringRef same(kstr::ToUTF8(utf8.Get()));
    EXPECT_EQ(same.Get(), utf8.Get());
}
