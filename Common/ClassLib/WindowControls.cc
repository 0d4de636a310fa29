// The controls of a window: adding them (_AddControl), finding them by name
// and by index, making their panes and releasing them; the window's menu
// handlers.
#include "WindowAccessors.h"

#include "ContainerControl.h"
#include "Control.h"
#include "RuntimeException.h"
#include "RuntimeViewWindow.h"

#include <cstdint>
#include <string>

namespace {

// The index of a control-array member: asked through its `_Index` when its
// class implements `_PaneChild`, otherwise its Index, which its property
// stream set; false for a control that is no member (its Index is the
// smallest integer).
bool ArrayIndex(RuntimeObject *object, int32_t *index) {
    const RuntimeInterfaceEntry *entry =
        objects::FindInterface(object->classPtr, definitions::Convert(&_PaneChildDefinition));
    constexpr uint32_t kIndexMethod = 2; // _SetWindow, Window, _Index, _SetIndex
    if (entry == nullptr || entry->methodCount <= kIndexMethod ||
        entry->methods[kIndexMethod].code == nullptr) {
        if (!controls::IsControl(object)) return false;
        *index = reinterpret_cast<ControlObject *>(object)->mIndex;
        return *index != INT32_MIN;
    }
    uint32_t argument = uint32_t(reinterpret_cast<uintptr_t>(object));
    *index = int32_t(RuntimeCallImageHandler(entry->methods[kIndexMethod].code, 1, &argument));
    return true;
}

KESTstring *ArrayKey(KESTstring *name, int32_t index) {
    KESTstring *key = kstr::Share(name);
    kstr::AppendFormat(&key, "$%d", index);
    return key;
}

} // namespace

namespace windows {

void CreateControlPanes(WindowObject *w) {
    for (uint32_t i = 0; w->mControlList != nullptr && i < w->mControlList->Count(); ++i)
        controls::CreatePane(containers::MemberControl((*w->mControlList)[i]));
}

void ReleaseControls(SimpleVector<RuntimeObject *> *&list, StringMap<RuntimeObject *> *&map) {
    delete map;
    map = nullptr;
    SimpleVector<RuntimeObject *> *members = list;
    list = nullptr;
    if (members == nullptr) return;
    // Last added first: enclosed panes go before their containers.
    for (uint32_t i = members->Count(); i-- > 0;) {
        if (ContainerObject *container = containers::AsContainer((*members)[i]))
            containers::Dismantle(&container->window);
        else
            controls::DestroyPane((*members)[i]);
    }
    for (uint32_t i = members->Count(); i-- > 0;) {
        controls::SetWindow(containers::MemberControl((*members)[i]), nullptr);
        RuntimeUnlockObject((*members)[i]);
    }
    delete members;
}

} // namespace windows

extern "C" {

void WindowAddControl(RuntimeObject *window, KESTstring *name, RuntimeObject *control) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || control == nullptr) return;
    if (w->mControlList == nullptr) w->mControlList = new SimpleVector<RuntimeObject *>(256);
    if (w->mControls == nullptr) w->mControls = new StringMap<RuntimeObject *>(256);
    int32_t index;
    kstr::StringRef key(kstr::Share(name));
    if (ArrayIndex(control, &index)) {
        key.Reset(ArrayKey(name, index));
        while (w->mControls->Lookup(key.Get(), nullptr))
            key.Reset(ArrayKey(name, ++index));
    }
    w->mControls->Set(key.Get(), control);
    w->mControlList->Append(control);
    RuntimeLockObject(control);
    RuntimeObject *member = containers::MemberControl(control);
    controls::SetWindow(member, window);
    if (w->mContentPane == nullptr) return;
    controls::CreatePane(member);
    // A container added after the window's Open events opens at once.
    ContainerObject *container = containers::AsContainer(control);
    if (container != nullptr && w->mInitialControlsCreated)
        windows::RaiseOpenEvents(&container->window);
}

void WindowAddMenuHandler(RuntimeObject *window, KESTstring *name, void *handler) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    if (w->mMenuHandlers == nullptr) w->mMenuHandlers = new StringMap<void *>(256);
    w->mMenuHandlers->Set(name, handler);
}

RuntimeObject *RuntimeControlReference(RuntimeObject *window, KESTstring *name) {
    WindowObject *w = windows::AsWindow(window);
    RuntimeObject *control = nullptr;
    if (w == nullptr || w->mControls == nullptr || !w->mControls->Lookup(name, &control))
        return nullptr;
    RuntimeLockObject(control);
    return control;
}

RuntimeObject *RuntimeControlArrayItemReference(RuntimeObject *window, KESTstring *name,
                                                int32_t index) {
    kstr::StringRef key(ArrayKey(name, index));
    return RuntimeControlReference(window, key.Get());
}

int32_t windowControlCountGetter(RuntimeObject *window, int32_t) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    int32_t count = 0;
    for (uint32_t i = 0; w != nullptr && w->mControlList != nullptr && i < w->mControlList->Count();
         ++i)
        count += controls::IsControl((*w->mControlList)[i]);
    return count;
}

RuntimeObject *windowControl(RuntimeObject *window, int32_t index) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return nullptr;
    int32_t seen = 0;
    for (uint32_t i = 0; index >= 0 && w->mControlList != nullptr && i < w->mControlList->Count();
         ++i) {
        RuntimeObject *member = (*w->mControlList)[i];
        if (!controls::IsControl(member) || seen++ != index) continue;
        RuntimeLockObject(member);
        return member;
    }
    RaiseOutOfBoundsException();
    return nullptr;
}

} // extern "C"
