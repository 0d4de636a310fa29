// The menu record on GTK+ (see XMenuGTK.h).
#include "XMenuGTK.h"

#include "GTKHelper.h"
#include "MenuShortcuts.h"

namespace {

XMenuGTK::RecordHandler gChosenHandler = nullptr;
XMenuGTK::RecordHandler gOpeningHandler = nullptr;

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
}

void XMenuGTK::DestroyItemWidget() {
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
    if (s.keysym != 0) {
        mAccelKey = s.keysym;
        mAccelMods = GdkModifierType(s.mask);
        gtk_widget_add_accelerator(mWidget, "activate", AccelGroup(), mAccelKey, mAccelMods,
                                   GTK_ACCEL_VISIBLE);
    } else if (!s.key.empty()) {
        shortcuts::Set(this, s.key, s.mask);
    }
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
