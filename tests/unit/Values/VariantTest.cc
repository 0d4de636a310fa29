#include "ValueTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

extern "C" {
RuntimeObject *VariantAdd(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantSubtract(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantSubtractRight(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantMultiply(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantDivide(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantIntegerDivide(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantModulo(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantPower(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantAnd(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantOr(RuntimeObject *a, RuntimeObject *b);
RuntimeObject *VariantNegate(RuntimeObject *a);
RuntimeObject *VariantNot(RuntimeObject *a);
int32_t DoubleObjectToInt32(RuntimeObject *self);
KESTstring *ColorObjectToString(RuntimeObject *self);
}

namespace {

RuntimeClass *PlainClass(const char *name) {
    RuntimeClass *cls = RuntimeNewClass(nullptr, 0, 0, 0, 1, 0);
    cls->name = kstr::FromC(name);
    cls->instanceSize = sizeof(RuntimeObject);
    return cls;
}

int32_t SeventySeven(RuntimeObject *) {
    return 77;
}

} // namespace

TEST(Variants, BoxAndConvertEveryKind) {
    Held i(Int32ToVariant(-7));
    EXPECT_EQ(kqtest::ClassName(i.get()), "Int32Object");
    EXPECT_EQ(VarType(i.get()), kVarTypeInteger);
    EXPECT_EQ(VariantToInt64(i.get()), -7);
    EXPECT_EQ(VariantToUInt32(i.get()), 0xFFFFFFF9u);
    EXPECT_EQ(VariantText(i.get()), "-7");
    EXPECT_TRUE(VariantToBoolean(i.get()));

    Held d(DoubleToVariant(-2.75));
    EXPECT_EQ(VariantToInt32(d.get()), -2); // toward zero
    EXPECT_EQ(DoubleObjectToInt32(d.get()), -2);
    EXPECT_EQ(VariantToCurrency(d.get()), -27500);
    EXPECT_EQ(VariantText(d.get()), "-2.75");
    EXPECT_EQ(VarType(d.get()), kVarTypeDouble);

    Held b(BooleanToVariant(true));
    EXPECT_EQ(VariantText(b.get()), "True");
    EXPECT_EQ(VariantToInt32(b.get()), 1);
    EXPECT_EQ(VarType(b.get()), kVarTypeBoolean);

    Held c(ColorToVariant(0x00FF));
    EXPECT_EQ(VariantText(c.get()), "&h0000FF");
    KESTstring *direct = ColorObjectToString(c.get());
    EXPECT_STREQ(kstr::Text(direct), "&h0000FF");
    RuntimeUnlockString(direct);
    EXPECT_EQ(VarType(c.get()), kVarTypeColor);

    Held money(CurrencyToVariant(-19999));
    EXPECT_EQ(VariantText(money.get()), "-1.9999");
    EXPECT_EQ(VariantToInt32(money.get()), -1);
    EXPECT_DOUBLE_EQ(VariantToDouble(money.get()), -1.9999);
    Held whole(CurrencyToVariant(50000));
    EXPECT_EQ(VariantText(whole.get()), "5");

    Held u(UInt64ToVariant(std::numeric_limits<uint64_t>::max()));
    EXPECT_EQ(VariantText(u.get()), "18446744073709551615");
    EXPECT_EQ(VarType(u.get()), kVarTypeLong);
    Held f(SingleToVariant(0.5f));
    EXPECT_EQ(VariantToDouble(f.get()), 0.5);
    EXPECT_EQ(VarType(f.get()), kVarTypeSingle);

    Held text(TextVariant("12.5 Stück"));
    EXPECT_EQ(VarType(text.get()), kVarTypeString);
    EXPECT_EQ(VariantToInt32(text.get()), 12);
    EXPECT_EQ(VariantToDouble(text.get()), 12.5);
    Held truth(TextVariant("tRUE"));
    EXPECT_TRUE(VariantToBoolean(truth.get()));
    EXPECT_FALSE(VariantToBoolean(Held(TextVariant("False")).get()));
}

TEST(Variants, NilObjectsAndMismatches) {
    EXPECT_EQ(VarType(nullptr), kVarTypeNil);
    EXPECT_EQ(VariantToInt32(nullptr), 0);
    EXPECT_EQ(VariantToString(nullptr), nullptr);
    EXPECT_EQ(VariantToObject(nullptr), nullptr);

    Held plain(RuntimeNewObject(PlainClass("Rezept")));
    EXPECT_EQ(VarType(plain.get()), kVarTypeObject);
    Held passed(ObjectToVariant(plain.get()));
    EXPECT_EQ(passed.get(), plain.get());
    EXPECT_EQ(plain.get()->refCount, 2);
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(VariantToInt32(plain.get()), 0); }),
              "TypeMismatchException");
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(VariantAdd(plain.get(), nullptr), nullptr); }),
              "TypeMismatchException");
}

namespace {

std::vector<std::string> MemberNames(RuntimeObject *boxed) {
    std::vector<std::string> names;
    const RuntimeClass *cls = boxed->classPtr;
    for (uint32_t k = 0; k < cls->memberCount; ++k)
        names.emplace_back(kstr::Text(cls->members[k].name));
    return names;
}

} // namespace

TEST(Variants, ClassesDeclareTheirConversionsAndHash) {
    std::vector<std::string> full = MemberNames(Held(DoubleToVariant(1)).get());
    for (const char *name :
         {"Operator_Convert%i4%o<DoubleObject>", "Operator_Convert%s%o<DoubleObject>",
          "Operator_Convert%e%o<DoubleObject>", "Operator_Hash%i4%o<DoubleObject>"})
        EXPECT_NE(std::find(full.begin(), full.end(), name), full.end()) << name;
    EXPECT_EQ(full.size(), 11u);
    // A Boolean has no Currency or unsigned form.
    std::vector<std::string> truth = MemberNames(Held(BooleanToVariant(true)).get());
    EXPECT_EQ(truth.size(), 8u);
    EXPECT_EQ(std::find(truth.begin(), truth.end(), "Operator_Convert%e%o<BooleanObject>"),
              truth.end());
}

TEST(Variants, HashesFollowTheValueWidth) {
    EXPECT_EQ(VariantHash(nullptr), 0);
    EXPECT_EQ(uint32_t(VariantHash(Held(Int32ToVariant(0x00012345)).get())), 0x23450001u);
    EXPECT_EQ(uint32_t(VariantHash(Held(Int64ToVariant(0x0000000500012345)).get())),
              0x23450001u ^ 5u);
    uint64_t bits;
    double one = 1.0;
    std::memcpy(&bits, &one, sizeof bits);
    EXPECT_EQ(uint32_t(VariantHash(Held(DoubleToVariant(1.0)).get())),
              (uint32_t(bits) << 16 | uint32_t(bits) >> 16) ^ uint32_t(bits >> 32));
    EXPECT_EQ(uint32_t(VariantHash(Held(TextVariant("aB")).get())), 65u * 31 + 66);
    EXPECT_EQ(VariantHash(Held(TextVariant("Ab")).get()),
              VariantHash(Held(TextVariant("AB")).get()));
    EXPECT_EQ(uint32_t(VariantHash(Held(TextVariant("\xE9")).get())), 0xFFFFFFE9u); // signed byte

    Held plain(RuntimeNewObject(PlainClass("Schachtel")));
    EXPECT_EQ(uint32_t(VariantHash(plain.get())), uint32_t(uintptr_t(plain.get())));

    // A class of the image that declares its own hash is asked for it.
    RuntimeClass *keyed = PlainClass("Schluessel");
    keyed->members[0] = {reinterpret_cast<void *>(&SeventySeven),
                         kstr::FromC("Operator_Hash%i4%o<Schluessel>")};
    EXPECT_EQ(VariantHash(Held(RuntimeNewObject(keyed)).get()), 77);
}

TEST(Variants, CompareBringsOperandsToACommonType) {
    EXPECT_EQ(VariantCompare(Held(TextVariant("Preis")).get(), Held(TextVariant("PREIS")).get()),
              0);
    EXPECT_TRUE(VariantEqual(Held(TextVariant("abc")).get(), Held(TextVariant("ABC")).get()));
    EXPECT_EQ(VariantCompare(Held(Int32ToVariant(-1)).get(),
                             Held(UInt64ToVariant(std::numeric_limits<uint64_t>::max())).get()),
              -1);
    EXPECT_EQ(VariantCompare(Held(CurrencyToVariant(15000)).get(), Held(Int32ToVariant(1)).get()),
              1);
    EXPECT_EQ(
        VariantCompare(Held(Int64ToVariant(INT64_MAX)).get(), Held(CurrencyToVariant(0)).get()), 1);
    EXPECT_TRUE(VariantEqual(Held(Int32ToVariant(2)).get(), Held(DoubleToVariant(2.0)).get()));
    EXPECT_TRUE(VariantEqual(Held(DoubleToVariant(NAN)).get(), Held(DoubleToVariant(NAN)).get()));
    EXPECT_EQ(VariantCompare(Held(TextVariant("10")).get(), Held(Int32ToVariant(9)).get()),
              -1); // as texts
    EXPECT_EQ(VariantCompare(nullptr, Held(Int32ToVariant(0)).get()), -1);
    Held a(RuntimeNewObject(PlainClass("A"))), b(RuntimeNewObject(PlainClass("B")));
    EXPECT_NE(VariantCompare(a.get(), b.get()), 0);
    EXPECT_EQ(VariantCompare(a.get(), a.get()), 0);
}

TEST(Variants, ArithmeticWidensAndNeverTraps) {
    Held max(Int32ToVariant(INT32_MAX)), one(Int32ToVariant(1)), zero(Int32ToVariant(0));
    Held wrapped(VariantAdd(max.get(), one.get()));
    EXPECT_EQ(kqtest::ClassName(wrapped.get()), "Int32Object");
    EXPECT_EQ(VariantToInt32(wrapped.get()), INT32_MIN);
    Held min(Int32ToVariant(INT32_MIN)), minusOne(Int32ToVariant(-1));
    EXPECT_EQ(VariantToInt32(Held(VariantIntegerDivide(min.get(), minusOne.get())).get()),
              INT32_MIN);
    EXPECT_EQ(VariantToInt32(Held(VariantModulo(min.get(), minusOne.get())).get()), 0);
    EXPECT_EQ(VariantToInt32(Held(VariantIntegerDivide(one.get(), zero.get())).get()), 0);

    Held seven(Int32ToVariant(7)), two(Int32ToVariant(2)), half(DoubleToVariant(0.5));
    Held quotient(VariantDivide(seven.get(), two.get()));
    EXPECT_EQ(kqtest::ClassName(quotient.get()), "DoubleObject");
    EXPECT_EQ(VariantToDouble(quotient.get()), 3.5);
    EXPECT_EQ(VariantToInt32(Held(VariantIntegerDivide(seven.get(), two.get())).get()), 3);
    EXPECT_EQ(VariantToInt32(Held(VariantModulo(seven.get(), two.get())).get()), 1);
    EXPECT_EQ(VariantToDouble(Held(VariantPower(two.get(), Held(Int32ToVariant(10)).get())).get()),
              1024);
    Held mixed(VariantAdd(seven.get(), half.get()));
    EXPECT_EQ(kqtest::ClassName(mixed.get()), "DoubleObject");
    EXPECT_EQ(VariantToDouble(mixed.get()), 7.5);
    EXPECT_EQ(VariantToInt32(Held(VariantSubtractRight(seven.get(), two.get())).get()), -5);
    EXPECT_EQ(VariantToInt32(Held(VariantNegate(seven.get())).get()), -7);

    Held price(CurrencyToVariant(15000)); // 1.5
    Held doubled(VariantMultiply(price.get(), two.get()));
    EXPECT_EQ(kqtest::ClassName(doubled.get()), "CurrencyObject");
    EXPECT_EQ(VariantToCurrency(doubled.get()), 30000);
    EXPECT_EQ(VariantToCurrency(Held(VariantSubtract(price.get(), one.get())).get()), 5000);

    Held joined(VariantAdd(Held(TextVariant("Netto")).get(), Held(TextVariant("preis")).get()));
    EXPECT_EQ(VariantText(joined.get()), "Nettopreis");
    Held numeric(VariantAdd(Held(TextVariant("1")).get(), two.get()));
    EXPECT_EQ(kqtest::ClassName(numeric.get()), "DoubleObject");
    EXPECT_EQ(VariantToDouble(numeric.get()), 3);
}

TEST(Variants, LogicOnBooleansAndBits) {
    Held t(BooleanToVariant(true)), f(BooleanToVariant(false));
    Held both(VariantAnd(t.get(), f.get()));
    EXPECT_EQ(kqtest::ClassName(both.get()), "BooleanObject");
    EXPECT_FALSE(VariantToBoolean(both.get()));
    EXPECT_TRUE(VariantToBoolean(Held(VariantOr(t.get(), f.get())).get()));
    EXPECT_FALSE(VariantToBoolean(Held(VariantNot(t.get())).get()));
    Held bits(VariantAnd(Held(Int32ToVariant(0x0C)).get(), Held(Int32ToVariant(0x0A)).get()));
    EXPECT_EQ(VariantToInt32(bits.get()), 0x08);
    EXPECT_EQ(VariantToInt32(Held(VariantNot(Held(Int32ToVariant(0)).get())).get()), -1);
    Held wide(VariantOr(Held(DoubleToVariant(4.9)).get(), Held(Int32ToVariant(1)).get()));
    EXPECT_EQ(kqtest::ClassName(wide.get()), "Int64Object");
    EXPECT_EQ(VariantToInt64(wide.get()), 5);
}
