// The language's string functions that count bytes, and those that search,
// replace, split into fields, compare and trim. Each holds its arguments
// for the duration and returns a new reference.
//
// Positions are 1-based. A start below 1 counts as 1. Searching for an empty
// text finds nothing; replacing an empty text changes nothing. The plain
// functions compare without regard to case in the strings' common encoding;
// the "B" functions compare bytes as they are.
#include "StringFunctions.h"

#include "ByteBuffer.h"
#include "StringSearch.h"

namespace {

using kstr::StringRef;
using kstr::TextSearch;

// A 1-based position as a 0-based byte offset (a start below 1 counts as 1).
int32_t Offset(int32_t start) {
    return start < 1 ? 0 : start - 1;
}

int32_t InStr(int32_t start, KESTstring *s, KESTstring *find, bool fold) {
    TextSearch search(s, find, fold);
    size_t length;
    long at = search.Find(size_t(Offset(start)), &length);
    return at < 0 ? 0 : int32_t(at + 1);
}

int32_t CountFields(KESTstring *s, KESTstring *separator, bool fold) {
    if (kstr::Length(s) == 0) return 0;
    TextSearch search(s, separator, fold);
    int32_t count = 1;
    size_t length;
    for (long at = search.Find(0, &length); at >= 0; at = search.Find(at + length, &length))
        ++count;
    return count;
}

KESTstring *NthField(KESTstring *s, KESTstring *separator, int32_t n, bool fold) {
    if (n < 1) return nullptr;
    if (kstr::Length(separator) == 0) return n == 1 ? kstr::Share(s) : nullptr;
    TextSearch search(s, separator, fold);
    size_t begin = 0, length;
    for (int32_t field = 1;; ++field) {
        long at = search.Find(begin, &length);
        size_t end = at < 0 ? search.HayLength() : size_t(at);
        if (field == n) return kstr::Mid(search.Hay(), int32_t(begin), int32_t(end - begin));
        if (at < 0) return nullptr;
        begin = end + length;
    }
}

KESTstring *Replace(KESTstring *s, KESTstring *find, KESTstring *replacement, bool all, bool fold) {
    if (kstr::Length(s) == 0 || kstr::Length(find) == 0) return kstr::Share(s);
    TextSearch search(s, find, fold);
    StringRef with = StringRef::Shared(replacement);
    search.BringAlong(&with);
    const uint8_t *hay = kstr::Bytes(search.Hay());
    size_t length, done = 0;
    long at = search.Find(0, &length);
    if (at < 0) return kstr::Share(s);
    ByteBuffer out;
    while (at >= 0) {
        out.Append(hay + done, size_t(at) - done);
        out.Append(kstr::Bytes(with.Get()), kstr::Length(with.Get()));
        done = size_t(at) + length;
        at = all ? search.Find(done, &length) : -1;
    }
    out.Append(hay + done, search.HayLength() - done);
    return out.MakeString(search.Encoding());
}

bool IsBlank(uint8_t c) {
    return c == ' ' || c == '\t';
}

KESTstring *Trim(KESTstring *s, bool left, bool right) {
    const uint8_t *p = kstr::Bytes(s);
    uint32_t begin = 0, end = kstr::Length(s);
    while (left && begin < end && IsBlank(p[begin]))
        ++begin;
    while (right && end > begin && IsBlank(p[end - 1]))
        --end;
    return kstr::Mid(s, int32_t(begin), int32_t(end - begin));
}

} // namespace

extern "C" {

KESTstring *StringLeft(KESTstring *s, int32_t count) {
    return kstr::Left(s, count);
}

KESTstring *StringRight(KESTstring *s, int32_t count) {
    return kstr::Right(s, count);
}

KESTstring *StringMid2(KESTstring *s, int32_t start) {
    return kstr::MidToEnd(s, Offset(start));
}

KESTstring *StringMid3(KESTstring *s, int32_t start, int32_t count) {
    return kstr::Mid(s, Offset(start), count);
}

int32_t StringLen(KESTstring *s) {
    return int32_t(kstr::Length(s));
}

int32_t StringAsc(KESTstring *s) {
    return kstr::Length(s) != 0 ? kstr::Bytes(s)[0] : 0;
}

KESTstring *StringChr(int32_t code) {
    uint8_t byte = uint8_t(code);
    return kstr::Make(&byte, 1, uint32_t(code) < 128 ? kEncodingASCII : kEncodingUnknown);
}

int32_t StringInStr(KESTstring *s, KESTstring *find) {
    return InStr(1, s, find, true);
}

int32_t StringExtendsInStr(int32_t start, KESTstring *s, KESTstring *find) {
    return InStr(start, s, find, true);
}

int32_t StringInStrB(KESTstring *s, KESTstring *find) {
    return InStr(1, s, find, false);
}

int32_t StringExtendsInStrB(int32_t start, KESTstring *s, KESTstring *find) {
    return InStr(start, s, find, false);
}

int32_t StringCountFields(KESTstring *s, KESTstring *separator) {
    return CountFields(s, separator, true);
}

int32_t StringCountFieldsB(KESTstring *s, KESTstring *separator) {
    return CountFields(s, separator, false);
}

KESTstring *StringNthField(KESTstring *s, KESTstring *separator, int32_t n) {
    return NthField(s, separator, n, true);
}

KESTstring *StringNthFieldB(KESTstring *s, KESTstring *separator, int32_t n) {
    return NthField(s, separator, n, false);
}

KESTstring *StringReplace(KESTstring *s, KESTstring *find, KESTstring *replacement) {
    return Replace(s, find, replacement, false, true);
}

KESTstring *StringReplaceAll(KESTstring *s, KESTstring *find, KESTstring *replacement) {
    return Replace(s, find, replacement, true, true);
}

KESTstring *StringReplaceB(KESTstring *s, KESTstring *find, KESTstring *replacement) {
    return Replace(s, find, replacement, false, false);
}

KESTstring *StringReplaceAllB(KESTstring *s, KESTstring *find, KESTstring *replacement) {
    return Replace(s, find, replacement, true, false);
}

int32_t StringStrCompare(KESTstring *a, KESTstring *b, int32_t mode) {
    return mode == 0 ? kstr::CompareBinary(a, b) : RuntimeStringCompare(a, b);
}

KESTstring *runLTrim(KESTstring *s) {
    return Trim(s, true, false);
}

KESTstring *runRTrim(KESTstring *s) {
    return Trim(s, false, true);
}

KESTstring *runTrim(KESTstring *s) {
    return Trim(s, true, true);
}

} // extern "C"
