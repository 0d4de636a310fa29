#include "StringArrays.h"

#include "ByteBuffer.h"
#include "RuntimeErrorReport.h"
#include "StringSearch.h"

namespace {

const char kSource[] = "../Common/Object Model/StringArrays";

RuntimeArray *Split(KESTstring *s, KESTstring *separator, bool fold) {
    RuntimeArray *fields = karray::Create(kArrayString, -1);
    if (fields == nullptr || kstr::Length(s) == 0) return fields;
    kstr::TextSearch search(s, separator, fold);
    size_t begin = 0, length;
    for (;;) {
        long at = search.Find(begin, &length); // never found for an empty separator
        size_t end = at < 0 ? search.HayLength() : size_t(at);
        kstr::StringRef field(kstr::Mid(search.Hay(), int32_t(begin), int32_t(end - begin)));
        karray::Append(fields, field.Get());
        if (at < 0) return fields;
        begin = end + length;
    }
}

// Whether every non-empty piece of a join has one encoding; it is stored in
// `*encoding` (ASCII when all are empty).
bool OneEncoding(RuntimeArray *strings, int32_t count, KESTstring *separator, uint32_t *encoding) {
    bool found = false;
    for (int32_t i = -1; i < count; ++i) {
        KESTstring *piece = i < 0 ? separator : karray::At<KESTstring *>(strings, i);
        if (kstr::Length(piece) == 0) continue;
        if (found && piece->encoding != *encoding) return false;
        *encoding = piece->encoding;
        found = true;
    }
    if (!found) *encoding = kEncodingASCII;
    return true;
}

} // namespace

extern "C" {

RuntimeArray *StringSplit(KESTstring *s, KESTstring *separator) {
    return Split(s, separator, true);
}

RuntimeArray *StringSplitB(KESTstring *s, KESTstring *separator) {
    return Split(s, separator, false);
}

KESTstring *StringJoin(RuntimeArray *strings, KESTstring *separator) {
    if (strings == nullptr) return nullptr;
    bool ofStrings = strings->operations == ArrayOperationsFor(kArrayString, 1);
    KQ_ASSERT_TEXT(kSource, ofStrings, "strings->operations == string array operations", nullptr);
    if (!ofStrings) return nullptr;
    int32_t count = karray::UBound(strings) + 1;
    uint32_t encoding = kEncodingASCII;
    if (OneEncoding(strings, count, separator, &encoding)) {
        ByteBuffer out;
        for (int32_t i = 0; i < count; ++i) {
            if (i > 0) out.Append(kstr::Bytes(separator), kstr::Length(separator));
            KESTstring *piece = karray::At<KESTstring *>(strings, i);
            out.Append(kstr::Bytes(piece), kstr::Length(piece));
        }
        return out.MakeString(encoding);
    }
    // Pieces of several encodings meet as concatenation brings them together.
    kstr::StringRef joined;
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) joined = kstr::StringRef(kstr::Concat(joined.Get(), separator));
        joined = kstr::StringRef(kstr::Concat(joined.Get(), karray::At<KESTstring *>(strings, i)));
    }
    return joined.Release();
}

} // extern "C"
