// Conversion of text that arrives in pieces (a file read in blocks, data
// from a socket): a character cut off at the end of one piece is kept and
// completed by the start of the next. Otherwise the rules are those of
// textenc::Convert: bytes the source cannot decode become "?", and without a
// converter the bytes stay as they are (labelled with the source encoding).
#pragma once

#include "KESTstring.h"

#include <cstddef>
#include <cstdint>

namespace textenc {

class StreamConverter {
  public:
    StreamConverter(uint32_t source, uint32_t target) : mSource(source), mTarget(target) {}

    uint32_t Source() const { return mSource; }
    uint32_t Target() const { return mTarget; }

    // The next piece, whose bytes are taken to be in the source encoding,
    // converted to the target (null when nothing is complete yet).
    KESTstring *Convert(const KESTstring *piece);

    // Forgets a character waiting for the rest of its bytes.
    void Clear() { mPendingLength = 0; }

  private:
    uint32_t mSource, mTarget;
    uint8_t mPending[8];
    size_t mPendingLength = 0;
};

} // namespace textenc
