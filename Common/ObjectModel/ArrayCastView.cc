// Cast views of object arrays (RuntimeCreateArrayCastWrapper): an array of a
// base class seen as an array of a subclass. Every element read through the
// view is cast to the view's class (a failed cast raises
// IllegalCastException); every other operation acts on the viewed array,
// whose reference the view holds until its own release.
#include "ArrayStorage.h"
#include "RuntimeObject.h"

#include "RuntimeErrorReport.h"

#include <cstdlib>
#include <cstring>

namespace {

RuntimeArrayCastView *View(RuntimeArray *a) {
    return reinterpret_cast<RuntimeArrayCastView *>(a);
}

// The viewed array's storage; its data pointer is mirrored into the view
// after every operation that may move it.
ArrayParts Target(RuntimeArray *a) {
    return ArrayPartsOf(View(a)->target);
}

void Mirror(RuntimeArray *a) {
    RuntimeArrayCastView *view = View(a);
    view->data = view->target != nullptr ? view->target->data : nullptr;
}

RuntimeObject *Element(const ArrayParts &p, int32_t at) {
    RuntimeObject *object = nullptr;
    if (at >= 0) std::memcpy(&object, p.Bytes() + size_t(at) * sizeof object, sizeof object);
    return object;
}

template <bool kChecked>
RuntimeObject *Get(RuntimeArray *a, int32_t first, ...) {
    ArrayParts p = Target(a);
    if (p.record == nullptr) return nullptr;
    va_list rest;
    va_start(rest, first);
    int32_t at = arraystore::Locate(p, kChecked, first, rest);
    va_end(rest);
    RuntimeObject *object = Element(p, at);
    return object != nullptr ? RuntimeCheckCast(object, View(a)->elementClass) : nullptr;
}

// Assignment: lock the new value, store it, then unlock the old one.
template <bool kChecked>
void Set(RuntimeArray *a, RuntimeObject *value, int32_t first, ...) {
    ArrayParts p = Target(a);
    if (p.record == nullptr) return;
    va_list rest;
    va_start(rest, first);
    int32_t at = arraystore::Locate(p, kChecked, first, rest);
    va_end(rest);
    if (at < 0) return;
    RuntimeObject *old = Element(p, at);
    RuntimeLockObject(value);
    std::memcpy(p.Bytes() + size_t(at) * sizeof value, &value, sizeof value);
    RuntimeUnlockObject(old);
}

void Resize(RuntimeArray *a, int32_t first, ...) {
    ArrayParts p = Target(a);
    if (p.record == nullptr) return;
    va_list rest;
    va_start(rest, first);
    arraystore::Resize(p, first, rest);
    va_end(rest);
    Mirror(a);
}

// Calls slot `slot` of the viewed array with the view's arguments; `none`
// when there is no viewed array.
template <typename R, typename... Args>
R Forward(RuntimeArray *a, int32_t slot, R none, Args... args) {
    RuntimeArray *target = View(a)->target;
    if (target == nullptr) return none;
    auto function = karray::Slot<R (*)(RuntimeArray *, Args...)>(target, slot);
    R result = function != nullptr ? function(target, args...) : none;
    Mirror(a);
    return result;
}

// The same for slots without a result.
template <int32_t kSlot, typename... Args>
void ForwardVoid(RuntimeArray *a, Args... args) {
    RuntimeArray *target = View(a)->target;
    if (target == nullptr) return;
    if (auto function = karray::Slot<void (*)(RuntimeArray *, Args...)>(target, kSlot))
        function(target, args...);
    Mirror(a);
}

void Insert(RuntimeArray *a, int32_t index, RuntimeObject *value) {
    ForwardVoid<kArrayInsert>(a, index, value);
}

void Remove(RuntimeArray *a, int32_t index) {
    ForwardVoid<kArrayRemove>(a, index);
}

void Shuffle(RuntimeArray *a) {
    ForwardVoid<kArrayShuffle>(a);
}

int32_t IndexOf(RuntimeArray *a, RuntimeObject *value, int32_t start) {
    return Forward<int32_t>(a, kArrayIndexOf, -1, value, start);
}

int32_t UBound(RuntimeArray *a, int32_t dimension) {
    return Forward<int32_t>(a, kArrayUBound, -1, dimension);
}

void LockValue(RuntimeArray *, RuntimeObject *value) {
    RuntimeLockObject(value);
}

void UnlockValue(RuntimeArray *, RuntimeObject *value) {
    RuntimeUnlockObject(value);
}

// Drops the view's reference to the array it views.
void DestroyContents(RuntimeArray *a) {
    RuntimeArray *target = View(a)->target;
    View(a)->target = nullptr;
    View(a)->data = nullptr;
    RuntimeUnlockArray(target);
}

int32_t ElementSize(RuntimeArray *) {
    return sizeof(RuntimeObject *);
}

const RuntimeArrayOperations kCastViewOperations = {{
    KQ_ARRAY_SLOT(&Get<true>),
    KQ_ARRAY_SLOT(&Set<true>),
    KQ_ARRAY_SLOT(&Get<false>),
    KQ_ARRAY_SLOT(&Set<false>),
    KQ_ARRAY_SLOT(&Resize),
    KQ_ARRAY_SLOT(&Insert),
    KQ_ARRAY_SLOT(&Remove),
    nullptr,
    nullptr,
    KQ_ARRAY_SLOT(&IndexOf),
    KQ_ARRAY_SLOT(&Shuffle),
    KQ_ARRAY_SLOT(&UBound),
    KQ_ARRAY_SLOT(&LockValue),
    KQ_ARRAY_SLOT(&UnlockValue),
    KQ_ARRAY_SLOT(&DestroyContents),
    KQ_ARRAY_SLOT(&ElementSize),
}};

} // namespace

const RuntimeArrayOperations *ArrayCastViewOperations() {
    return &kCastViewOperations;
}

extern "C" RuntimeArray *RuntimeCreateArrayCastWrapper(RuntimeArray *a,
                                                       RuntimeClass *elementClass) {
    if (a == nullptr) return nullptr;
    RuntimeLockArray(a);
    if (elementClass == nullptr || ArrayIsCastView(a) || !ArrayHoldsObjects(a)) return a;
    auto *view = static_cast<RuntimeArrayCastView *>(std::malloc(sizeof(RuntimeArrayCastView)));
    KQ_ASSERT_TEXT(kArraySource, view != nullptr, "array", nullptr);
    if (view == nullptr) return a;
    *view = RuntimeArrayCastView{1, &kCastViewOperations, a->data, a, elementClass};
    return reinterpret_cast<RuntimeArray *>(view);
}
