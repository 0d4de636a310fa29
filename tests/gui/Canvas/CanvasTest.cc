// Canvases on a private display: what Paint draws is read back from the
// canvas's window pixel by pixel (rectangles, connected lines, a thick pen,
// text, pictures from bitmap resources with their clipping, what stays
// without EraseBackground, the focus ring), and real clicks reach the
// canvas's mouse events.
#include "Canvas.h"
#include "ControlAccessors.h"
#include "Graphics.h"
#include "GuiTest.h"
#include "ImageFormat.h"
#include "MainLoop.h"
#include "Picture.h"
#include "ResourceManagerCommon.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using kqtest::EventLog;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0, kGreen = 0x00FF00;

// What the Paint handler of the canvas under test draws.
std::function<void(RuntimeObject *g)> gScene;
int gPaints = 0;

void OnPaint(RuntimeObject *, RuntimeObject *g) {
    ++gPaints;
    if (gScene) gScene(g);
}

// A Windows bitmap file, 24 bits per pixel, bottom-up rows padded to four
// bytes; `rgb` holds the pixels top row first.
std::string Bitmap(int width, int height, const std::vector<uint32_t> &rgb) {
    const int row = (width * 3 + 3) & ~3;
    const uint32_t size = 54 + uint32_t(row * height);
    std::string b(size, '\0');
    auto put = [&b](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = char(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t c = rgb[size_t(y * width + x)];
            size_t at = 54 + size_t((height - 1 - y) * row + x * 3);
            b[at] = char(c);
            b[at + 1] = char(c >> 8);
            b[at + 2] = char(c >> 16);
        }
    return b;
}

class CanvasPaint : public kqtest::WindowTest {
  protected:
    void SetUp() override {
        kqtest::WindowTest::SetUp();
        gScene = nullptr;
        gPaints = 0;
    }

    void TearDown() override {
        if (mWindow != nullptr) {
            RuntimeCloseWindow(mWindow);
            RuntimeUnlockObject(mWindow);
        }
        gScene = nullptr;
    }

    // Opens a window with one canvas "Leinwand" at (10, 10), 120 by 90,
    // handling Paint and the mouse events, and waits for its first paint;
    // `setUp` sees the canvas before its pane is made.
    void Open(std::function<void(RuntimeObject *g)> scene,
              const std::function<void(RuntimeObject *canvas)> &setUp = {}) {
        gScene = std::move(scene);
        static RuntimeClass *cls = kqtest::ImageWindowClass("Zeichnung", {});
        mWindow = kqtest::NewWindow(cls, [this, &setUp](RuntimeObject *window) {
            mCanvas = kqtest::NewRuntimeControl(&CanvasDefinition, "Leinwand", 10, 10, 120, 90,
                                                {"MouseDown", "MouseDrag", "MouseUp"});
            kqtest::Handle(mCanvas, "Paint", KQ_CODE(OnPaint));
            if (setUp) setUp(mCanvas);
            kqtest::AddControl(window, mCanvas);
        });
        RuntimeShowWindow(mWindow);
        ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(mWindow)));
        kqtest::Settle([] { return gPaints > 0; });
        ASSERT_GT(gPaints, 0);
        EventLog().clear();
    }

    uint32_t At(int x, int y) { return kqtest::PixelAt(kqtest::WidgetOf(mCanvas), x, y); }

    // Draws the canvas again and waits for the paint.
    void Repaint() {
        int before = gPaints;
        RuntimeControlRefresh(mCanvas, true);
        kqtest::Settle([before] { return gPaints > before; });
        ASSERT_GT(gPaints, before);
    }

    // The columns of row y from x0 to x1 (inclusive) that have the colour.
    std::vector<int> Columns(int y, int x0, int x1, uint32_t rgb) {
        std::vector<int> found;
        for (int x = x0; x <= x1; ++x)
            if (At(x, y) == rgb) found.push_back(x);
        return found;
    }

    RuntimeObject *mWindow = nullptr;
    RuntimeObject *mCanvas = nullptr;
};

std::vector<int> Range(int from, int to) {
    std::vector<int> r;
    for (int i = from; i <= to; ++i)
        r.push_back(i);
    return r;
}

TEST_F(CanvasPaint, RectanglesCoverExactlyTheirPixelsAndLinesConnect) {
    Open([](RuntimeObject *g) {
        graphicsForeColorSetter(g, 0, kRed);
        RuntimeGraphicsFillRect(g, 0, 0, 10, 5);
        graphicsForeColorSetter(g, 0, kBlue);
        RuntimeGraphicsDrawRect(g, 20, 0, 10, 5);
        graphicsForeColorSetter(g, 0, kBlack);
        RuntimeGraphicsDrawLine(g, 0, 20, 10, 20);
        RuntimeGraphicsDrawLine(g, 10, 20, 10, 30);
        graphicsForeColorSetter(g, 0, kGreen);
        graphicsPenWidthSetter(g, 0, 4);
        graphicsPenHeightSetter(g, 0, 3);
        RuntimeGraphicsDrawLine(g, 40, 20, 50, 20);
    });
    // FillRect 0,0,10,5: columns 0-9 of rows 0-4.
    EXPECT_EQ(Columns(0, 0, 12, kRed), Range(0, 9));
    EXPECT_EQ(Columns(4, 0, 12, kRed), Range(0, 9));
    EXPECT_NE(At(0, 5), kRed);
    // DrawRect 20,0,10,5: the outline inside the same area, interior free.
    EXPECT_EQ(Columns(0, 18, 32, kBlue), Range(20, 29));
    EXPECT_EQ(Columns(4, 18, 32, kBlue), Range(20, 29));
    EXPECT_EQ(Columns(2, 18, 32, kBlue), (std::vector<int>{20, 29}));
    EXPECT_NE(At(20, 5), kBlue);
    // Two connected thin segments, nothing between them.
    EXPECT_EQ(Columns(20, 0, 12, kBlack), Range(0, 10));
    EXPECT_EQ(At(10, 30), kBlack);
    EXPECT_EQ(At(10, 25), kBlack);
    EXPECT_NE(At(5, 25), kBlack);
    // A 4 by 3 pen swept along 40..50: columns 40-53, rows 20-22.
    EXPECT_EQ(Columns(21, 36, 56, kGreen), Range(40, 53));
    EXPECT_EQ(At(45, 22), kGreen);
    EXPECT_NE(At(45, 23), kGreen);
}

TEST_F(CanvasPaint, TextIsDrawnAndMeasured) {
    int width = 0, ascent = 0, height = 0;
    Open([&](RuntimeObject *g) {
        kstr::StringRef text(kstr::FromC("WWW"));
        width = RuntimeGraphicsStringWidth(g, text.Get());
        ascent = RuntimeGraphicsTextAscent(g);
        height = RuntimeGraphicsTextHeight(g);
        graphicsForeColorSetter(g, 0, kBlack);
        RuntimeGraphicsDrawStringCondensed(g, text.Get(), 5, 40, 0, false);
    });
    ASSERT_GT(width, 10);
    EXPECT_GT(ascent, 4);
    EXPECT_GT(height, ascent);
    int dark = 0, outside = 0;
    for (int y = 35; y < 40 + height + 5; ++y)
        for (int x = 0; x < 5 + width + 5; ++x) {
            uint32_t c = At(x, y);
            bool isDark = (c >> 16 & 0xFF) < 0x60 && (c >> 8 & 0xFF) < 0x60 && (c & 0xFF) < 0x60;
            bool inside = x >= 5 && x < 5 + width && y >= 40 && y < 40 + height;
            if (isDark) ++(inside ? dark : outside);
        }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(outside, 0);
}

// A bitmap resource of 4 by 2 pixels, one colour per column.
const std::vector<uint32_t> kColumnsPicture = {kRed, kGreen, kBlue, kBlack,
                                               kRed, kGreen, kBlue, kBlack};

TEST_F(CanvasPaint, PicturesFromBitmapResourcesAreDrawnClipped) {
    static const std::string bmp = Bitmap(4, 2, kColumnsPicture);
    static const std::string broken = bmp.substr(0, 30);
    TheResourceManager().Add(kqimage::kResourceBitmap, 4711,
                             reinterpret_cast<const uint8_t *>(bmp.data()), uint32_t(bmp.size()),
                             0);
    TheResourceManager().Add(kqimage::kResourceBitmap, 4712,
                             reinterpret_cast<const uint8_t *>(broken.data()),
                             uint32_t(broken.size()), 0);
    Ref<> picture = Ref<>::Adopt(RuntimeGetBitmapFromResourceManager(4711));
    ASSERT_TRUE(picture);
    EXPECT_EQ(pictureWidthGetter(picture.get(), 0), 4);
    EXPECT_EQ(pictureHeightGetter(picture.get(), 0), 2);
    EXPECT_EQ(RuntimeGetBitmapFromResourceManager(4712), nullptr);
    EXPECT_EQ(RuntimeGetBitmapFromResourceManager(4713), nullptr);

    Open([&](RuntimeObject *g) {
        const int d = kDefaultExtent;
        // Whole picture at its own size.
        RuntimeGraphicsDrawPicture(g, picture.get(), 0, 0, d, d, 0, 0, d, d);
        // The whole picture scaled to 8 by 4.
        RuntimeGraphicsDrawPicture(g, picture.get(), 0, 10, 8, 4, 0, 0, 4, 2);
        // A source as large as the destination is cut at the picture's edge.
        RuntimeGraphicsDrawPicture(g, picture.get(), 0, 20, 8, 4, 0, 0, d, d);
        // Source starting one column left of the picture, at double size:
        // drawn 2 pixels further right and 2 narrower.
        RuntimeGraphicsDrawPicture(g, picture.get(), 20, 10, 8, 4, -1, 0, 4, 2);
        // A source running past the right edge is cut at the edge.
        RuntimeGraphicsDrawPicture(g, picture.get(), 40, 10, 8, 4, 2, 0, 4, 2);
        // A destination width of 0 draws nothing.
        RuntimeGraphicsDrawPicture(g, picture.get(), 60, 10, 0, 4, 0, 0, d, d);
    });
    std::vector<uint32_t> row;
    for (int x = 0; x < 4; ++x)
        row.push_back(At(x, 1));
    EXPECT_EQ(row, (std::vector<uint32_t>{kRed, kGreen, kBlue, kBlack}));
    EXPECT_NE(At(4, 1), kBlack);
    EXPECT_NE(At(0, 2), kRed);
    EXPECT_EQ(Columns(12, 0, 9, kRed), Range(0, 1));
    EXPECT_EQ(Columns(12, 0, 9, kBlack), Range(6, 7));
    EXPECT_EQ(At(0, 13), kRed);
    EXPECT_NE(At(0, 14), kRed);
    EXPECT_EQ(Columns(21, 0, 9, kBlack), Range(3, 3));
    EXPECT_NE(At(0, 22), kRed);
    // sx = -1: the picture's columns 0-2 at 22..27 (two pixels each).
    EXPECT_EQ(Columns(12, 18, 30, kRed), Range(22, 23));
    EXPECT_EQ(Columns(12, 18, 30, kBlue), Range(26, 27));
    EXPECT_TRUE(Columns(12, 18, 30, kBlack).empty());
    // sx = 2 with 4 columns wanted: only blue and black, 4 pixels wide.
    EXPECT_EQ(Columns(12, 38, 50, kBlue), Range(40, 41));
    EXPECT_EQ(Columns(12, 38, 50, kBlack), Range(42, 43));
    EXPECT_TRUE(Columns(12, 38, 50, kRed).empty());
    EXPECT_TRUE(Columns(12, 58, 70, kRed).empty());
}

TEST_F(CanvasPaint, BackdropAndOffscreenPicturesShowWhatWasDrawn) {
    Ref<> picture = Ref<>::Adopt(definitions::Instantiate(&PictureDefinition));
    PictureConstructor(picture.get(), 6, 3, 32);
    {
        Ref<> g = Ref<>::Adopt(pictureGraphicsGetter(picture.get(), 0));
        ASSERT_TRUE(g);
        graphicsForeColorSetter(g.get(), 0, kBlue);
        RuntimeGraphicsFillRect(g.get(), 0, 0, 3, 3);
        EXPECT_EQ(graphicsPixelGetter(g.get(), 2, 1), kBlue);
        EXPECT_EQ(graphicsPixelGetter(g.get(), 3, 1), 0xFFFFFFu);
    }
    Open([](RuntimeObject *) {});
    canvasBackdropSetter(mCanvas, 0, picture.get());
    kqtest::Settle([] { return gPaints > 1; });
    EXPECT_EQ(Columns(1, 0, 8, kBlue), Range(0, 2));
    EXPECT_EQ(At(4, 1), 0xFFFFFFu);

    // A picture of a size no picture can have is refused with an exception.
    Ref<> bad = Ref<>::Adopt(definitions::Instantiate(&PictureDefinition));
    Ref<> caught = Ref<>::Adopt(kqtest::Caught([&] { PictureConstructor(bad.get(), 0, 5, 32); }));
    EXPECT_TRUE(caught);
    EXPECT_EQ(pictureWidthGetter(bad.get(), 0), 0);
}

// The Canvas fields of the stored flags (the record in Canvas.cc).
constexpr int32_t kAcceptFocusField = 92, kUseFocusRingField = 94, kEraseBackgroundField = 95;

TEST_F(CanvasPaint, WithoutEraseBackgroundAPaintFindsWhatWasDrawnBefore) {
    // Paint draws a red square at the left, or a blue one beside it.
    static bool blue = false;
    blue = false;
    auto scene = [](RuntimeObject *g) {
        graphicsForeColorSetter(g, 0, blue ? kBlue : kRed);
        RuntimeGraphicsFillRect(g, blue ? 20 : 0, 0, 10, 10);
    };
    Open(scene, [](RuntimeObject *canvas) { boolSetter(canvas, kEraseBackgroundField, false); });
    EXPECT_EQ(At(5, 5), kRed);
    blue = true;
    Repaint();
    EXPECT_EQ(At(25, 5), kBlue);
    EXPECT_EQ(At(5, 5), kRed) << "the first paint's square stays";

    // Switched on, it counts from the next exposure: then red goes.
    boolSetter(mCanvas, kEraseBackgroundField, true);
    Repaint();
    Repaint();
    EXPECT_EQ(At(25, 5), kBlue);
    EXPECT_NE(At(5, 5), kRed);
}

TEST_F(CanvasPaint, RefreshWithoutEraseBackgroundDrawsOverWhatTheCanvasShows) {
    static bool blue = false;
    blue = false;
    Open([](RuntimeObject *g) {
        graphicsForeColorSetter(g, 0, blue ? kBlue : kRed);
        RuntimeGraphicsFillRect(g, blue ? 20 : 0, 0, 10, 10);
    });
    ASSERT_EQ(At(5, 5), kRed);
    blue = true;
    RuntimeControlRefresh(mCanvas, false);
    EXPECT_EQ(At(25, 5), kBlue);
    EXPECT_EQ(At(5, 5), kRed) << "the canvas erases, but this refresh does not";
    RuntimeControlRefresh(mCanvas, true);
    EXPECT_NE(At(5, 5), kRed);

    blue = false;
    RuntimeControlRefreshRect(mCanvas, 0, 0, 40, 20, false);
    EXPECT_EQ(At(5, 5), kRed);
    EXPECT_EQ(At(25, 5), kBlue);
    RuntimeControlRefreshRect(mCanvas, 0, 0, 40, 20, true);
    EXPECT_EQ(At(5, 5), kRed);
    EXPECT_NE(At(25, 5), kBlue);
}

TEST_F(CanvasPaint, FocusRingIsDrawnWhileTheCanvasHasTheFocus) {
    Open(
        [](RuntimeObject *g) {
            graphicsForeColorSetter(g, 0, 0xFFFFFF);
            RuntimeGraphicsFillRect(g, 0, 0, 120, 90);
        },
        [](RuntimeObject *canvas) { boolSetter(canvas, kAcceptFocusField, true); });
    // Dark pixels along the canvas's top and left edges.
    auto ring = [this] {
        int dark = 0;
        for (int x = 0; x < 120; ++x)
            dark += (At(x, 0) & 0xFFFFFF) < 0x404040;
        for (int y = 0; y < 90; ++y)
            dark += (At(0, y) & 0xFFFFFF) < 0x404040;
        return dark;
    };
    EXPECT_EQ(ring(), 0);
    ASSERT_TRUE(kqtest::Activate(mWindow));
    int before = gPaints;
    RuntimeSetFocus(mCanvas);
    kqtest::Settle([before] { return gPaints > before; });
    EXPECT_GT(ring(), 40);
    EXPECT_EQ(At(60, 45), 0xFFFFFFu) << "inside stays as Paint left it";

    boolSetter(mCanvas, kUseFocusRingField, false);
    Repaint();
    EXPECT_EQ(ring(), 0) << "UseFocusRing False: no ring, focus or not";
}

TEST_F(CanvasPaint, ScrollMovesTheDrawingAndTheControlsOnTheCanvas) {
    Open([](RuntimeObject *g) {
        graphicsForeColorSetter(g, 0, kRed);
        RuntimeGraphicsFillRect(g, 0, 0, 10, 10);
    });
    RuntimeObject *label = kqtest::NewControl("Marke", kqtest::TestPaneKind::Label, 70, 60, 30, 20);
    ControlParentSetter(label, 0, mCanvas);
    kqtest::AddControl(mWindow, label);
    kqtest::Settle();

    canvasScroll(mCanvas, 0, 0, 0, 0, kDefaultExtent, kDefaultExtent, true);
    EXPECT_EQ(ctlPosGetter(label, 0), 70) << "no move without a distance";
    canvasScroll(mCanvas, 20, 5, 0, 0, kDefaultExtent, kDefaultExtent, true);
    kqtest::Settle();
    // The old drawing moved by (20, 5); Paint filled the uncovered part again.
    EXPECT_EQ(Columns(7, 0, 40, kRed), (std::vector<int>{0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                         20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
    EXPECT_EQ(Columns(12, 0, 40, kRed), Range(20, 29));
    EXPECT_EQ(ctlPosGetter(label, 0), 90);
    EXPECT_EQ(ctlPosGetter(label, 1), 65);

    canvasScroll(mCanvas, -5, 0, 0, 0, kDefaultExtent, kDefaultExtent, false);
    EXPECT_EQ(ctlPosGetter(label, 0), 90) << "moveControls False leaves the controls";
}

TEST_F(CanvasPaint, ClicksRaiseTheMouseEventsRelativeToTheCanvas) {
    Open([](RuntimeObject *) {});
    GtkWidget *widget = kqtest::WidgetOf(mCanvas);
    int x, y;
    kqtest::RootPosition(widget, &x, &y, 7, 9);
    kqtest::ClickAt(x, y);
    kqtest::Settle([] { return !EventLog().empty(); });
    EXPECT_EQ(EventLog(), (Lines{"Leinwand.MouseDown 7,9"}));

    EventLog().clear();
    kqtest::Answer("Leinwand.MouseDown", true);
    kqtest::PressAt(x, y);
    kqtest::Settle([] { return !EventLog().empty(); });
    kqtest::MovePointerTo(x + 5, y + 2);
    mainloop::NestedIteration(false); // the main loop reports the drag
    kqtest::ReleaseAt(x + 5, y + 2);
    kqtest::Settle([] { return !kqtest::LogLines("Leinwand.MouseUp").empty(); });
    kqtest::Answer("Leinwand.MouseDown", false);
    ASSERT_FALSE(EventLog().empty());
    EXPECT_EQ(EventLog().front(), "Leinwand.MouseDown 7,9");
    EXPECT_FALSE(kqtest::LogLines("Leinwand.MouseDrag 12,11").empty());
    EXPECT_EQ(EventLog().back(), "Leinwand.MouseUp 12,11");
}

} // namespace
