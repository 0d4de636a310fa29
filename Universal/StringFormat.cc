// Format: a number written through a pattern of "#" and "0" digit places,
// "." and "," for the locale's separators, "%", signs, an exponent, and
// backslash escapes. A pattern has up to three sections separated by ";":
// positive values (and NaN), negative values, zero.
//
// The digits come from printf in fixed or scientific notation with as many
// decimals as the section has decimal places; trailing zeros of the decimals
// are dropped, so "0" places show zeros and "#" places show nothing where no
// digit is left. Integer places are matched to the digits from the right;
// the first place also takes every digit that has no place of its own.
// Characters without a meaning in the pattern are dropped unless escaped.
#include "StringFunctions.h"

#include "ByteBuffer.h"
#include "NumberSeparators.h"
#include "StringNumber.h"
#include "TextEncodingUtil.h"

#include <cmath>
#include <cstring>
#include <strings.h>

namespace {

struct Pattern {
    const uint8_t *p;
    size_t n;
    bool utf8;

    // Bytes of the character at `i` that a backslash before it escapes: a
    // whole character in UTF-8 text, else one byte; 0 at the end.
    size_t EscapedLength(size_t i) const {
        if (i >= n) return 0;
        if (!utf8 || p[i] < 0x80) return 1;
        size_t used;
        textenc::DecodeUTF8(p + i, n - i, &used);
        return used;
    }

    Pattern Part(size_t begin, size_t end) const { return {p + begin, end - begin, utf8}; }
};

// The section for a value: split at the first two unescaped ";".
Pattern ChooseSection(const Pattern &pattern, double value) {
    size_t bounds[3][2];
    int count = 0;
    size_t start = 0;
    for (size_t i = 0; i < pattern.n;) {
        if (pattern.p[i] == '\\') {
            i += 1 + pattern.EscapedLength(i + 1);
            continue;
        }
        if (pattern.p[i] == ';' && count < 2) {
            bounds[count][0] = start;
            bounds[count++][1] = i;
            start = i + 1;
        }
        ++i;
    }
    bounds[count][0] = start;
    bounds[count++][1] = pattern.n;
    int section = 0;
    if (value < 0 && count >= 2) section = 1;
    if (value == 0 && count == 3) section = 2;
    return pattern.Part(bounds[section][0], bounds[section][1]);
}

// What a section asks for.
struct Layout {
    int integerPlaces = 0;
    int decimalPlaces = 0;
    bool percent = false;
    bool grouping = false;
    bool exponent = false;
};

Layout Scan(const Pattern &section) {
    Layout layout;
    bool point = false;
    for (size_t i = 0; i < section.n;) {
        uint8_t c = section.p[i];
        if (c == '\\') {
            i += 1 + section.EscapedLength(i + 1);
            continue;
        }
        if ((c == '#' || c == '0') && !layout.exponent)
            ++(point ? layout.decimalPlaces : layout.integerPlaces);
        point |= c == '.';
        layout.percent |= c == '%';
        layout.grouping |= c == ',';
        layout.exponent |= c == 'e' || c == 'E';
        ++i;
    }
    return layout;
}

// The printed number in parts ("." and "e" taken out), or the word for a
// value that has no digits.
struct Digits {
    ByteBuffer text;
    size_t integerEnd = 0; // integer digits: [0, integerEnd)
    size_t decimalBegin = 0, decimalEnd = 0;
    bool exponent = false;
    char exponentSign = '+';
    size_t exponentBegin = 0; // exponent digits: [exponentBegin, text.Size())
    const char *word = nullptr;
};

void Print(double magnitude, const Layout &layout, const char *decimalPoint, Digits *d) {
    if (std::isnan(magnitude) || std::isinf(magnitude)) {
        d->word = std::isnan(magnitude) ? "NAN" : "INF";
        return;
    }
    kstr::PrintNumber(magnitude, layout.decimalPlaces, layout.exponent, decimalPoint, &d->text);
    const uint8_t *t = d->text.Data();
    size_t n = d->text.Size();
    const void *e = std::memchr(t, 'e', n);
    size_t mantissaEnd = e != nullptr ? size_t(static_cast<const uint8_t *>(e) - t) : n;
    if (e != nullptr) {
        d->exponent = true;
        d->exponentSign = char(t[mantissaEnd + 1]);
        d->exponentBegin = mantissaEnd + 2;
    }
    const void *dot = std::memchr(t, '.', mantissaEnd);
    d->integerEnd = dot != nullptr ? size_t(static_cast<const uint8_t *>(dot) - t) : mantissaEnd;
    d->decimalBegin = dot != nullptr ? d->integerEnd + 1 : mantissaEnd;
    d->decimalEnd = mantissaEnd;
    if (layout.decimalPlaces > 0)
        while (d->decimalEnd > d->decimalBegin && t[d->decimalEnd - 1] == '0')
            --d->decimalEnd;
}

// Builds the result from a section, character by character.
class Writer {
  public:
    Writer(const Layout &layout, const Digits &digits, const kstr::NumberSeparators &separators,
           int sign, ByteBuffer *out)
        : mLayout(layout), mDigits(digits), mSeparators(separators), mSign(sign), mOut(out),
          mNextDecimal(digits.decimalBegin) {}

    void Walk(const Pattern &section) {
        bool point = false;
        for (size_t i = 0; i < section.n; ++i) {
            uint8_t c = section.p[i];
            switch (c) {
            case '\\': {
                size_t length = section.EscapedLength(i + 1);
                mOut->Append(section.p + i + 1, length);
                i += length;
                break;
            }
            case '#':
            case '0':
                if (mDigits.word != nullptr)
                    Word();
                else if (mAfterExponent)
                    break;
                else if (!point)
                    IntegerPlace(c);
                else
                    DecimalPlace(c);
                break;
            case '.':
                if (mDigits.word != nullptr) {
                    Word();
                } else if (!point) {
                    Separator(mSeparators.decimal, mSeparators.decimalLength);
                }
                point = true;
                break;
            case '+':
                if (mSign != 0) mOut->Append(uint8_t(mSign < 0 ? '-' : '+'));
                break;
            case '-':
                if (mSign < 0) mOut->Append(uint8_t('-'));
                break;
            case '%':
            case '(':
            case ')':
                mOut->Append(c);
                break;
            case 'e':
            case 'E':
                i = Exponent(section, i);
                break;
            default:
                break; // not part of the format: dropped
            }
        }
    }

    bool NonAsciiSeparator() const { return mNonAsciiSeparator; }

  private:
    const uint8_t *Text() const { return mDigits.text.Data(); }

    void Word() {
        if (!mWordWritten) mOut->Append(mDigits.word);
        mWordWritten = true;
    }

    void Separator(const char *text, size_t length) {
        mOut->Append(text, length);
        for (size_t i = 0; i < length; ++i)
            mNonAsciiSeparator |= uint8_t(text[i]) >= 0x80;
    }

    // One integer digit (or a "0" filler) with `remaining` integer positions
    // still to come, itself included; grouped in threes after the first.
    void IntegerDigit(uint8_t digit, long remaining) {
        if (mLayout.grouping && mDigitWritten && remaining % 3 == 0)
            Separator(mSeparators.thousands, mSeparators.thousandsLength);
        mOut->Append(digit);
        mDigitWritten = true;
    }

    void IntegerPlace(uint8_t c) {
        long places = mLayout.integerPlaces, digits = long(mDigits.integerEnd);
        long index = digits - places + mNextPlace;
        if (mNextPlace == 0 && digits > places) {
            for (long j = 0; j <= index; ++j)
                IntegerDigit(Text()[j], digits - j);
        } else if (index >= 0) {
            IntegerDigit(Text()[index], digits - index);
        } else if (c == '0') {
            IntegerDigit('0', places - mNextPlace);
        }
        ++mNextPlace;
    }

    void DecimalPlace(uint8_t c) {
        if (mNextDecimal < mDigits.decimalEnd)
            mOut->Append(Text()[mNextDecimal++]);
        else if (c == '0')
            mOut->Append(uint8_t('0'));
    }

    // The exponent letter at `i`: the letter, the exponent's sign as the
    // "+" or "-" after it asks, the exponent digits. Returns the index of the
    // last pattern character used.
    size_t Exponent(const Pattern &section, size_t i) {
        uint8_t next = i + 1 < section.n ? section.p[i + 1] : 0;
        bool signChar = next == '+' || next == '-';
        mAfterExponent = true;
        if (mDigits.word != nullptr) return signChar ? i + 1 : i;
        if (!mDigits.exponent) return i;
        mOut->Append(section.p[i]);
        if (next == '+') mOut->Append(uint8_t(mDigits.exponentSign));
        if (next == '-' && mDigits.exponentSign == '-') mOut->Append(uint8_t('-'));
        mOut->Append(Text() + mDigits.exponentBegin, mDigits.text.Size() - mDigits.exponentBegin);
        return signChar ? i + 1 : i;
    }

    const Layout &mLayout;
    const Digits &mDigits;
    const kstr::NumberSeparators &mSeparators;
    int mSign;
    ByteBuffer *mOut;
    size_t mNextDecimal;
    long mNextPlace = 0;
    bool mDigitWritten = false;
    bool mAfterExponent = false;
    bool mWordWritten = false;
    bool mNonAsciiSeparator = false;
};

} // namespace

extern "C" KESTstring *StringFormat(double value, KESTstring *patternString) {
    kstr::StringRef hold = kstr::StringRef::Shared(patternString);
    uint32_t encoding = kstr::Encoding(patternString);
    Pattern pattern = {kstr::Bytes(patternString), kstr::Length(patternString),
                       encoding == kEncodingUTF8};
    static const char kScientific[] = "-#.000000E+";
    if (pattern.n == 10 && strncasecmp(kstr::Text(patternString), "Scientific", 10) == 0)
        pattern = {reinterpret_cast<const uint8_t *>(kScientific), sizeof kScientific - 1, false};

    Pattern section = ChooseSection(pattern, value);
    Layout layout = Scan(section);
    kstr::NumberSeparators separators = kstr::LocaleSeparators();
    double magnitude = std::fabs(value);
    if (layout.percent) magnitude *= 100;
    Digits digits;
    Print(magnitude, layout, separators.decimal, &digits);

    ByteBuffer out;
    Writer writer(layout, digits, separators, value < 0 ? -1 : value > 0 ? 1 : 0, &out);
    writer.Walk(section);
    // Separators are UTF-8 text: in an ASCII result they make it UTF-8.
    if (encoding == kEncodingASCII && writer.NonAsciiSeparator()) encoding = kEncodingUTF8;
    return out.MakeString(encoding);
}
