// The class definitions of `MenuItem`, `MenuBar` and the stock items
// `QuitMenuItem` and `PrefsMenuItem`, and the life cycle of an item: its
// record is made with the object and goes with it.
#include "Application.h"
#include "MenuDispatch.h"
#include "MenuItem.h"
#include "WindowObject.h"
#include "XMenuGTK.h"

namespace {

#define KQ_MENU_PROPERTY(name, type, stem)                                                         \
    KQ_PROPERTY(name, type, RuntimeMenuItem##stem##Getter, RuntimeMenuItem##stem##Setter, 0)
#define KQ_MENU_FIELD(name, type, getter, setter, field)                                           \
    KQ_PROPERTY(name, type, getter, setter, offsetof(MenuItemObject, field))

const PropertyEntry kMenuItemProperties[] = {
    KQ_MENU_PROPERTY("Name", &kTypeString, Name),
    KQ_MENU_PROPERTY("Index", &kTypeInteger, Index),
    KQ_MENU_PROPERTY("Tag", &kTypeVariant, Tag),
    KQ_MENU_PROPERTY("BalloonHelp", &kTypeString, BalloonHelp),
    KQ_MENU_PROPERTY("DisabledBalloonHelp", &kTypeString, DisabledHelp),
    KQ_MENU_PROPERTY("Text", &kTypeString, Text),
    KQ_MENU_PROPERTY("Checked", &kTypeBoolean, Checked),
    KQ_MENU_PROPERTY("Enabled", &kTypeBoolean, Enabled),
    KQ_MENU_PROPERTY("Visible", &kTypeBoolean, Visible),
    KQ_MENU_PROPERTY("KeyboardShortcut", &kTypeString, CommandKey),
    {kAliasPropertyFlag, "CommandKey", &kTypeString, KQ_CODE(RuntimeMenuItemCommandKeyGetter),
     "RuntimeMenuItemCommandKeyGetter", KQ_CODE(RuntimeMenuItemCommandKeySetter),
     "RuntimeMenuItemCommandKeySetter", 0, 0},
    KQ_MENU_PROPERTY("_Bold", &kTypeBoolean, Bold),
    KQ_MENU_PROPERTY("_Italic", &kTypeBoolean, Italics),
    KQ_MENU_PROPERTY("_Underline", &kTypeBoolean, Underline),
    KQ_MENU_PROPERTY("AutoEnable", &kTypeBoolean, AutoEnable),
    KQ_MENU_PROPERTY("Icon", &PictureDefinition, EnabledIcon),
    KQ_MENU_FIELD("__kqf_mImp", &kTypePtr, intGetter, intSetter, mImp),
    KQ_MENU_FIELD("__kqf_mName", &kTypeString, stringGetter, stringSetter, mName),
    KQ_MENU_FIELD("__kqf_mTag", &kTypeVariant, objGetter, objSetter, mTag),
    KQ_MENU_FIELD("__kqf_mIndex", &kTypeInteger, intGetter, intSetter, mIndex),
    KQ_MENU_FIELD("__kqf_mChildren", &kTypePtr, intGetter, intSetter, mChildren),
};

const ParameterEntry kIndexParameters[] = {KQ_PARAMETER("index", &kTypeInteger)};
const ParameterEntry kNameParameters[] = {KQ_PARAMETER("name", &kTypeString)};
const ParameterEntry kItemParameters[] = {KQ_PARAMETER("item", &MenuItemDefinition)};
const ParameterEntry kInsertParameters[] = {KQ_PARAMETER("index", &kTypeInteger),
                                            KQ_PARAMETER("item", &MenuItemDefinition)};
const ParameterEntry kLookupArrayParameters[] = {KQ_PARAMETER("name", &kTypeString),
                                                 KQ_PARAMETER("index", &kTypeInteger)};
const ParameterEntry kConstructorParameters[] = {KQ_PARAMETER("Text", &kTypeString),
                                                 KQ_PARAMETER("tag", &kTypeVariant)};
const ParameterEntry kPopUpParameters[] = {KQ_PARAMETER("x", &kTypeInteger),
                                           KQ_PARAMETER("y", &kTypeInteger)};
const ParameterEntry kSwapParameters[] = {KQ_PARAMETER("name", &kTypeString),
                                          KQ_PARAMETER("swapWith", &MenuItemDefinition)};

const MethodEntry kMenuItemMethods[] = {
    KQ_METHOD("Enable", nullptr, KQ_NO_TABLE, RuntimeEnableMenu),
    KQ_METHOD("Close", nullptr, KQ_NO_TABLE, RuntimeCloseMenuItem),
    KQ_METHOD("Item", &MenuItemDefinition, KQ_TABLE(kIndexParameters), RuntimeMenuItemItem),
    KQ_METHOD("Count", &kTypeInteger, KQ_NO_TABLE, RuntimeMenuItemCount),
    KQ_METHOD("Child", &MenuItemDefinition, KQ_TABLE(kNameParameters), RuntimeMenuItemChild),
    KQ_METHOD("Append", nullptr, KQ_TABLE(kItemParameters), RuntimeMenuItemAppend),
    KQ_METHOD("Insert", nullptr, KQ_TABLE(kInsertParameters), RuntimeMenuItemInsert),
    KQ_METHOD("Remove", nullptr, KQ_TABLE(kIndexParameters), RuntimeMenuItemRemoveIndex),
    KQ_METHOD("Remove", nullptr, KQ_TABLE(kItemParameters), RuntimeMenuItemRemoveItem),
    KQ_METHOD("Remove", nullptr, KQ_TABLE(kNameParameters), RuntimeMenuItemRemoveByName),
    KQ_METHOD("_Lookup", &MenuItemDefinition, KQ_TABLE(kNameParameters), RuntimeMenuItemLookup),
    KQ_METHOD("_Lookup", &MenuItemDefinition, KQ_TABLE(kLookupArrayParameters),
              RuntimeMenuItemLookupArray),
    KQ_METHOD("MenuItem", nullptr, KQ_NO_TABLE, RuntimeMenuItemDefaultConstructor),
    KQ_METHOD("MenuItem", nullptr, KQ_TABLE(kConstructorParameters), MenuItemConstructor),
    KQ_METHOD("PopUp", &MenuItemDefinition, KQ_NO_TABLE, RuntimeMenuItemPopUpByCursor),
    KQ_METHOD("PopUp", &MenuItemDefinition, KQ_TABLE(kPopUpParameters), RuntimeMenuItemPopUp),
    KQ_METHOD("_Swap", nullptr, KQ_TABLE(kSwapParameters), RuntimeMenuItemSwap),
};

EventEntry kMenuItemEvents[] = {
    KQ_EVENT("Action", "", "Boolean"),
    KQ_EVENT("EnableMenu", "", nullptr),
};

const RuntimeClassDeclaration kMenuItemDeclaration = {"MenuItem",
                                                      nullptr,
                                                      sizeof(MenuItemObject),
                                                      KQ_GUI_ONLY,
                                                      false,
                                                      KQ_TABLE(kMenuItemProperties),
                                                      KQ_TABLE(kMenuItemMethods),
                                                      KQ_TABLE(kMenuItemEvents),
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_FUNCTION(MenuItemInitializer),
                                                      KQ_FUNCTION(MenuItemFinalizer)};

const ParameterEntry kInstallCloneParameters[] = {KQ_PARAMETER("installThis", &MenuItemDefinition)};
const MethodEntry kMenuBarMethods[] = {
    KQ_METHOD("_InstallClone", nullptr, KQ_TABLE(kInstallCloneParameters), MenuBarInstallClone),
};
const RuntimeClassDeclaration kMenuBarDeclaration = {
    "MenuBar",   &MenuItemDefinition, sizeof(MenuItemObject),          KQ_GUI_ONLY,
    false,       KQ_NO_TABLE,         KQ_TABLE(kMenuBarMethods),       KQ_NO_TABLE,
    KQ_NO_TABLE, KQ_NO_TABLE,         KQ_FUNCTION(MenuBarInitializer), KQ_NO_FUNCTION};

// The stock items handle Action in their class: the quit item quits; the
// preferences item has nothing to open on this platform.
const HookEntry kQuitMenuItemHooks[] = {KQ_HOOK("Action", QuitMenuAction)};
const HookEntry kPrefsMenuItemHooks[] = {KQ_HOOK("Action", PrefsMenuAction)};
#define KQ_STOCK_ITEM(Name, hooks)                                                                 \
    const RuntimeClassDeclaration k##Name##Declaration = {#Name,                                   \
                                                          &MenuItemDefinition,                     \
                                                          sizeof(MenuItemObject),                  \
                                                          KQ_GUI_ONLY,                             \
                                                          false,                                   \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_TABLE(hooks),                         \
                                                          KQ_NO_TABLE,                             \
                                                          KQ_NO_FUNCTION,                          \
                                                          KQ_NO_FUNCTION};
KQ_STOCK_ITEM(QuitMenuItem, kQuitMenuItemHooks)
KQ_STOCK_ITEM(PrefsMenuItem, kPrefsMenuItemHooks)

} // namespace

ObjectDefinition MenuItemDefinition(&kMenuItemDeclaration);
ObjectDefinition MenuBarDefinition(&kMenuBarDeclaration);
ObjectDefinition QuitMenuItemDefinition(&kQuitMenuItemDeclaration);
ObjectDefinition PrefsMenuItemDefinition(&kPrefsMenuItemDeclaration);

namespace menus {

const EventItem *Event(MenuItemEvent event) {
    definitions::Convert(&MenuItemDefinition);
    return kMenuItemEvents[uint32_t(event)].item;
}

bool IsMenuItem(RuntimeObject *object) {
    return definitions::IsA(object, &MenuItemDefinition);
}

MenuItemObject *AsItem(RuntimeObject *object) {
    return IsMenuItem(object) ? reinterpret_cast<MenuItemObject *>(object) : nullptr;
}

Menu *RecordOf(RuntimeObject *item) {
    MenuItemObject *i = AsItem(item);
    return i != nullptr ? i->mImp : nullptr;
}

MenuItemObject *ItemOf(const Menu *record) {
    return record != nullptr ? AsItem(record->Item()) : nullptr;
}

Menu *BarRecordOf(RuntimeObject *menuBar) {
    Menu *record = RecordOf(menuBar);
    return record != nullptr && record->IsBar() ? record : nullptr;
}

} // namespace menus

extern "C" {

void MenuItemInitializer(RuntimeObject *object) {
    menus::InstallHandlers();
    auto *item = reinterpret_cast<MenuItemObject *>(object);
    item->mImp = new XMenuGTK(object, false);
    item->mChildren = item->mImp;
}

void MenuBarInitializer(RuntimeObject *object) {
    auto *item = reinterpret_cast<MenuItemObject *>(object);
    delete item->mImp;
    item->mImp = new XMenuGTK(object, true);
    item->mChildren = item->mImp;
}

void MenuItemFinalizer(RuntimeObject *object) {
    auto *item = reinterpret_cast<MenuItemObject *>(object);
    delete item->mImp;
    item->mImp = nullptr;
    item->mChildren = nullptr;
    RuntimeUnlockString(item->mName);
    RuntimeUnlockObject(item->mTag);
    item->mName = nullptr;
    item->mTag = nullptr;
}

bool QuitMenuAction(RuntimeObject *) {
    KQ_ApplicationQuit(reinterpret_cast<RuntimeObject *>(application::Current()));
    return true;
}

bool PrefsMenuAction(RuntimeObject *) {
    return false;
}

} // extern "C"
