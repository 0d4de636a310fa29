// Conversion rules between the boxed value types.
#include "BoxedValue.h"

#include "RuntimeConversions.h"
#include "RuntimeObject.h"
#include "StringFunctions.h"
#include "StringNumber.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace variants {

namespace {

enum class Family { Signed, Unsigned, Floating, Currency, Text };

Family FamilyOf(Kind kind) {
    switch (kind) {
    case Kind::UInt32:
    case Kind::UInt64:
        return Family::Unsigned;
    case Kind::Single:
    case Kind::Double:
        return Family::Floating;
    case Kind::Currency:
        return Family::Currency;
    case Kind::String:
        return Family::Text;
    default:
        return Family::Signed;
    }
}

template <typename T>
T Field(const RuntimeObject *boxed) {
    T value;
    std::memcpy(&value, reinterpret_cast<const char *>(boxed) + sizeof(RuntimeObject),
                sizeof value);
    return value;
}

template <typename T>
void SetField(RuntimeObject *boxed, T value) {
    std::memcpy(reinterpret_cast<char *>(boxed) + sizeof(RuntimeObject), &value, sizeof value);
}

uint32_t RotateLeft16(uint32_t word) {
    return word << 16 | word >> 16;
}

int32_t HashWords(uint64_t bits) {
    return int32_t(RotateLeft16(uint32_t(bits)) ^ uint32_t(bits >> 32));
}

// Text "True" or "False" in any case: 1 or 0; anything else -1.
int TruthWord(const KESTstring *s) {
    const char *text = kstr::Text(s);
    uint32_t length = kstr::Length(s);
    if (length == 4 && strncasecmp(text, "true", 4) == 0) return 1;
    if (length == 5 && strncasecmp(text, "false", 5) == 0) return 0;
    return -1;
}

KESTstring *CurrencyText(int64_t currency) {
    uint64_t magnitude = currency < 0 ? 0 - uint64_t(currency) : uint64_t(currency);
    char text[32];
    int n =
        std::snprintf(text, sizeof text, "%s%" PRIu64, currency < 0 ? "-" : "", magnitude / 10000);
    if (uint32_t fraction = uint32_t(magnitude % 10000)) {
        n += std::snprintf(text + n, sizeof text - size_t(n), ".%04" PRIu32, fraction);
        while (text[n - 1] == '0')
            --n;
    }
    return kstr::Make(text, uint32_t(n), kEncodingASCII);
}

} // namespace

Scalar Read(const RuntimeObject *boxed, Kind kind) {
    Scalar v;
    v.kind = kind;
    switch (kind) {
    case Kind::Int32:
        v.i = Field<int32_t>(boxed);
        break;
    case Kind::UInt32:
        v.u = Field<uint32_t>(boxed);
        break;
    case Kind::Color:
        v.i = Field<uint32_t>(boxed);
        break;
    case Kind::Int64:
    case Kind::Currency:
        v.i = Field<int64_t>(boxed);
        break;
    case Kind::UInt64:
        v.u = Field<uint64_t>(boxed);
        break;
    case Kind::Single:
        v.d = Field<float>(boxed);
        break;
    case Kind::Double:
        v.d = Field<double>(boxed);
        break;
    case Kind::Boolean:
        v.i = Field<bool>(boxed) ? 1 : 0;
        break;
    case Kind::String:
        v.s = Field<KESTstring *>(boxed);
        break;
    case Kind::None:
        break;
    }
    return v;
}

Scalar FromSigned(Kind kind, int64_t value) {
    Scalar v;
    v.kind = kind;
    v.i = value;
    return v;
}

Scalar FromUnsigned(Kind kind, uint64_t value) {
    Scalar v;
    v.kind = kind;
    v.u = value;
    return v;
}

Scalar FromFloating(Kind kind, double value) {
    Scalar v;
    v.kind = kind;
    v.d = value;
    return v;
}

int64_t ToInt64(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Signed:
        return v.i;
    case Family::Unsigned:
        return int64_t(v.u);
    case Family::Floating:
        return RuntimeCvtReal64ToSInt64(v.d);
    case Family::Currency:
        return RuntimeCvtCurrencyToSInt64(v.i);
    case Family::Text:
        break;
    }
    return RuntimeCvtReal64ToSInt64(kstr::Val(v.s));
}

int32_t ToInt32(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Floating:
        return RuntimeCvtReal64ToSInt32(v.d);
    case Family::Currency:
        return RuntimeCvtCurrencyToSInt32(v.i);
    case Family::Text:
        return RuntimeCvtReal64ToSInt32(kstr::Val(v.s));
    default:
        return int32_t(uint32_t(uint64_t(ToInt64(v))));
    }
}

uint64_t ToUInt64(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Unsigned:
        return v.u;
    case Family::Floating:
        return RuntimeCvtReal64ToUInt64(v.d);
    case Family::Currency:
        return RuntimeCvtCurrencyToUInt64(v.i);
    case Family::Text:
        return RuntimeCvtReal64ToUInt64(kstr::Val(v.s));
    default:
        return uint64_t(v.i);
    }
}

uint32_t ToUInt32(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Floating:
        return RuntimeCvtReal64ToUInt32(v.d);
    case Family::Currency:
        return RuntimeCvtCurrencyToUInt32(v.i);
    case Family::Text:
        return RuntimeCvtReal64ToUInt32(kstr::Val(v.s));
    default:
        return uint32_t(ToUInt64(v));
    }
}

double ToDouble(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Signed:
        return RuntimeCvtSInt64ToReal64(v.i);
    case Family::Unsigned:
        return RuntimeCvtUInt64ToReal64(v.u);
    case Family::Floating:
        return v.d;
    case Family::Currency:
        return RuntimeCvtCurrencyToReal64(v.i);
    case Family::Text:
        break;
    }
    return kstr::Val(v.s);
}

float ToSingle(const Scalar &v) {
    return float(ToDouble(v));
}

bool ToBoolean(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Unsigned:
        return v.u != 0;
    case Family::Floating:
        return v.d != 0;
    case Family::Text: {
        int truth = TruthWord(v.s);
        return truth >= 0 ? truth == 1 : kstr::Val(v.s) != 0;
    }
    default:
        return v.i != 0;
    }
}

uint32_t ToColor(const Scalar &v) {
    return ToUInt32(v);
}

int64_t ToCurrency(const Scalar &v) {
    switch (FamilyOf(v.kind)) {
    case Family::Signed:
        return RuntimeCvtSInt64ToCurrency(v.i);
    case Family::Unsigned:
        return RuntimeCvtUInt64ToCurrency(v.u);
    case Family::Floating:
        return RuntimeCvtReal64ToCurrency(v.d);
    case Family::Currency:
        return v.i;
    case Family::Text:
        break;
    }
    return RuntimeCvtReal64ToCurrency(kstr::Val(v.s));
}

KESTstring *ToString(const Scalar &v) {
    switch (v.kind) {
    case Kind::UInt32:
    case Kind::UInt64:
        return StringStrUInt64(v.u);
    case Kind::Single:
        return StringStrSingle(float(v.d));
    case Kind::Double:
        return StringStrDouble(v.d);
    case Kind::Boolean:
        return kstr::FromC(v.i != 0 ? "True" : "False");
    case Kind::Color: {
        char text[16];
        int n = std::snprintf(text, sizeof text, "&h%06" PRIX32, uint32_t(v.i));
        return kstr::Make(text, uint32_t(n), kEncodingASCII);
    }
    case Kind::Currency:
        return CurrencyText(v.i);
    case Kind::String:
        RuntimeLockString(v.s);
        return v.s;
    default:
        return StringStrInt64(v.i);
    }
}

int32_t Hash(const Scalar &v) {
    switch (v.kind) {
    case Kind::Int64:
    case Kind::Currency:
        return HashWords(uint64_t(v.i));
    case Kind::UInt64:
        return HashWords(v.u);
    case Kind::Double: {
        uint64_t bits;
        std::memcpy(&bits, &v.d, sizeof bits);
        return HashWords(bits);
    }
    case Kind::Single: {
        float value = float(v.d);
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return int32_t(RotateLeft16(bits));
    }
    case Kind::UInt32:
        return int32_t(RotateLeft16(uint32_t(v.u)));
    case Kind::String: {
        uint32_t h = 0;
        const char *text = kstr::Text(v.s);
        for (uint32_t i = 0; i < kstr::Length(v.s); ++i) {
            char c = text[i] >= 'a' && text[i] <= 'z' ? char(text[i] - 32) : text[i];
            h = h * 31 + uint32_t(int32_t(static_cast<signed char>(c)));
        }
        return int32_t(h);
    }
    default:
        return int32_t(RotateLeft16(uint32_t(v.i)));
    }
}

RuntimeObject *Box(Kind kind, const Scalar &v) {
    RuntimeObject *boxed = RuntimeNewObject(BoxingClass(kind));
    if (boxed == nullptr) return nullptr;
    switch (kind) {
    case Kind::Int32:
        SetField(boxed, ToInt32(v));
        break;
    case Kind::UInt32:
        SetField(boxed, ToUInt32(v));
        break;
    case Kind::Int64:
        SetField(boxed, ToInt64(v));
        break;
    case Kind::UInt64:
        SetField(boxed, ToUInt64(v));
        break;
    case Kind::Single:
        SetField(boxed, ToSingle(v));
        break;
    case Kind::Double:
        SetField(boxed, ToDouble(v));
        break;
    case Kind::Boolean:
        SetField(boxed, ToBoolean(v));
        break;
    case Kind::Color:
        SetField(boxed, ToColor(v));
        break;
    case Kind::Currency:
        SetField(boxed, ToCurrency(v));
        break;
    case Kind::String:
        SetField(boxed, ToString(v));
        break;
    case Kind::None:
        break;
    }
    return boxed;
}

} // namespace variants
