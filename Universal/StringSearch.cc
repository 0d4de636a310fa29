#include "StringSearch.h"

#include "TextEncodingUtil.h"

#include <cstring>

namespace kstr {

TextSearch::TextSearch(KESTstring *hay, KESTstring *needle, bool fold)
    : mHay(StringRef::Shared(hay)), mNeedle(StringRef::Shared(needle)),
      mEncoding(kstr::Encoding(hay)), mFold(fold) {
    if (mFold) Reconcile();
}

void TextSearch::Reconcile() {
    mEncoding = textenc::BringToCommon(mHay.Holder(), mNeedle.Holder());
    mUnits = UnitsOf(mEncoding);
}

void TextSearch::BringAlong(StringRef *other) {
    if (!mFold || Length(other->Get()) == 0 || other->Get()->encoding == mEncoding) return;
    KESTstring *before = mHay.Get();
    uint32_t common = textenc::BringToCommon(mHay.Holder(), other->Holder());
    if (mHay.Get() != before) Reconcile();
    mEncoding = common;
    mUnits = UnitsOf(common);
}

long TextSearch::Find(size_t from, size_t *length) const {
    const uint8_t *hay = Bytes(mHay.Get()), *needle = Bytes(mNeedle.Get());
    size_t hayLength = Length(mHay.Get()), needleLength = Length(mNeedle.Get());
    if (needleLength == 0 || from >= hayLength) return -1;
    if (!mFold) {
        const void *hit = memmem(hay + from, hayLength - from, needle, needleLength);
        if (hit == nullptr) return -1;
        *length = needleLength;
        return static_cast<const uint8_t *>(hit) - hay;
    }
    for (size_t i = from, step; i < hayLength; i += step) {
        size_t matched = MatchFoldedAt(mUnits, hay + i, hayLength - i, needle, needleLength);
        if (matched != 0) {
            *length = matched;
            return long(i);
        }
        ReadFolded(mUnits, hay + i, hayLength - i, &step);
    }
    return -1;
}

} // namespace kstr
