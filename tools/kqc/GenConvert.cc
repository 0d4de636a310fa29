// Code generation of conversions between types, for the conversions sema
// made explicit (Convert nodes) and the written ones (CType, Integer(x),
// Class(obj)): integer widths, integers and floating point (truncating
// toward zero through the runtime's conversion entry points), Currency,
// Booleans, Variants (boxing and unboxing) and checked casts of objects.
#include "CodegenImpl.h"

namespace kqc {
namespace {

bool signedInteger(const Type *t) {
    return t->kind == TypeKind::Int8 || t->kind == TypeKind::Int16 || t->kind == TypeKind::Int32 ||
           t->kind == TypeKind::Int64;
}

const char *boxEntry(const Type *t) {
    switch (t->kind) {
    case TypeKind::Boolean:
        return "BooleanToVariant";
    case TypeKind::Color:
        return "ColorToVariant";
    case TypeKind::Int64:
        return "Int64ToVariant";
    case TypeKind::UInt64:
        return "UInt64ToVariant";
    case TypeKind::Currency:
        return "CurrencyToVariant";
    case TypeKind::Single:
        return "SingleToVariant";
    case TypeKind::Double:
        return "DoubleToVariant";
    case TypeKind::String:
        return "StringToVariant";
    case TypeKind::Object:
        return "ObjectToVariant";
    case TypeKind::UInt8:
    case TypeKind::UInt16:
    case TypeKind::UInt32:
    case TypeKind::Ptr:
        return "UInt32ToVariant";
    default:
        return "Int32ToVariant";
    }
}

const char *unboxEntry(const Type *t) {
    switch (t->kind) {
    case TypeKind::Boolean:
        return "VariantToBoolean";
    case TypeKind::Color:
        return "VariantToColor";
    case TypeKind::Int64:
        return "VariantToInt64";
    case TypeKind::UInt64:
        return "VariantToUInt64";
    case TypeKind::Currency:
        return "VariantToCurrency";
    case TypeKind::Single:
        return "VariantToSingle";
    case TypeKind::Double:
        return "VariantToDouble";
    case TypeKind::String:
        return "VariantToString";
    case TypeKind::Object:
        return "VariantToObject";
    case TypeKind::UInt8:
    case TypeKind::UInt16:
    case TypeKind::UInt32:
    case TypeKind::Ptr:
        return "VariantToUInt32";
    default:
        return "VariantToInt32";
    }
}

} // namespace

// The argument of a one-value conversion entry point, from the accumulator.
static void passValue(MethodGen &g, Repr repr) {
    switch (repr) {
    case Repr::F32:
        g.useArgs(4);
        g.ins("fstps (%esp)");
        break;
    case Repr::F64:
        g.useArgs(8);
        g.ins("fstpl (%esp)");
        break;
    case Repr::I64:
        g.arg(0);
        g.arg(4, "%edx");
        break;
    default:
        g.arg(0);
        break;
    }
}

// Narrows eax to the width of an integer type (wrapping).
static void narrow(MethodGen &g, const Type *t) {
    switch (t->kind) {
    case TypeKind::Int8:
        g.ins("movsbl %al, %eax");
        break;
    case TypeKind::UInt8:
        g.ins("movzbl %al, %eax");
        break;
    case TypeKind::Int16:
        g.ins("movswl %ax, %eax");
        break;
    case TypeKind::UInt16:
        g.ins("movzwl %ax, %eax");
        break;
    default:
        break;
    }
}

void MethodGen::convert(Value &v, const Type *to, bool isExplicit) {
    (void)isExplicit; // sema decided what may convert; the code is the same
    const Type *from = v.type;
    if (from == to) return;
    TypeKind f = from->kind, t = to->kind;
    Repr fr = reprOf(from), tr = reprOf(to);
    auto replaceBy = [&](Value result) { // the source's reference goes
        releaseKeeping(v, result);
        v = result;
    };
    if (f == TypeKind::Error || t == TypeKind::Error || f == TypeKind::Array ||
        t == TypeKind::Array || (f == TypeKind::String && t == TypeKind::String)) {
        v.type = to;
        return;
    }
    if (f == TypeKind::Nil) {
        ins("xorl %eax, %eax");
        if (tr == Repr::I64) ins("xorl %edx, %edx");
        v.type = to;
        return;
    }
    if (t == TypeKind::Variant) {
        passValue(*this, fr);
        call(boxEntry(from));
        replaceBy(result(to));
        return;
    }
    if (f == TypeKind::Variant) {
        arg(0);
        call(unboxEntry(to));
        Value out =
            result(t == TypeKind::Object
                       ? module_.program().types.object(module_.program().findClass("Object"))
                       : to);
        replaceBy(out);
        if (t == TypeKind::Object && !to->cls->isRoot) convert(v, to, true);
        v.type = to;
        return;
    }
    if (f == TypeKind::Object && t == TypeKind::Object) {
        if (to->cls->isRoot || (from->cls->isA(to->cls) && !from->cls->isRoot)) {
            v.type = to;
            return;
        }
        arg(0);
        ins("movl " + module_.classPointer(to->cls) + ", %eax");
        arg(4);
        call("RuntimeCheckCast");
        replaceBy(result(to));
        return;
    }
    if (t == TypeKind::Boolean) { // written conversions of integers: not 0 is True
        if (fr == Repr::I64) ins("orl %edx, %eax");
        ins("testl %eax, %eax");
        ins("setne %al");
        ins("movzbl %al, %eax");
        v.type = to;
        return;
    }
    bool fromCurrency = f == TypeKind::Currency, toCurrency = t == TypeKind::Currency;
    bool fromFloat = fr == Repr::F32 || fr == Repr::F64,
         toFloat = tr == Repr::F32 || tr == Repr::F64;
    if (fromCurrency || toCurrency) {
        std::string entry;
        if (fromCurrency && toFloat) {
            entry = "RuntimeCvtCurrencyToReal64";
        } else if (fromCurrency) {
            entry = t == TypeKind::UInt32   ? "RuntimeCvtCurrencyToUInt32"
                    : t == TypeKind::Int64  ? "RuntimeCvtCurrencyToSInt64"
                    : t == TypeKind::UInt64 ? "RuntimeCvtCurrencyToUInt64"
                                            : "RuntimeCvtCurrencyToSInt32";
        } else if (fromFloat) {
            entry = fr == Repr::F32 ? "RuntimeCvtReal32ToCurrency" : "RuntimeCvtReal64ToCurrency";
        } else {
            bool wide = fr == Repr::I64;
            entry = signedInteger(from) || f == TypeKind::Boolean
                        ? (wide ? "RuntimeCvtSInt64ToCurrency" : "RuntimeCvtSInt32ToCurrency")
                        : (wide ? "RuntimeCvtUInt64ToCurrency" : "RuntimeCvtUInt32ToCurrency");
        }
        passValue(*this, fr);
        call(entry);
        if (tr == Repr::I32) narrow(*this, to);
        roundTo(to);
        v.type = to;
        return;
    }
    if (fromFloat && toFloat) {
        if (tr == Repr::F32) roundTo(to);
        v.type = to;
        return;
    }
    if (fromFloat) { // toward zero, by the runtime's conversions
        bool single = fr == Repr::F32;
        std::string entry = t == TypeKind::UInt32   ? "UInt32"
                            : t == TypeKind::Int64  ? "SInt64"
                            : t == TypeKind::UInt64 ? "UInt64"
                                                    : "SInt32";
        passValue(*this, fr);
        call(std::string(single ? "RuntimeCvtReal32To" : "RuntimeCvtReal64To") + entry);
        narrow(*this, to);
        v.type = to;
        return;
    }
    if (toFloat) {
        bool sign = signedInteger(from) || f == TypeKind::Boolean;
        if (fr == Repr::I64 && !sign) {
            passValue(*this, fr);
            call("RuntimeCvtUInt64ToReal64");
        } else if (fr == Repr::I32 && sign) {
            int32_t word = temp(Repr::I32);
            ins("movl %eax, " + at(word));
            ins("fildl " + at(word));
            freeTemp(word);
        } else {
            int32_t wide = temp(Repr::I64);
            ins("movl %eax, " + at(wide));
            if (fr == Repr::I32) ins("xorl %edx, %edx");
            ins("movl %edx, " + at(wide + 4));
            ins("fildll " + at(wide));
            freeTemp(wide);
        }
        // A 64-bit integer is exact in st(0) but may need rounding for a
        // Double, and any integer may for a Single.
        if (tr == Repr::F32 || fr == Repr::I64) roundTo(to);
        v.type = to;
        return;
    }
    // Integer to integer (Color and Ptr are integers here too).
    if (tr == Repr::I64 && fr == Repr::I32) {
        ins(signedInteger(from) ? "cltd" : "xorl %edx, %edx");
    } else if (tr == Repr::I32) {
        narrow(*this, to);
    }
    v.type = to;
}

} // namespace kqc
