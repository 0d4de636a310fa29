// XMenuGTK: the menu record on GTK+. A bar record owns a GTK+ menu bar; any
// other record owns an image menu item, or a separator item while its text
// is "-", and, once it has children, a GTK+ menu attached as its submenu.
// Child widgets are placed in the parent's bar or submenu at the child's
// position. Shortcuts with an X key symbol become accelerators of the
// item's widget in the process's accelerator group; the others go to the
// runtime shortcut table, and their text is shown in the item's label
// through a closure of an accelerator group that no window carries (so it
// shows, but never fires). A checked item is marked by its own expose
// handler; the icon stands in front of the text. It knows nothing of the
// class model: the menu layer installs the handlers for a chosen item and
// for a menu that is about to open, and the source of the icons' pixbufs.
#pragma once

#include "Menu.h"

#include <gtk/gtk.h>

class XMenuGTK : public Menu {
  public:
    XMenuGTK(RuntimeObject *item, bool bar);
    ~XMenuGTK() override;

    bool IsBar() const override { return mBar != nullptr; }

    // The bar's widget (bar records) and the item's widget (others).
    GtkWidget *BarWidget() const { return mBar; }
    GtkWidget *ItemWidget() const { return mWidget; }
    GtkWidget *Submenu() const { return mSubmenu; }

    // Puts the bar into a window's menu box, taking it out of the box it
    // stood in before, and lets the window's key presses reach the
    // accelerators. TakeDownFrom removes it again when it stands in `box`.
    void InstallIn(GtkWidget *menuBox);
    void TakeDownFrom(GtkWidget *menuBox);
    // The top-level window the bar stands in, or null.
    GtkWidget *InstalledToplevel() const;

    static GtkAccelGroup *AccelGroup();

    // What happens when the user chooses an item (its widget's "activate"),
    // and when a menu of a bar is about to open (the bar record).
    using RecordHandler = void (*)(Menu *record);
    static void SetChosenHandler(RecordHandler handler);
    static void SetOpeningHandler(RecordHandler handler);
    // The pixbuf of an icon picture: a new reference, or null.
    using IconSource = GdkPixbuf *(*)(RuntimeObject *picture);
    static void SetIconSource(IconSource source);

  protected:
    void TextChanged() override;
    void EnabledChanged() override;
    void CheckedChanged() override;
    void VisibleChanged() override;
    void ShortcutChanged() override;
    void IconChanged() override;
    void ChildInserted(uint32_t index, Menu *child) override;
    void ChildRemoved(Menu *child) override;

  private:
    friend struct XMenuSignals;

    void MakeItemWidget();
    void DestroyItemWidget();
    void ApplyLabel();
    void ApplyAccelerator();
    // Shows a shortcut of the runtime table in the label (keyval 0: none).
    void ShowShortcutText(guint keyval, GdkModifierType mods);
    GtkWidget *ChildShell();

    GtkWidget *mBar = nullptr;
    GtkWidget *mWidget = nullptr;
    GtkWidget *mSubmenu = nullptr;
    bool mWidgetIsSeparator = false;
    guint mAccelKey = 0;
    GdkModifierType mAccelMods = GdkModifierType(0);
    GClosure *mShownShortcut = nullptr; // one reference of ours
};
