// The native menu record (see Menu.h): state, the tree of records and the
// references a parent holds to its children's items.
#include "Menu.h"

#include <cstring>

Menu::Menu(RuntimeObject *item) : mItem(item) {}

Menu::~Menu() {
    // Children leave first, so that an item that outlives this one is a
    // detached item of its own.
    while (Count() != 0)
        RemoveChild(mChildren.Last());
    RuntimeUnlockString(mText);
    RuntimeUnlockString(mShortcut);
    for (KESTstring *&text : mHelp)
        RuntimeUnlockString(text);
    for (RuntimeObject *&icon : mIcons)
        RuntimeUnlockObject(icon);
}

void Menu::Enable() {
    SetEnabled(true);
}

void Menu::Disable() {
    SetEnabled(false);
}

RuntimeObject *Menu::RootItemFor(Menu *chosen) const {
    Menu *root = chosen;
    while (root != nullptr && root->GetParent() != nullptr && root != this)
        root = root->GetParent();
    return root != nullptr ? root->Item() : nullptr;
}

void Menu::AppendChild(Menu *child) {
    InsertChild(Count(), child);
}

void Menu::InsertChild(uint32_t index, Menu *child) {
    if (child == nullptr || HasAncestor(child)) return;
    RuntimeLockObject(child->mItem);
    if (child->mParent != nullptr) child->mParent->RemoveChild(child);
    if (index > Count()) index = Count();
    if (!mChildren.Insert(index, child)) {
        RuntimeUnlockObject(child->mItem);
        return;
    }
    child->mParent = this;
    ChildInserted(index, child);
}

void Menu::RemoveChild(Menu *child) {
    int32_t index = IndexOf(child);
    if (index < 0) return;
    ChildRemoved(child);
    mChildren.RemoveAt(uint32_t(index));
    child->mParent = nullptr;
    RuntimeUnlockObject(child->mItem);
}

int32_t Menu::IndexOf(const Menu *child) const {
    for (uint32_t i = 0; i < Count(); ++i)
        if (mChildren[i] == child) return int32_t(i);
    return -1;
}

bool Menu::HasAncestor(const Menu *other) const {
    for (const Menu *m = this; m != nullptr; m = m->mParent)
        if (m == other) return true;
    return false;
}

Menu *Menu::Root() {
    Menu *root = this;
    while (root->mParent != nullptr)
        root = root->mParent;
    return root;
}

void Menu::SetText(KESTstring *text) {
    RuntimeLockUnlockStrings(text, mText);
    mText = text;
    TextChanged();
}

bool Menu::IsSeparator() const {
    return kstr::Length(mText) == 1 && kstr::Text(mText)[0] == '-';
}

void Menu::SetEnabled(bool enabled) {
    if (mEnabled == enabled) return;
    mEnabled = enabled;
    EnabledChanged();
}

void Menu::SetChecked(bool checked) {
    if (mChecked == checked) return;
    mChecked = checked;
    CheckedChanged();
}

void Menu::SetVisible(bool visible) {
    if (mVisible == visible) return;
    mVisible = visible;
    VisibleChanged();
}

void Menu::SetShortcut(KESTstring *shortcut) {
    RuntimeLockUnlockStrings(shortcut, mShortcut);
    mShortcut = shortcut;
    ShortcutChanged();
}

void Menu::SetStoredText(StringSlot slot, KESTstring *text) {
    RuntimeLockUnlockStrings(text, mHelp[slot]);
    mHelp[slot] = text;
}

void Menu::SetIcon(int which, RuntimeObject *picture) {
    RuntimeLockObject(picture);
    RuntimeUnlockObject(mIcons[which]);
    mIcons[which] = picture;
    if (which == 0) IconChanged();
}

void Menu::SetCommandCallback(CommandCallback callback, void *data) {
    mCallback = callback;
    mCallbackData = data;
}

const Menu *Menu::CommandReceiver() const {
    for (const Menu *m = this; m != nullptr; m = m->GetParent())
        if (m->mCallback != nullptr) return m;
    return nullptr;
}
