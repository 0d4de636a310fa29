// Types, their names and codes (see Types.h).
#include "Types.h"

#include "Symbols.h"

namespace kqc {
namespace {

// Name and code of each kind below Object, in TypeKind order; one table for
// names, codes and the built-in type names of the language.
struct BasicType {
    const char *name;
    const char *code;
};
const BasicType kBasic[] = {
    {"<error>", ""},  {"<no value>", ""}, {"Nil", ""},      {"Boolean", "b"}, {"Int8", "i1"},
    {"Int16", "i2"},  {"Integer", "i4"},  {"Int64", "i8"},  {"UInt8", "u1"},  {"UInt16", "u2"},
    {"UInt32", "u4"}, {"UInt64", "u8"},   {"Single", "f4"}, {"Double", "f8"}, {"Currency", "e"},
    {"Color", "c"},   {"String", "s"},    {"Ptr", "p"},     {"Variant", "v"},
};
static_assert(sizeof kBasic / sizeof kBasic[0] == static_cast<size_t>(TypeKind::Object));

} // namespace

TypeTable::TypeTable() {
    for (int i = 0; i < static_cast<int>(TypeKind::Object); ++i)
        basic_[i].kind = static_cast<TypeKind>(i);
}

const Type *TypeTable::object(ClassInfo *cls) {
    Type &t = objects_[cls];
    t.kind = TypeKind::Object;
    t.cls = cls;
    return &t;
}

const Type *TypeTable::array(const Type *element, int dims) {
    Type &t = arrays_[{element, dims}];
    t.kind = TypeKind::Array;
    t.element = element;
    t.dims = dims;
    return &t;
}

const Type *TypeTable::byName(const std::string &folded) const {
    if (folded == "int32") return get(TypeKind::Int32);
    for (int i = static_cast<int>(TypeKind::Boolean); i < static_cast<int>(TypeKind::Object); ++i) {
        std::string name = kBasic[i].name;
        for (char &c : name)
            c = static_cast<char>(c | 0x20);
        if (name == folded) return get(static_cast<TypeKind>(i));
    }
    return nullptr;
}

const Type *parseBasicCode(const TypeTable &types, std::string_view text, size_t *at) {
    for (int i = static_cast<int>(TypeKind::Boolean); i < static_cast<int>(TypeKind::Object); ++i) {
        std::string_view code = kBasic[i].code;
        if (text.substr(*at, code.size()) == code) {
            *at += code.size();
            return types.get(static_cast<TypeKind>(i));
        }
    }
    return nullptr;
}

bool isInteger(const Type *t) {
    return t->kind >= TypeKind::Int8 && t->kind <= TypeKind::UInt64;
}
bool isUnsigned(const Type *t) {
    return t->kind >= TypeKind::UInt8 && t->kind <= TypeKind::UInt64;
}
bool isFloat(const Type *t) {
    return t->kind == TypeKind::Single || t->kind == TypeKind::Double;
}
bool isNumeric(const Type *t) {
    return isInteger(t) || isFloat(t) || t->kind == TypeKind::Currency;
}

bool isCounted(const Type *t) {
    return t->kind == TypeKind::String || t->kind == TypeKind::Object ||
           t->kind == TypeKind::Variant || t->kind == TypeKind::Array;
}

int integerBits(const Type *t) {
    switch (t->kind) {
    case TypeKind::Int8:
    case TypeKind::UInt8:
        return 8;
    case TypeKind::Int16:
    case TypeKind::UInt16:
        return 16;
    case TypeKind::Int32:
    case TypeKind::UInt32:
        return 32;
    case TypeKind::Int64:
    case TypeKind::UInt64:
        return 64;
    default:
        return 0;
    }
}

uint32_t sizeOf(const Type *t) {
    switch (t->kind) {
    case TypeKind::Boolean:
        return 1;
    case TypeKind::Int64:
    case TypeKind::UInt64:
    case TypeKind::Double:
    case TypeKind::Currency:
        return 8;
    default:
        return isInteger(t) ? integerBits(t) / 8 : 4;
    }
}

std::string typeName(const Type *t) {
    if (t->kind == TypeKind::Object) return t->cls->name;
    if (t->kind == TypeKind::Array)
        return typeName(t->element) + "(" + std::string(t->dims - 1, ',') + ")";
    return kBasic[static_cast<int>(t->kind)].name;
}

std::string withArticle(const Type *t) {
    std::string name = typeName(t);
    char first = static_cast<char>(name[0] | 0x20);
    bool vowel = first == 'a' || first == 'e' || first == 'i' || first == 'o' ||
                 (first == 'u' && name.compare(0, 4, "UInt") != 0);
    return (vowel ? "an " : "a ") + name;
}

std::string typeCode(const Type *t) {
    if (t->kind == TypeKind::Object) return "o<" + t->cls->name + ">";
    if (t->kind == TypeKind::Array) return "A" + std::to_string(t->dims) + typeCode(t->element);
    return kBasic[static_cast<int>(t->kind)].code;
}

} // namespace kqc
