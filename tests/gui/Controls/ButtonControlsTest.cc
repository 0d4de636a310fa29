// Push buttons, check boxes, radio buttons, static text and group boxes on a
// real window: clicks through XTEST, the default and cancel buttons under
// Return and Escape, radio groups, captions with mnemonics and labels.
#include "ControlAccessors.h"
#include "GuiTest.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

using kqtest::EventLog;
using kqtest::LogLines;
using Lines = std::vector<std::string>;

extern "C" {
void pushButtonPush(RuntimeObject *control);
void pushButtonTitleSetter(RuntimeObject *control, int32_t, KESTstring *value);
void pushButtonDefaultSetter(RuntimeObject *control, int32_t, bool value);
void pushButtonCancelSetter(RuntimeObject *control, int32_t, bool value);
void pbAddActionNotificationReceiver(RuntimeObject *control, RuntimeObject *receiver);
void pbRemoveActionNotificationReceiver(RuntimeObject *control, RuntimeObject *receiver);
bool radioValueGetter(RuntimeObject *control, int32_t);
void radioValueSetter(RuntimeObject *control, int32_t, bool value);
bool checkBoxValueGetter(RuntimeObject *control, int32_t);
void checkBoxValueSetter(RuntimeObject *control, int32_t, bool value);
void staticCaptionSetter(RuntimeObject *control, int32_t, KESTstring *value);
void staticTextAlignSetter(RuntimeObject *control, int32_t, int32_t value);
void StaticTextMultilineSetter(RuntimeObject *control, int32_t, bool value);
void staticTextColorSetter(RuntimeObject *control, int32_t, uint32_t value);
void staticTextSizeSetter(RuntimeObject *control, int32_t, int32_t value);
}

namespace {

class ButtonControls : public kqtest::WindowTest {
  protected:
    RuntimeObject *Shown(const std::function<void(RuntimeObject *)> &add) {
        static RuntimeClass *cls = kqtest::ImageWindowClass("Fenster", {WindowEvent::KeyDown});
        return kqtest::ShownWindow(cls, add);
    }
};

RuntimeObject *Button(const char *name, int left, int top) {
    return kqtest::NewRuntimeControl(&PushButtonDefinition, name, left, top, 90, 28,
                                     {"Action", "MouseDown", "MouseUp"});
}

void PerformAction(RuntimeObject *) {
    kqtest::Log("PerformAction");
}

// An object of an image class implementing actionNotificationReceiver.
Ref<> NewReceiver() {
    static RuntimeClass *cls = [] {
        RuntimeClass *c = RuntimeNewClass(nullptr, 0, 1, 0, 0, 0);
        c->instanceSize = sizeof(RuntimeObject);
        RuntimeMethodEntry *methods = RuntimeNewVtable(1);
        methods[0] = {reinterpret_cast<void *>(PerformAction), nullptr};
        c->interfaces()[0] = {definitions::Convert(&actionNotificationReceiverDefinition), 1,
                              methods};
        return c;
    }();
    return Ref<>::Adopt(RuntimeNewObject(cls));
}

RuntimeObject *Radio(const char *name, int left, int top) {
    return kqtest::NewRuntimeControl(&RadioButtonDefinition, name, left, top, 90, 24, {"Action"});
}

GtkWidget *LabelOf(RuntimeObject *control) {
    GtkWidget *widget = kqtest::WidgetOf(control);
    return GTK_IS_LABEL(widget) ? widget : gtk_bin_get_child(GTK_BIN(widget));
}

} // namespace

TEST_F(ButtonControls, ClicksPushTheButtonUnlessMouseDownTakesThePress) {
    RuntimeObject *ok = nullptr, *taken = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        ok = kqtest::AddControl(w, Button("OK", 10, 10));
        taken = kqtest::AddControl(w, Button("Halt", 10, 50));
    });
    kqtest::Answer("Halt.MouseDown", true);

    kqtest::ClickWidget(kqtest::WidgetOf(ok));
    kqtest::Settle([] { return !LogLines("OK.Action").empty(); });
    EXPECT_EQ(LogLines("OK.Action"), Lines{"OK.Action"});

    EventLog().clear();
    kqtest::ClickWidget(kqtest::WidgetOf(taken));
    kqtest::Settle([] { return !LogLines("Halt.MouseUp").empty(); });
    EXPECT_EQ(LogLines("Halt.Action"), Lines{}) << "MouseDown answered True";
    EXPECT_EQ(LogLines("Halt.MouseUp").size(), 1u);

    // Pressed on the button, released away from it: no action.
    EventLog().clear();
    int x, y;
    kqtest::RootPosition(kqtest::WidgetOf(ok), &x, &y);
    kqtest::PressAt(x, y);
    kqtest::ReleaseAt(x + 200, y + 100);
    EXPECT_EQ(LogLines("OK.MouseDown").size(), 1u);
    EXPECT_EQ(LogLines("OK.Action"), Lines{});

    // Push acts even on a disabled button.
    EventLog().clear();
    controlEnabledSetter(ok, 0, false);
    pushButtonPush(ok);
    EXPECT_EQ(EventLog(), Lines{"OK.Action"});
    kqtest::CloseWindow(window);
}

TEST_F(ButtonControls, ReturnPressesTheDefaultButtonAndEscapeTheCancelButton) {
    RuntimeObject *field = nullptr, *ok = nullptr, *cancel = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        field = kqtest::AddControl(
            w, kqtest::NewRuntimeControl(&EditFieldDefinition, "Feld", 10, 10, 120, 24));
        ok = kqtest::AddControl(w, Button("OK", 10, 50));
        cancel = kqtest::AddControl(w, Button("Abbruch", 110, 50));
        pushButtonDefaultSetter(ok, 0, true);
    });
    pushButtonCancelSetter(cancel, 0, true);
    EXPECT_TRUE(gtk_widget_has_default(kqtest::WidgetOf(ok)));
    RuntimeSetFocus(field);
    kqtest::Settle();

    kqtest::PressKey(GDK_KEY_Return);
    kqtest::Settle([] { return !LogLines("OK.Action").empty(); });
    EXPECT_EQ(EventLog(), (Lines{"Fenster.KeyDown Enter", "OK.Action"}));
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_Escape);
    kqtest::Settle([] { return !LogLines("Abbruch.Action").empty(); });
    EXPECT_EQ(EventLog(), (Lines{"Fenster.KeyDown chr(27)", "Abbruch.Action"}));

    // Without the roles the keys stay with the field's window.
    pushButtonDefaultSetter(ok, 0, false);
    pushButtonCancelSetter(cancel, 0, false);
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_Return);
    kqtest::PressKey(GDK_KEY_Escape);
    kqtest::Settle([] { return !LogLines("Abbruch.Action").empty(); });
    EXPECT_EQ(LogLines("OK."), Lines{});
    EXPECT_EQ(LogLines("Abbruch."), Lines{});
    kqtest::CloseWindow(window);
}

TEST_F(ButtonControls, CaptionsShowTheirMnemonicAndLiteralCharacters) {
    RuntimeObject *button = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        button = kqtest::AddControl(w, Button("B", 10, 10));
        kqtest::SetText(pushButtonTitleSetter, button, "&Berechne");
    });
    GtkLabel *label = GTK_LABEL(LabelOf(button));
    EXPECT_STREQ(gtk_label_get_text(label), "Berechne");
    EXPECT_EQ(gtk_label_get_mnemonic_keyval(label), unsigned(GDK_KEY_b));
    kqtest::PressKey(GDK_KEY_b, {GDK_KEY_Alt_L});
    kqtest::Settle([] { return !LogLines("B.Action").empty(); });
    EXPECT_EQ(LogLines("B.Action"), Lines{"B.Action"}) << "Alt and the mnemonic push it";

    kqtest::SetText(pushButtonTitleSetter, button, "Soll && Haben_1");
    EXPECT_STREQ(gtk_label_get_text(label), "Soll & Haben_1");
    EXPECT_EQ(gtk_label_get_mnemonic_keyval(label), unsigned(GDK_KEY_VoidSymbol));
    kqtest::CloseWindow(window);
}

TEST_F(ButtonControls, RadioButtonsOfOneParentExcludeEachOther) {
    RuntimeObject *a = nullptr, *b = nullptr, *c = nullptr, *boxed = nullptr, *group = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        a = Radio("A", 10, 10);
        radioValueSetter(a, 0, true); // before its pane: applied, no Action
        kqtest::AddControl(w, a);
        b = kqtest::AddControl(w, Radio("B", 10, 40));
        c = kqtest::AddControl(w, Radio("C", 10, 70));
        group = kqtest::AddControl(
            w, kqtest::NewRuntimeControl(&GroupBoxDefinition, "Gruppe", 150, 10, 150, 100));
        boxed = Radio("D", 160, 40);
        ControlParentSetter(boxed, 0, group);
        kqtest::AddControl(w, boxed);
    });
    EXPECT_TRUE(radioValueGetter(a, 0));
    EXPECT_FALSE(radioValueGetter(boxed, 0)) << "a group of its own, with nothing chosen";

    kqtest::ClickWidget(kqtest::WidgetOf(b));
    kqtest::Settle([b] { return radioValueGetter(b, 0); });
    EXPECT_EQ(EventLog(), Lines{"B.Action"}) << "only the button that became active";
    EXPECT_FALSE(radioValueGetter(a, 0));
    EXPECT_TRUE(radioValueGetter(b, 0));

    EventLog().clear();
    kqtest::ClickWidget(kqtest::WidgetOf(boxed));
    kqtest::Settle([boxed] { return radioValueGetter(boxed, 0); });
    EXPECT_EQ(EventLog(), Lines{"D.Action"});
    EXPECT_TRUE(radioValueGetter(b, 0)) << "the group box's buttons are another group";

    EventLog().clear();
    radioValueSetter(b, 0, false);
    for (RuntimeObject *r : {a, b, c})
        EXPECT_FALSE(radioValueGetter(r, 0));
    EXPECT_EQ(EventLog(), Lines{}) << "the invisible member took the choice";
    radioValueSetter(a, 0, false);
    Ref<> receiver = NewReceiver();
    pbAddActionNotificationReceiver(a, receiver.get());
    pbAddActionNotificationReceiver(c, receiver.get());
    radioValueSetter(c, 0, true);
    EXPECT_EQ(EventLog(), (Lines{"PerformAction", "C.Action"}))
        << "told before Action, and only for the button that became active";
    EventLog().clear();
    pbRemoveActionNotificationReceiver(a, receiver.get());
    radioValueSetter(a, 0, true);
    EXPECT_EQ(EventLog(), Lines{"A.Action"});
    EXPECT_NE(kqtest::SaveScreenshot(kqtest::ToplevelOf(window), "controls-radio-groups"), "");
    kqtest::CloseWindow(window);
}

TEST_F(ButtonControls, CheckBoxReportsEveryChangeAsAction) {
    RuntimeObject *box = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        box = kqtest::NewRuntimeControl(&CheckBoxDefinition, "Haken", 10, 10, 120, 24, {"Action"});
        checkBoxValueSetter(box, 0, true);
        kqtest::AddControl(w, box);
    });
    EXPECT_TRUE(checkBoxValueGetter(box, 0));
    EXPECT_EQ(EventLog(), Lines{});
    kqtest::ClickWidget(kqtest::WidgetOf(box));
    kqtest::Settle([box] { return !checkBoxValueGetter(box, 0); });
    EXPECT_FALSE(checkBoxValueGetter(box, 0));
    checkBoxValueSetter(box, 0, true);
    checkBoxValueSetter(box, 0, true);
    EXPECT_EQ(EventLog(), (Lines{"Haken.Action", "Haken.Action"})) << "a click and one change";
    kqtest::CloseWindow(window);
}

TEST_F(ButtonControls, StaticTextAlignsWrapsAndColoursItsLabel) {
    RuntimeObject *text = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        text = kqtest::NewRuntimeControl(&StaticTextDefinition, "Hinweis", 10, 10, 200, 60);
        staticTextAlignSetter(text, 0, 2);
        StaticTextMultilineSetter(text, 0, true);
        staticTextColorSetter(text, 0, 0xFF8000);
        staticTextSizeSetter(text, 0, 12);
        kqtest::SetText(staticCaptionSetter, text, "Sie müssen mehr verkaufen");
        kqtest::AddControl(w, text);
    });
    GtkWidget *label = kqtest::WidgetOf(text);
    float x, y;
    gtk_misc_get_alignment(GTK_MISC(label), &x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 0.0f) << "multi-line text stands at the top";
    EXPECT_EQ(gtk_label_get_justify(GTK_LABEL(label)), GTK_JUSTIFY_RIGHT);
    EXPECT_TRUE(gtk_label_get_line_wrap(GTK_LABEL(label)));
    GtkStyle *style = gtk_widget_get_style(label);
    EXPECT_EQ(style->fg[GTK_STATE_NORMAL].red, 65535);
    EXPECT_EQ(style->fg[GTK_STATE_NORMAL].green, 32896);
    EXPECT_EQ(pango_font_description_get_size(style->font_desc), 10 * PANGO_SCALE);

    StaticTextMultilineSetter(text, 0, false);
    staticTextAlignSetter(text, 0, 7); // no such alignment: nothing changes
    gtk_misc_get_alignment(GTK_MISC(label), &x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 0.5f);
    kqtest::CloseWindow(window);
}

TEST_F(ButtonControls, LabelsAndGroupBoxesTakeTheClicksOnThem) {
    RuntimeObject *link = nullptr, *group = nullptr;
    RuntimeObject *window = Shown([&](RuntimeObject *w) {
        group = kqtest::AddControl(w, kqtest::NewRuntimeControl(&GroupBoxDefinition, "Rahmen", 10,
                                                                60, 200, 80, {"MouseDown"}));
        link = kqtest::AddControl(w, kqtest::NewRuntimeControl(&StaticTextDefinition, "Link", 10,
                                                               10, 150, 24, {"MouseDown"}));
        kqtest::SetText(staticCaptionSetter, link, "Kontakt zum Projekt");
    });
    int x, y;
    kqtest::RootPosition(kqtest::ToplevelOf(window), &x, &y, 0, 0);
    GtkAllocation content;
    gtk_widget_get_allocation(windows::NativeOf(window)->Content(), &content);
    x += content.x, y += content.y;
    kqtest::ClickAt(x + 30, y + 20);
    kqtest::Settle([] { return !LogLines("Link.").empty(); });
    kqtest::ClickAt(x + 110, y + 120);
    kqtest::Settle([] { return !LogLines("Rahmen.").empty(); });
    EXPECT_EQ(EventLog(), (Lines{"Link.MouseDown 20,10", "Rahmen.MouseDown 100,60"}))
        << "positions relative to the control";
    kqtest::CloseWindow(window);
}
