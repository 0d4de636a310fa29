#include "StringArrays.h"
#include "StringTestSupport.h"
#include "TextEncodingUtil.h"

#include <initializer_list>
#include <vector>

using namespace strtest;

namespace {

// The array's elements as text; the array is released.
std::vector<std::string> Fields(RuntimeArray *a) {
    std::vector<std::string> fields;
    for (int32_t i = 0; i <= karray::UBound(a); ++i)
        fields.push_back(Str(karray::At<KESTstring *>(a, i)));
    RuntimeUnlockArray(a);
    return fields;
}

using Texts = std::vector<std::string>;

RuntimeArray *Strings(std::initializer_list<KESTstring *> pieces) {
    RuntimeArray *a = karray::Create(kArrayString, -1);
    for (KESTstring *piece : pieces)
        karray::Append(a, piece);
    return a;
}

} // namespace

TEST(StringArrays, SplitIntoFields) {
    StringRef s = S("a;b;;c"), semicolon = S(";"), none;
    EXPECT_EQ(Fields(StringSplit(s.Get(), semicolon.Get())), (Texts{"a", "b", "", "c"}));
    EXPECT_EQ(Fields(StringSplit(nullptr, semicolon.Get())), Texts{});
    EXPECT_EQ(Fields(StringSplit(s.Get(), none.Get())), Texts{"a;b;;c"});
    StringRef edges = S(";x;");
    EXPECT_EQ(Fields(StringSplit(edges.Get(), semicolon.Get())), (Texts{"", "x", ""}));
    StringRef words = S("salt and pepper AND oil"), word = S("and");
    EXPECT_EQ(Fields(StringSplit(words.Get(), word.Get())), (Texts{"salt ", " pepper ", " oil"}));
    EXPECT_EQ(Fields(StringSplitB(words.Get(), word.Get())), (Texts{"salt ", " pepper AND oil"}));
    EXPECT_EQ(s.Get()->refCount, 1u);
}

TEST(StringArrays, JoinWithTheSeparator) {
    StringRef a = S("a"), b = S("b"), comma = S(", "), none;
    RuntimeArray *list = Strings({a.Get(), b.Get(), none.Get()});
    StringRef joined(StringJoin(list, comma.Get()));
    EXPECT_EQ(Str(joined), "a, b, ");
    EXPECT_EQ(joined.Get()->encoding, kEncodingUTF8);
    EXPECT_EQ(Str(StringRef(StringJoin(list, none.Get()))), "ab");
    RuntimeUnlockArray(list);
    EXPECT_EQ(a.Get()->refCount, 1u);
    EXPECT_EQ(StringJoin(nullptr, comma.Get()), nullptr);
    RuntimeArray *empty = karray::Create(kArrayString, -1);
    EXPECT_EQ(StringJoin(empty, comma.Get()), nullptr);
    RuntimeUnlockArray(empty);
    // Pieces of other encodings meet in UTF-8.
    StringRef latin = S("\xE4", textenc::kISOLatin1), mac = S("\x8A", textenc::kMacRoman);
    RuntimeArray *mixed = Strings({latin.Get(), mac.Get()});
    StringRef both(StringJoin(mixed, comma.Get()));
    EXPECT_EQ(Str(both), "\xC3\xA4, \xC3\xA4");
    EXPECT_EQ(both.Get()->encoding, kEncodingUTF8);
    RuntimeUnlockArray(mixed);
    // An array of anything but strings is reported and gives nothing.
    RuntimeArray *numbers = karray::Create(kArrayInt32, 2);
    std::string reports =
        ReportsDuring([&] { EXPECT_EQ(StringJoin(numbers, comma.Get()), nullptr); });
    EXPECT_NE(reports.find("Failure Condition: strings->operations"), std::string::npos);
    RuntimeUnlockArray(numbers);
}
