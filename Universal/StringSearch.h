// Finding one string in another: without regard to case in the strings'
// common encoding (characters of UTF-8 and UTF-16 text, folded bytes
// otherwise), or byte for byte as the strings are.
#pragma once

#include "KESTstring.h"
#include "StringCompare.h"

#include <cstddef>
#include <cstdint>

namespace kstr {

class TextSearch {
  public:
    TextSearch(KESTstring *hay, KESTstring *needle, bool fold);

    // Brings `other` (a replacement text) into the encoding of the search,
    // converting the hay and the needle again when they have to move.
    void BringAlong(StringRef *other);

    // The byte offset of the first match at or after `from`, with the number
    // of hay bytes it covers in `*length`; -1 when there is none or the
    // needle is empty.
    long Find(size_t from, size_t *length) const;

    KESTstring *Hay() const { return mHay.Get(); }
    size_t HayLength() const { return Length(mHay.Get()); }
    // The common encoding of the texts: that of a result built from them.
    uint32_t Encoding() const { return mEncoding; }

  private:
    void Reconcile();

    StringRef mHay, mNeedle;
    uint32_t mEncoding;
    Units mUnits = Units::Bytes;
    bool mFold;
};

} // namespace kstr
