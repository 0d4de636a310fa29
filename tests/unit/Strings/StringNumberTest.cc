#include "StringNumber.h"
#include "RuntimeConversions.h"
#include "StringFunctions.h"
#include "StringTestSupport.h"
#include "Variant.h"

#include <cmath>
#include <limits>

using namespace strtest;

namespace {

double Val(const std::string &text, uint32_t encoding = kEncodingUTF8) {
    return StringVal(S(text, encoding).Get());
}
double CDbl(const std::string &text) {
    return runCDbl(S(text).Get());
}
bool IsNumeric(const std::string &text) {
    bool valid = false;
    kstr::ValChecked(S(text).Get(), &valid);
    return valid;
}
std::string Str(double value) {
    StringRef s(StringStrDouble(value));
    EXPECT_TRUE(s.Get() == nullptr || s.Get()->encoding == kEncodingASCII);
    return strtest::Str(s);
}

} // namespace

TEST(StringNumber, ValReadsTheLeadingDecimalNumber) {
    struct {
        const char *text;
        double value;
    } cases[] = {{"", 0},         {"12abc", 12},  {"  -1.5e3xyz", -1500},
                 {".5", 0.5},     {"5.", 5},      {"1e", 1},
                 {"1e+", 1},      {"2E-2", 0.02}, {"-", 0},
                 {"abc", 0},      {"0x10", 0},    {"inf", 0},
                 {"nan", 0},      {"1,5", 1},     {"1.2.3", 1.2},
                 {"\t\n\r 7", 7}, {"+4", 4},      {"--4", 0},
                 {"007", 7},      {"1 000", 1}};
    for (const auto &c : cases)
        EXPECT_EQ(Val(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(Val("1e400")));
    EXPECT_EQ(Val(std::string("4\0"
                              "2\0",
                              4),
                  kEncodingUTF16),
              42); // UTF-16 is read as UTF-8
    // "." is the decimal point in every locale.
    KQ_LOCALE("de_DE.UTF-8");
    EXPECT_EQ(Val("1.5"), 1.5);
    EXPECT_EQ(Val("1,5"), 1);
}

TEST(StringNumber, ValReadsRadixPrefixesAsSigned32BitIntegers) {
    EXPECT_EQ(Val("&hFF"), 255);
    EXPECT_EQ(Val("&Hff"), 255);
    EXPECT_EQ(Val("&o17"), 15);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("&b101"), 5);
    EXPECT_EQ(Val("&B1012"), 5); // stops at the first digit outside the radix
    EXPECT_EQ(Val("&hFFFFFFFF"), -1);
    EXPECT_EQ(Val("&h1FFFFFFFF"), -1); // wraps at 32 bits
    EXPECT_EQ(Val("&h80000000"), -2147483648.0);
    EXPECT_EQ(Val("&x12"), 0);
    EXPECT_EQ(Val("&h"), 0);
    EXPECT_EQ(Val("&hG1"), 0);
    EXPECT_EQ(Val("&"), 0);
}

TEST(StringNumber, ValidityForIsNumeric) {
    for (const char *valid : {"12", " -1.5 ", "1,000", "1.5e10", "1.5D-3", "+.5", "3.", "\t9\n",
                              "1.000,5", "2d4", "-0"})
        EXPECT_TRUE(IsNumeric(valid)) << '"' << valid << '"';
    for (const char *invalid : {"", " ", "abc", "1,", ",1", "1,,0", "1.2.3", "1e", "1e+", "12abc",
                                "&hFF", "1 2", "--1", ".", "+", "1e5x"})
        EXPECT_FALSE(IsNumeric(invalid)) << '"' << invalid << '"';
    bool valid;
    EXPECT_EQ(kstr::ValChecked(S("12abc").Get(), &valid), 12); // the value is Val's
}

TEST(StringNumber, CDblFollowsTheLocaleSeparators) {
    {
        KQ_LOCALE("de_DE.UTF-8");
        EXPECT_EQ(CDbl("1.234,56"), 1234.56);
        EXPECT_EQ(CDbl("12.5"), 125);
        EXPECT_EQ(CDbl("12,50"), 12.5);
        EXPECT_EQ(CDbl("-1.000.000,5"), -1000000.5);
        EXPECT_EQ(CDbl("&hFF"), 255);
        EXPECT_EQ(CDbl("abc"), 0);
        EXPECT_EQ(CDbl(""), 0);
        EXPECT_EQ(runCDbl(nullptr), 0);
        EXPECT_EQ(runCLong(S("2,7").Get()), 2);
        EXPECT_EQ(runCLong(S("-2,9").Get()), -2);
    }
    {
        KQ_LOCALE("en_US.UTF-8");
        EXPECT_EQ(CDbl("1,234.56"), 1234.56);
        EXPECT_EQ(CDbl("12,50"), 1250);
        EXPECT_EQ(CDbl("12.5"), 12.5);
        EXPECT_EQ(runCLong(S("1e10").Get()), INT32_MIN); // out of range
    }
    {
        KQ_LOCALE("C"); // no thousands separator: "," stands in
        EXPECT_EQ(CDbl("1,5"), 15);
        EXPECT_EQ(CDbl("1.5"), 1.5);
    }
}

TEST(StringNumber, StrWritesSevenSignificantDigitsOrScientific) {
    struct {
        double value;
        const char *text;
    } cases[] = {{0, "0"},
                 {-0.0, "0"},
                 {1, "1"},
                 {1.5, "1.5"},
                 {-1.5, "-1.5"},
                 {123.456789, "123.4568"},
                 {0.1, "0.1"},
                 {1.0 / 3, "0.333333"},
                 {1000000, "1000000"},
                 {999999.96, "1000000"},
                 {1000001, "1.000001e+6"},
                 {12345678, "1.234568e+7"},
                 {0.00001, "0.00001"},
                 {0.000009, "9.000000e-06"},
                 {1e20, "1.000000e+20"},
                 {-1.5e-10, "-1.500000e-10"},
                 {1e100, "1.000000e+100"},
                 {std::numeric_limits<double>::quiet_NaN(), "NAN"},
                 {std::numeric_limits<double>::infinity(), "INF"},
                 {-std::numeric_limits<double>::infinity(), "-INF"}};
    for (const char *locale : {"de_DE.UTF-8", "en_US.UTF-8"}) {
        KQ_LOCALE(locale);
        for (const auto &c : cases)
            EXPECT_EQ(Str(c.value), c.text) << locale << " " << c.value;
    }
    EXPECT_EQ(strtest::Str(StringRef(StringStrSingle(0.1f))), "0.1");
    EXPECT_EQ(strtest::Str(StringRef(StringStrSingle(3.4e38f))), "3.400000e+38");
}

TEST(StringNumber, LocaleStrUsesTheDecimalSeparator) {
    KQ_LOCALE("de_DE.UTF-8");
    StringRef fraction(kstr::StrDouble(1.5, true)), whole(kstr::StrDouble(3, true));
    EXPECT_EQ(strtest::Str(fraction), "1,5");
    EXPECT_EQ(fraction.Get()->encoding, kEncodingUTF8);
    EXPECT_EQ(strtest::Str(whole), "3");
    StringRef scientific(kstr::StrDouble(2.5e-9, true));
    EXPECT_EQ(strtest::Str(scientific), "2,500000e-09");

    // CStr of a variant: floating-point values in the locale, others as Str.
    Ref<RuntimeObject> price(DoubleToVariant(1234.5)), count(Int32ToVariant(-12)),
        text(StringToVariant(StringRef(kstr::FromC("12,5")).Get()));
    EXPECT_EQ(strtest::Str(StringRef(runCStr(price.get()))), "1234,5");
    EXPECT_EQ(strtest::Str(StringRef(runCStr(count.get()))), "-12");
    EXPECT_EQ(strtest::Str(StringRef(runCStr(text.get()))), "12,5");
    EXPECT_EQ(runCStr(nullptr), nullptr);
}

TEST(StringNumber, IsNumericOfVariants) {
    auto numeric = [](RuntimeObject *v) {
        bool result = RuntimeIsNumeric(v);
        RuntimeUnlockObject(v);
        return result;
    };
    auto text = [](const char *s) { return StringToVariant(StringRef(kstr::FromC(s)).Get()); };
    EXPECT_TRUE(numeric(DoubleToVariant(0.5)));
    EXPECT_TRUE(numeric(CurrencyToVariant(10000)));
    EXPECT_TRUE(numeric(text(" -1.5e3 ")));
    EXPECT_FALSE(numeric(text("12abc")));
    EXPECT_FALSE(numeric(BooleanToVariant(true)));
    EXPECT_FALSE(numeric(nullptr));
}

TEST(StringNumber, StrOfIntegers) {
    auto text = [](KESTstring *s) {
        StringRef r(s);
        EXPECT_EQ(r.Get()->encoding, kEncodingASCII);
        return strtest::Str(r);
    };
    EXPECT_EQ(text(StringStrInt8(-128)), "-128");
    EXPECT_EQ(text(StringStrUInt8(255)), "255");
    EXPECT_EQ(text(StringStrInt16(-32768)), "-32768");
    EXPECT_EQ(text(StringStrUInt16(65535)), "65535");
    EXPECT_EQ(text(StringStrInt32(INT32_MIN)), "-2147483648");
    EXPECT_EQ(text(StringStrUInt32(UINT32_MAX)), "4294967295");
    EXPECT_EQ(text(StringStrInt64(INT64_MIN)), "-9223372036854775808");
    EXPECT_EQ(text(StringStrUInt64(UINT64_MAX)), "18446744073709551615");
    EXPECT_EQ(text(StringStrInt32(0)), "0");
}

TEST(NumberConversion, FloatingPointTruncatesTowardZero) {
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(2.9), 2);
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(-2.9), -2);
    EXPECT_EQ(RuntimeCvtReal32ToSInt32(-2.9f), -2);
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(2147483647.9), INT32_MAX);
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(-2147483648.9), INT32_MIN);
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(2147483648.0), INT32_MIN); // out of range
    EXPECT_EQ(RuntimeCvtReal64ToSInt32(std::nan("")), INT32_MIN);
    EXPECT_EQ(RuntimeCvtReal64ToUInt32(4294967295.5), UINT32_MAX);
    EXPECT_EQ(RuntimeCvtReal64ToUInt32(4294967296.0 + 7), 7u); // low 32 bits of the 64-bit value
    EXPECT_EQ(RuntimeCvtReal64ToUInt32(-1.5), UINT32_MAX);
    EXPECT_EQ(RuntimeCvtReal32ToUInt32(3.99f), 3u);
    EXPECT_EQ(RuntimeCvtReal64ToSInt64(-9007199254740993.0), -9007199254740992LL);
    EXPECT_EQ(RuntimeCvtReal64ToSInt64(1e19), INT64_MIN);
    EXPECT_EQ(RuntimeCvtReal32ToSInt64(-3.5f), -3);
    EXPECT_EQ(RuntimeCvtReal64ToUInt64(1.5e19), 15000000000000000000ULL);
    EXPECT_EQ(RuntimeCvtReal64ToUInt64(-1.0), UINT64_MAX);
    EXPECT_EQ(RuntimeCvtReal32ToUInt64(2.5f), 2u);
}

TEST(NumberConversion, CurrencyCountsTenThousandths) {
    EXPECT_EQ(RuntimeCvtReal64ToCurrency(1.23456789), 12345);
    EXPECT_EQ(RuntimeCvtReal64ToCurrency(-1.23456789), -12345);
    EXPECT_EQ(RuntimeCvtReal32ToCurrency(0.5f), 5000);
    EXPECT_EQ(RuntimeCvtCurrencyToSInt32(-19999), -1);
    EXPECT_EQ(RuntimeCvtCurrencyToSInt32(19999), 1);
    EXPECT_EQ(RuntimeCvtCurrencyToSInt32(int64_t(5000000000) * 10000), 705032704); // low 32 bits
    EXPECT_EQ(RuntimeCvtCurrencyToUInt32(-10000), UINT32_MAX);
    EXPECT_EQ(RuntimeCvtCurrencyToSInt64(-123456789), -12345);
    EXPECT_EQ(RuntimeCvtCurrencyToUInt64(30000), 3u);
    EXPECT_EQ(RuntimeCvtCurrencyToReal64(12345), 1.2345);
    EXPECT_EQ(RuntimeCvtSInt32ToCurrency(-3), -30000);
    EXPECT_EQ(RuntimeCvtUInt32ToCurrency(UINT32_MAX), int64_t(UINT32_MAX) * 10000);
    EXPECT_EQ(RuntimeCvtSInt64ToCurrency(-7), -70000);
    EXPECT_EQ(RuntimeCvtUInt64ToCurrency(7), 70000);
    EXPECT_EQ(RuntimeCvtSInt32ToReal64(-5), -5.0);
    EXPECT_EQ(RuntimeCvtUInt32ToReal64(UINT32_MAX), 4294967295.0);
    EXPECT_EQ(RuntimeCvtSInt64ToReal64(INT64_MIN), -9223372036854775808.0);
    EXPECT_EQ(RuntimeCvtUInt64ToReal64(UINT64_MAX), 18446744073709551616.0);
}
