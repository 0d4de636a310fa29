#include "StringFunctions.h"
#include "StringTestSupport.h"

#include <cmath>
#include <cstdio>
#include <limits>

using namespace strtest;

namespace {

std::string Format(double value, const std::string &pattern, uint32_t encoding = kEncodingUTF8) {
    StringRef p = S(pattern, encoding);
    StringRef result(StringFormat(value, p.Get()));
    if (p.Get() != nullptr) {
        EXPECT_EQ(p.Get()->refCount, 1u);
    }
    return Str(result);
}

struct Case {
    double value;
    const char *pattern;
    const char *german; // de_DE: "." groups, "," is the decimal separator
    const char *english;
};

void ExpectBothLocales(const std::vector<Case> &cases) {
    for (const char *locale : {"de_DE.UTF-8", "en_US.UTF-8"}) {
        KQ_LOCALE(locale);
        bool german = locale[0] == 'd';
        for (const Case &c : cases)
            EXPECT_EQ(Format(c.value, c.pattern), german ? c.german : c.english)
                << locale << ": Format(" << c.value << ", \"" << c.pattern << "\")";
    }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

TEST(StringFormat, DocumentedExamples) {
    ExpectBothLocales({
        {1234.5, "#####.00", "1234,50", "1234.50"},
        {1234.5, "###,##0.00 \\\xE2\x82\xAC", "1.234,50\xE2\x82\xAC", "1,234.50\xE2\x82\xAC"},
        {-3, "#####.00", "3,00", "3.00"},
        {-3, "#####.00;-#####.00", "-3,00", "-3.00"},
        {0.256, "#####.00\\%", "0,26%", "0.26%"},
        {0.256, "#####.00%", "25,60%", "25.60%"},
        {12345, "#,##0", "12.345", "12,345"},
        {12.5, ".00", ",50", ".50"},
    });
}

TEST(StringFormat, CalculatorPatterns) {
    ExpectBothLocales({
        {12.5, "######.00", "12,50", "12.50"},
        {0, "######.00", "0,00", "0.00"},
        {-12.5, "######.00\\%;-######.00\\%", "-12,50%", "-12.50%"},
        {0.1, "#####.00\\%", "0,10%", "0.10%"},
        {0, "#####.00\\%;-#####.00\\%;", "", ""},
        {-0.1, "#####.00\\%;-#####.00\\%;", "-0,10%", "-0.10%"},
        {0, "#####", "0", "0"},
        {2.7, "######", "3", "3"},
        {-5.25, "#####.00;-#####.00", "-5,25", "-5.25"},
        {119, "###,##0.00 \\\xE2\x82\xAC", "119,00\xE2\x82\xAC", "119.00\xE2\x82\xAC"},
        {0, "###,##0.00 \\\xE2\x82\xAC", "0,00\xE2\x82\xAC", "0.00\xE2\x82\xAC"},
        {1234567.5, "###,##0.00 \\\xE2\x82\xAC", "1.234.567,50\xE2\x82\xAC",
         "1,234,567.50\xE2\x82\xAC"},
    });
}

TEST(StringFormat, SectionsAndSigns) {
    ExpectBothLocales({
        {-2, "#;", "", ""},                        // an empty negative section
        {0, "0.00;-0.00", "0,00", "0.00"},         // zero without a third section
        {0, "0;(0);\\z\\e\\r\\o", "zero", "zero"}, // escaped letters are kept
        {-7, "0;(0)", "(7)", "(7)"},
        {-1, "#\\;#", ";1", ";1"}, // an escaped ";" does not split
        {3, "+0", "+3", "+3"},
        {-3, "+0", "-3", "-3"},
        {0, "+0", "0", "0"},
        {3, "-0", "3", "3"},
        {-3, "0-", "3-", "3-"},
        {-0.0, "+0.00;neg", "0,00", "0.00"}, // negative zero is zero
        {-0.0, "0;-0;\\z", "z", "z"},
        {-0.001, "0.00;-0.00", "-0,00", "-0.00"},
        {5, "", "", ""},
    });
    EXPECT_EQ(StringFormat(5, nullptr), nullptr);
}

TEST(StringFormat, GroupingIncludingExtraDigits) {
    ExpectBothLocales({
        {1234567.891, "#,##0.00", "1.234.567,89", "1,234,567.89"},
        {123456789, "#,#", "123.456.789", "123,456,789"},
        {123456789, "#", "123456789", "123456789"},
        {999.999, "#,##0.00", "1.000,00", "1,000.00"}, // rounding adds a group
        {1234, "0.00,", "1.234,00", "1,234.00"},       // "," anywhere turns grouping on
        {5, "000,000", "000.005", "000,005"},
        {5, "#,##0", "5", "5"},
        {123, "#,###", "123", "123"},
        {1e20, "#,##0", "100.000.000.000.000.000.000", "100,000,000,000,000,000,000"},
    });
}

TEST(StringFormat, DecimalPlacesAndRounding) {
    ExpectBothLocales({
        {5, "#.##", "5,", "5."},
        {1.5, "0.0#", "1,5", "1.5"},
        {1.256, "0.0#", "1,26", "1.26"},
        {1.5, "0.000", "1,500", "1.500"},
        {1.25, "#.#.#", "1,25", "1.25"}, // later points are dropped
        {2.675, "0.00", "2,67", "2.67"}, // the binary value is below 2.675
        {1.005, "0.00", "1,00", "1.00"},
        {0.125, "0.00", "0,12", "0.12"}, // exact ties go to even, as printf does
        {0.375, "0.00", "0,38", "0.38"},
        {0.5, "#", "0", "0"},
        {1.5, "#", "2", "2"},
        {0.004, ".##", ",", "."},
    });
}

TEST(StringFormat, ExponentsAndScientific) {
    ExpectBothLocales({
        {1234.5, "Scientific", "1,234500E+3", "1.234500E+3"},
        {-1234.5, "scientific", "-1,234500E+3", "-1.234500E+3"},
        {-0.00012345, "SCIENTIFIC", "-1,234500E-04", "-1.234500E-04"},
        {12345, "0.00e-", "1,23e4", "1.23e4"},
        {0.0012345, "0.00e-", "1,23e-03", "1.23e-03"},
        {12345, "0.00E", "1,23E4", "1.23E4"},
        {0.0012, "0.00E", "1,20E03", "1.20E03"},
        {1e100, "#E+", "1E+100", "1E+100"},
        {12345, "0.00E+00", "1,23E+4", "1.23E+4"}, // places after the letter are dropped
        {0, "0.0E+0", "0,0E+0", "0.0E+0"},
        {5, "#.##E+", "5,E+0", "5.E+0"},
    });
}

TEST(StringFormat, PercentEscapesAndDroppedCharacters) {
    ExpectBothLocales({
        {0.256, "0.0%", "25,6%", "25.6%"},
        {0.256, "%0", "%26", "%26"},
        {5,
         "# St\xC3\xBC"
         "ck",
         "5", "5"},                                              // unescaped text is dropped
        {5, "# \\S\\t\\\xC3\xBC", "5St\xC3\xBC", "5St\xC3\xBC"}, // escaped text is kept
        {5, "0\\", "5", "5"}, // a final backslash escapes nothing
        {5, "(0)", "(5)", "(5)"},
        {5, "\\\\0", "\\5", "\\5"},
    });
    // In a pattern that is not UTF-8 a backslash escapes one byte only.
    KQ_LOCALE("en_US.UTF-8");
    EXPECT_EQ(Format(1, "0\\\xE2\x82\xAC", kEncodingUnknown), "1\xE2");
}

TEST(StringFormat, NotANumberAndInfinities) {
    ExpectBothLocales({
        {kNaN, "#.00", "NAN", "NAN"},
        {kInf, "###,##0.00 \\\xE2\x82\xAC", "INF\xE2\x82\xAC", "INF\xE2\x82\xAC"},
        {-kInf, "#.00;-#.00", "-INF", "-INF"},
        {-kInf, "#.00", "INF", "INF"},
        {kInf, "Scientific", "INF", "INF"},
        {1e308, "0%", "INF%", "INF%"},
        {kNaN, "0;-0;\\z", "NAN", "NAN"},
    });
}

TEST(StringFormat, HugeValuesKeepEveryDigit) {
    KQ_LOCALE("en_US.UTF-8");
    char expected[400];
    std::snprintf(expected, sizeof expected, "%.0f", 1e300);
    EXPECT_EQ(Format(1e300, "0"), expected);
    std::string many = Format(1.0 / 3, "0." + std::string(200, '0'));
    EXPECT_EQ(many.size(), 202u);
    EXPECT_EQ(many.substr(0, 8), "0.333333");
}

TEST(StringFormat, ResultEncodingFollowsThePattern) {
    KQ_LOCALE("de_DE.UTF-8");
    StringRef ascii = S("0.00", kEncodingASCII), utf8 = S("0.00", kEncodingUTF8);
    StringRef a(StringFormat(1.5, ascii.Get())), u(StringFormat(1.5, utf8.Get()));
    EXPECT_EQ(a.Get()->encoding, kEncodingASCII);
    EXPECT_EQ(u.Get()->encoding, kEncodingUTF8);
    EXPECT_EQ(Str(a), "1,50");
}

TEST(StringFormat, CLocaleFallsBackToCommaForGrouping) {
    KQ_LOCALE("C");
    EXPECT_EQ(Format(1234.5, "#,##0.00"), "1,234.50");
}
