// Fuzz target: text to number (CDbl, CLong and Val) for any text in any of
// the test locales and text encodings (UTF-16 text of odd length included).
// Input: a selector byte (see FuzzSupport.h), then the text. Text that is
// no number reads as a number all the same: never NaN, never a crash, and
// nothing is leaked.
#include "FuzzSupport.h"

#include "SmallBlockAllocator.h"
#include "StringFunctions.h"
#include "TextEncodingUtil.h"

#include <cmath>

namespace {

// The text conversions keep their last source and result; converting one
// fixed text before and after each input leaves that cache as it was, so
// that references and bytes in use can be compared.
void SettleConversionCache() {
    static KESTstring *const fixed = kstr::Make(u"0", 2, kEncodingUTF16);
    RuntimeUnlockString(textenc::Convert(fixed, kEncodingUTF8));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1 || size > 0xFFFF) return 0;
    uint32_t encoding = kqfuzz::ApplySelector(data[0]);
    SettleConversionCache();
    size_t before = smallblock::BytesInUse();
    KESTstring *text = kstr::Make(data + 1, uint32_t(size - 1), encoding);
    double number = runCDbl(text);
    double plain = StringVal(text);
    int32_t integer = runCLong(text);
    kqfuzz::Require(!std::isnan(number) && !std::isnan(plain), "no text reads as NaN");
    // CLong is CDbl converted to an integer; a huge number saturates or wraps,
    // but a small one is its truncation.
    if (std::fabs(number) < 2147483647.0)
        kqfuzz::Require(integer == int32_t(number), "CLong truncates CDbl");
    SettleConversionCache();
    kqfuzz::Require(text == nullptr || text->refCount == 1,
                    "reading leaves the text's references as they were");
    RuntimeUnlockString(text);
    kqfuzz::Require(smallblock::BytesInUse() == before, "reading releases what it makes");
    return 0;
}
