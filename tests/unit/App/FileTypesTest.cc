// The registry of file types: registering, finding by name without regard
// to case and by type code (the first registered of the types that share
// it), new codes for a known name, forgetting, and registrations that are
// refused.
#include "AppTestSupport.h"

#include "FileTypes.h"
#include "KESTstring.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t FourCC(const char (&c)[5]) {
    return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 |
           uint32_t(uint8_t(c[2])) << 8 | uint32_t(uint8_t(c[3]));
}

void Register(const char *name, const char *type, const char *creator) {
    kstr::StringRef n(kstr::FromC(name)), t(kstr::FromC(type)), c(kstr::FromC(creator));
    RuntimeRegisterFileType(n.Get(), t.Get(), c.Get());
}

void Deregister(const char *name) {
    kstr::StringRef n(kstr::FromC(name));
    RuntimeDeregisterFileType(n.Get());
}

// The codes of a registered type as "TYPE/CREATOR", or "none".
std::string CodesOf(const char *name) {
    kstr::StringRef n(kstr::FromC(name));
    filetypes::Codes codes;
    if (!filetypes::Find(n.Get(), &codes)) return "none";
    std::string text;
    for (uint32_t code : {codes.type, codes.creator}) {
        if (!text.empty()) text += '/';
        for (int shift = 24; shift >= 0; shift -= 8)
            text += char(code >> shift & 0xFF);
    }
    return text;
}

std::string NameOf(uint32_t type) {
    kstr::StringRef name(filetypes::NameOfType(type));
    return name.Get() != nullptr ? kstr::Text(name.Get()) : "none";
}

} // namespace

TEST(FileTypes, RegisteredTypesAreFoundByNameAndByTypeCode) {
    Register("text", "TEXT", "KQap");
    Register("Bild", "PNG", "KQap");
    EXPECT_EQ(CodesOf("TEXT"), "TEXT/KQap");
    EXPECT_EQ(CodesOf("bild"), "PNG /KQap") << "short codes are filled up with spaces";
    EXPECT_EQ(NameOf(FourCC("PNG ")), "Bild");
    EXPECT_EQ(NameOf(FourCC("JPEG")), "none");
    EXPECT_EQ(CodesOf("texts"), "none");

    Register("Text", "utf8", "KQed");
    EXPECT_EQ(CodesOf("text"), "utf8/KQed") << "the name's codes are replaced";
    EXPECT_EQ(filetypes::Count(), 2u);
    EXPECT_EQ(NameOf(FourCC("utf8")), "text") << "the first spelling stays";

    Deregister("TEXT");
    Deregister("never registered");
    EXPECT_EQ(CodesOf("text"), "none");
    EXPECT_EQ(NameOf(FourCC("utf8")), "none");
    EXPECT_EQ(filetypes::Count(), 1u);
    Deregister("bild");
    EXPECT_EQ(filetypes::Count(), 0u);
}

TEST(FileTypes, ATypeCodeSharedByTypesNamesTheFirstRegistered) {
    Register("Notiz", "TEXT", "KQap");
    Register("Bild", "PNG", "KQap");
    Register("text", "TEXT", "KQed");
    EXPECT_EQ(NameOf(FourCC("TEXT")), "Notiz");
    Register("Bild", "TEXT", "KQap");
    Register("Notiz", "TEXT", "KQed");
    EXPECT_EQ(NameOf(FourCC("TEXT")), "Notiz") << "new codes keep a type's place";
    Deregister("Notiz");
    EXPECT_EQ(NameOf(FourCC("TEXT")), "Bild");
    Register("Notiz", "TEXT", "KQap");
    EXPECT_EQ(NameOf(FourCC("TEXT")), "Bild") << "registered again, a type comes last";
    for (const char *name : {"Notiz", "Bild", "text"})
        Deregister(name);
}

TEST(FileTypes, TypesWithoutANameOrWithLongCodesAreRefused) {
    Register("text", "TEXT", "KQap");
    const struct {
        const char *name, *type, *creator, *message;
    } refused[] = {
        {"", "TEXT", "KQap", "A file type needs a name."},
        {"text", "TEXTS", "KQap", "A file type's type and creator codes have four characters."},
        {"text", "TEXT", "KQapp", "A file type's type and creator codes have four characters."},
    };
    for (const auto &r : refused) {
        RuntimeObject *exc = apptest::Raised([&] { Register(r.name, r.type, r.creator); });
        ASSERT_EQ(apptest::ClassName(exc), "UnsupportedFormatException") << r.type << r.creator;
        EXPECT_STREQ(kstr::Text(reinterpret_cast<RuntimeExceptionObject *>(exc)->message),
                     r.message);
        RuntimeUnlockObject(exc);
    }
    EXPECT_EQ(CodesOf("text"), "TEXT/KQap");
    EXPECT_EQ(filetypes::Count(), 1u);
    Deregister("text");
}
