// The types of Kestlang and their type codes. Types are interned: one Type
// object per type, compared by pointer. The type codes are the ones the
// runtime uses in mangled names ("name%result%params"): b c e f4 f8 i1 i2 i4
// i8 u1 u2 u4 u8 s p v o<Name> and A<dims><element>.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

namespace kqc {

struct ClassInfo;

enum class TypeKind : uint8_t {
    Error, // the type of an expression that already produced an error
    Void,  // no value: the result of a Sub
    Nil,   // the literal Nil
    Boolean,
    Int8,
    Int16,
    Int32,
    Int64,
    UInt8,
    UInt16,
    UInt32,
    UInt64,
    Single,
    Double,
    Currency,
    Color,
    String,
    Ptr,
    Variant,
    Object,
    Array,
};

struct Type {
    TypeKind kind = TypeKind::Error;
    ClassInfo *cls = nullptr;      // Object
    const Type *element = nullptr; // Array
    int dims = 0;                  // Array
};

class TypeTable {
  public:
    TypeTable();
    const Type *get(TypeKind kind) const { return &basic_[static_cast<int>(kind)]; }
    const Type *error() const { return get(TypeKind::Error); }
    const Type *object(ClassInfo *cls);
    const Type *array(const Type *element, int dims);
    // The built-in type a (folded) name stands for: "integer", "double", ...
    const Type *byName(const std::string &folded) const;

  private:
    Type basic_[static_cast<int>(TypeKind::Object)];
    std::map<const ClassInfo *, Type> objects_;
    std::map<std::pair<const Type *, int>, Type> arrays_;
};

bool isInteger(const Type *t);
bool isUnsigned(const Type *t);
bool isFloat(const Type *t);
bool isNumeric(const Type *t);  // integers, floats and Currency
bool isCounted(const Type *t);  // String, object, Variant, array: reference counted
int integerBits(const Type *t); // 8, 16, 32, 64; 0 for others
uint32_t sizeOf(const Type *t); // bytes of a field or array element

std::string typeName(const Type *t);    // as the programmer writes it: "Integer", "String()"
std::string typeCode(const Type *t);    // "i4", "o<Window>", "A1s"; "" for Void
std::string withArticle(const Type *t); // "an Integer", "a String", for messages

// Reads one type code at text[*at]; names after o< and t< are looked up with
// findClass. Null (with *at unchanged) when the text holds no valid code.
template <class FindClass>
const Type *parseTypeCode(TypeTable &types, std::string_view text, size_t *at, FindClass findClass);

const Type *parseBasicCode(const TypeTable &types, std::string_view text, size_t *at);

template <class FindClass>
const Type *parseTypeCode(TypeTable &types, std::string_view text, size_t *at,
                          FindClass findClass) {
    if (*at >= text.size()) return nullptr;
    char c = text[*at];
    if (c == 'o' || c == 't') {
        if (*at + 1 >= text.size() || text[*at + 1] != '<') return nullptr;
        size_t close = text.find('>', *at + 2);
        if (close == std::string_view::npos) return nullptr;
        ClassInfo *cls = findClass(std::string(text.substr(*at + 2, close - *at - 2)));
        if (!cls) return nullptr;
        *at = close + 1;
        return types.object(cls);
    }
    if (c == 'A' || c == 'a') {
        size_t p = *at + 1;
        int dims = 0;
        while (p < text.size() && text[p] >= '0' && text[p] <= '9' && dims < 100)
            dims = dims * 10 + (text[p++] - '0');
        if (dims < 1) return nullptr;
        const Type *element = parseTypeCode(types, text, &p, findClass);
        if (!element || element->kind == TypeKind::Array) return nullptr;
        *at = p;
        return types.array(element, dims);
    }
    return parseBasicCode(types, text, at);
}

} // namespace kqc
