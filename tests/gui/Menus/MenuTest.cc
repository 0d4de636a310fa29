// Menus on the private display: shortcut texts, the item tree with its
// widgets and bounds, and a window with a real menu bar driven by XTEST
// keys and clicks: shortcuts and accelerators reach their handlers in the
// dispatch order, disabled items do not fire, the enabling pass runs
// before a menu opens, and the quit item quits through the quit sequence.
#include "Application.h"
#include "GuiTest.h"
#include "MainLoop.h"
#include "MenuDispatch.h"
#include "MenuItem.h"
#include "MenuShortcuts.h"
#include "Picture.h"
#include "RuntimeException.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"
#include "WindowTestSupport.h"
#include "XMenuGTK.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>

#include <map>

using kqtest::EventLog;
using kqtest::LogLines;
using Lines = std::vector<std::string>;

namespace {

// ---------------------------------------------------------------------------
// Shortcut texts.

TEST(MenuShortcuts, TextsBecomeKeyAndModifierMask) {
    struct Case {
        const char *text, *key;
        uint32_t mask, keysym;
    };
    const Case cases[] = {
        {"Ctrl+Q", "Q", 4, 0},
        {"Q", "Q", 4, 0}, // one character: Control with it
        {"Shift F5", "F5", 1, 0xFFC2},
        {"Ctrl+Shift+Delete", "Del", 5, 0xFFFF},
        {"command-option-x", "x", 12, 0},
        {"Alt+PgDn", "Page Down", 8, 0xFF56},
        {"Cmd+LeftArrow", "Left Arrow", 4, 0xFF51},
        {"Ctrl+Return", "Enter", 4, 0xFF0D},
        {"Ctrl+-", "-", 4, 0},
        {"Shft+F35", "F35", 1, 0xFFBD + 35},
        {"Control+F36", "F36", 4, 0}, // no such function key: a table entry
    };
    for (const Case &c : cases) {
        shortcuts::Shortcut s = shortcuts::Parse(c.text);
        EXPECT_EQ(s.key, c.key) << c.text;
        EXPECT_EQ(s.mask, c.mask) << c.text;
        EXPECT_EQ(s.keysym, c.keysym) << c.text;
    }
    EXPECT_TRUE(shortcuts::Parse("").key.empty());
    EXPECT_EQ(shortcuts::MaskOfModifierWord(0x1000 | 0x200 | 0x800), 13u);
    EXPECT_TRUE(shortcuts::SameKey("q", "Q"));
    EXPECT_FALSE(shortcuts::SameKey("q", "Q Arrow"));
}

// ---------------------------------------------------------------------------
// Items and their tree.

std::string NameOf(RuntimeObject *item) {
    return kstr::Text(menus::AsItem(item)->mName);
}

RuntimeObject *NewItem(ObjectDefinition &defn, const char *name, const char *text,
                       const char *shortcut = nullptr) {
    RuntimeObject *item = definitions::Instantiate(&defn);
    kstr::StringRef n(kstr::FromC(name)), t(kstr::FromC(text));
    RuntimeMenuItemNameSetter(item, 0, n.Get());
    RuntimeMenuItemTextSetter(item, 0, t.Get());
    if (shortcut != nullptr) {
        kstr::StringRef s(kstr::FromC(shortcut));
        RuntimeMenuItemCommandKeySetter(item, 0, s.Get());
    }
    return item;
}

// Appends a new item and hands the parent the only reference.
RuntimeObject *Add(RuntimeObject *parent, RuntimeObject *child) {
    RuntimeMenuItemAppend(parent, child);
    RuntimeUnlockObject(child);
    return child;
}

// The item names of the children, and the kinds of the widgets in the
// submenu, in order ("item" or "separator").
std::string Children(RuntimeObject *item) {
    std::string names;
    for (int32_t i = 0; i < RuntimeMenuItemCount(item); ++i) {
        Ref<> child = Ref<>::Adopt(RuntimeMenuItemItem(item, i));
        names += (i ? " " : "") + NameOf(child.get());
    }
    return names;
}

std::string Widgets(RuntimeObject *item) {
    GtkWidget *submenu = static_cast<XMenuGTK *>(menus::RecordOf(item))->Submenu();
    std::string kinds;
    if (submenu == nullptr) return kinds;
    GList *list = gtk_container_get_children(GTK_CONTAINER(submenu));
    for (GList *l = list; l != nullptr; l = l->next)
        kinds += std::string(kinds.empty() ? "" : " ") +
                 (GTK_IS_SEPARATOR_MENU_ITEM(l->data) ? "separator" : "item");
    g_list_free(list);
    return kinds;
}

using MenuTree = kqtest::WindowTest;

TEST_F(MenuTree, ChildrenByIndexAndNameKeepTheirWidgetsInOrder) {
    Ref<> menu = Ref<>::Adopt(NewItem(MenuItemDefinition, "Datei", "&Datei"));
    Add(menu.get(), NewItem(MenuItemDefinition, "Neu", "Neu"));
    Add(menu.get(), NewItem(MenuItemDefinition, "Trenner", "-"));
    RuntimeObject *open = Add(menu.get(), NewItem(MenuItemDefinition, "Oeffnen", "Öffnen"));
    RuntimeMenuItemInsert(menu.get(), 0, NewItem(MenuItemDefinition, "Erster", "Erster"));
    RuntimeUnlockObject(RuntimeMenuItemItem(menu.get(), 0)); // the new reference of Item
    EXPECT_EQ(Children(menu.get()), "Erster Neu Trenner Oeffnen");
    EXPECT_EQ(Widgets(menu.get()), "item item separator item");

    // Names compare without regard to case; _Lookup searches the subtree
    // and its second form also compares the Index.
    Ref<> sub = Ref<>::Adopt(NewItem(MenuItemDefinition, "Zuletzt", "Zuletzt"));
    RuntimeObject *deep = Add(sub.get(), NewItem(MenuItemDefinition, "Liste", "Liste"));
    RuntimeMenuItemIndexSetter(deep, 0, 2);
    RuntimeMenuItemAppend(open, sub.get());
    kstr::StringRef neu(kstr::FromC("NEU")), liste(kstr::FromC("liste"));
    Ref<> found = Ref<>::Adopt(RuntimeMenuItemChild(menu.get(), neu.Get()));
    EXPECT_EQ(found.get() != nullptr ? NameOf(found.get()) : "none", "Neu");
    EXPECT_EQ(RuntimeMenuItemChild(menu.get(), liste.Get()), nullptr);
    Ref<> looked = Ref<>::Adopt(RuntimeMenuItemLookup(menu.get(), liste.Get()));
    EXPECT_EQ(looked.get(), deep);
    EXPECT_EQ(RuntimeMenuItemLookupArray(menu.get(), liste.Get(), 1), nullptr);
    Ref<> indexed = Ref<>::Adopt(RuntimeMenuItemLookupArray(menu.get(), liste.Get(), 2));
    EXPECT_EQ(indexed.get(), deep);

    // The three forms of Remove; a removed item lives on with its own
    // references and its widget leaves the menu.
    RuntimeMenuItemRemoveIndex(menu.get(), 0);
    RuntimeMenuItemRemoveByName(menu.get(), neu.Get());
    Ref<> trenner = Ref<>::Adopt(RuntimeMenuItemItem(menu.get(), 0));
    RuntimeMenuItemRemoveItem(menu.get(), trenner.get());
    EXPECT_EQ(Children(menu.get()), "Oeffnen");
    EXPECT_EQ(Widgets(menu.get()), "item");
    EXPECT_EQ(NameOf(trenner.get()), "Trenner");

    // An item appended elsewhere leaves its old parent.
    RuntimeMenuItemAppend(sub.get(), trenner.get());
    EXPECT_EQ(Children(sub.get()), "Liste Trenner");
    RuntimeCloseMenuItem(trenner.get());
    EXPECT_EQ(Children(sub.get()), "Liste");
}

TEST_F(MenuTree, BadIndexesAndMissingItemsRaise) {
    Ref<> menu = Ref<>::Adopt(NewItem(MenuItemDefinition, "Menu", "Menu"));
    RuntimeObject *child = Add(menu.get(), NewItem(MenuItemDefinition, "Kind", "Kind"));
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemItem(menu.get(), -1); })),
              "OutOfBoundsException");
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemItem(menu.get(), 1); })),
              "OutOfBoundsException");
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemRemoveIndex(menu.get(), 1); })),
              "OutOfBoundsException");
    Ref<> extra = Ref<>::Adopt(NewItem(MenuItemDefinition, "Mehr", "Mehr"));
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemInsert(menu.get(), 2, extra.get()); })),
              "OutOfBoundsException");
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemAppend(menu.get(), nullptr); })),
              "NilObjectException");
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemCount(nullptr); })), "NilObjectException");
    // An item cannot go inside itself or its own child.
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemAppend(child, menu.get()); })),
              "RuntimeException");
    EXPECT_EQ(kqtest::CaughtClass(([&] { RuntimeMenuItemInsert(menu.get(), 1, extra.get()); })),
              "");
    EXPECT_EQ(Children(menu.get()), "Kind Mehr");
}

TEST_F(MenuTree, SeparatorTextSwapsTheWidgetInPlace) {
    Ref<> menu = Ref<>::Adopt(NewItem(MenuItemDefinition, "Menu", "Menu"));
    Add(menu.get(), NewItem(MenuItemDefinition, "A", "A"));
    RuntimeObject *b = Add(menu.get(), NewItem(MenuItemDefinition, "B", "B"));
    Add(menu.get(), NewItem(MenuItemDefinition, "C", "C"));
    kstr::StringRef dash(kstr::FromC("-")), text(kstr::FromC("Sa&ve_as"));
    RuntimeMenuItemTextSetter(b, 0, dash.Get());
    EXPECT_EQ(Widgets(menu.get()), "item separator item");
    RuntimeMenuItemTextSetter(b, 0, text.Get());
    EXPECT_EQ(Widgets(menu.get()), "item item item");
    // The mnemonic marker becomes GTK+'s, a literal underscore stays.
    GtkWidget *widget = static_cast<XMenuGTK *>(menus::RecordOf(b))->ItemWidget();
    GtkLabel *label = GTK_LABEL(gtk_bin_get_child(GTK_BIN(widget)));
    EXPECT_STREQ(gtk_label_get_text(label), "Save_as");
    EXPECT_EQ(gtk_label_get_mnemonic_keyval(label), unsigned(GDK_KEY_v));
    RuntimeMenuItemEnabledSetter(b, 0, false);
    EXPECT_FALSE(gtk_widget_get_sensitive(widget));
}

// What the item's label shows as its shortcut, and what GTK+ shows for an
// accelerator of that key.
std::string ShownShortcut(RuntimeObject *item) {
    GtkWidget *widget = static_cast<XMenuGTK *>(menus::RecordOf(item))->ItemWidget();
    GtkAccelLabel *label = GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(widget)));
    gtk_accel_label_refetch(label);
    return label->accel_string != nullptr ? label->accel_string : "";
}

std::string AcceleratorLabel(guint key, GdkModifierType mods) {
    gchar *text = gtk_accelerator_get_label(key, mods);
    std::string shown = std::string("   ") + text;
    g_free(text);
    return shown;
}

GtkImage *IconOf(RuntimeObject *item) {
    GtkWidget *widget = static_cast<XMenuGTK *>(menus::RecordOf(item))->ItemWidget();
    GtkWidget *image = gtk_image_menu_item_get_image(GTK_IMAGE_MENU_ITEM(widget));
    return image != nullptr ? GTK_IMAGE(image) : nullptr;
}

TEST_F(MenuTree, ShortcutsShowInTheLabelAndIconsStandInFront) {
    Ref<> menu = Ref<>::Adopt(NewItem(MenuItemDefinition, "Datei", "&Datei"));
    RuntimeObject *copy =
        Add(menu.get(), NewItem(MenuItemDefinition, "Kopieren", "Kopieren", "Ctrl+K"));
    EXPECT_EQ(ShownShortcut(copy), AcceleratorLabel(GDK_KEY_k, GDK_CONTROL_MASK))
        << "a shortcut of the runtime table is shown as well";
    auto setShortcut = [copy](const char *text) {
        kstr::StringRef s(kstr::FromC(text));
        RuntimeMenuItemCommandKeySetter(copy, 0, s.Get());
    };
    setShortcut("Shift F5");
    EXPECT_EQ(ShownShortcut(copy), AcceleratorLabel(GDK_KEY_F5, GDK_SHIFT_MASK));
    setShortcut("Ctrl+Shift+K");
    EXPECT_EQ(ShownShortcut(copy),
              AcceleratorLabel(GDK_KEY_k, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK)));
    // A widget made anew (separator and back) shows it again.
    kstr::StringRef dash(kstr::FromC("-")), text(kstr::FromC("Kopieren"));
    RuntimeMenuItemTextSetter(copy, 0, dash.Get());
    RuntimeMenuItemTextSetter(copy, 0, text.Get());
    EXPECT_EQ(ShownShortcut(copy),
              AcceleratorLabel(GDK_KEY_k, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK)));
    setShortcut("");
    EXPECT_EQ(ShownShortcut(copy), "");

    EXPECT_EQ(IconOf(copy), nullptr);
    Ref<> small = Ref<>::Adopt(definitions::Instantiate(&PictureDefinition));
    PictureConstructor(small.get(), 6, 3, 32);
    RuntimeMenuItemEnabledIconSetter(copy, 0, small.get());
    ASSERT_NE(IconOf(copy), nullptr);
    GdkPixbuf *shown = gtk_image_get_pixbuf(IconOf(copy));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(shown), 6);
    EXPECT_EQ(gdk_pixbuf_get_height(shown), 3);
    // A picture larger than a menu icon is scaled down, keeping its shape.
    Ref<> large = Ref<>::Adopt(definitions::Instantiate(&PictureDefinition));
    PictureConstructor(large.get(), 64, 32, 32);
    RuntimeMenuItemEnabledIconSetter(copy, 0, large.get());
    int width = 0, height = 0;
    gtk_icon_size_lookup(GTK_ICON_SIZE_MENU, &width, &height);
    shown = gtk_image_get_pixbuf(IconOf(copy));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(shown), width);
    EXPECT_EQ(gdk_pixbuf_get_height(shown), width / 2);
    RuntimeMenuItemEnabledIconSetter(copy, 0, nullptr);
    EXPECT_EQ(IconOf(copy), nullptr);
}

// ---------------------------------------------------------------------------
// A window with a menu bar, the application's handlers and real input.

bool HandlerLog(const std::string &who, RuntimeObject *target, int32_t index) {
    (void)target;
    std::string line = who + " " + std::to_string(index);
    kqtest::Log(line);
    return kqtest::Answered(who);
}

#define KQ_MENU_HANDLER(Name, who)                                                                 \
    bool Name(RuntimeObject *target, int32_t index) {                                              \
        return HandlerLog(who, target, index);                                                     \
    }
KQ_MENU_HANDLER(WindowCopy, "Window.EditCopy")
KQ_MENU_HANDLER(AppCopy, "App.EditCopy")
KQ_MENU_HANDLER(AppPaste, "App.EditPaste")
KQ_MENU_HANDLER(AppFenster16, "App.Fenster16")
KQ_MENU_HANDLER(FieldCopy, "Feld.EditCopy")
KQ_MENU_HANDLER(FieldUndo, "Feld.EditUndo")

// The menu operations of the test control: its own command and its part
// of the enabling pass, logged.
bool FieldCommand(RuntimeObject *, KESTstring *name) {
    kqtest::Log(std::string("command ") + kstr::Text(name));
    return false;
}
void FieldEnable(RuntimeObject *, Menu *) {
    kqtest::Log("enable items");
}
const menus::ControlMenuOperations kFieldOperations = {FieldCommand, FieldEnable};

void OnEnableMenu(RuntimeObject *item) {
    kqtest::Log("EnableMenu " + NameOf(item));
}
void OnWindowEnableMenuItems(RuntimeObject *) {
    kqtest::Log("Window.EnableMenuItems");
}
void OnAppEnableMenuItems(RuntimeObject *) {
    kqtest::Log("App.EnableMenuItems");
}
bool OnAppCancelClose(RuntimeObject *) {
    kqtest::Log("App.CancelClose");
    return false;
}
void EnablePaste(RuntimeObject *item) {
    RuntimeEnableMenu(item);
}

class MenuWindow : public kqtest::WindowTest {
  protected:
    void SetUp() override {
        kqtest::WindowTest::SetUp();
        Ref<> app = Ref<>::Adopt(definitions::Instantiate(&ApplicationDefinition));
        application::SetCurrent(app.get());
        kqtest::Handle(app.get(), "EnableMenuItems", KQ_CODE(OnAppEnableMenuItems));
        kqtest::Handle(app.get(), "CancelClose", KQ_CODE(OnAppCancelClose));
        AddHandler(app.get(), "EditCopy", KQ_CODE(AppCopy), true);
        AddHandler(app.get(), "EditPaste", KQ_CODE(AppPaste), true);
        AddHandler(app.get(), "Fenster16", KQ_CODE(AppFenster16), true);

        mBar = Ref<>::Adopt(NewItem(MenuBarDefinition, "Leiste", ""));
        RuntimeObject *datei = Add(mBar.get(), NewItem(MenuItemDefinition, "DateiMenu", "&Datei"));
        mQuit = Add(datei, NewItem(QuitMenuItemDefinition, "FileQuit", "Beenden", "Ctrl+Q"));
        mEdit = Add(mBar.get(), NewItem(MenuItemDefinition, "EditMenu", "&Bearbeiten"));
        mCopy = Add(mEdit, NewItem(MenuItemDefinition, "EditCopy", "Kopieren", "Ctrl+C"));
        Add(mEdit, NewItem(MenuItemDefinition, "Untitled", "-"));
        mPaste = Add(mEdit, NewItem(MenuItemDefinition, "EditPaste", "Einfügen", "Ctrl+V"));
        mUndo = Add(mEdit, NewItem(MenuItemDefinition, "EditUndo", "Undo", "Z"));
        RuntimeObject *fenster = Add(mBar.get(), NewItem(MenuItemDefinition, "Fenster", "Fenster"));
        Add(fenster, NewItem(MenuItemDefinition, "Fenster16", "16%", "Shift F5"));
        RuntimeMenuItemAutoEnableSetter(mPaste, 0, false);
        for (RuntimeObject *item : {mCopy, mPaste, mUndo})
            kqtest::Handle(item, "EnableMenu", KQ_CODE(OnEnableMenu));

        static RuntimeClass *cls =
            kqtest::ImageWindowClass("MenuFenster", {WindowEvent::Close, WindowEvent::CancelClose});
        mWindow = kqtest::NewWindow(cls, [this](RuntimeObject *window) {
            mField = kqtest::AddControl(
                window, kqtest::NewControl("Feld", kqtest::TestPaneKind::Entry, 10, 10, 120, 24));
        });
        kqtest::Handle(mWindow, "EnableMenuItems", KQ_CODE(OnWindowEnableMenuItems));
        AddHandler(mWindow, "EditCopy", KQ_CODE(WindowCopy), false);
        WindowMenuBarSetter(mWindow, 0, mBar.get());
        RuntimeShowWindow(mWindow);
        ASSERT_TRUE(kqtest::WaitForWindow(kqtest::ToplevelOf(mWindow)));
        ASSERT_TRUE(kqtest::Activate(mWindow));
        EventLog().clear();
    }

    void TearDown() override {
        RuntimeCloseWindow(mWindow);
        RuntimeUnlockObject(mWindow);
        application::SetCurrent(nullptr);
        mainloop::SetQuitRequested(false);
        kqtest::Settle();
    }

    static void AddHandler(RuntimeObject *target, const char *name, void *code, bool app) {
        kstr::StringRef n(kstr::FromC(name));
        app ? ApplicationAddMenuHandler(target, n.Get(), code)
            : WindowAddMenuHandler(target, n.Get(), code);
    }

    static GtkWidget *WidgetOf(RuntimeObject *item) {
        return static_cast<XMenuGTK *>(menus::RecordOf(item))->ItemWidget();
    }

    Ref<> mBar;
    RuntimeObject *mWindow = nullptr;
    RuntimeObject *mField = nullptr;
    RuntimeObject *mQuit = nullptr, *mEdit = nullptr, *mCopy = nullptr, *mPaste = nullptr,
                  *mUndo = nullptr;
};

TEST_F(MenuWindow, BarStandsInTheWindowsMenuBox) {
    GtkWidget *bar = static_cast<XMenuGTK *>(menus::RecordOf(mBar.get()))->BarWidget();
    EXPECT_EQ(gtk_widget_get_parent(bar), windows::NativeOf(mWindow)->MenuBox());
    EXPECT_TRUE(gtk_widget_get_mapped(bar));
    Ref<> got = Ref<>::Adopt(WindowMenuBarGetter(mWindow, 0));
    EXPECT_EQ(got.get(), mBar.get());
    kstr::StringRef quit(kstr::FromC("filequit"));
    Ref<> item = Ref<>::Adopt(RuntimeMenuReference(mWindow, quit.Get()));
    EXPECT_EQ(item.get(), mQuit);
    kqtest::SaveScreenshot(kqtest::ToplevelOf(mWindow), "menu-window");
}

TEST_F(MenuWindow, ShortcutGoesToWindowThenApplicationUntilOneAnswersTrue) {
    RuntimeMenuItemIndexSetter(mCopy, 0, 3);
    kqtest::Answer("Window.EditCopy", true);
    kqtest::PressKey(GDK_KEY_c, {GDK_KEY_Control_L});
    EXPECT_EQ(LogLines("Window.EditCopy"), Lines{"Window.EditCopy 3"});
    EXPECT_TRUE(LogLines("App.EditCopy").empty());

    EventLog().clear();
    kqtest::Answer("Window.EditCopy", false);
    kqtest::Answer("App.EditCopy", true);
    kqtest::PressKey(GDK_KEY_c, {GDK_KEY_Control_L});
    Lines handlers;
    for (const std::string &line : EventLog())
        if (line.find(".EditCopy") != std::string::npos) handlers.push_back(line);
    EXPECT_EQ(handlers, (Lines{"Window.EditCopy 3", "App.EditCopy 3"}));
    // Handled: the enabling pass ran afterwards, ending with the application.
    ASSERT_FALSE(EventLog().empty());
    EXPECT_EQ(EventLog().back(), "App.EnableMenuItems");
}

TEST_F(MenuWindow, FocusedControlComesFirstWithItsHandlersAndItsOwnCommand) {
    kstr::StringRef copy(kstr::FromC("EditCopy")), undo(kstr::FromC("EditUndo"));
    ControlAddMenuHandler(mField, copy.Get(), KQ_CODE(FieldCopy));
    ControlAddMenuHandler(mField, undo.Get(), KQ_CODE(FieldUndo));
    menus::SetControlMenuOperations(&RectControlDefinition, &kFieldOperations);
    kqtest::ClickWidget(kqtest::WidgetOf(mField));
    ASSERT_TRUE(kqtest::WaitUntil(
        [this] { return windows::AsWindow(mWindow)->mFocusControl == mField; }, 5000));
    EventLog().clear();
    kqtest::PressKey(GDK_KEY_c, {GDK_KEY_Control_L});
    menus::SetControlMenuOperations(&RectControlDefinition, nullptr);
    Lines order;
    for (const std::string &line : EventLog())
        if (line.find(".EditCopy") != std::string::npos || line.rfind("command", 0) == 0 ||
            line == "enable items")
            order.push_back(line);
    EXPECT_EQ(order, (Lines{"enable items", "Feld.EditCopy 0", "command EditCopy",
                            "Window.EditCopy 0", "App.EditCopy 0"}));
    // An item named in the focused control's handlers is enabled by the pass.
    EXPECT_TRUE(RuntimeMenuItemEnabledGetter(mUndo, 0));
}

TEST_F(MenuWindow, DisabledItemsDoNotFireUntilEnableMenuEnablesThem) {
    // EditPaste takes no part in automatic enabling; EditUndo has no
    // handler anywhere: the pass before the shortcut disables both.
    kqtest::PressKey(GDK_KEY_v, {GDK_KEY_Control_L});
    kqtest::PressKey(GDK_KEY_z, {GDK_KEY_Control_L});
    EXPECT_TRUE(LogLines("App.EditPaste").empty());
    EXPECT_FALSE(LogLines("EnableMenu EditPaste").empty());
    EXPECT_FALSE(RuntimeMenuItemEnabledGetter(mPaste, 0));
    EXPECT_FALSE(RuntimeMenuItemEnabledGetter(mUndo, 0));
    EXPECT_TRUE(RuntimeMenuItemEnabledGetter(mQuit, 0)); // its class handles Action

    kqtest::Handle(mPaste, "EnableMenu", KQ_CODE(EnablePaste));
    kqtest::PressKey(GDK_KEY_v, {GDK_KEY_Control_L});
    EXPECT_EQ(LogLines("App.EditPaste"), Lines{"App.EditPaste 0"});
}

TEST_F(MenuWindow, EnablingPassRunsBeforeTheMenuOpensAndAClickChoosesAnItem) {
    kqtest::ClickWidget(WidgetOf(mEdit));
    GtkWidget *submenu = static_cast<XMenuGTK *>(menus::RecordOf(mEdit))->Submenu();
    ASSERT_TRUE(kqtest::WaitUntil([&] { return gtk_widget_get_mapped(submenu); }, 5000));
    Lines order;
    for (const std::string &line : EventLog())
        if (line.find("EnableMenu") != std::string::npos) order.push_back(line);
    ASSERT_GE(order.size(), 5u);
    EXPECT_EQ(Lines(order.begin(), order.begin() + 5),
              (Lines{"EnableMenu EditCopy", "EnableMenu EditPaste", "EnableMenu EditUndo",
                     "Window.EnableMenuItems", "App.EnableMenuItems"}));
    EXPECT_TRUE(gtk_widget_get_sensitive(WidgetOf(mCopy)));
    EXPECT_FALSE(gtk_widget_get_sensitive(WidgetOf(mPaste)));
    EXPECT_FALSE(gtk_widget_get_sensitive(WidgetOf(mUndo)));
    kqtest::Settle();
    kqtest::SaveScreenshot(nullptr, "menu-open");

    EventLog().clear();
    kqtest::ClickWidget(WidgetOf(mCopy));
    kqtest::Settle([] { return !LogLines("App.EditCopy").empty(); });
    EXPECT_EQ(LogLines("Window.EditCopy"), Lines{"Window.EditCopy 0"});
    EXPECT_EQ(LogLines("App.EditCopy"), Lines{"App.EditCopy 0"});
}

TEST_F(MenuWindow, AcceleratorOfANamedKeyChoosesTheItem) {
    kqtest::PressKey(GDK_KEY_F5, {GDK_KEY_Shift_L});
    kqtest::Settle([] { return !LogLines("App.Fenster16").empty(); });
    EXPECT_EQ(LogLines("App.Fenster16"), Lines{"App.Fenster16 0"});
}

TEST_F(MenuWindow, ItemNobodyHandlesIsIgnoredWithoutEnablingPass) {
    EXPECT_FALSE(menus::Dispatch(mUndo, windows::AsWindow(mWindow)));
    EXPECT_TRUE(EventLog().empty());
}

void NoteEscaped(RuntimeObject *exc) {
    kqtest::Log("escaped " + std::string(kstr::Text(exc->classPtr->name)));
}

TEST_F(MenuWindow, QuitItemQuitsThroughTheQuitSequence) {
    exceptions::SetUnhandledExceptionHook(NoteEscaped);
    kqtest::PressKey(GDK_KEY_q, {GDK_KEY_Control_L});
    kqtest::FailOnUnhandledExceptions();
    EXPECT_TRUE(mainloop::QuitRequested());
    EXPECT_EQ(windows::NativeOf(mWindow), nullptr);
    Lines quit;
    for (const std::string &line : EventLog())
        if (line.find("Close") != std::string::npos || line.rfind("escaped", 0) == 0)
            quit.push_back(line);
    EXPECT_EQ(quit, (Lines{"App.CancelClose", "MenuFenster.CancelClose quitting",
                           "MenuFenster.Close", "escaped EndException"}));
}

} // namespace
