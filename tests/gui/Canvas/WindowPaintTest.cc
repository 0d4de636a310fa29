// Windows draw themselves: an exposure of the content paints the backdrop
// picture, then raises Paint with a Graphics on the content (below the menu
// bar), and the controls stand over both; the Graphics property draws on
// the open window. The pixels are read back from the display.
#include "Application.h"
#include "Canvas.h"
#include "ControlAccessors.h"
#include "Graphics.h"
#include "GuiTest.h"
#include "MenuItem.h"
#include "Picture.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;

int gPaints = 0;
int gWidth = 0, gHeight = 0;

void OnPaint(RuntimeObject *, RuntimeObject *g) {
    ++gPaints;
    gWidth = graphicsWidthGetter(g, 0);
    gHeight = graphicsHeightGetter(g, 0);
    graphicsForeColorSetter(g, 0, kRed);
    RuntimeGraphicsFillRect(g, 10, 10, 10, 10);
    graphicsForeColorSetter(g, 0, kGreen);
    RuntimeGraphicsFillRect(g, 40, 30, 60, 30); // under the button
}

using WindowPaint = kqtest::WindowTest;

TEST_F(WindowPaint, BackdropThenPaintOnTheContentUnderTheControls) {
    gPaints = 0;
    Ref<> app = Ref<>::Adopt(definitions::Instantiate(&ApplicationDefinition));
    application::SetCurrent(app.get()); // windows take menu bars only with one
    // A backdrop of 6 by 3 pixels: blue on the left half, white on the right.
    Ref<> backdrop = Ref<>::Adopt(definitions::Instantiate(&PictureDefinition));
    PictureConstructor(backdrop.get(), 6, 3, 32);
    {
        Ref<> g = Ref<>::Adopt(pictureGraphicsGetter(backdrop.get(), 0));
        graphicsForeColorSetter(g.get(), 0, kBlue);
        RuntimeGraphicsFillRect(g.get(), 0, 0, 3, 3);
    }
    Ref<> bar = Ref<>::Adopt(definitions::Instantiate(&MenuBarDefinition));
    Ref<> menu = Ref<>::Adopt(definitions::Instantiate(&MenuItemDefinition));
    kstr::StringRef text(kstr::FromC("Datei"));
    RuntimeMenuItemTextSetter(menu.get(), 0, text.Get());
    RuntimeMenuItemAppend(bar.get(), menu.get());

    static RuntimeClass *cls = kqtest::ImageWindowClass("Gemaelde", {});
    RuntimeObject *window = kqtest::NewWindow(cls, [&](RuntimeObject *w) {
        windowPosSetter(w, 2, 200);
        windowPosSetter(w, 3, 120);
        windowBackdropSetter(w, 0, backdrop.get());
        WindowMenuBarSetter(w, 0, bar.get());
        kqtest::Handle(w, "Paint", KQ_CODE(OnPaint));
        kqtest::AddControl(
            w, kqtest::NewControl("Knopf", kqtest::TestPaneKind::Button, 50, 40, 40, 20));
    });
    RuntimeShowWindow(window);
    GtkWidget *top = kqtest::ToplevelOf(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    kqtest::Settle([] { return gPaints > 0; });
    // Paint again once the new size has arrived: the Graphics covers the
    // content, the window less its menu bar.
    RuntimeViewWindow *native = windows::NativeOf(window);
    kqtest::Settle([native] { return native->Rect().Width() == 200; });
    const int width = native->Rect().Width(), height = native->Rect().Height();
    int offset = native->ContentOffset();
    ASSERT_GT(offset, 0) << "the menu bar stands above the content";
    formRefresh(window, true);
    kqtest::Settle([=] { return gWidth == width && gHeight == height; });
    EXPECT_EQ(gWidth, 200);
    EXPECT_EQ(gHeight, height);
    EXPECT_GT(height, 60);
    auto at = [top, offset](int x, int y) { return kqtest::PixelAt(top, x, y + offset); };

    EXPECT_EQ(at(0, 0), kBlue) << "the backdrop at the content's corner";
    EXPECT_EQ(at(2, 2), kBlue);
    EXPECT_EQ(at(4, 1), kWhite);
    EXPECT_NE(at(7, 1), kWhite) << "the backdrop is drawn at its own size";
    EXPECT_EQ(at(10, 10), kRed);
    EXPECT_EQ(at(19, 19), kRed);
    EXPECT_NE(at(20, 19), kRed);
    EXPECT_EQ(at(45, 35), kGreen);
    EXPECT_NE(at(52, 42), kGreen) << "the button is drawn over what Paint drew";
    kqtest::SaveScreenshot(top, "window-paint");

    // The Graphics property draws on the content of the open window.
    Ref<> g = Ref<>::Adopt(windowGraphicsGetter(window, 0));
    ASSERT_TRUE(g);
    EXPECT_EQ(graphicsWidthGetter(g.get(), 0), 200);
    EXPECT_EQ(graphicsHeightGetter(g.get(), 0), height);
    graphicsForeColorSetter(g.get(), 0, kRed);
    RuntimeGraphicsFillRect(g.get(), 150, 0, 5, 5);
    gdk_flush();
    EXPECT_EQ(at(152, 2), kRed);

    RuntimeCloseWindow(window);
    EXPECT_EQ(windowGraphicsGetter(window, 0), nullptr) << "a closed window has none";
    RuntimeUnlockObject(window);
    application::SetCurrent(nullptr);
}

// Paint draws a red square at the left, or a blue one to the right of it.
bool gBlue = false;

void OnPaintOneSquare(RuntimeObject *, RuntimeObject *g) {
    ++gPaints;
    graphicsForeColorSetter(g, 0, gBlue ? kBlue : kRed);
    RuntimeGraphicsFillRect(g, gBlue ? 30 : 10, 10, 10, 10);
}

TEST_F(WindowPaint, RefreshWithoutEraseBackgroundKeepsWhatTheWindowShows) {
    gPaints = 0;
    gBlue = false;
    static RuntimeClass *cls = kqtest::ImageWindowClass("Skizze", {});
    RuntimeObject *window = kqtest::NewWindow(cls, [](RuntimeObject *w) {
        windowPosSetter(w, 2, 120);
        windowPosSetter(w, 3, 80);
        kqtest::Handle(w, "Paint", KQ_CODE(OnPaintOneSquare));
    });
    RuntimeShowWindow(window);
    GtkWidget *top = kqtest::ToplevelOf(window);
    ASSERT_TRUE(kqtest::WaitForWindow(top));
    kqtest::Settle([] { return gPaints > 0; });
    formRefresh(window, true);
    auto at = [top](int x, int y) { return kqtest::PixelAt(top, x, y); };
    ASSERT_EQ(at(15, 15), kRed);

    gBlue = true;
    formRefresh(window, false);
    EXPECT_EQ(at(35, 15), kBlue);
    EXPECT_EQ(at(15, 15), kRed) << "not erased: the earlier square stays";
    formRefresh(window, true);
    EXPECT_EQ(at(35, 15), kBlue);
    EXPECT_NE(at(15, 15), kRed) << "erased first";

    gBlue = false;
    formRefreshRect(window, 0, 0, 60, 40, false);
    EXPECT_EQ(at(15, 15), kRed);
    EXPECT_EQ(at(35, 15), kBlue) << "inside the rectangle, not erased";
    formRefreshRect(window, 0, 0, 60, 40, true);
    EXPECT_EQ(at(15, 15), kRed);
    EXPECT_NE(at(35, 15), kBlue);

    int before = gPaints;
    formRefreshRect(window, 0, 0, -1, 40, false);
    EXPECT_EQ(gPaints, before) << "a negative size draws nothing";
    RuntimeCloseWindow(window);
    formRefresh(window, false); // a closed window: nothing to draw
    RuntimeUnlockObject(window);
}

void OnCanvasPaint(RuntimeObject *, RuntimeObject *g) {
    graphicsForeColorSetter(g, 0, kBlue);
    RuntimeGraphicsFillRect(g, 0, 0, 30, 20);
}

// A picture of width by height and its Graphics.
struct Sheet {
    Ref<> picture, g;
    Sheet(int width, int height)
        : picture(Ref<>::Adopt(definitions::Instantiate(&PictureDefinition))) {
        PictureConstructor(picture.get(), width, height, 32);
        g = Ref<>::Adopt(pictureGraphicsGetter(picture.get(), 0));
    }
    uint32_t At(int x, int y) { return graphicsPixelGetter(g.get(), x, y) & 0xFFFFFF; }
};

TEST_F(WindowPaint, DrawIntoCopiesTheWindowAndItsControlsAndTheBackgroundAlone) {
    gPaints = 0;
    gBlue = false;
    Ref<> backdrop = Ref<>::Adopt(definitions::Instantiate(&PictureDefinition));
    PictureConstructor(backdrop.get(), 6, 3, 32);
    {
        Ref<> g = Ref<>::Adopt(pictureGraphicsGetter(backdrop.get(), 0));
        graphicsForeColorSetter(g.get(), 0, kRed);
        RuntimeGraphicsFillRect(g.get(), 0, 0, 6, 3);
    }
    RuntimeObject *canvas = nullptr;
    static RuntimeClass *cls = kqtest::ImageWindowClass("Abbild", {});
    RuntimeObject *window = kqtest::NewWindow(cls, [&](RuntimeObject *w) {
        windowPosSetter(w, 2, 120);
        windowPosSetter(w, 3, 80);
        windowHasBackColorSetter(w, 0, true);
        windowBackColorSetter(w, 0, kGreen);
        kqtest::Handle(w, "Paint", KQ_CODE(OnPaintOneSquare));
        canvas = kqtest::NewRuntimeControl(&CanvasDefinition, "Leinwand", 40, 10, 30, 20);
        kqtest::Handle(canvas, "Paint", KQ_CODE(OnCanvasPaint));
        kqtest::AddControl(w, canvas);
    });
    RuntimeShowWindow(window);
    ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(window)));
    kqtest::Settle([] { return gPaints > 0; });

    Sheet whole(120, 80);
    formDrawInto(window, whole.g.get(), 0, 0, true);
    EXPECT_EQ(whole.At(15, 15), kRed) << "what Paint drew";
    EXPECT_EQ(whole.At(5, 5), kGreen) << "the back colour";
    EXPECT_EQ(whole.At(50, 15), kBlue) << "the canvas over it";

    Sheet part(40, 30);
    uint32_t blank = part.At(2, 2);
    RuntimeControlDrawInto(canvas, part.g.get(), 5, 5);
    EXPECT_EQ(part.At(5, 5), kBlue);
    EXPECT_EQ(part.At(34, 24), kBlue);
    EXPECT_EQ(part.At(2, 2), blank) << "only the control's own rectangle";
    EXPECT_EQ(part.At(36, 26), blank);

    // The background under a rectangle: back colour, then the backdrop's
    // part from (2, 1) on; Paint's square is no background.
    windowBackdropSetter(window, 0, backdrop.get());
    Sheet back(30, 30);
    formDrawBackground(window, back.g.get(), 10, 10, 20, 20, 2, 1);
    EXPECT_EQ(back.At(10, 10), kRed);
    EXPECT_EQ(back.At(13, 11), kRed) << "the backdrop's last column and row";
    EXPECT_EQ(back.At(14, 10), kGreen) << "beyond the backdrop";
    EXPECT_EQ(back.At(10, 12), kGreen);
    EXPECT_EQ(back.At(29, 29), kGreen);
    EXPECT_NE(back.At(5, 5), kGreen) << "outside the rectangle";

    RuntimeCloseWindow(window);
    Sheet closed(10, 10);
    uint32_t before = closed.At(1, 1);
    formDrawInto(window, closed.g.get(), 0, 0, false);
    EXPECT_EQ(closed.At(1, 1), before) << "a closed window draws nothing";
    RuntimeUnlockObject(window);
}

} // namespace
