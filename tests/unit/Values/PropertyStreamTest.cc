#include "ValueTestSupport.h"

#include "PropertyStream.h"
#include "RuntimeObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The fields of the test class after the object header.
struct Window {
    RuntimeObject header;
    int32_t index;     // 24
    int32_t width;     // 28
    int32_t height;    // 32
    KESTstring *title; // 36
    int32_t backColor; // 40
    float ratio;       // 44
    bool visible;      // 48
};

std::vector<std::string> gCalls;

void ScaleSetter(RuntimeObject *, int32_t parameter, double value) {
    gCalls.push_back("Scale " + std::to_string(parameter) + " " + std::to_string(value));
}

void NameSetter(RuntimeObject *, int32_t, KESTstring *value) {
    gCalls.push_back(std::string("Name ") + kstr::Text(value) + " " +
                     std::to_string(value->refCount) + " " + std::to_string(value->encoding));
}

void *const kGeneric = reinterpret_cast<void *>(1);

// A class whose slots cover every value kind, the generic setters, a
// read-only slot and a type the stream cannot carry.
RuntimeClass *WindowClass() {
    struct Slot {
        const char *name;
        int32_t parameter;
        void *setter;
    };
    static const Slot kSlots[] = {
        {"Visible%b%", 48, kGeneric},
        {"Index%i4%", 24, kGeneric},
        {"Width%i4%", 28, kGeneric},
        {"Height%i4%", 32, kGeneric},
        {"Title%s%", 36, kGeneric},
        {"BackColor%c%", 40, kGeneric},
        {"Ratio%f4%", 44, kGeneric},
        {"Scale%d%", 7, reinterpret_cast<void *>(&ScaleSetter)},
        {"Handle%i4%", 0, nullptr},
        {"Shape%o<Rect>%", 0, kGeneric},
        {"Name%s%", 0, reinterpret_cast<void *>(&NameSetter)},
    };
    static RuntimeClass *cls = nullptr;
    if (cls != nullptr) return cls;
    cls = RuntimeNewClass(nullptr, 0, 0, 0, 0, sizeof kSlots / sizeof kSlots[0]);
    cls->name = kstr::FromC("Fenster");
    cls->instanceSize = sizeof(Window);
    for (uint32_t i = 0; i < cls->propertyCount; ++i)
        cls->properties[i] = {kstr::FromC(kSlots[i].name), kSlots[i].parameter, nullptr,
                              kSlots[i].setter};
    return cls;
}

// Builds a stream entry by entry.
class Stream {
  public:
    Stream &Slot(uint16_t slot) { return Bytes(slot, 2); }
    Stream &Bytes(uint64_t value, int width) {
        for (int i = width - 1; i >= 0; --i)
            mBytes.push_back(char(value >> (8 * i)));
        return *this;
    }
    Stream &Text(const std::string &text) {
        Bytes(text.size(), 4);
        mBytes += text;
        return *this;
    }
    template <typename T>
    Stream &Float(T value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof value);
        return Bytes(bits, sizeof value);
    }
    // A string record of the stream (one reference, null when empty).
    KESTstring *Make() const {
        return kstr::Make(mBytes.data(), uint32_t(mBytes.size()), kEncodingUnknown);
    }

  private:
    std::string mBytes;
};

class PropertyStream : public testing::Test {
  protected:
    void SetUp() override {
        gCalls.clear();
        window = reinterpret_cast<Window *>(RuntimeNewObject(WindowClass()));
    }
    void TearDown() override { RuntimeUnlockObject(&window->header); }

    void Apply(const Stream &stream) {
        KESTstring *s = stream.Make();
        RuntimeMassPropertySetter(&window->header, s);
        RuntimeUnlockString(s);
    }

    Window *window = nullptr;
};

} // namespace

TEST_F(PropertyStream, AppliesEntriesInStreamOrder) {
    Apply(Stream()
              .Slot(2)
              .Bytes(637, 4)
              .Slot(3)
              .Bytes(446, 4)
              .Slot(5)
              .Bytes(0xFFFFFF, 3)
              .Slot(4)
              .Text("DAR-Ozorado pillwerk")
              .Slot(0)
              .Bytes(2, 1)
              .Slot(1)
              .Bytes(0x80000000u, 4)
              .Slot(6)
              .Float(0.5f)
              .Slot(7)
              .Float(2.25)
              .Slot(10)
              .Text("OKButton")
              .Slot(2)
              .Bytes(640, 4));
    EXPECT_EQ(window->width, 640); // the later entry wins
    EXPECT_EQ(window->height, 446);
    EXPECT_EQ(window->backColor, 0xFFFFFF);
    EXPECT_EQ(window->index, INT32_MIN);
    EXPECT_TRUE(window->visible);
    EXPECT_EQ(window->ratio, 0.5f);
    ASSERT_NE(window->title, nullptr);
    EXPECT_STREQ(kstr::Text(window->title), "DAR-Ozorado pillwerk");
    EXPECT_EQ(window->title->encoding, kEncodingUTF8);
    EXPECT_EQ(window->title->refCount, 1u); // the decoder's own reference is gone
    EXPECT_EQ(gCalls, (std::vector<std::string>{
                          "Scale 7 2.250000", "Name OKButton 1 " + std::to_string(kEncodingUTF8)}));
    RuntimeUnlockString(window->title);
    window->title = nullptr;

    Apply(Stream().Slot(5).Bytes(0x102030, 3).Slot(4).Text(""));
    EXPECT_EQ(window->backColor, 0x10 * 65536 + 0x20 * 256 + 0x30);
    EXPECT_EQ(window->title, nullptr); // empty text: the null string
}

TEST_F(PropertyStream, NilObjectOrEmptyStreamAssignsNothing) {
    KESTstring *s = Stream().Slot(2).Bytes(1, 4).Make();
    std::string text = kqtest::ReportsDuring([&] {
        Apply(Stream());
        RuntimeMassPropertySetter(nullptr, s);
    });
    RuntimeUnlockString(s);
    EXPECT_EQ(window->width, 0);
    EXPECT_EQ(text, "");
}

TEST_F(PropertyStream, BadSlotsAreReportedExactly) {
    {
        std::string text = kqtest::ReportsDuring([&] {
            Apply(Stream().Slot(2).Bytes(10, 4).Slot(11).Bytes(0, 4).Slot(3).Bytes(20, 4));
        });
        EXPECT_NE(text.find("Common/runctl: "), std::string::npos) << text;
        EXPECT_NE(text.find("Failure Condition: destIndex < propTableCount\n"), std::string::npos)
            << text;
        EXPECT_EQ(window->width, 10);
        EXPECT_EQ(window->height, 0); // decoding stopped
    }
    {
        std::string text = kqtest::ReportsDuring(
            [&] { Apply(Stream().Slot(8).Bytes(1, 4).Slot(3).Bytes(20, 4)); });
        EXPECT_NE(text.find("Failure Condition: 0\nAssignment to read-only property Handle%i4%"),
                  std::string::npos)
            << text;
        EXPECT_EQ(window->height, 0);
    }
    {
        // No value is read for an illegal type: the next bytes are the next slot.
        std::string text =
            kqtest::ReportsDuring([&] { Apply(Stream().Slot(9).Slot(3).Bytes(20, 4)); });
        EXPECT_NE(text.find("Failure Condition: 0\nIllegal type in mass property input."),
                  std::string::npos)
            << text;
        EXPECT_EQ(window->height, 20);
    }
}

TEST_F(PropertyStream, ValuesRunningPastTheEndAreReportedNotRead) {
    const Stream truncated[] = {
        Stream().Slot(2).Bytes(0x0102, 2),           // integer of 2 bytes
        Stream().Slot(7).Bytes(0, 7),                // double of 7 bytes
        Stream().Slot(4).Bytes(100, 4).Bytes(65, 3), // text of 3 bytes of 100
        Stream().Slot(4).Bytes(0xFFFFFFFF, 4),       // length beyond any stream
        Stream().Slot(5).Bytes(0xFF, 2),             // colour of 2 bytes
        Stream().Slot(3).Bytes(5, 4).Bytes(0, 1),    // a slot number cut in half
    };
    for (const Stream &stream : truncated) {
        std::string text = kqtest::ReportsDuring([&] { Apply(stream); });
        EXPECT_TRUE(text.find("past the end of the stream") != std::string::npos ||
                    text.find("ends inside a slot number") != std::string::npos)
            << text;
    }
    EXPECT_EQ(window->width, 0);
    EXPECT_EQ(window->title, nullptr);
    EXPECT_EQ(window->backColor, 0);
    EXPECT_EQ(window->height, 5); // applied before the cut slot number
    EXPECT_TRUE(gCalls.empty());
}
