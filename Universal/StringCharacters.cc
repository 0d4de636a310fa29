// The language's string functions that count characters, and case mapping.
//
// Characters are whole UTF-8 sequences in UTF-8 text, two bytes in UTF-16
// text and bytes in ASCII text. Text in an East Asian multi-byte encoding is
// worked on in UTF-8 and the resulting text converted back; any other
// encoding counts bytes.
//
// Case mapping is Unicode's for UTF-8 text (and for text of unknown encoding
// that is valid UTF-8); other encodings with a converter are mapped through
// UTF-8; what remains maps ASCII letters only.
#include "StringFunctions.h"

#include "ByteBuffer.h"
#include "StringSearch.h"
#include "TextEncodingUtil.h"

#include <glib.h>

#include <cstring>

namespace {

using kstr::StringRef;

enum class Form { Bytes, UTF8, UTF16, ThroughUTF8 };

Form FormOf(uint32_t encoding) {
    if (encoding == kEncodingUTF8) return Form::UTF8;
    if (encoding == kEncodingUTF16) return Form::UTF16;
    if (textenc::IsMultiByte(encoding)) return Form::ThroughUTF8;
    return Form::Bytes;
}

// The string as its characters are counted: multi-byte text in UTF-8.
struct Chars {
    explicit Chars(KESTstring *s)
        : encoding(kstr::Encoding(s)), form(FormOf(encoding)),
          text(form == Form::ThroughUTF8 ? StringRef(kstr::ToUTF8(s)) : StringRef::Shared(s)) {
        if (form == Form::ThroughUTF8) form = Form::UTF8;
        p = kstr::Bytes(text.Get());
        n = kstr::Length(text.Get());
    }

    // The byte offset `count` characters after `from` (at most the end).
    size_t Advance(size_t from, long count) const {
        while (count-- > 0 && from < n)
            from += CharLength(from);
        return from < n ? from : n;
    }
    size_t CharLength(size_t at) const {
        size_t used = 1;
        if (form == Form::UTF8) textenc::DecodeUTF8(p + at, n - at, &used);
        if (form == Form::UTF16) used = n - at >= 2 ? 2 : 1;
        return used;
    }
    long Count(size_t end) const {
        long count = 0;
        for (size_t at = 0; at < end; at += CharLength(at))
            ++count;
        return count;
    }

    // Bytes [begin, end) as a string in the original encoding.
    KESTstring *Part(size_t begin, size_t end) const {
        StringRef part(kstr::Mid(text.Get(), int32_t(begin), int32_t(end - begin)));
        return textenc::Convert(part.Get(), encoding);
    }

    uint32_t encoding;
    Form form;
    StringRef text;
    const uint8_t *p;
    size_t n;
};

long Characters(int32_t count) {
    return count < 0 ? 0 : count;
}

// Case mapping of valid UTF-8 text.
enum class Case { Upper, Lower, Title };

bool IsWordCharacter(gunichar c) {
    return g_unichar_isalnum(c) || g_unichar_ismark(c) || c == '\'' || c == 0x2019;
}

void MapUTF8(const char *text, size_t length, Case mode, ByteBuffer *out) {
    if (mode != Case::Title) {
        gchar *mapped = mode == Case::Upper ? g_utf8_strup(text, gssize(length))
                                            : g_utf8_strdown(text, gssize(length));
        out->Append(mapped);
        g_free(mapped);
        return;
    }
    bool wordStart = true;
    for (const char *p = text; p < text + length; p = g_utf8_next_char(p)) {
        gunichar c = g_utf8_get_char(p);
        gunichar mapped = wordStart ? g_unichar_totitle(c) : g_unichar_tolower(c);
        wordStart = !IsWordCharacter(c);
        uint8_t bytes[4];
        out->Append(bytes, textenc::EncodeUTF8(mapped, bytes));
    }
}

void MapASCII(const uint8_t *p, size_t n, Case mode, ByteBuffer *out) {
    bool wordStart = true;
    for (size_t i = 0; i < n; ++i) {
        uint8_t c = p[i];
        bool upper = mode == Case::Upper || (mode == Case::Title && wordStart);
        if (upper && c >= 'a' && c <= 'z') c = uint8_t(c - 32);
        if (!upper && c >= 'A' && c <= 'Z') c = uint8_t(c + 32);
        out->Append(c);
        wordStart = !g_ascii_isalnum(p[i]) && p[i] != '\'';
    }
}

KESTstring *MapCase(KESTstring *s, Case mode) {
    uint32_t encoding = kstr::Encoding(s);
    StringRef text = StringRef::Shared(s);
    bool unicode = encoding == kEncodingUTF8 || encoding == kEncodingUnknown;
    if (!unicode && encoding != kEncodingASCII && textenc::ConverterName(encoding) != nullptr) {
        text = StringRef(kstr::ToUTF8(s));
        unicode = kstr::Encoding(text.Get()) == kEncodingUTF8;
    }
    const char *bytes = kstr::Text(text.Get());
    size_t length = kstr::Length(text.Get());
    ByteBuffer out;
    if (unicode && g_utf8_validate(bytes, gssize(length), nullptr))
        MapUTF8(bytes, length, mode, &out);
    else
        MapASCII(kstr::Bytes(text.Get()), length, mode, &out);
    if (out.Size() == kstr::Length(s) && std::memcmp(out.Data(), kstr::Bytes(s), out.Size()) == 0)
        return kstr::Share(s);
    StringRef mapped(out.MakeString(kstr::Encoding(text.Get())));
    return textenc::Convert(mapped.Get(), encoding);
}

} // namespace

extern "C" {

KESTstring *StringDBCSLeft(KESTstring *s, int32_t count) {
    Chars c(s);
    return c.Part(0, c.Advance(0, Characters(count)));
}

KESTstring *StringDBCSRight(KESTstring *s, int32_t count) {
    Chars c(s);
    long skip = c.Count(c.n) - Characters(count);
    return c.Part(c.Advance(0, skip), c.n);
}

KESTstring *StringDBCSMid2(KESTstring *s, int32_t start) {
    Chars c(s);
    return c.Part(c.Advance(0, start < 1 ? 0 : long(start) - 1), c.n);
}

KESTstring *StringDBCSMid3(KESTstring *s, int32_t start, int32_t count) {
    Chars c(s);
    size_t begin = c.Advance(0, start < 1 ? 0 : long(start) - 1);
    return c.Part(begin, c.Advance(begin, Characters(count)));
}

int32_t StringDBCSLen(KESTstring *s) {
    Chars c(s);
    return int32_t(c.Count(c.n));
}

int32_t StringDBCSAsc(KESTstring *s) {
    Chars c(s);
    if (c.n == 0) return 0;
    size_t used;
    if (c.form == Form::UTF8) return int32_t(textenc::DecodeUTF8(c.p, c.n, &used));
    if (c.form == Form::UTF16 && c.n >= 2) return c.p[0] | c.p[1] << 8;
    return c.p[0];
}

KESTstring *StringDBCSChr(int32_t code) {
    uint8_t bytes[4];
    size_t length = code < 0 ? 0 : textenc::EncodeUTF8(uint32_t(code), bytes);
    return kstr::Make(bytes, uint32_t(length), kEncodingUTF8);
}

int32_t StringDBCSInStr(KESTstring *s, KESTstring *find) {
    Chars hay(s), needle(find);
    kstr::TextSearch search(hay.text.Get(), needle.text.Get(), true);
    size_t length;
    long at = search.Find(0, &length);
    if (at < 0) return 0;
    Chars searched(search.Hay());
    return int32_t(searched.Count(size_t(at)) + 1);
}

KESTstring *StringUCase(KESTstring *s) {
    return MapCase(s, Case::Upper);
}

KESTstring *StringLCase(KESTstring *s) {
    return MapCase(s, Case::Lower);
}

KESTstring *StringTitleCase(KESTstring *s) {
    return MapCase(s, Case::Title);
}

} // extern "C"
