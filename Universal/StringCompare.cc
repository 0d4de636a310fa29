// String comparison: the case-insensitive byte comparison of `=` and
// StringMap, the binary comparison, and the character comparison of
// RuntimeStringCompare for Unicode text.
#include "StringCompare.h"

#include "TextEncodingUtil.h"

#include <glib.h>
#include <strings.h>

#include <cstring>

namespace kstr {
namespace {

// Lower-case letter -> upper-case letter in the Mac Roman upper half.
constexpr uint8_t kMacRomanCasePairs[][2] = {
    {0x87, 0xE7}, {0x88, 0xCB}, {0x89, 0xE5}, {0x8A, 0x80}, {0x8B, 0xCC}, {0x8C, 0x81},
    {0x8D, 0x82}, {0x8E, 0x83}, {0x8F, 0xE9}, {0x90, 0xE6}, {0x91, 0xE8}, {0x92, 0xEA},
    {0x93, 0xED}, {0x94, 0xEB}, {0x95, 0xEC}, {0x96, 0x84}, {0x97, 0xEE}, {0x98, 0xF1},
    {0x99, 0xEF}, {0x9A, 0x85}, {0x9B, 0xCD}, {0x9C, 0xF2}, {0x9D, 0xF4}, {0x9E, 0xF3},
    {0x9F, 0x86}, {0xBE, 0xAE}, {0xBF, 0xAF}, {0xCF, 0xCE}, {0xD8, 0xD9},
};

constexpr ByteTable MakeFoldTable() {
    ByteTable table{};
    for (int i = 0; i < 256; ++i)
        table.map[i] = uint8_t(i >= 'a' && i <= 'z' ? i - 'a' + 'A' : i);
    for (const auto &pair : kMacRomanCasePairs)
        table.map[pair[0]] = pair[1];
    return table;
}

int Sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// The byte comparisons: equal lengths by the platform's functions, different
// lengths byte by byte as signed values, a prefix first.
int CompareBytes(const KESTstring *a, const KESTstring *b, bool fold) {
    if (a == b) return 0;
    StringRef ha, hb;
    uint32_t ea = Encoding(a), eb = Encoding(b);
    if (ea != eb && ea != kEncodingUnknown && eb != kEncodingUnknown) {
        ha = StringRef::Shared(const_cast<KESTstring *>(a));
        hb = StringRef::Shared(const_cast<KESTstring *>(b));
        textenc::BringToCommon(ha.Holder(), hb.Holder());
        a = ha.Get();
        b = hb.Get();
    }
    uint32_t la = Length(a), lb = Length(b);
    if (la == lb)
        return Sign(fold ? strncasecmp(Text(a), Text(b), la) : std::strncmp(Text(a), Text(b), la));
    const uint8_t *pa = Bytes(a), *pb = Bytes(b);
    for (uint32_t i = 0; i < la && i < lb; ++i) {
        int8_t ca = int8_t(fold ? kFoldTable.map[pa[i]] : pa[i]);
        int8_t cb = int8_t(fold ? kFoldTable.map[pb[i]] : pb[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return la < lb ? -1 : 1;
}

uint32_t ReadUTF16(const uint8_t *p, size_t available, size_t *used) {
    if (available < 2) {
        *used = available;
        return available != 0 ? p[0] : 0;
    }
    uint32_t unit = p[0] | uint32_t(p[1]) << 8;
    *used = 2;
    if (unit >= 0xD800 && unit <= 0xDBFF && available >= 4) {
        uint32_t low = p[2] | uint32_t(p[3]) << 8;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            *used = 4;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return unit;
}

} // namespace

const ByteTable kFoldTable = MakeFoldTable();

int CompareFold(const KESTstring *a, const KESTstring *b) {
    return CompareBytes(a, b, true);
}

int CompareBinary(const KESTstring *a, const KESTstring *b) {
    return CompareBytes(a, b, false);
}

Units UnitsOf(uint32_t encoding) {
    if (encoding == kEncodingUTF8) return Units::UTF8;
    if (encoding == kEncodingUTF16) return Units::UTF16;
    return Units::Bytes;
}

uint32_t ReadFolded(Units units, const uint8_t *p, size_t available, size_t *used) {
    switch (units) {
    case Units::UTF8:
        return g_unichar_tolower(textenc::DecodeUTF8(p, available, used));
    case Units::UTF16:
        return g_unichar_tolower(ReadUTF16(p, available, used));
    case Units::Bytes:
        break;
    }
    *used = 1;
    return kFoldTable.map[p[0]];
}

int CompareFoldedUnits(Units units, const uint8_t *a, size_t la, const uint8_t *b, size_t lb) {
    size_t i = 0, j = 0;
    while (i < la && j < lb) {
        size_t ua, ub;
        uint32_t ca = ReadFolded(units, a + i, la - i, &ua);
        uint32_t cb = ReadFolded(units, b + j, lb - j, &ub);
        if (ca != cb) return ca < cb ? -1 : 1;
        i += ua;
        j += ub;
    }
    if (i < la) return 1;
    return j < lb ? -1 : 0;
}

size_t MatchFoldedAt(Units units, const uint8_t *hay, size_t hayLength, const uint8_t *needle,
                     size_t needleLength) {
    size_t i = 0, j = 0;
    while (j < needleLength) {
        if (i >= hayLength) return 0;
        size_t uh, un;
        if (ReadFolded(units, hay + i, hayLength - i, &uh) !=
            ReadFolded(units, needle + j, needleLength - j, &un))
            return 0;
        i += uh;
        j += un;
    }
    return i;
}

} // namespace kstr

extern "C" int32_t RuntimeStringCompare(KESTstring *a, KESTstring *b) {
    using namespace kstr;
    if (a == b) return 0;
    if (Length(a) == 0) return -1;
    if (Length(b) == 0) return 1;
    StringRef ha = StringRef::Shared(a), hb = StringRef::Shared(b);
    Units units = UnitsOf(textenc::BringToCommon(ha.Holder(), hb.Holder()));
    if (units == Units::Bytes) return CompareFold(ha.Get(), hb.Get());
    return CompareFoldedUnits(units, Bytes(ha.Get()), Length(ha.Get()), Bytes(hb.Get()),
                              Length(hb.Get()));
}
