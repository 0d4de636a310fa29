#include "ValueTestSupport.h"

#include "RuntimeArray.h"
#include "RuntimeObject.h"

#include "KESTstring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Calls slot `slot` of `a` as a function of type Signature.
template <typename Signature>
Signature Op(RuntimeArray *a, int32_t slot) {
    return karray::Slot<Signature>(a, slot);
}

std::vector<int32_t> Ints(RuntimeArray *a) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i <= RuntimeUBound(a); ++i)
        out.push_back(karray::At<int32_t>(a, i));
    return out;
}

std::vector<std::string> Texts(RuntimeArray *a) {
    std::vector<std::string> out;
    for (int32_t i = 0; i <= RuntimeUBound(a); ++i)
        out.emplace_back(kstr::Text(karray::At<KESTstring *>(a, i)));
    return out;
}

RuntimeArray *IntArray(std::vector<int32_t> values) {
    RuntimeArray *a = CreateArray(1, kArrayInt32, int32_t(values.size()) - 1);
    for (size_t i = 0; i < values.size(); ++i)
        static_cast<int32_t *>(a->data)[i] = values[i];
    return a;
}

RuntimeArray *StringArray(std::vector<const char *> texts) {
    RuntimeArray *a = CreateArray(1, kArrayString, -1);
    for (const char *text : texts) {
        KESTstring *s = Utf8(text);
        karray::Append(a, s);
        RuntimeUnlockString(s);
    }
    return a;
}

} // namespace

TEST(Arrays, CreateLaysOutRecordAndClearedElements) {
    RuntimeArray *empty = CreateArray(1, kArrayDouble, -1);
    EXPECT_EQ(empty->data, nullptr);
    EXPECT_EQ(RuntimeUBound(empty), -1);
    EXPECT_EQ(empty->shape.growthStep, 16);

    RuntimeArray *grid = CreateArray(2, kArrayInt16, 2, 3);
    EXPECT_EQ(grid->refCount, 1);
    EXPECT_EQ(grid->shape.dimensions, 2);
    EXPECT_EQ(grid->shape.bufferLength, 3 * 4 * 2);
    EXPECT_EQ(UpperBounds(&grid->shape)[1], 3);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(static_cast<int16_t *>(grid->data)[i], 0);
    EXPECT_EQ(RuntimeUBound2Param(grid, -1), 2);
    EXPECT_EQ(RuntimeUBound2Param(grid, 2), 3);

    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(RuntimeUBound2Param(grid, 3), -1); }),
              "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([] { EXPECT_EQ(RuntimeUBound(nullptr), 0); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([] { EXPECT_EQ(RuntimeUBound2Param(nullptr, 1), -1); }),
              "NilObjectException");
    RuntimeUnlockArray(empty);
    RuntimeUnlockArray(grid);
}

TEST(Arrays, TablesMatchElementTypeAndShape) {
    const int32_t widths[kArrayElementTypeCount] = {4, 4, 8, 4, 4, 1, 1, 2, 2, 4, 8, 8};
    for (int32_t type = 0; type < kArrayElementTypeCount; ++type) {
        for (int32_t dims = 1; dims <= 4; ++dims) {
            const RuntimeArrayOperations *ops = ArrayOperationsFor(type, dims);
            SCOPED_TRACE(testing::Message() << "type " << type << ", dims " << dims);
            ASSERT_NE(ops, nullptr);
            EXPECT_EQ(reinterpret_cast<int32_t (*)(RuntimeArray *)>(ops->slot[kArrayElementSize])(
                          nullptr),
                      widths[type]);
            for (int slot : {0, 1, 2, 3, 4, 10, 11, 14})
                EXPECT_NE(ops->slot[slot], nullptr) << slot;
            for (int slot = kArrayInsert; slot <= kArrayIndexOf; ++slot) {
                bool sortSlot = slot == kArraySort || slot == kArraySortWith;
                bool present = dims == 1 && !(sortSlot && type == kArrayObject);
                EXPECT_EQ(ops->slot[slot] != nullptr, present) << slot;
            }
            bool counted = type == kArrayString || type == kArrayObject;
            EXPECT_EQ(ops->slot[kArrayLockValue] != nullptr, counted);
            EXPECT_EQ(ops->slot[kArrayUnlockValue] != nullptr, counted);
        }
    }
    EXPECT_EQ(ArrayOperationsFor(3, 3), ArrayOperationsFor(3, 7));
    EXPECT_NE(ArrayOperationsFor(3, 2), ArrayOperationsFor(3, 3));

    std::string text = kqtest::ReportsDuring([] {
        EXPECT_EQ(CreateArray(1, 12, 5), nullptr);
        EXPECT_EQ(CreateArray(0, kArrayInt32), nullptr);
    });
    EXPECT_NE(text.find("Failure Condition: 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("dimensions >= 1"), std::string::npos) << text;
}

TEST(Arrays, AppendsGrowByDoublingStep) {
    RuntimeArray *a = CreateArray(1, kArrayInt32, -1);
    std::vector<int32_t> lengths;
    for (int32_t i = 0; i < 17; ++i) {
        karray::Append(a, i);
        if (lengths.empty() || lengths.back() != a->shape.bufferLength)
            lengths.push_back(a->shape.bufferLength);
    }
    EXPECT_EQ(lengths, (std::vector<int32_t>{16 * 4, 48 * 4}));
    EXPECT_EQ(a->shape.growthStep, 64);
    EXPECT_EQ(RuntimeUBound(a), 16);
    for (int32_t i = 0; i < 17; ++i)
        EXPECT_EQ(karray::At<int32_t>(a, i), i);

    // The step stops doubling at 131072 elements.
    while (a->shape.growthStep < kArrayGrowthStepLimit)
        karray::Append(a, 0);
    int32_t length = a->shape.bufferLength;
    while (a->shape.bufferLength == length)
        karray::Append(a, 0);
    EXPECT_EQ(a->shape.growthStep, kArrayGrowthStepLimit);
    EXPECT_EQ(a->shape.bufferLength, length + kArrayGrowthStepLimit * 4);
    RuntimeUnlockArray(a);
}

TEST(Arrays, InsertAndRemoveCheckPositionsAndTrimBuffer) {
    RuntimeArray *a = IntArray({1, 2, 3});
    auto insert = Op<void (*)(RuntimeArray *, int32_t, int32_t)>(a, kArrayInsert);
    auto remove = Op<void (*)(RuntimeArray *, int32_t)>(a, kArrayRemove);
    insert(a, 0, 0);
    insert(a, 4, 9); // upper bound + 1 appends
    EXPECT_EQ(Ints(a), (std::vector<int32_t>{0, 1, 2, 3, 9}));
    EXPECT_EQ(a->shape.growthStep, 32);

    EXPECT_EQ(RaisedBy([&] { insert(a, 6, 7); }), "OutOfBoundsException"); // upper bound + 2
    EXPECT_EQ(RaisedBy([&] { insert(a, -1, 7); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { remove(a, 5); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { remove(a, -1); }), "OutOfBoundsException");
    EXPECT_EQ(Ints(a), (std::vector<int32_t>{0, 1, 2, 3, 9}));

    remove(a, 0);
    EXPECT_EQ(Ints(a), (std::vector<int32_t>{1, 2, 3, 9}));
    EXPECT_EQ(a->shape.bufferLength, 16);
    EXPECT_EQ(a->shape.growthStep, 16);
    for (int i = 0; i < 4; ++i)
        remove(a, 0);
    EXPECT_EQ(a->data, nullptr);
    EXPECT_EQ(a->shape.bufferLength, 0);
    EXPECT_EQ(RuntimeUBound(a), -1);
    RuntimeUnlockArray(a);
}

TEST(Arrays, StringElementsHoldReferences) {
    KESTstring *s = Utf8("Preis");
    RuntimeArray *a = CreateArray(1, kArrayString, 2);
    auto set = Op<void (*)(RuntimeArray *, KESTstring *, int32_t)>(a, kArraySet);
    auto get = Op<KESTstring *(*)(RuntimeArray *, int32_t)>(a, kArrayGet);
    set(a, s, 0);
    set(a, s, 1);
    EXPECT_EQ(s->refCount, 3u);
    set(a, s, 1); // the same string again: count unchanged
    EXPECT_EQ(s->refCount, 3u);
    KESTstring *got = get(a, 0);
    EXPECT_EQ(got, s);
    EXPECT_EQ(s->refCount, 4u);
    RuntimeUnlockString(got);

    karray::Resize(a, 0); // drops element 1
    EXPECT_EQ(s->refCount, 2u);
    Op<void (*)(RuntimeArray *, int32_t)>(a, kArrayRemove)(a, 0);
    EXPECT_EQ(s->refCount, 1u);
    EXPECT_EQ(RaisedBy([&] { set(a, s, 0); }), "OutOfBoundsException"); // out of range now
    EXPECT_EQ(s->refCount, 1u);

    karray::Resize(a, 3);
    set(a, s, 3);
    RuntimeLockArray(a);
    RuntimeUnlockArray(a);
    EXPECT_EQ(s->refCount, 2u);
    RuntimeUnlockArray(a); // last reference: elements unlocked
    EXPECT_EQ(s->refCount, 1u);
    RuntimeUnlockString(s);
}

TEST(Arrays, ResizeKeepsElementsAtTheirIndexes) {
    RuntimeArray *a = IntArray({5, 6, 7});
    a->shape.growthStep = 64;
    karray::Resize(a, 2); // same bound: nothing at all
    EXPECT_EQ(a->shape.growthStep, 64);
    karray::Resize(a, 4);
    EXPECT_EQ(Ints(a), (std::vector<int32_t>{5, 6, 7, 0, 0}));
    EXPECT_EQ(a->shape.growthStep, 16);
    karray::Resize(a, -7); // clipped to empty
    EXPECT_EQ(RuntimeUBound(a), -1);
    EXPECT_EQ(a->data, nullptr);
    RuntimeUnlockArray(a);

    // Two dimensions: (i, j) lies at i + j * (u1 + 1) before and after.
    RuntimeArray *g = CreateArray(2, kArrayInt32, 2, 1);
    auto set = Op<void (*)(RuntimeArray *, int32_t, int32_t, int32_t)>(g, kArraySet);
    auto get = Op<int32_t (*)(RuntimeArray *, int32_t, int32_t)>(g, kArrayGet);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 1; ++j)
            set(g, 10 * i + j, i, j);
    EXPECT_EQ(static_cast<int32_t *>(g->data)[2 + 1 * 3], 21);
    Op<void (*)(RuntimeArray *, int32_t, int32_t)>(g, kArrayResize)(g, 1, 2);
    EXPECT_EQ(get(g, 1, 1), 11);
    EXPECT_EQ(get(g, 0, 1), 1);
    EXPECT_EQ(get(g, 1, 2), 0);
    EXPECT_EQ(static_cast<int32_t *>(g->data)[1 + 1 * 2], 11);
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(get(g, 2, 0), 0); }), "OutOfBoundsException");
    RuntimeUnlockArray(g);
}

TEST(Arrays, ManyDimensionsReadIndexesFromTheRecord) {
    RuntimeArray *a = CreateArray(3, kArrayDouble, 1, 2, 3);
    auto set = Op<void (*)(RuntimeArray *, double, int32_t, int32_t, int32_t)>(a, kArraySet);
    auto get = Op<double (*)(RuntimeArray *, int32_t, int32_t, int32_t)>(a, kArrayGet);
    auto unchecked =
        Op<double (*)(RuntimeArray *, int32_t, int32_t, int32_t)>(a, kArrayGetUnchecked);
    set(a, 2.5, 1, 2, 3);
    EXPECT_EQ(static_cast<double *>(a->data)[1 + 2 * 2 + 3 * 2 * 3], 2.5);
    EXPECT_EQ(get(a, 1, 2, 3), 2.5);
    EXPECT_EQ(unchecked(a, 3, 1, 3), 2.5); // same storage place, no check
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(get(a, 0, 3, 0), 0.0); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(unchecked(a, 0, 0, 4), 0.0); }), ""); // beyond: no access
    EXPECT_EQ(RuntimeUBound2Param(a, -1), 3);
    RuntimeUnlockArray(a);
}

TEST(Arrays, IndexOfComparesByTypeFromStart) {
    RuntimeArray *s = StringArray({"Apfel", "birne", "Birne"});
    KESTstring *probe = Utf8("BIRNE");
    auto indexOf = Op<int32_t (*)(RuntimeArray *, KESTstring *, int32_t)>(s, kArrayIndexOf);
    EXPECT_EQ(indexOf(s, probe, -1), 1);
    EXPECT_EQ(indexOf(s, probe, 2), 2);
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(indexOf(s, probe, 3), -1); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(indexOf(s, probe, -2), -1); }), "OutOfBoundsException");
    RuntimeUnlockString(probe);
    RuntimeUnlockArray(s);

    RuntimeArray *d = CreateArray(1, kArrayDouble, 2);
    double *v = static_cast<double *>(d->data);
    v[0] = -0.0;
    v[1] = std::nan("");
    auto find = Op<int32_t (*)(RuntimeArray *, double, int32_t)>(d, kArrayIndexOf);
    EXPECT_EQ(find(d, std::nan(""), 0), 1); // same bits
    EXPECT_EQ(find(d, 0.0, 0), 2);          // -0 has other bits than +0
    karray::Resize(d, -1);
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(find(d, 0.0, 5), -1); }), ""); // empty: no exception
    RuntimeUnlockArray(d);
}

TEST(Arrays, SortOrdersEachElementType) {
    RuntimeArray *i = IntArray({3, -1, 2});
    Op<void (*)(RuntimeArray *)>(i, kArraySort)(i);
    EXPECT_EQ(Ints(i), (std::vector<int32_t>{-1, 2, 3}));
    RuntimeUnlockArray(i);

    RuntimeArray *u = CreateArray(1, kArrayUInt32, 1);
    static_cast<uint32_t *>(u->data)[0] = 0x80000000u;
    static_cast<uint32_t *>(u->data)[1] = 1;
    Op<void (*)(RuntimeArray *)>(u, kArraySort)(u);
    EXPECT_EQ(static_cast<uint32_t *>(u->data)[0], 1u);
    RuntimeUnlockArray(u);

    RuntimeArray *d = CreateArray(1, kArrayDouble, 3);
    double *v = static_cast<double *>(d->data);
    v[0] = std::nan("");
    v[1] = 2;
    v[2] = -INFINITY;
    v[3] = 0.5;
    Op<void (*)(RuntimeArray *)>(d, kArraySort)(d);
    EXPECT_EQ(v[0], -INFINITY);
    EXPECT_EQ(v[1], 0.5);
    EXPECT_EQ(v[2], 2);
    EXPECT_TRUE(std::isnan(v[3]));
    RuntimeUnlockArray(d);

    RuntimeArray *s = StringArray({"b", "", "B", "a"});
    Op<void (*)(RuntimeArray *)>(s, kArraySort)(s);
    EXPECT_EQ(Texts(s), (std::vector<std::string>{"", "a", "b", "B"})); // stable
    RuntimeUnlockArray(s);
}

TEST(Arrays, SortWithCompanionsAppliesTheSamePermutation) {
    RuntimeArray *keys = IntArray({30, 10, 20});
    RuntimeArray *names = StringArray({"dreißig", "zehn", "zwanzig"});
    RuntimeArray *wide = CreateArray(1, kArrayInt64, 3);
    for (int k = 0; k < 4; ++k)
        static_cast<int64_t *>(wide->data)[k] = int64_t(k) << 40;
    auto sortWith = Op<void (*)(RuntimeArray *, ...)>(keys, kArraySortWith);
    sortWith(keys, names, wide, nullptr);
    EXPECT_EQ(Ints(keys), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(Texts(names), (std::vector<std::string>{"zehn", "zwanzig", "dreißig"}));
    EXPECT_EQ(static_cast<int64_t *>(wide->data)[0], int64_t(1) << 40);
    EXPECT_EQ(static_cast<int64_t *>(wide->data)[3], int64_t(3) << 40); // beyond: kept

    RuntimeArray *shortOne = IntArray({1});
    RuntimeArray *reversed = IntArray({3, 2, 1});
    EXPECT_EQ(RaisedBy([&] { sortWith(reversed, shortOne, nullptr); }), "OutOfBoundsException");
    EXPECT_EQ(Ints(reversed), (std::vector<int32_t>{3, 2, 1}));

    RuntimeArray *structs = RuntimeCreateStructureArray(1, 12, 2);
    // A companion of element size 12 is reported and left out.
    std::string text = kqtest::ReportsDuring([&] { sortWith(reversed, structs, nullptr); });
    EXPECT_NE(text.find("Failure Condition: 0\n"), std::string::npos) << text;
    EXPECT_EQ(Ints(reversed), (std::vector<int32_t>{1, 2, 3}));
    for (RuntimeArray *a : {keys, names, wide, shortOne, reversed, structs})
        RuntimeUnlockArray(a);
}

TEST(Arrays, ShuffleKeepsTheElements) {
    RuntimeArray *one = IntArray({42});
    Op<void (*)(RuntimeArray *)>(one, kArrayShuffle)(one);
    EXPECT_EQ(Ints(one), (std::vector<int32_t>{42}));
    RuntimeUnlockArray(one);

    RuntimeArray *g = CreateArray(2, kArrayInt32, 9, 9);
    for (int k = 0; k < 100; ++k)
        static_cast<int32_t *>(g->data)[k] = k;
    Op<void (*)(RuntimeArray *)>(g, kArrayShuffle)(g);
    std::vector<int32_t> seen(static_cast<int32_t *>(g->data),
                              static_cast<int32_t *>(g->data) + 100);
    EXPECT_NE(seen[99] * 100 + seen[0], 99 * 100 + 0); // moved (chance 1 in 10^4 of not)
    std::sort(seen.begin(), seen.end());
    for (int k = 0; k < 100; ++k)
        EXPECT_EQ(seen[size_t(k)], k);
    RuntimeUnlockArray(g);
}

TEST(Arrays, StructureArraysCopyElementsOfTheirSize) {
    struct Pair {
        int32_t a, b, c;
    };
    RuntimeArray *s = RuntimeCreateStructureArray(1, sizeof(Pair), 1);
    auto *record = reinterpret_cast<RuntimeStructureArray *>(s);
    EXPECT_EQ(record->elementSize, 12);
    EXPECT_EQ(record->shape.bufferLength, 24);
    EXPECT_EQ(RuntimeUBound(s), 1);
    Pair p{1, 2, 3};
    Op<void (*)(RuntimeArray *, const void *, int32_t)>(s, kArraySet)(s, &p, 1);
    Op<void (*)(RuntimeArray *, int32_t, const void *)>(s, kArrayInsert)(s, 0, &p);
    auto *got = Op<Pair *(*)(RuntimeArray *, int32_t)>(s, kArrayGet)(s, 2);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->c, 3);
    EXPECT_EQ(Op<int32_t (*)(RuntimeArray *, const void *, int32_t)>(s, kArrayIndexOf)(s, &p, 1),
              2);
    auto get = Op<Pair *(*)(RuntimeArray *, int32_t)>(s, kArrayGet);
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(get(s, 3), nullptr); }), "OutOfBoundsException");
    RuntimeUnlockArray(s);
}

TEST(Arrays, FieldAccessorsCountReferences) {
    struct Holder {
        RuntimeObject header;
        RuntimeArray *field;
    } holder{};
    auto *object = &holder.header;
    RuntimeArray *a = CreateArray(1, kArrayInt32, 0);
    arraySetter(object, offsetof(Holder, field), a);
    EXPECT_EQ(a->refCount, 2);
    RuntimeArray *got = arrayGetter(object, offsetof(Holder, field));
    EXPECT_EQ(got, a);
    EXPECT_EQ(a->refCount, 3);
    RuntimeUnlockArray(got);
    arraySetter(object, offsetof(Holder, field), nullptr);
    EXPECT_EQ(a->refCount, 1);
    EXPECT_EQ(RaisedBy([] { EXPECT_EQ(arrayGetter(nullptr, 24), nullptr); }), "NilObjectException");
    RuntimeUnlockArray(a);
}

TEST(Arrays, LockingAndReleaseHook) {
    static std::vector<uintptr_t> released;
    RuntimeSetArrayReleaseHook([](uintptr_t address) { released.push_back(address); });
    RuntimeArray *a = CreateArray(1, kArrayUInt8, 3);
    RuntimeArray *b = CreateArray(1, kArrayUInt8, 3);
    RuntimeLockUnlockArrays(a, a);
    EXPECT_EQ(a->refCount, 1);
    RuntimeLockUnlockArrays(a, b); // b goes
    EXPECT_EQ(a->refCount, 2);
    EXPECT_EQ(released, (std::vector<uintptr_t>{reinterpret_cast<uintptr_t>(b)}));
    RuntimeLockArray(nullptr);
    RuntimeUnlockArray(nullptr);
    RuntimeUnlockArray(a);
    RuntimeUnlockArray(a);
    EXPECT_EQ(released.size(), 2u);
    RuntimeSetArrayReleaseHook(nullptr);
}

TEST(Arrays, CastViewCastsEachElementAndHoldsTheArray) {
    RuntimeClass *base = RuntimeNewClass(nullptr, 0, 0, 0, 0, 0);
    base->name = kstr::FromC("Basis");
    base->instanceSize = sizeof(RuntimeObject);
    RuntimeClass *derived = RuntimeNewClass(base, 0, 0, 0, 0, 0);
    derived->name = kstr::FromC("Abgeleitet");
    derived->instanceSize = sizeof(RuntimeObject);
    RuntimeObject *b = RuntimeNewObject(base), *d = RuntimeNewObject(derived);
    RuntimeArray *a = CreateArray(1, kArrayObject, 1);
    auto set = Op<void (*)(RuntimeArray *, RuntimeObject *, int32_t)>(a, kArraySet);
    set(a, d, 0);
    set(a, b, 1);

    EXPECT_EQ(RuntimeCreateArrayCastWrapper(a, nullptr), a);
    EXPECT_EQ(a->refCount, 2);
    RuntimeUnlockArray(a);
    RuntimeArray *strings = StringArray({"x"});
    EXPECT_EQ(RuntimeCreateArrayCastWrapper(strings, derived), strings);
    RuntimeUnlockArray(strings);
    RuntimeUnlockArray(strings);

    RuntimeArray *view = RuntimeCreateArrayCastWrapper(a, derived);
    auto *record = reinterpret_cast<RuntimeArrayCastView *>(view);
    ASSERT_NE(view, a);
    EXPECT_EQ(record->target, a);
    EXPECT_EQ(record->elementClass, derived);
    EXPECT_EQ(a->refCount, 2);
    EXPECT_EQ(RuntimeCreateArrayCastWrapper(view, base), view);
    RuntimeUnlockArray(view);

    auto get = Op<RuntimeObject *(*)(RuntimeArray *, int32_t)>(view, kArrayGet);
    RuntimeObject *got = get(view, 0);
    EXPECT_EQ(got, d);
    EXPECT_EQ(d->refCount, 3);
    RuntimeUnlockObject(got);
    // A Basis is no Abgeleitet.
    EXPECT_EQ(RaisedBy([&] { EXPECT_EQ(get(view, 1), nullptr); }), "IllegalCastException");

    Op<void (*)(RuntimeArray *, int32_t, RuntimeObject *)>(view, kArrayInsert)(view, 2, d);
    EXPECT_EQ(RuntimeUBound(view), 2);
    EXPECT_EQ(RuntimeUBound(a), 2);
    EXPECT_EQ(view->data, a->data);
    EXPECT_EQ(
        Op<int32_t (*)(RuntimeArray *, RuntimeObject *, int32_t)>(view, kArrayIndexOf)(view, d, 1),
        2);

    RuntimeUnlockArray(a); // the view still holds it
    EXPECT_EQ(d->refCount, 3);
    RuntimeUnlockArray(view);
    EXPECT_EQ(d->refCount, 1);
    EXPECT_EQ(b->refCount, 1);
    RuntimeUnlockObject(b);
    RuntimeUnlockObject(d);
}
