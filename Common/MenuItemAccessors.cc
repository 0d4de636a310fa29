// The entry points of `MenuItem` and `MenuBar`: property accessors, the
// tree operations (Item, Count, Child, Append, Insert, Remove, _Lookup,
// _Swap, _InstallClone) and PopUp. No item raises NilObjectException; an
// item without its record is a broken invariant and makes a report.
#include "MainLoop.h"
#include "MenuItem.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "XMenuGTK.h"

#include <vector>

namespace {

Menu *Checked(RuntimeObject *item, const char *check, int line) {
    if (item == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    Menu *record = menus::RecordOf(item);
    if (record == nullptr)
        RuntimeErrorReport(kRuntimeErrorFailedAssertion, KQ_MENU_SOURCE, line, check, nullptr);
    return record;
}
// Getters, setters and methods name their check differently.
#define KQ_GETTER_RECORD(item) Checked((item), "obj->mImp", __LINE__)
#define KQ_SETTER_RECORD(item) Checked((item), "menu->mImp", __LINE__)
#define KQ_METHOD_RECORD(item) Checked((item), "self->mImp", __LINE__)

MenuItemObject *Object(Menu *record) {
    return menus::ItemOf(record);
}

bool SameName(KESTstring *a, KESTstring *b) {
    return kstr::CompareFold(a, b) == 0;
}

RuntimeObject *NewReference(Menu *record) {
    RuntimeObject *item = record != nullptr ? record->Item() : nullptr;
    RuntimeLockObject(item);
    return item;
}

// The first record below `root` (not `root` itself), breadth first, with
// that name and, when `index` is set, that Index.
Menu *FindBelow(Menu *root, KESTstring *name, const int32_t *index) {
    std::vector<Menu *> queue{root};
    for (size_t i = 0; i < queue.size(); ++i) {
        Menu *m = queue[i];
        if (m != root && SameName(Object(m)->mName, name) &&
            (index == nullptr || Object(m)->mIndex == *index))
            return m;
        for (uint32_t c = 0; c < m->Count(); ++c)
            queue.push_back(m->ChildAt(c));
    }
    return nullptr;
}

// Puts `replacement` in the place of the item of that name below `root`.
void ReplaceBelow(Menu *root, KESTstring *name, RuntimeObject *replacement) {
    Menu *with = menus::RecordOf(replacement);
    Menu *old = FindBelow(root, name, nullptr);
    if (with == nullptr || old == nullptr || old == with || old->GetParent() == nullptr) return;
    Menu *parent = old->GetParent();
    Ref<> keep(old->Item());
    parent->InsertChild(uint32_t(parent->IndexOf(old)), with);
    parent->RemoveChild(old);
}

Menu *NamedChild(Menu *record, KESTstring *name) {
    for (uint32_t i = 0; i < record->Count(); ++i)
        if (SameName(Object(record->ChildAt(i))->mName, name)) return record->ChildAt(i);
    return nullptr;
}

// Shows the item's submenu as a pop-up menu and waits until it goes away;
// the chosen item (a new reference) or null.
RuntimeObject *PopUp(RuntimeObject *item, const int *position) {
    auto *record = static_cast<XMenuGTK *>(KQ_METHOD_RECORD(item));
    if (record == nullptr || record->Count() == 0 || record->Submenu() == nullptr) return nullptr;
    struct State {
        Menu *chosen = nullptr;
        bool done = false;
        int x = 0, y = 0;
    } state;
    if (position != nullptr) {
        state.x = position[0];
        state.y = position[1];
    }
    Ref<> keep(item);
    record->SetCommandCallback(
        [](Menu *chosen, void *data) { static_cast<State *>(data)->chosen = chosen; }, &state);
    GtkWidget *menu = record->Submenu();
    gulong done = g_signal_connect(
        menu, "deactivate",
        G_CALLBACK(+[](GtkMenuShell *, gpointer data) { static_cast<State *>(data)->done = true; }),
        &state);
    GtkMenuPositionFunc at = +[](GtkMenu *, gint *x, gint *y, gboolean *pushIn, gpointer data) {
        *x = static_cast<State *>(data)->x;
        *y = static_cast<State *>(data)->y;
        *pushIn = TRUE;
    };
    gtk_menu_popup(GTK_MENU(menu), nullptr, nullptr, position != nullptr ? at : nullptr, &state, 0,
                   gtk_get_current_event_time());
    while (!state.done && !mainloop::QuitRequested())
        mainloop::NestedIteration(true);
    g_signal_handler_disconnect(menu, done);
    record->SetCommandCallback(nullptr, nullptr);
    return NewReference(state.chosen);
}

} // namespace

extern "C" {

void RuntimeMenuItemDefaultConstructor(RuntimeObject *) {}

void MenuItemConstructor(RuntimeObject *item, KESTstring *text, RuntimeObject *tag) {
    RuntimeMenuItemTextSetter(item, 0, text);
    RuntimeMenuItemTagSetter(item, 0, tag);
}

// ---------------------------------------------------------------------------
// Properties.

KESTstring *RuntimeMenuItemNameGetter(RuntimeObject *item, int32_t) {
    return KQ_GETTER_RECORD(item) != nullptr ? kstr::Share(menus::AsItem(item)->mName) : nullptr;
}

void RuntimeMenuItemNameSetter(RuntimeObject *item, int32_t, KESTstring *value) {
    if (KQ_SETTER_RECORD(item) != nullptr)
        stringSetter(item, offsetof(MenuItemObject, mName), value);
}

int32_t RuntimeMenuItemIndexGetter(RuntimeObject *item, int32_t) {
    return KQ_GETTER_RECORD(item) != nullptr ? menus::AsItem(item)->mIndex : 0;
}

void RuntimeMenuItemIndexSetter(RuntimeObject *item, int32_t, int32_t value) {
    if (KQ_SETTER_RECORD(item) != nullptr) menus::AsItem(item)->mIndex = value;
}

RuntimeObject *RuntimeMenuItemTagGetter(RuntimeObject *item, int32_t) {
    return KQ_GETTER_RECORD(item) != nullptr ? objGetter(item, offsetof(MenuItemObject, mTag))
                                             : nullptr;
}

void RuntimeMenuItemTagSetter(RuntimeObject *item, int32_t, RuntimeObject *value) {
    if (KQ_SETTER_RECORD(item) != nullptr) objSetter(item, offsetof(MenuItemObject, mTag), value);
}

#define KQ_STORED_TEXT_ACCESSORS(stem, slot)                                                       \
    KESTstring *RuntimeMenuItem##stem##Getter(RuntimeObject *item, int32_t) {                      \
        Menu *record = KQ_GETTER_RECORD(item);                                                     \
        return record != nullptr ? kstr::Share(record->StoredText(Menu::slot)) : nullptr;          \
    }                                                                                              \
    void RuntimeMenuItem##stem##Setter(RuntimeObject *item, int32_t, KESTstring *value) {          \
        if (Menu *record = KQ_SETTER_RECORD(item)) record->SetStoredText(Menu::slot, value);       \
    }
KQ_STORED_TEXT_ACCESSORS(BalloonHelp, kBalloonHelp)
KQ_STORED_TEXT_ACCESSORS(DisabledHelp, kDisabledHelp)

KESTstring *RuntimeMenuItemTextGetter(RuntimeObject *item, int32_t) {
    Menu *record = KQ_GETTER_RECORD(item);
    return record != nullptr ? kstr::Share(record->Text()) : nullptr;
}

void RuntimeMenuItemTextSetter(RuntimeObject *item, int32_t, KESTstring *value) {
    if (Menu *record = KQ_SETTER_RECORD(item)) record->SetText(value);
}

KESTstring *RuntimeMenuItemCommandKeyGetter(RuntimeObject *item, int32_t) {
    Menu *record = KQ_GETTER_RECORD(item);
    return record != nullptr ? kstr::Share(record->Shortcut()) : nullptr;
}

void RuntimeMenuItemCommandKeySetter(RuntimeObject *item, int32_t, KESTstring *value) {
    if (Menu *record = KQ_SETTER_RECORD(item)) record->SetShortcut(value);
}

#define KQ_FLAG_ACCESSORS(stem, read, write)                                                       \
    bool RuntimeMenuItem##stem##Getter(RuntimeObject *item, int32_t) {                             \
        Menu *record = KQ_GETTER_RECORD(item);                                                     \
        return record != nullptr && record->read;                                                  \
    }                                                                                              \
    void RuntimeMenuItem##stem##Setter(RuntimeObject *item, int32_t, bool value) {                 \
        if (Menu *record = KQ_SETTER_RECORD(item)) record->write;                                  \
    }
KQ_FLAG_ACCESSORS(Checked, IsChecked(), SetChecked(value))
KQ_FLAG_ACCESSORS(Enabled, IsEnabled(), SetEnabled(value))
KQ_FLAG_ACCESSORS(Visible, IsVisible(), SetVisible(value))
KQ_FLAG_ACCESSORS(AutoEnable, AutoEnable(), SetAutoEnable(value))
KQ_FLAG_ACCESSORS(Bold, Style(Menu::kBold), SetStyle(Menu::kBold, value))
KQ_FLAG_ACCESSORS(Italics, Style(Menu::kItalic), SetStyle(Menu::kItalic, value))
KQ_FLAG_ACCESSORS(Underline, Style(Menu::kUnderline), SetStyle(Menu::kUnderline, value))

#define KQ_ICON_ACCESSORS(stem, which)                                                             \
    RuntimeObject *RuntimeMenuItem##stem##Getter(RuntimeObject *item, int32_t) {                   \
        Menu *record = KQ_GETTER_RECORD(item);                                                     \
        RuntimeObject *icon = record != nullptr ? record->Icon(which) : nullptr;                   \
        RuntimeLockObject(icon);                                                                   \
        return icon;                                                                               \
    }                                                                                              \
    void RuntimeMenuItem##stem##Setter(RuntimeObject *item, int32_t, RuntimeObject *value) {       \
        if (Menu *record = KQ_SETTER_RECORD(item)) record->SetIcon(which, value);                  \
    }
KQ_ICON_ACCESSORS(EnabledIcon, 0)
KQ_ICON_ACCESSORS(DisabledIcon, 1)

// ---------------------------------------------------------------------------
// Methods.

void RuntimeEnableMenu(RuntimeObject *item) {
    if (Menu *record = KQ_METHOD_RECORD(item)) record->Enable();
}

void RuntimeCloseMenuItem(RuntimeObject *item) {
    Menu *record = KQ_METHOD_RECORD(item);
    if (record != nullptr && record->GetParent() != nullptr)
        record->GetParent()->RemoveChild(record);
}

RuntimeObject *RuntimeMenuItemItem(RuntimeObject *item, int32_t index) {
    Menu *record = KQ_METHOD_RECORD(item);
    if (record == nullptr) return nullptr;
    if (index < 0 || uint32_t(index) >= record->Count()) {
        RaiseOutOfBoundsException();
        return nullptr;
    }
    return NewReference(record->ChildAt(uint32_t(index)));
}

int32_t RuntimeMenuItemCount(RuntimeObject *item) {
    Menu *record = KQ_METHOD_RECORD(item);
    return record != nullptr ? int32_t(record->Count()) : 0;
}

RuntimeObject *RuntimeMenuItemChild(RuntimeObject *item, KESTstring *name) {
    Menu *record = KQ_METHOD_RECORD(item);
    return record != nullptr ? NewReference(NamedChild(record, name)) : nullptr;
}

void RuntimeMenuItemAppend(RuntimeObject *item, RuntimeObject *child) {
    Menu *record = KQ_METHOD_RECORD(item);
    if (record != nullptr) RuntimeMenuItemInsert(item, int32_t(record->Count()), child);
}

void RuntimeMenuItemInsert(RuntimeObject *item, int32_t index, RuntimeObject *child) {
    Menu *record = KQ_METHOD_RECORD(item);
    if (record == nullptr) return;
    Menu *childRecord = KQ_METHOD_RECORD(child);
    if (childRecord == nullptr) return;
    if (index < 0 || uint32_t(index) > record->Count()) {
        RaiseOutOfBoundsException();
        return;
    }
    if (record->HasAncestor(childRecord)) {
        exceptions::RaiseWithMessage(&RuntimeExceptionDefinition,
                                     "A menu item cannot be placed inside itself.", 0);
        return;
    }
    record->InsertChild(uint32_t(index), childRecord);
}

void RuntimeMenuItemRemoveIndex(RuntimeObject *item, int32_t index) {
    Menu *record = KQ_METHOD_RECORD(item);
    if (record == nullptr) return;
    if (index < 0 || uint32_t(index) >= record->Count()) {
        RaiseOutOfBoundsException();
        return;
    }
    record->RemoveChild(record->ChildAt(uint32_t(index)));
}

void RuntimeMenuItemRemoveItem(RuntimeObject *item, RuntimeObject *child) {
    Menu *record = KQ_METHOD_RECORD(item);
    Menu *childRecord = record != nullptr ? KQ_METHOD_RECORD(child) : nullptr;
    if (childRecord != nullptr) record->RemoveChild(childRecord);
}

void RuntimeMenuItemRemoveByName(RuntimeObject *item, KESTstring *name) {
    Menu *record = KQ_METHOD_RECORD(item);
    Menu *child = record != nullptr ? NamedChild(record, name) : nullptr;
    if (child != nullptr) record->RemoveChild(child);
}

RuntimeObject *RuntimeMenuItemLookup(RuntimeObject *item, KESTstring *name) {
    Menu *record = KQ_METHOD_RECORD(item);
    return record != nullptr ? NewReference(FindBelow(record, name, nullptr)) : nullptr;
}

RuntimeObject *RuntimeMenuItemLookupArray(RuntimeObject *item, KESTstring *name, int32_t index) {
    Menu *record = KQ_METHOD_RECORD(item);
    return record != nullptr ? NewReference(FindBelow(record, name, &index)) : nullptr;
}

void RuntimeMenuItemSwap(RuntimeObject *item, KESTstring *name, RuntimeObject *swapWith) {
    Menu *record = KQ_METHOD_RECORD(item);
    if (record != nullptr && KQ_METHOD_RECORD(swapWith) != nullptr)
        ReplaceBelow(record, name, swapWith);
}

void MenuBarInstallClone(RuntimeObject *bar, RuntimeObject *installThis) {
    Menu *record = KQ_METHOD_RECORD(bar);
    if (record != nullptr && KQ_METHOD_RECORD(installThis) != nullptr)
        ReplaceBelow(record, menus::AsItem(installThis)->mName, installThis);
}

RuntimeObject *RuntimeMenuItemPopUpByCursor(RuntimeObject *item) {
    return PopUp(item, nullptr);
}

RuntimeObject *RuntimeMenuItemPopUp(RuntimeObject *item, int32_t x, int32_t y) {
    const int position[] = {x, y};
    return PopUp(item, position);
}

} // extern "C"
