#include "FuzzSupport.h"

#include "RuntimeErrorReport.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

void RuntimeErrorReport(int16_t, const char *, int32_t, const char *, const char *) {}

namespace kqfuzz {

uint32_t ApplySelector(uint8_t selector) {
    static const char *const kLocales[] = {"C", "de_DE.UTF-8", "en_US.UTF-8", "C"};
    static const uint32_t kEncodings[] = {kEncodingASCII, kEncodingUTF8, kEncodingUnknown,
                                          kEncodingUTF16};
    static int current = -1;
    int locale = selector & 3;
    if (locale != current) {
        Require(std::setlocale(LC_NUMERIC, kLocales[locale]) != nullptr,
                "the locales de_DE.UTF-8 and en_US.UTF-8 are installed");
        current = locale;
    }
    return kEncodings[(selector >> 2) & 3];
}

void Require(bool condition, const char *what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void CheckRecord(const KESTstring *s, const char *what) {
    if (s == nullptr) return;
    const uint8_t *inline_ = reinterpret_cast<const uint8_t *>(s + 1);
    bool ok = s->refCount == 1 && s->length != 0 && s->text == inline_ &&
              s->capacity == s->length + 2 && s->text[0] == (s->length < 256 ? s->length : 255) &&
              s->text[s->length + 1] == 0;
    if (!ok) std::fprintf(stderr, "malformed string record from %s\n", what);
    Require(ok, "string records are well formed");
}

} // namespace kqfuzz
