// The resource manager, the image's record walkers (resources, options,
// symbols) and the conversions that exist so far.
#include "ImageOptions.h"
#include "ImageRecords.h"
#include "ImageTestSupport.h"
#include "KESTstring.h"
#include "ResourceManagerCommon.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

using namespace imagetest;
using namespace kqimage;

namespace {

Bytes VersionRecord() {
    Bytes v;
    for (uint32_t w : {1, 1, 2, 3, 3, 3})
        Put32(v, w);
    for (const char *t : {"ROV Udeduvazer", "DAR Ozorado pillwerk", ""}) {
        v.push_back(uint8_t(std::strlen(t)));
        v.insert(v.end(), t, t + std::strlen(t));
    }
    return v;
}

class Recorder : public OptionVisitor {
  public:
    void Icon(uint32_t w, uint32_t h, const uint8_t *) override {
        seen += "icon" + std::to_string(w) + "x" + std::to_string(h) + ";";
    }
    void Version(const uint8_t *, uint32_t length) override {
        seen += "version" + std::to_string(length) + ";";
    }
    std::string seen;
};

// A 2 x 1 bitmap file, 24 bits per pixel.
Bytes TinyBitmap() {
    Bytes b{'B', 'M'};
    Put32(b, 62);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, 2);
    Put32(b, 1);
    Put16(b, 1);
    Put16(b, 24);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int i = 0; i < 8; ++i)
        b.push_back(0x80);
    return b;
}

} // namespace

TEST(Resources, FindTakesTheFirstMatchAndVersionAccessorsReadVers) {
    // The process-wide manager starts empty in this test program.
    ResourceManager &m = TheResourceManager();
    ASSERT_EQ(m.GetCount(), 0u);
    EXPECT_EQ(AppIntegerVersionStuffGetter(nullptr, 0), -1); // no record yet
    EXPECT_EQ(AppStringVersionStuffGetter(nullptr, 0), nullptr);
    static const uint8_t first[] = "first", second[] = "second";
    static const Bytes version = VersionRecord();
    m.Add(FourCC("TEXT"), 65535, first, 5, 100);
    m.Add(FourCC("TEXT"), 65535, second, 6, 200);
    m.Add(FourCC("TEXT"), 7, second, 0, 300);
    m.Add(kResourceVersion, 0, version.data(), uint32_t(version.size()), 0);
    EXPECT_EQ(m.Find(FourCC("TEXT"), 0xFFFF).data, first);
    EXPECT_EQ(m.Find(FourCC("TEXT"), 0xFFFF).fileOffset, 100u);
    EXPECT_EQ(m.Find(FourCC("BMP "), 0).data, nullptr);

    KESTstring *text = RuntimeGetTextFileFromResourceManager(-1);
    EXPECT_STREQ(kstr::Text(text), "first");
    RuntimeUnlockString(text);
    EXPECT_EQ(RuntimeGetTextFileFromResourceManager(7), nullptr); // empty text

    int32_t words[7];
    for (int i = 0; i < 7; ++i)
        words[i] = AppIntegerVersionStuffGetter(nullptr, i);
    EXPECT_EQ(std::vector<int32_t>(words, words + 7), (std::vector<int32_t>{1, 1, 2, 3, 3, 3, -1}));
    const char *expected[] = {"ROV Udeduvazer", "DAR Ozorado pillwerk", "", ""};
    for (int i = 0; i < 4; ++i) {
        KESTstring *s = AppStringVersionStuffGetter(nullptr, i);
        EXPECT_STREQ(kstr::Text(s), expected[i]);
        RuntimeUnlockString(s);
    }

    ReportCapture capture;
    EXPECT_EQ(m.GetEntry(4).data, nullptr);
    EXPECT_NE(capture.Text().find("index < GetCount()"), std::string::npos);
}

TEST(Resources, RecordWalkersCheckEveryLength) {
    Bytes rsrc;
    Put32(rsrc, FourCC("BMP "));
    Put16(rsrc, 3);
    Put32(rsrc, 0);
    Put32(rsrc, 2);
    rsrc.push_back('B');
    rsrc.push_back('M');
    std::vector<std::string> seen;
    EXPECT_TRUE(ForEachResource(rsrc.data(), uint32_t(rsrc.size()), [&](const ResourceRecord &r) {
        seen.push_back(std::to_string(r.id) + ":" + std::to_string(r.length) + "@" +
                       std::to_string(r.position));
    }));
    EXPECT_EQ(seen, std::vector<std::string>{"3:2@14"});
    Bytes damaged = rsrc;
    damaged[10] = 200; // payload longer than the member
    ReportCapture capture;
    EXPECT_FALSE(ForEachResource(damaged.data(), uint32_t(damaged.size()),
                                 [](const ResourceRecord &) { FAIL(); }));

    Bytes options{kOptionIcon, 1, 1, 1, 2, 3, 4, 9};
    Bytes version = VersionRecord();
    options.push_back(kOptionVersion);
    options.insert(options.end(), version.begin(), version.end());
    Recorder recorder;
    EXPECT_TRUE(ForEachOption(options.data(), uint32_t(options.size()), recorder));
    EXPECT_EQ(recorder.seen, "icon1x1;version" + std::to_string(version.size()) + ";");
    Bytes cut(options.begin(), options.end() - 1);
    Recorder partial;
    EXPECT_FALSE(ForEachOption(cut.data(), uint32_t(cut.size()), partial));
    EXPECT_EQ(partial.seen, "icon1x1;");
    EXPECT_EQ(capture.Reports(), 4); // the damaged resource, tag 9 twice, the cut record
}

TEST(Resources, SymbolLookupAttributesAnAddressToTheLastSymbolBelowIt) {
    Bytes symbols;
    Put32(symbols, 3);
    for (uint32_t e : {0u, 0u, 16u, 6u, 40u, 12u})
        Put32(symbols, e);
    const char names[] = "entry\0first\0second";
    symbols.insert(symbols.end(), names, names + sizeof names);
    SymbolTable table;
    ASSERT_TRUE(table.Parse(symbols.data(), uint32_t(symbols.size())));
    uint32_t index, distance;
    ASSERT_TRUE(table.Find(20, &index, &distance));
    EXPECT_STREQ(table.Name(index), "first");
    EXPECT_EQ(distance, 4u);
    ASSERT_TRUE(table.Find(16, &index, &distance)); // a symbol's own start: the one before
    EXPECT_STREQ(table.Name(index), "entry");
    EXPECT_FALSE(table.Find(0, &index, &distance));

    ReportCapture capture;
    Bytes badCount = symbols;
    badCount[0] = 200;
    Bytes badName = symbols;
    badName[4 + 8 * 2 + 4] = 250;
    Bytes unterminated = symbols;
    unterminated.pop_back();
    for (const Bytes &b : {badCount, badName, unterminated}) {
        SymbolTable t;
        EXPECT_FALSE(t.Parse(b.data(), uint32_t(b.size())));
        EXPECT_EQ(t.Count(), 0u);
    }
    EXPECT_EQ(capture.Reports(), 3);
}

TEST(Resources, BitmapsDecodeAndCursorBitsAreReversed) {
    Bytes bmp = TinyBitmap();
    GdkPixbuf *image = DecodeBitmapResource(bmp.data(), uint32_t(bmp.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(image), 2);
    EXPECT_EQ(gdk_pixbuf_get_height(image), 1);
    g_object_unref(image);
    EXPECT_EQ(DecodeBitmapResource(bmp.data(), 20), nullptr);

    uint8_t payload[68] = {};
    payload[0] = 0x80;  // leftmost pixel set
    payload[32] = 0x01; // rightmost pixel of the mask's first byte
    payload[64] = 0xFF; // vertical -2, big-endian
    payload[65] = 0xFE;
    payload[67] = 5;
    uint8_t bits[32], mask[32];
    int x, y;
    PrepareCursorBits(payload, bits, mask, &x, &y);
    EXPECT_EQ(bits[0], 0x01);
    EXPECT_EQ(mask[0], 0x80);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, -2);
}

TEST(Resources, OptionsSetTheDefaultIconsLastFirstAndRegisterTheVersion) {
    Bytes options{kOptionIcon, 1, 1, 10, 20, 30, 255, kOptionIcon, 2, 1};
    for (int i = 0; i < 8; ++i)
        options.push_back(uint8_t(i));
    options.push_back(kOptionVersion);
    Bytes version = VersionRecord();
    options.insert(options.end(), version.begin(), version.end());
    uint32_t before = TheResourceManager().GetCount();
    ApplyImageOptions(options.data(), uint32_t(options.size()));
    GList *icons = gtk_window_get_default_icon_list();
    ASSERT_EQ(g_list_length(icons), 2u);
    auto *first = static_cast<GdkPixbuf *>(icons->data);
    auto *second = static_cast<GdkPixbuf *>(icons->next->data);
    EXPECT_EQ(gdk_pixbuf_get_width(first), 2); // the last record stands first
    EXPECT_EQ(gdk_pixbuf_get_width(second), 1);
    EXPECT_TRUE(gdk_pixbuf_get_has_alpha(second));
    const guchar *pixel = gdk_pixbuf_get_pixels(second);
    EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2], pixel[3]}),
              (std::vector<int>{10, 20, 30, 255}));
    g_list_free(icons);
    ASSERT_EQ(TheResourceManager().GetCount(), before + 1);
    ResourceEntry vers = TheResourceManager().GetEntry(before);
    EXPECT_EQ(vers.type, kResourceVersion);
    EXPECT_EQ(vers.length, version.size());
    EXPECT_EQ(vers.fileOffset, 0u);
}
