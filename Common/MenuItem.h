// The `MenuItem` object of the class model and what the rest of the runtime
// uses of it. `MenuBar` is a MenuItem whose record is a bar; QuitMenuItem
// and PrefsMenuItem are MenuItems whose class handles Action.
//
// MenuItem record (instance size 48):
//
//   offset  field       property
//   24      mImp        __kqf_mImp: the native menu record (XMenuGTK), owned
//   28      mName       Name, __kqf_mName: menu handlers are found by it
//   32      mTag        Tag, __kqf_mTag: a variant
//   36      mIndex      Index, __kqf_mIndex: index within a control array
//   40      mChildren   __kqf_mChildren: the record's child list
//   44      (free)
#pragma once

#include "Menu.h"
#include "ObjectDefinition.h"

#include <cstddef>
#include <cstdint>

#define KQ_MENU_SOURCE "Common/MenuItem"

struct MenuItemObject {
    RuntimeObject header;
    Menu *mImp;
    KESTstring *mName;
    RuntimeObject *mTag;
    int32_t mIndex;
    void *mChildren;
    uint32_t reserved;
};
static_assert(offsetof(MenuItemObject, mImp) == 24, "MenuItem.mImp");
static_assert(offsetof(MenuItemObject, mName) == 28, "MenuItem.mName");
static_assert(offsetof(MenuItemObject, mTag) == 32, "MenuItem.mTag");
static_assert(offsetof(MenuItemObject, mIndex) == 36, "MenuItem.mIndex");
static_assert(offsetof(MenuItemObject, mChildren) == 40, "MenuItem.mChildren");
static_assert(sizeof(MenuItemObject) == 48, "MenuItem instance size");

enum class MenuItemEvent : uint32_t { Action, EnableMenu };

namespace menus {

const EventItem *Event(MenuItemEvent event);

// Whether the object is a MenuItem (false for null); its record as such.
bool IsMenuItem(RuntimeObject *object);
MenuItemObject *AsItem(RuntimeObject *object);
// The record of an item object, or null.
Menu *RecordOf(RuntimeObject *item);
MenuItemObject *ItemOf(const Menu *record);

// The record of a menu bar object as the window layer installs it.
Menu *BarRecordOf(RuntimeObject *menuBar);

} // namespace menus

extern "C" {
void MenuItemInitializer(RuntimeObject *item);
void MenuItemFinalizer(RuntimeObject *item);
void MenuBarInitializer(RuntimeObject *bar);
void RuntimeMenuItemDefaultConstructor(RuntimeObject *item);
void MenuItemConstructor(RuntimeObject *item, KESTstring *text, RuntimeObject *tag);
void RuntimeEnableMenu(RuntimeObject *item);
void RuntimeCloseMenuItem(RuntimeObject *item);
RuntimeObject *RuntimeMenuItemItem(RuntimeObject *item, int32_t index);
int32_t RuntimeMenuItemCount(RuntimeObject *item);
RuntimeObject *RuntimeMenuItemChild(RuntimeObject *item, KESTstring *name);
void RuntimeMenuItemAppend(RuntimeObject *item, RuntimeObject *child);
void RuntimeMenuItemInsert(RuntimeObject *item, int32_t index, RuntimeObject *child);
void RuntimeMenuItemRemoveIndex(RuntimeObject *item, int32_t index);
void RuntimeMenuItemRemoveItem(RuntimeObject *item, RuntimeObject *child);
void RuntimeMenuItemRemoveByName(RuntimeObject *item, KESTstring *name);
RuntimeObject *RuntimeMenuItemLookup(RuntimeObject *item, KESTstring *name);
RuntimeObject *RuntimeMenuItemLookupArray(RuntimeObject *item, KESTstring *name, int32_t index);
void RuntimeMenuItemSwap(RuntimeObject *item, KESTstring *name, RuntimeObject *swapWith);
RuntimeObject *RuntimeMenuItemPopUpByCursor(RuntimeObject *item);
RuntimeObject *RuntimeMenuItemPopUp(RuntimeObject *item, int32_t x, int32_t y);
void MenuBarInstallClone(RuntimeObject *bar, RuntimeObject *installThis);
bool QuitMenuAction(RuntimeObject *item);
bool PrefsMenuAction(RuntimeObject *item);

KESTstring *RuntimeMenuItemNameGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemNameSetter(RuntimeObject *item, int32_t, KESTstring *value);
int32_t RuntimeMenuItemIndexGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemIndexSetter(RuntimeObject *item, int32_t, int32_t value);
RuntimeObject *RuntimeMenuItemTagGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemTagSetter(RuntimeObject *item, int32_t, RuntimeObject *value);
KESTstring *RuntimeMenuItemBalloonHelpGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemBalloonHelpSetter(RuntimeObject *item, int32_t, KESTstring *value);
KESTstring *RuntimeMenuItemDisabledHelpGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemDisabledHelpSetter(RuntimeObject *item, int32_t, KESTstring *value);
KESTstring *RuntimeMenuItemTextGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemTextSetter(RuntimeObject *item, int32_t, KESTstring *value);
bool RuntimeMenuItemCheckedGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemCheckedSetter(RuntimeObject *item, int32_t, bool value);
bool RuntimeMenuItemEnabledGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemEnabledSetter(RuntimeObject *item, int32_t, bool value);
bool RuntimeMenuItemVisibleGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemVisibleSetter(RuntimeObject *item, int32_t, bool value);
KESTstring *RuntimeMenuItemCommandKeyGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemCommandKeySetter(RuntimeObject *item, int32_t, KESTstring *value);
bool RuntimeMenuItemBoldGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemBoldSetter(RuntimeObject *item, int32_t, bool value);
bool RuntimeMenuItemItalicsGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemItalicsSetter(RuntimeObject *item, int32_t, bool value);
bool RuntimeMenuItemUnderlineGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemUnderlineSetter(RuntimeObject *item, int32_t, bool value);
bool RuntimeMenuItemAutoEnableGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemAutoEnableSetter(RuntimeObject *item, int32_t, bool value);
RuntimeObject *RuntimeMenuItemEnabledIconGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemEnabledIconSetter(RuntimeObject *item, int32_t, RuntimeObject *value);
RuntimeObject *RuntimeMenuItemDisabledIconGetter(RuntimeObject *item, int32_t);
void RuntimeMenuItemDisabledIconSetter(RuntimeObject *item, int32_t, RuntimeObject *value);
}
