// The menu record on GTK+ (see XMenuGTK.h).
#include "XMenuGTK.h"

#include "GTKHelper.h"
#include "MenuShortcuts.h"

#include <gdk/gdkkeysyms.h>

#include <algorithm>

namespace {

XMenuGTK::RecordHandler gChosenHandler = nullptr;
XMenuGTK::RecordHandler gOpeningHandler = nullptr;
XMenuGTK::IconSource gIconSource = nullptr;

// The group of the closures that only show shortcut texts.
GtkAccelGroup *DisplayGroup() {
    static GtkAccelGroup *group = gtk_accel_group_new();
    return group;
}

gboolean ShowOnly(GtkAccelGroup *, GObject *, guint, GdkModifierType) {
    return FALSE;
}

// Marks a window that already has the accelerator group.
const char kAccelsAdded[] = "kq-menu-accels";
// Size of the check mark and its distance from the item's left edge.
constexpr int kCheckSize = 12;
constexpr int kCheckInset = 4;

} // namespace

struct XMenuSignals {
    static void Activate(GtkMenuItem *, gpointer data) {
        if (gChosenHandler != nullptr) gChosenHandler(static_cast<XMenuGTK *>(data));
    }

    static void Select(GtkItem *, gpointer data) {
        Menu *parent = static_cast<XMenuGTK *>(data)->GetParent();
        if (parent != nullptr && parent->IsBar() && gOpeningHandler != nullptr)
            gOpeningHandler(parent);
    }

    static gboolean Expose(GtkWidget *widget, GdkEventExpose *event, gpointer data) {
        auto *self = static_cast<XMenuGTK *>(data);
        if (!self->IsChecked() || self->mWidgetIsSeparator) return FALSE;
        GtkAllocation a;
        gtk_widget_get_allocation(widget, &a);
        GtkStyle *style = gtk_widget_get_style(widget);
        gtk_paint_check(style, gtk_widget_get_window(widget), gtk_widget_get_state(widget),
                        GTK_SHADOW_IN, &event->area, widget, "check", a.x + kCheckInset,
                        a.y + (a.height - kCheckSize) / 2, kCheckSize, kCheckSize);
        return FALSE;
    }
};

GtkAccelGroup *XMenuGTK::AccelGroup() {
    static GtkAccelGroup *group = gtk_accel_group_new();
    return group;
}

void XMenuGTK::SetChosenHandler(RecordHandler handler) {
    gChosenHandler = handler;
}

void XMenuGTK::SetOpeningHandler(RecordHandler handler) {
    gOpeningHandler = handler;
}

void XMenuGTK::SetIconSource(IconSource source) {
    gIconSource = source;
}

XMenuGTK::XMenuGTK(RuntimeObject *item, bool bar) : Menu(item) {
    if (bar) {
        mBar = gtk_menu_bar_new();
        g_object_ref_sink(mBar);
        gtk_widget_show(mBar);
    } else {
        MakeItemWidget();
    }
}

XMenuGTK::~XMenuGTK() {
    // The children leave while this record still is an XMenuGTK, so that
    // their widgets leave the shell.
    while (Count() != 0)
        RemoveChild(ChildAt(Count() - 1));
    shortcuts::Remove(this);
    if (mBar != nullptr) {
        gtk_widget_destroy(mBar);
        g_object_unref(mBar);
    }
    DestroyItemWidget();
}

void XMenuGTK::MakeItemWidget() {
    mWidgetIsSeparator = IsSeparator();
    mWidget =
        mWidgetIsSeparator ? gtk_separator_menu_item_new() : gtk_image_menu_item_new_with_label("");
    g_object_ref_sink(mWidget);
    g_signal_connect(mWidget, "activate", G_CALLBACK(XMenuSignals::Activate), this);
    g_signal_connect(mWidget, "select", G_CALLBACK(XMenuSignals::Select), this);
    g_signal_connect_after(mWidget, "expose-event", G_CALLBACK(XMenuSignals::Expose), this);
    if (mSubmenu != nullptr) gtk_menu_item_set_submenu(GTK_MENU_ITEM(mWidget), mSubmenu);
    ApplyLabel();
    gtk_widget_set_sensitive(mWidget, IsEnabled());
    gtk_widget_set_visible(mWidget, IsVisible());
    mAccelKey = 0;
    ApplyAccelerator();
    IconChanged();
}

void XMenuGTK::DestroyItemWidget() {
    ShowShortcutText(0, GdkModifierType(0));
    if (mWidget == nullptr) return;
    // The submenu (this record's own) outlives a widget being replaced.
    if (mSubmenu != nullptr) gtk_menu_item_set_submenu(GTK_MENU_ITEM(mWidget), nullptr);
    gtk_widget_destroy(mWidget);
    g_object_unref(mWidget);
    mWidget = nullptr;
}

void XMenuGTK::ApplyLabel() {
    if (mWidget == nullptr || mWidgetIsSeparator) return;
    GtkWidget *label = gtk_bin_get_child(GTK_BIN(mWidget));
    gtkhelper::SetCaption(label, Text(), nullptr);
}

void XMenuGTK::ApplyAccelerator() {
    if (mWidget == nullptr) return;
    if (mAccelKey != 0) gtk_widget_remove_accelerator(mWidget, AccelGroup(), mAccelKey, mAccelMods);
    mAccelKey = 0;
    shortcuts::Remove(this);
    kstr::StringRef utf8(kstr::ToUTF8(Shortcut()));
    shortcuts::Shortcut s = shortcuts::Parse(kstr::Text(utf8.Get()));
    guint shown = 0;
    if (s.keysym == 0 && !s.key.empty()) {
        shortcuts::Set(this, s.key, s.mask);
        gunichar c = g_utf8_get_char_validated(s.key.c_str(), -1);
        bool single = c != gunichar(-1) && c != gunichar(-2) &&
                      g_utf8_next_char(s.key.c_str()) == s.key.c_str() + s.key.size();
        shown = gdk_keyval_to_lower(single ? gdk_unicode_to_keyval(c)
                                           : gdk_keyval_from_name(s.key.c_str()));
    }
    // Adding the widget's own accelerator below points the label at it.
    ShowShortcutText(shown, GdkModifierType(s.mask));
    if (s.keysym != 0) {
        mAccelKey = s.keysym;
        mAccelMods = GdkModifierType(s.mask);
        gtk_widget_add_accelerator(mWidget, "activate", AccelGroup(), mAccelKey, mAccelMods,
                                   GTK_ACCEL_VISIBLE);
    }
}

void XMenuGTK::ShowShortcutText(guint keyval, GdkModifierType mods) {
    GtkWidget *label =
        mWidget != nullptr && !mWidgetIsSeparator ? gtk_bin_get_child(GTK_BIN(mWidget)) : nullptr;
    if (mShownShortcut != nullptr) {
        if (label != nullptr && GTK_IS_ACCEL_LABEL(label))
            gtk_accel_label_set_accel_closure(GTK_ACCEL_LABEL(label), nullptr);
        gtk_accel_group_disconnect(DisplayGroup(), mShownShortcut);
        g_closure_unref(mShownShortcut);
        mShownShortcut = nullptr;
    }
    if (keyval == 0 || keyval == GDK_KEY_VoidSymbol || label == nullptr ||
        !GTK_IS_ACCEL_LABEL(label))
        return;
    mShownShortcut = g_cclosure_new(G_CALLBACK(ShowOnly), nullptr, nullptr);
    g_closure_ref(mShownShortcut);
    g_closure_sink(mShownShortcut);
    gtk_accel_group_connect(DisplayGroup(), keyval, mods, GTK_ACCEL_VISIBLE, mShownShortcut);
    gtk_accel_label_set_accel_closure(GTK_ACCEL_LABEL(label), mShownShortcut);
}

void XMenuGTK::IconChanged() {
    if (mWidget == nullptr || mWidgetIsSeparator) return;
    GdkPixbuf *pixbuf =
        gIconSource != nullptr && Icon(0) != nullptr ? gIconSource(Icon(0)) : nullptr;
    // A picture larger than a menu icon is scaled down to that size.
    int width = 0, height = 0;
    gtk_icon_size_lookup(GTK_ICON_SIZE_MENU, &width, &height);
    if (pixbuf != nullptr &&
        (gdk_pixbuf_get_width(pixbuf) > width || gdk_pixbuf_get_height(pixbuf) > height)) {
        double scale = std::min(double(width) / gdk_pixbuf_get_width(pixbuf),
                                double(height) / gdk_pixbuf_get_height(pixbuf));
        GdkPixbuf *scaled = gdk_pixbuf_scale_simple(
            pixbuf, std::max(1, int(gdk_pixbuf_get_width(pixbuf) * scale)),
            std::max(1, int(gdk_pixbuf_get_height(pixbuf) * scale)), GDK_INTERP_BILINEAR);
        g_object_unref(pixbuf);
        pixbuf = scaled;
    }
    GtkWidget *image = pixbuf != nullptr ? gtk_image_new_from_pixbuf(pixbuf) : nullptr;
    if (pixbuf != nullptr) g_object_unref(pixbuf);
    gtk_image_menu_item_set_image(GTK_IMAGE_MENU_ITEM(mWidget), image);
    // Shown whatever the desktop's setting for images in menus.
    gtk_image_menu_item_set_always_show_image(GTK_IMAGE_MENU_ITEM(mWidget), image != nullptr);
}

void XMenuGTK::TextChanged() {
    if (mWidget == nullptr) return;
    if (IsSeparator() == mWidgetIsSeparator) {
        ApplyLabel();
        return;
    }
    // A separator and an item are different widgets: the new one takes the
    // old one's place in the parent's shell.
    auto *parent = static_cast<XMenuGTK *>(GetParent());
    int32_t position = parent != nullptr ? parent->IndexOf(this) : -1;
    GtkWidget *shell = position >= 0 ? parent->ChildShell() : nullptr;
    if (shell != nullptr) gtk_container_remove(GTK_CONTAINER(shell), mWidget);
    DestroyItemWidget();
    MakeItemWidget();
    if (shell != nullptr) gtk_menu_shell_insert(GTK_MENU_SHELL(shell), mWidget, position);
}

void XMenuGTK::EnabledChanged() {
    GtkWidget *widget = mBar != nullptr ? mBar : mWidget;
    gtk_widget_set_sensitive(widget, IsEnabled());
}

void XMenuGTK::CheckedChanged() {
    if (mWidget != nullptr) gtk_widget_queue_draw(mWidget);
}

void XMenuGTK::VisibleChanged() {
    GtkWidget *widget = mBar != nullptr ? mBar : mWidget;
    gtk_widget_set_visible(widget, IsVisible());
}

void XMenuGTK::ShortcutChanged() {
    ApplyAccelerator();
}

GtkWidget *XMenuGTK::ChildShell() {
    if (mBar != nullptr) return mBar;
    if (mSubmenu == nullptr) {
        mSubmenu = gtk_menu_new();
        g_object_ref_sink(mSubmenu);
        gtk_menu_set_accel_group(GTK_MENU(mSubmenu), AccelGroup());
        if (mWidget != nullptr) gtk_menu_item_set_submenu(GTK_MENU_ITEM(mWidget), mSubmenu);
    }
    return mSubmenu;
}

void XMenuGTK::ChildInserted(uint32_t index, Menu *child) {
    GtkWidget *widget = static_cast<XMenuGTK *>(child)->mWidget;
    if (widget == nullptr) return; // a bar has no place inside another menu
    gtk_menu_shell_insert(GTK_MENU_SHELL(ChildShell()), widget, int(index));
}

void XMenuGTK::ChildRemoved(Menu *child) {
    GtkWidget *widget = static_cast<XMenuGTK *>(child)->mWidget;
    GtkWidget *shell = mBar != nullptr ? mBar : mSubmenu;
    if (widget != nullptr && shell != nullptr && gtk_widget_get_parent(widget) == shell)
        gtk_container_remove(GTK_CONTAINER(shell), widget);
    // The last child gone, the item no longer opens a submenu.
    if (Count() == 1 && mSubmenu != nullptr) {
        if (mWidget != nullptr) gtk_menu_item_set_submenu(GTK_MENU_ITEM(mWidget), nullptr);
        gtk_widget_destroy(mSubmenu);
        g_object_unref(mSubmenu);
        mSubmenu = nullptr;
    }
}

void XMenuGTK::InstallIn(GtkWidget *menuBox) {
    if (mBar == nullptr || menuBox == nullptr) return;
    GtkWidget *parent = gtk_widget_get_parent(mBar);
    if (parent == menuBox) return;
    if (parent != nullptr) gtk_container_remove(GTK_CONTAINER(parent), mBar);
    gtk_box_pack_start(GTK_BOX(menuBox), mBar, FALSE, TRUE, 0);
    GtkWidget *top = gtk_widget_get_toplevel(menuBox);
    if (GTK_IS_WINDOW(top) && g_object_get_data(G_OBJECT(top), kAccelsAdded) == nullptr) {
        gtk_window_add_accel_group(GTK_WINDOW(top), AccelGroup());
        g_object_set_data(G_OBJECT(top), kAccelsAdded, GINT_TO_POINTER(1));
    }
}

void XMenuGTK::TakeDownFrom(GtkWidget *menuBox) {
    if (mBar != nullptr && menuBox != nullptr && gtk_widget_get_parent(mBar) == menuBox)
        gtk_container_remove(GTK_CONTAINER(menuBox), mBar);
}

GtkWidget *XMenuGTK::InstalledToplevel() const {
    if (mBar == nullptr || gtk_widget_get_parent(mBar) == nullptr) return nullptr;
    GtkWidget *top = gtk_widget_get_toplevel(mBar);
    return gtk_widget_is_toplevel(top) ? top : nullptr;
}
