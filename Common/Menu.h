// The native menu record: one per `MenuItem` object, owned by it. It holds
// the item's state (text, enabled, checked, visible, shortcut, icons, help
// texts, style flags), its parent record and the ordered child records. The
// name, tag and index live in the item object itself (MenuItem.h), where
// the image's own framework code reads them.
//
// The record is platform-neutral; XMenuGTK (Common/Linux) derives from it
// and keeps the GTK+ widgets in step through the notification operations at
// the end. A parent record holds a counted reference to the item object of
// each child record; a child refers to its parent without counting.
#pragma once

#include "KESTstring.h"
#include "RuntimeObject.h"
#include "SimpleVector.h"

#include <cstdint>

class Menu {
  public:
    // Receives the chosen items of a record's tree (contextual menus): the
    // first record up the parent chain that carries one gets them.
    using CommandCallback = void (*)(Menu *chosen, void *data);

    explicit Menu(RuntimeObject *item);
    virtual ~Menu();
    Menu(const Menu &) = delete;
    Menu &operator=(const Menu &) = delete;

    // The virtual operations, in slot order: enable, disable, get parent,
    // get the root's item for a chosen record, append, insert and remove a
    // child.
    virtual void Enable();
    virtual void Disable();
    virtual Menu *GetParent() const { return mParent; }
    virtual RuntimeObject *RootItemFor(Menu *chosen) const;
    virtual void AppendChild(Menu *child);
    virtual void InsertChild(uint32_t index, Menu *child);
    virtual void RemoveChild(Menu *child);

    RuntimeObject *Item() const { return mItem; }
    uint32_t Count() const { return mChildren.Count(); }
    Menu *ChildAt(uint32_t index) const { return mChildren[index]; }
    // The position of a child, or -1.
    int32_t IndexOf(const Menu *child) const;
    // Whether `other` is this record or one of its ancestors.
    bool HasAncestor(const Menu *other) const;
    Menu *Root();

    virtual bool IsBar() const { return false; }

    KESTstring *Text() const { return mText; }
    void SetText(KESTstring *text);
    bool IsSeparator() const;
    bool IsEnabled() const { return mEnabled; }
    void SetEnabled(bool enabled);
    bool IsChecked() const { return mChecked; }
    void SetChecked(bool checked);
    bool IsVisible() const { return mVisible; }
    void SetVisible(bool visible);
    KESTstring *Shortcut() const { return mShortcut; }
    void SetShortcut(KESTstring *shortcut);
    bool AutoEnable() const { return mAutoEnable; }
    void SetAutoEnable(bool value) { mAutoEnable = value; }

    // Stored values without effect on the widgets: help texts, style flags
    // and the disabled icon. The icon (index 0) is shown when the picture
    // layer can give it as a pixbuf.
    enum StringSlot { kBalloonHelp, kDisabledHelp, kStringSlots };
    KESTstring *StoredText(StringSlot slot) const { return mHelp[slot]; }
    void SetStoredText(StringSlot slot, KESTstring *text);
    enum StyleFlag { kBold, kItalic, kUnderline, kStyleFlags };
    bool Style(StyleFlag flag) const { return mStyle[flag]; }
    void SetStyle(StyleFlag flag, bool value) { mStyle[flag] = value; }
    RuntimeObject *Icon(int which) const { return mIcons[which]; }
    void SetIcon(int which, RuntimeObject *picture);

    void SetCommandCallback(CommandCallback callback, void *data);
    // The first record from this one up the parent chain with a callback,
    // or null.
    const Menu *CommandReceiver() const;
    void SendCommand(Menu *chosen) const { mCallback(chosen, mCallbackData); }

  protected:
    // Notifications for the platform side, after the state changed.
    virtual void TextChanged() {}
    virtual void EnabledChanged() {}
    virtual void CheckedChanged() {}
    virtual void VisibleChanged() {}
    virtual void ShortcutChanged() {}
    virtual void IconChanged() {}
    virtual void ChildInserted(uint32_t, Menu *) {}
    virtual void ChildRemoved(Menu *) {}

  private:
    RuntimeObject *mItem; // the owning item object, not counted
    Menu *mParent = nullptr;
    SimpleVector<Menu *> mChildren;
    KESTstring *mText = nullptr;
    KESTstring *mShortcut = nullptr;
    KESTstring *mHelp[kStringSlots] = {};
    RuntimeObject *mIcons[2] = {};
    bool mEnabled = true;
    bool mChecked = false;
    bool mVisible = true;
    bool mAutoEnable = true;
    bool mStyle[kStyleFlags] = {};
    CommandCallback mCallback = nullptr;
    void *mCallbackData = nullptr;
};
