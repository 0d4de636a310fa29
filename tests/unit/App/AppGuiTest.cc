// On a display: the key snooper fed by real key events, the user-cancel
// check, the stock mouse cursors and cursors from resources.
#include "AppTestSupport.h"

#include "GuiTest.h"
#include "ImageFormat.h"
#include "KeyState.h"
#include "Keyboard.h"
#include "MainLoop.h"
#include "MouseCursor.h"
#include "ResourceManagerCommon.h"

#include <gdk/gdkkeysyms.h>
#include <gdk/gdktestutils.h>
#include <gtest/gtest.h>

namespace {

void Key(GtkWidget *window, guint keyval, GdkEventType type) {
    ASSERT_TRUE(gdk_test_simulate_key(gtk_widget_get_window(window), 5, 5, keyval,
                                      GdkModifierType(0), type));
}

GdkCursorType TypeOf(RuntimeObject *cursor) {
    return gdk_cursor_get_cursor_type(MouseCursorOf(cursor));
}

} // namespace

TEST(AppGui, SnooperFollowsRealKeysAndEscapeIsTheUserCancel) {
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 100, 60);
    gtk_widget_show(window);
    ASSERT_TRUE(kqtest::WaitForWindow(window));
    EXPECT_FALSE(getUserCancelled());

    Key(window, GDK_KEY_Escape, GDK_KEY_PRESS);
    EXPECT_TRUE(kqtest::WaitUntil([] { return keyboardAsyncKeyDown(nullptr, 53); }));
    EXPECT_TRUE(getUserCancelled());
    Key(window, GDK_KEY_Shift_L, GDK_KEY_PRESS);
    EXPECT_TRUE(kqtest::WaitUntil([] { return asyncModifierKeyGetter(nullptr, -2); }));

    Key(window, GDK_KEY_Escape, GDK_KEY_RELEASE);
    Key(window, GDK_KEY_Shift_L, GDK_KEY_RELEASE);
    EXPECT_TRUE(kqtest::WaitUntil([] {
        return !keyboardAsyncKeyDown(nullptr, 53) && !asyncModifierKeyGetter(nullptr, 0x200);
    }));
    EXPECT_FALSE(getUserCancelled());
    gtk_widget_destroy(window);
}

TEST(AppGui, StockCursorsAreNewObjectsSharingGdkCursors) {
    Ref<> arrow = Ref<>::Adopt(getArrowCursor());
    Ref<> watch = Ref<>::Adopt(getWatchCursor());
    Ref<> ibeam = Ref<>::Adopt(getIBeamCursor());
    EXPECT_EQ(TypeOf(arrow.get()), GDK_ARROW);
    EXPECT_EQ(TypeOf(watch.get()), GDK_WATCH);
    EXPECT_EQ(TypeOf(ibeam.get()), GDK_XTERM);
    Ref<> again = Ref<>::Adopt(getArrowCursor());
    EXPECT_NE(again.get(), arrow.get());

    GdkCursor *shared = MouseCursorOf(arrow.get());
    guint before = shared->ref_count;
    Ref<> copy = Ref<>::Adopt(NewMouseCursor(shared));
    EXPECT_EQ(shared->ref_count, before + 1);
    copy = Ref<>();
    EXPECT_EQ(shared->ref_count, before);
}

TEST(AppGui, CursorResourcesBecomeMouseCursorObjects) {
    static uint8_t payload[68] = {};
    payload[0] = 0xFF;  // one row of the image
    payload[32] = 0xFF; // and of the mask
    payload[67] = 3;    // hot spot
    TheResourceManager().Add(kqimage::kResourceCursor, 128, payload, sizeof payload, 0);
    Ref<> cursor = Ref<>::Adopt(RuntimeGetCursorFromResourceManager(128));
    ASSERT_NE(cursor.get(), nullptr);
    EXPECT_EQ(apptest::ClassName(cursor.get()), "MouseCursor");
    EXPECT_EQ(TypeOf(cursor.get()), GDK_CURSOR_IS_PIXMAP);
}
