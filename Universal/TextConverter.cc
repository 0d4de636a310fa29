#include "TextConverter.h"

#include "ByteBuffer.h"
#include "TextEncodingUtil.h"

#include <cstring>

namespace textenc {

KESTstring *StreamConverter::Convert(const KESTstring *piece) {
    ByteBuffer input;
    input.Append(mPending, mPendingLength);
    input.Append(kstr::Bytes(piece), kstr::Length(piece));
    mPendingLength = 0;
    if (mSource == mTarget || mTarget == kEncodingUnknown) return input.MakeString(mSource);
    ByteBuffer out;
    size_t tail = 0;
    if (!ConvertBytes(mSource, mTarget, input.Data(), input.Size(), &out, &tail))
        return input.MakeString(mSource);
    if (tail > sizeof mPending) {
        // Too long to be one character: convert it now, each byte a "?".
        ConvertBytes(mSource, mTarget, input.Data() + input.Size() - tail, tail, &out, nullptr);
    } else {
        std::memcpy(mPending, input.Data() + input.Size() - tail, tail);
        mPendingLength = tail;
    }
    return out.MakeString(mTarget);
}

} // namespace textenc
