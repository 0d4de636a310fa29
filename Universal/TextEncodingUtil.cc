// Encoding identifiers, the common-encoding rule and iconv conversion.
#include "TextEncodingUtil.h"

#include "ByteBuffer.h"
#include "RuntimeErrorReport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <initializer_list>
#include <strings.h>

namespace textenc {
namespace {

const char *const kSource = "Universal/TextEncodingUtil";

enum Kind : uint8_t {
    kSingleByte, // one byte per character, ASCII in the lower half
    kMultiByte,  // one or more bytes per character, ASCII-based
    kOwnBytes,   // not ASCII-based: UTF-16/32, EBCDIC, ISO-2022
};

struct Converter {
    uint32_t id;
    const char *name;
    Kind kind;
};

// Identifier -> iconv name. The one table of converters; every identifier
// not listed has none.
const Converter kConverters[] = {
    {0, "MAC", kSingleByte},
    {7, "MACCYRILLIC", kSingleByte},
    {29, "MACUK", kSingleByte},
    {0x100, "UTF16LE", kOwnBytes},
    {513, "ISO_8859-1", kSingleByte},
    {514, "ISO_8859-2", kSingleByte},
    {515, "ISO_8859-3", kSingleByte},
    {516, "ISO_8859-4", kSingleByte},
    {517, "ISO_8859-5", kSingleByte},
    {518, "ISO_8859-6", kSingleByte},
    {519, "ISO_8859-7", kSingleByte},
    {520, "ISO_8859-8", kSingleByte},
    {521, "ISO_8859-9", kSingleByte},
    {527, "ISO_8859-15:1998", kSingleByte},
    {1024, "CP437", kSingleByte},
    {1029, "CP737", kSingleByte},
    {1030, "CP775", kSingleByte},
    {1040, "CP850", kSingleByte},
    {1041, "CP851", kSingleByte},
    {1042, "CP852", kSingleByte},
    {1043, "CP855", kSingleByte},
    {1044, "CP857", kSingleByte},
    {1045, "CP860", kSingleByte},
    {1046, "CP861", kSingleByte},
    {1047, "CP862", kSingleByte},
    {1048, "CP863", kSingleByte},
    {1049, "CP864", kSingleByte},
    {1050, "CP865", kSingleByte},
    {1051, "CP866", kSingleByte},
    {1052, "CP869", kSingleByte},
    {1053, "CP874", kSingleByte},
    {1056, "CP932", kMultiByte},
    {1057, "CP936", kMultiByte},
    {1058, "CP949", kMultiByte},
    {1059, "CP950", kMultiByte},
    {1280, "CP1252", kSingleByte},
    {1281, "CP1250", kSingleByte},
    {1282, "CP1251", kSingleByte},
    {1283, "CP1253", kSingleByte},
    {1284, "CP1254", kSingleByte},
    {1285, "CP1255", kSingleByte},
    {1286, "CP1256", kSingleByte},
    {1287, "CP1257", kSingleByte},
    {1288, "CP1258", kSingleByte},
    {1296, "CP1361", kMultiByte},
    {1536, "US-ASCII", kSingleByte},
    {1585, "CP936", kMultiByte},
    {2080, "ISO-2022-JP", kOwnBytes},
    {2336, "EUCJP", kMultiByte},
    {2561, "CP932", kMultiByte},
    {3073, "CP037", kOwnBytes},
    {3074, "CP037", kOwnBytes},
    {kEncodingUTF8, "UTF8", kMultiByte},
    {kEncodingUTF32, "UTF32", kOwnBytes},
};

// Identifier <-> Internet name. Other formats of the Unicode base 0x100
// take the name of their format whatever their variant.
const struct {
    uint32_t id;
    const char *name;
} kInternetNames[] = {
    {kEncodingUTF8, "UTF-8"},  {kEncodingUTF16, "UTF-16"}, {0x04000100, "UTF-7"},
    {kEncodingUTF32, "UCS-4"}, {0x500, "windows-1252"},    {kEncodingASCII, "US-ASCII"},
    {0, "macintosh"},          {1, "X-MAC-JAPANESE"},      {kShiftJIS, "Shift_JIS"},
};

// Whether p[0..n) is a sequence of valid characters of EUC-JP or Shift_JIS.
bool ValidEUCJP(const uint8_t *p, size_t n) {
    auto kanji = [](uint8_t c) { return c >= 0xA1 && c <= 0xFE; };
    for (size_t i = 0; i < n;) {
        uint8_t c = p[i];
        size_t length = c < 0x80 ? 1 : c == 0x8F ? 3 : 2;
        if (i + length > n) return false;
        if (c == 0x8E && !(p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF)) return false;
        if (c == 0x8F && !(kanji(p[i + 1]) && kanji(p[i + 2]))) return false;
        if (c >= 0x80 && c != 0x8E && c != 0x8F && !(kanji(c) && kanji(p[i + 1]))) return false;
        i += length;
    }
    return true;
}

bool ValidShiftJIS(const uint8_t *p, size_t n) {
    for (size_t i = 0; i < n;) {
        uint8_t c = p[i];
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) {
            ++i;
            continue;
        }
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 >= n) return false;
        uint8_t t = p[i + 1];
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
        i += 2;
    }
    return true;
}

const Converter *FindConverter(uint32_t id) {
    if (id == kEncodingUnknown) id = SystemEncoding();
    for (const Converter &c : kConverters)
        if (c.id == id) return &c;
    return nullptr;
}

bool AllBelow0x80(const KESTstring *s) {
    const uint8_t *p = kstr::Bytes(s);
    for (uint32_t i = 0, n = kstr::Length(s); i < n; ++i)
        if (p[i] >= 0x80) return false;
    return true;
}

// What `cd` writes for one "?" once it is past its byte-order mark, if any:
// the second of two conversions of "?" through one converter.
bool Replacement(const char *to, ByteBuffer *out) {
    iconv_t cd = iconv_open(to, "US-ASCII");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char buf[2][16];
    size_t used = 0;
    for (char *b : buf) {
        char question[] = "?";
        char *in = question, *o = b;
        size_t inLeft = 1, outLeft = sizeof buf[0];
        if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
            iconv_close(cd);
            return false;
        }
        used = sizeof buf[0] - outLeft;
    }
    iconv_close(cd);
    return out->Append(buf[1], used);
}

// The last iconv conversion: its source (held, so that its address cannot be
// reused by another record) and result.
KESTstring *gCachedSource = nullptr;
KESTstring *gCachedResult = nullptr;

} // namespace

uint32_t SystemEncoding() {
    return kEncodingUTF8;
}

const char *ConverterName(uint32_t id) {
    const Converter *c = FindConverter(id);
    return c != nullptr ? c->name : nullptr;
}

bool IsUnicodeFamily(uint32_t id) {
    return Base(id) >= 0x100 && Base(id) <= 0x1FF;
}

bool IsAsciiSuperset(uint32_t id) {
    if (id == kEncodingUTF8) return true;
    if (IsUnicodeFamily(id)) return false;
    const Converter *c = FindConverter(id);
    return c == nullptr || c->kind != kOwnBytes;
}

bool IsMultiByte(uint32_t id) {
    if (id == kEncodingUnknown || IsUnicodeFamily(id)) return false;
    const Converter *c = FindConverter(id);
    return c != nullptr && c->kind == kMultiByte;
}

uint32_t Combine(uint32_t a, uint32_t b, bool allowConversion) {
    if (a == b) return a;
    bool aText = a == kEncodingASCII || a == kEncodingUTF8;
    bool bText = b == kEncodingASCII || b == kEncodingUTF8;
    if (aText && bText) return kEncodingUTF8;
    if (a == kEncodingASCII && IsAsciiSuperset(b)) return b;
    if (b == kEncodingASCII && IsAsciiSuperset(a)) return a;
    if (!allowConversion) return kEncodingUnknown;
    if ((a == kEncodingUTF16 || b == kEncodingUTF16) && a != kEncodingUTF8 && b != kEncodingUTF8)
        return kEncodingUTF16;
    return kEncodingUTF8;
}

uint32_t BringToCommon(KESTstring **s1, KESTstring **s2) {
    KQ_ASSERT_TEXT(kSource, s1 != nullptr && s2 != nullptr, "s1 and s2", nullptr);
    if (s1 == nullptr || s2 == nullptr) return kEncodingUnknown;
    bool empty1 = kstr::Length(*s1) == 0, empty2 = kstr::Length(*s2) == 0;
    if (empty1 && empty2) return kEncodingASCII;
    if (empty1) return (*s2)->encoding;
    if (empty2) return (*s1)->encoding;
    uint32_t e1 = (*s1)->encoding, e2 = (*s2)->encoding;
    if (e1 == e2) return e1;
    if (e1 == kEncodingUnknown || e2 == kEncodingUnknown) return kEncodingUnknown;
    uint32_t common = Combine(e1, e2, false);
    if (common != kEncodingUnknown) return common;
    common = Combine(e1, e2, true);
    for (KESTstring **holder : {s1, s2}) {
        if ((*holder)->encoding == common) continue;
        KESTstring *converted = Convert(*holder, common);
        RuntimeUnlockString(*holder);
        *holder = converted;
    }
    return common;
}

KESTstring *Convert(KESTstring *s, uint32_t target) {
    if (target == kEncodingUnknown || kstr::Length(s) == 0 || s->encoding == kEncodingUnknown ||
        s->encoding == target)
        return kstr::Share(s);
    if (s == gCachedSource && gCachedResult != nullptr && gCachedResult->encoding == target)
        return kstr::Share(gCachedResult);
    if (IsAsciiSuperset(target) &&
        (s->encoding == kEncodingASCII || (IsAsciiSuperset(s->encoding) && AllBelow0x80(s))))
        return kstr::Make(s->text + 1, s->length, target);

    ByteBuffer converted;
    if (!ConvertBytes(s->encoding, target, kstr::Bytes(s), s->length, &converted, nullptr))
        return kstr::Share(s);
    KESTstring *result = converted.MakeString(target);
    if (result != nullptr) {
        RuntimeUnlockString(gCachedSource);
        RuntimeUnlockString(gCachedResult);
        gCachedSource = kstr::Share(s);
        gCachedResult = kstr::Share(result);
    }
    return result;
}

const char *InternetName(uint32_t id) {
    for (const auto &row : kInternetNames)
        if (row.id == id) return row.name;
    if (Base(id) == 0x100)
        for (const auto &row : kInternetNames)
            if (Base(row.id) == 0x100 && Format(row.id) == Format(id)) return row.name;
    return nullptr;
}

uint32_t FromInternetName(const char *name) {
    for (const auto &row : kInternetNames)
        if (name != nullptr && strcasecmp(name, row.name) == 0) return row.id;
    return kEncodingUnknown;
}

KESTstring *CharacterIn(uint32_t id, uint32_t codePoint) {
    uint8_t bytes[4];
    kstr::StringRef utf8(kstr::Make(bytes, uint32_t(EncodeUTF8(codePoint, bytes)), kEncodingUTF8));
    return Convert(utf8.Get(), id);
}

uint32_t GuessJapanese(const KESTstring *s) {
    const uint8_t *p = kstr::Bytes(s);
    size_t n = kstr::Length(s);
    for (size_t i = 0; i + 1 < n; ++i)
        if (p[i] == 0x1B && (p[i + 1] == '$' || p[i + 1] == '(')) return kISO2022JP;
    return ValidEUCJP(p, n) && !ValidShiftJIS(p, n) ? kEUCJP : kShiftJIS;
}

bool ConvertBytes(uint32_t from, uint32_t to, const uint8_t *bytes, size_t length, ByteBuffer *out,
                  size_t *incompleteTail) {
    const Converter *target = FindConverter(to), *source = FindConverter(from);
    if (target == nullptr || source == nullptr) return false;
    iconv_t cd = iconv_open(target->name, source->name);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    if (incompleteTail != nullptr) *incompleteTail = 0;

    size_t capacity = 4 * length + 4;
    char *buffer = static_cast<char *>(std::malloc(capacity));
    if (buffer == nullptr) {
        iconv_close(cd);
        return false;
    }
    char *in = reinterpret_cast<char *>(const_cast<uint8_t *>(bytes)), *o = buffer;
    size_t inLeft = length, outLeft = capacity;
    ByteBuffer question;
    bool haveQuestion = false;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == EINVAL && incompleteTail != nullptr) {
            *incompleteTail = inLeft; // the caller keeps it for the next piece
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) break;
        // An undecodable byte: skip it and write "?" in its place.
        if (!haveQuestion) haveQuestion = Replacement(target->name, &question);
        if (!haveQuestion || outLeft < question.Size()) break;
        std::memcpy(o, question.Data(), question.Size());
        o += question.Size();
        outLeft -= question.Size();
        ++in;
        --inLeft;
    }
    iconv(cd, nullptr, nullptr, &o, &outLeft); // back to the initial shift state
    iconv_close(cd);
    out->Append(buffer, capacity - outLeft);
    std::free(buffer);
    return true;
}

uint32_t DecodeUTF8(const uint8_t *p, size_t available, size_t *used) {
    *used = 1;
    if (available == 0) return 0;
    uint8_t lead = p[0];
    size_t length;
    uint32_t cp, minimum;
    if (lead < 0x80) return lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return lead;
    }
    if (length > available) return lead;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return lead;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return lead;
    *used = length;
    return cp;
}

size_t EncodeUTF8(uint32_t cp, uint8_t out[4]) {
    if (cp < 0x80) {
        out[0] = uint8_t(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = uint8_t(0xC0 | (cp >> 6));
        out[1] = uint8_t(0x80 | (cp & 0x3F));
        return 2;
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
    if (cp < 0x10000) {
        out[0] = uint8_t(0xE0 | (cp >> 12));
        out[1] = uint8_t(0x80 | ((cp >> 6) & 0x3F));
        out[2] = uint8_t(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = uint8_t(0xF0 | (cp >> 18));
    out[1] = uint8_t(0x80 | ((cp >> 12) & 0x3F));
    out[2] = uint8_t(0x80 | ((cp >> 6) & 0x3F));
    out[3] = uint8_t(0x80 | (cp & 0x3F));
    return 4;
}

} // namespace textenc
