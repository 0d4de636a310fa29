// The handler search over code that kqc compiled and kqlink linked: for every
// call into the runtime, the handler found after its return address must not
// depend on where the runtime lies relative to the image. The displacement
// of such a call is written by the loader, so any byte may stand there,
// among them the jump opcodes 0xE9 and 0xEB that make the search step over
// the next four bytes or the next byte.
#include "ImageFixups.h"
#include "RuntimeException.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

Bytes ReadMember(const std::string &folder, const char *name) {
    std::ifstream in(folder + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every runtime export and library function at one address.
class OneTarget : public kqimage::ImportResolver {
  public:
    explicit OneTarget(uint32_t target) : mTarget(target) {}
    bool RuntimeExport(const char *, uint32_t, uint32_t *address) override {
        *address = mTarget;
        return true;
    }
    uint32_t LibraryFunction(const char *, const char *) override { return mTarget; }

  private:
    uint32_t mTarget;
};

// A linked image's code with its fix-ups applied, followed by function ends
// (leave; ret) so that a search that runs off the code stops there.
class LinkedCode {
  public:
    explicit LinkedCode(const std::string &folder)
        : mCode(ReadMember(folder, "code.dat")), mData(ReadMember(folder, "data.dat")),
          mImport(ReadMember(folder, "import.dat")) {}

    bool Link(uint32_t target, Bytes *out) {
        *out = mCode;
        out->resize(mCode.size() + kTail);
        for (size_t i = mCode.size(); i < out->size(); i += 2) {
            (*out)[i] = 0xC9;
            (*out)[i + 1] = 0xC3;
        }
        Bytes data = mData;
        kqimage::PlacedImage placed{out->data(), uint32_t(mCode.size()),
                                    data.data(), uint32_t(data.size()),
                                    0x08000000,  0x09000000};
        OneTarget resolver(target);
        return kqimage::ApplyFixups(mImport.data(), uint32_t(mImport.size()), placed, resolver);
    }

    bool Empty() const { return mCode.empty() || mImport.empty(); }

  private:
    static constexpr size_t kTail = 64;
    Bytes mCode, mData, mImport;
};

// Where the handler search lands for each return address: the marker's
// offset in the code, or -1 for none.
std::vector<long> Handlers(const Bytes &code, const std::vector<size_t> &returns) {
    std::vector<long> out;
    for (size_t r : returns) {
        const uint8_t *marker = exceptions::FindHandler(code.data() + r);
        out.push_back(marker ? long(marker - code.data()) : -1);
    }
    return out;
}

void ExpectSearchIndependentOfPlacement(const char *folder) {
    SCOPED_TRACE(folder);
    LinkedCode image(folder);
    ASSERT_FALSE(image.Empty()) << "no linked image members in " << folder;
    // The sites of runtime and library imports: the bytes that change when
    // the imports' targets move.
    Bytes first, second;
    ASSERT_TRUE(image.Link(0x01111110, &first));
    ASSERT_TRUE(image.Link(0x02222220, &second));
    std::vector<size_t> sites, returns;
    for (size_t i = 1; i < first.size(); ++i) {
        if (first[i] == second[i]) continue;
        sites.push_back(i);
        if (first[i - 1] == 0xE8) returns.push_back(i + 4); // a call
        i += 3;
    }
    ASSERT_GT(returns.size(), 50u);

    // With displacements of zero bytes nothing misleads the search.
    Bytes code = first;
    auto fill = [&](uint32_t value) {
        for (size_t site : sites)
            std::memcpy(&code[site], &value, 4);
    };
    fill(0);
    std::vector<long> expected = Handlers(code, returns);
    size_t handled = 0;
    for (long h : expected)
        handled += h >= 0;
    EXPECT_GT(handled, returns.size() / 2);

    // Every displacement made of the bytes 0x00, 0xE9 and 0xEB.
    const uint8_t bytes[] = {0x00, 0xE9, 0xEB};
    for (int combination = 1; combination < 81; ++combination) {
        uint32_t value = 0;
        for (int b = 0, rest = combination; b < 4; ++b, rest /= 3)
            value |= uint32_t(bytes[rest % 3]) << (8 * b);
        fill(value);
        std::vector<long> found = Handlers(code, returns);
        for (size_t i = 0; i < returns.size(); ++i) {
            ASSERT_EQ(found[i], expected[i])
                << std::hex << "displacements 0x" << value << ", return address 0x" << returns[i];
        }
    }
}

} // namespace

TEST(CompiledCodeScan, HandlerOfEveryRuntimeCallIsFoundWhereverTheRuntimeLies) {
    ExpectSearchIndependentOfPlacement(KQ_EXCEPTIONS_IMAGE_MEMBERS);
    ExpectSearchIndependentOfPlacement(KQ_WINDOW_ROUNDS_IMAGE_MEMBERS);
}
