// Message dialogs on the private display: the buttons' properties, the
// icon's range, and dialogs answered while their modal loop runs, by
// Return and Escape through XTEST or by the window manager's close: the
// numeric MsgBox's result codes, ShowModal's button, the prompt split into
// message and explanation, and the unhandled-exception report.
#include "MessageDialog.h"
#include "GuiTest.h"
#include "MainLoop.h"
#include "RuntimeException.h"
#include "RuntimeViewWindow.h"
#include "UnhandledException.h"
#include "WindowList.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>
#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>

#include <cstdlib>
#include <functional>
#include <utility>

using Lines = std::vector<std::string>;

namespace {

using MessageDialogs = kqtest::WindowTest;

KESTstring *Text(const char *text) {
    return kstr::FromC(text);
}

// ---------------------------------------------------------------------------
// Properties.

TEST_F(MessageDialogs, ButtonsTellTheirVisibilityDefaultAndCancelRoles) {
    Ref<MessageDialogObject> dialog = Ref<MessageDialogObject>::Adopt(dialogs::NewDialog());
    RuntimeObject *d = &dialog->header;
    Ref<> action = Ref<>::Adopt(MDButtonGetter(d, kActionButton));
    Ref<> cancel = Ref<>::Adopt(MDButtonGetter(d, kCancelButton));
    Ref<> alternate = Ref<>::Adopt(MDButtonGetter(d, kAlternateButton));
    EXPECT_EQ(MDButtonGetter(d, 3), nullptr);
    // Visible: the action button always; the others once asked for.
    EXPECT_TRUE(MDBBooleanGetter(action.get(), 0));
    EXPECT_FALSE(MDBBooleanGetter(cancel.get(), 0));
    MDBBooleanSetter(action.get(), 0, false);
    MDBBooleanSetter(alternate.get(), 0, true);
    EXPECT_TRUE(MDBBooleanGetter(action.get(), 0));
    EXPECT_TRUE(MDBBooleanGetter(alternate.get(), 0));
    // Default and Cancel: the action button and the cancel button at first.
    EXPECT_TRUE(MDBBooleanGetter(action.get(), 1));
    EXPECT_TRUE(MDBBooleanGetter(cancel.get(), 2));
    MDBBooleanSetter(action.get(), 1, false);
    EXPECT_EQ(dialog->defaultButton, kNoButton);
    MDBBooleanSetter(alternate.get(), 1, true);
    EXPECT_TRUE(MDBBooleanGetter(alternate.get(), 1));
    EXPECT_FALSE(MDBBooleanGetter(action.get(), 1));
    // Captions belong to the button's kind.
    kstr::StringRef later(Text("Später"));
    MDBCaptionSetter(alternate.get(), 0, later.Get());
    kstr::StringRef got(MDBCaptionGetter(alternate.get(), 0));
    EXPECT_STREQ(kstr::Text(got.Get()), "Später");
    EXPECT_EQ(kstr::Length(kstr::StringRef(MDBCaptionGetter(cancel.get(), 0)).Get()), 0u);
    // A button whose dialog has gone answers false.
    dialog = Ref<MessageDialogObject>();
    EXPECT_FALSE(MDBBooleanGetter(action.get(), 0));
}

TEST_F(MessageDialogs, IconOutsideTheGraphicsRaisesAndKeepsTheOldOne) {
    Ref<MessageDialogObject> dialog = Ref<MessageDialogObject>::Adopt(dialogs::NewDialog());
    MDIconSetter(&dialog->header, 0, kGraphicQuestion);
    RuntimeObject *exc = kqtest::Caught([&] { MDIconSetter(&dialog->header, 0, 4); });
    ASSERT_NE(exc, nullptr);
    auto *e = reinterpret_cast<RuntimeExceptionObject *>(exc);
    EXPECT_STREQ(kstr::Text(e->message),
                 "The integer value 4 is not in the range of enumerated icons for the "
                 "MessageDialog class.");
    RuntimeUnlockObject(exc);
    EXPECT_EQ(dialog->icon, kGraphicQuestion);
    MDIconSetter(&dialog->header, 0, kGraphicNone);
    EXPECT_EQ(dialog->icon, kGraphicNone);
}

// ---------------------------------------------------------------------------
// Dialogs answered while they run.

// The dialog window in front, once it is shown and has the focus.
GtkWidget *ActiveDialog() {
    RuntimeViewWindow *view = RuntimeViewWindow::From(windowlist::At(0));
    if (view == nullptr) return nullptr;
    GtkWidget *top = view->Toplevel();
    return gtk_window_get_modal(GTK_WINDOW(top)) && gtk_window_is_active(GTK_WINDOW(top)) ? top
                                                                                          : nullptr;
}

// What the test does to the next dialog: the texts of its labels are kept.
struct Answerer {
    explicit Answerer(std::function<void(GtkWidget *)> action) : act(std::move(action)) {}
    std::function<void(GtkWidget *)> act;
    Lines labels;
    bool done = false;
};

void CollectLabels(GtkWidget *widget, gpointer data) {
    if (GTK_IS_LABEL(widget))
        static_cast<Answerer *>(data)->labels.push_back(gtk_label_get_text(GTK_LABEL(widget)));
}

gboolean AnswerWhenShown(gpointer data) {
    auto *answerer = static_cast<Answerer *>(data);
    GtkWidget *top = ActiveDialog();
    if (top == nullptr) return TRUE;
    RuntimeViewWindow *view = RuntimeViewWindow::From(windowlist::At(0));
    gtk_container_foreach(GTK_CONTAINER(view->Content()), CollectLabels, answerer);
    kqtest::SaveScreenshot(top, "message-dialog");
    answerer->act(top);
    answerer->done = true;
    return FALSE;
}

std::function<void(GtkWidget *)> Key(unsigned keysym) {
    return [keysym](GtkWidget *) {
        Display *display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
        KeyCode code = XKeysymToKeycode(display, keysym);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XFlush(display);
    };
}

// The window manager's close: a delete event for the window.
void CloseByWindowManager(GtkWidget *top) {
    GdkEvent *event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(top)));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

// Runs `show` with the answerer watching for the dialog.
template <typename Show>
auto Answered(Answerer &answerer, Show show) {
    guint watch = g_timeout_add(50, AnswerWhenShown, &answerer);
    auto result = show();
    if (!answerer.done) g_source_remove(watch);
    EXPECT_TRUE(answerer.done);
    return result;
}

TEST_F(MessageDialogs, NumericMsgBoxAnswersWithTheCodeOfTheButtonThatEndedIt) {
    struct Case {
        int32_t buttons;
        std::function<void(GtkWidget *)> act;
        int32_t expected;
    };
    const Case cases[] = {
        {0, Key(GDK_KEY_Return), 1},       // OK
        {4 + 256, Key(GDK_KEY_Return), 7}, // Yes/No, the second default
        {36, CloseByWindowManager, 2},     // Yes/No, closed: the cancel code
        {1, Key(GDK_KEY_Escape), 2},       // OK/Cancel
        {2, Key(GDK_KEY_Return), 3},       // Abort/Retry/Ignore: Abort default
        {3 + 512, Key(GDK_KEY_Return), 2}, // Yes/No/Cancel, the third default
        {5 + 256, Key(GDK_KEY_Escape), 2}, // Retry/Cancel
    };
    kstr::StringRef prompt(Text("Weiter?")), title(Text("Frage"));
    for (const Case &c : cases) {
        Answerer answerer{c.act};
        int32_t result = Answered(
            answerer, [&] { return VB_RuntimeMsgBox(prompt.Get(), c.buttons, title.Get()); });
        EXPECT_EQ(result, c.expected) << "buttons " << c.buttons;
        EXPECT_EQ(answerer.labels.front(), "Weiter?");
    }
    EXPECT_EQ(windowlist::Count(), 0u);
}

TEST_F(MessageDialogs, ShowModalReturnsThePressedButton) {
    Ref<MessageDialogObject> dialog = Ref<MessageDialogObject>::Adopt(dialogs::NewDialog());
    RuntimeObject *d = &dialog->header;
    Ref<> alternate = Ref<>::Adopt(MDButtonGetter(d, kAlternateButton));
    Ref<> cancel = Ref<>::Adopt(MDButtonGetter(d, kCancelButton));
    MDBBooleanSetter(alternate.get(), 0, true);
    MDBBooleanSetter(cancel.get(), 0, true);
    MDBBooleanSetter(alternate.get(), 1, true);
    kstr::StringRef message(Text("Speichern?")), later(Text("Später"));
    stringSetter(d, offsetof(MessageDialogObject, message), message.Get());
    MDBCaptionSetter(alternate.get(), 0, later.Get());

    Answerer enter{Key(GDK_KEY_Return)};
    Ref<> pressed = Ref<>::Adopt(Answered(enter, [&] { return MessageDialogShowModal(d); }));
    EXPECT_EQ(pressed.get(), alternate.get());
    Answerer escape{Key(GDK_KEY_Escape)};
    pressed = Ref<>::Adopt(Answered(escape, [&] { return MessageDialogShowModal(d); }));
    EXPECT_EQ(pressed.get(), cancel.get());

    // Ending the application ends the modal loop without a button.
    Answerer quit{[](GtkWidget *) { mainloop::SetQuitRequested(true); }};
    pressed = Ref<>::Adopt(Answered(quit, [&] { return MessageDialogShowModal(d); }));
    mainloop::SetQuitRequested(false);
    EXPECT_EQ(pressed.get(), nullptr);
    EXPECT_EQ(dialogs::LastResult(), kNoButton);
}

TEST_F(MessageDialogs, MsgBoxSplitsThePromptAtTheFirstLineEnd) {
    kstr::StringRef twoLines(Text("Erste Zeile\nZweite Zeile")), leading(Text("\nGanz"));
    Answerer split{Key(GDK_KEY_Return)};
    Answered(split, [&] { return (RuntimeMsgBox(twoLines.Get()), 0); });
    EXPECT_EQ(split.labels, (Lines{"Erste Zeile", "Zweite Zeile"}));
    Answerer whole{Key(GDK_KEY_Return)};
    Answered(whole, [&] { return (RuntimeMsgBox(leading.Get()), 0); });
    EXPECT_EQ(whole.labels, Lines{"\nGanz"});
}

TEST_F(MessageDialogs, UnhandledExceptionIsReportedInADialogAndEndsTheLoop) {
    unsetenv("KQ_ERROR_REPORT");
    Ref<> exc = Ref<>::Adopt(definitions::Instantiate(&OutOfBoundsExceptionDefinition));
    kstr::StringRef message(Text("Index 7"));
    exceptions::SetMessage(exc.get(), message.Get());
    exceptions::SetErrorNumber(exc.get(), 12);
    Answerer report{Key(GDK_KEY_Return)};
    Answered(report, [&] { return (UnhandledExceptionReport(exc.get()), 0); });
    setenv("KQ_ERROR_REPORT", "ok", 1);
    EXPECT_TRUE(mainloop::QuitRequested());
    mainloop::SetQuitRequested(false);
    EXPECT_EQ(report.labels,
              (Lines{"An exception of class OutOfBoundsException was not handled.  The "
                     "application must shut down.",
                     "Exception Message: Index 7\rException Error Number: 12"}));
}

} // namespace
