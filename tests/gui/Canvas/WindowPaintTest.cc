// Windows draw themselves: an exposure of the content paints the backdrop
// picture, then raises Paint with a Graphics on the content (below the menu
// bar), and the controls stand over both; the Graphics property draws on
// the open window. The pixels are read back from the display.
#include "Application.h"
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
        kstr::StringRef paint(kstr::FromC("Paint"));
        RuntimeInstallInstanceEventHandler(w, paint.Get(), KQ_CODE(OnPaint));
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

} // namespace
