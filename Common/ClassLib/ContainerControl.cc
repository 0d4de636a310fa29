// Container controls and their embedding controls (see ContainerControl.h):
// the two classes, the link between them, the pane in the holding window
// and closing a container.
#include "ContainerControl.h"

#include "ControlAccessors.h"
#include "EmbeddingPane.h"
#include "GenericAccessors.h"
#include "RuntimePaneDelegate.h"
#include "RuntimeViewWindow.h"

#include <glib.h>

#include <cstdint>

extern "C" {
void EmbeddedWindowControlInitializer(RuntimeObject *control);
void EmbeddedWindowControlFinalizer(RuntimeObject *control);
void EmbeddedWindowControlCreatePane(RuntimeObject *control);
void ContainerControlFinalizer(RuntimeObject *container);
}

namespace {

#define KQ_CONTAINER_FIELD(field) offsetof(ContainerObject, field)
const PropertyEntry kContainerProperties[] = {
    KQ_PROPERTY("Name", &kTypeString, stringGetter, stringSetter, KQ_CONTAINER_FIELD(name)),
    KQ_PROPERTY("Index", &kTypeInteger, intGetter, intSetter, KQ_CONTAINER_FIELD(index)),
    KQ_PROPERTY("LockLeft", &kTypeBoolean, boolGetter, boolSetter, KQ_CONTAINER_FIELD(locks[0])),
    KQ_PROPERTY("LockTop", &kTypeBoolean, boolGetter, boolSetter, KQ_CONTAINER_FIELD(locks[1])),
    KQ_PROPERTY("LockRight", &kTypeBoolean, boolGetter, boolSetter, KQ_CONTAINER_FIELD(locks[2])),
    KQ_PROPERTY("LockBottom", &kTypeBoolean, boolGetter, boolSetter, KQ_CONTAINER_FIELD(locks[3])),
};

const RuntimeClassDeclaration kContainerDeclaration = {"ContainerControl",
                                                       &WindowDefinition,
                                                       sizeof(ContainerObject),
                                                       KQ_GUI_ONLY,
                                                       false,
                                                       KQ_TABLE(kContainerProperties),
                                                       KQ_NO_TABLE,
                                                       KQ_NO_TABLE,
                                                       KQ_NO_TABLE,
                                                       KQ_NO_TABLE,
                                                       KQ_NO_FUNCTION,
                                                       KQ_FUNCTION(ContainerControlFinalizer)};

const HookEntry kEmbeddedHooks[] = {KQ_HOOK("CreatePane", EmbeddedWindowControlCreatePane)};

const RuntimeClassDeclaration kEmbeddedDeclaration = {"EmbeddedWindowControl",
                                                      &RectControlDefinition,
                                                      sizeof(EmbeddedWindowControlObject),
                                                      KQ_GUI_ONLY,
                                                      false,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_NO_TABLE,
                                                      KQ_TABLE(kEmbeddedHooks),
                                                      KQ_NO_TABLE,
                                                      KQ_FUNCTION(EmbeddedWindowControlInitializer),
                                                      KQ_FUNCTION(EmbeddedWindowControlFinalizer)};

EmbeddedWindowControlObject *AsEmbedded(RuntimeObject *object) {
    return definitions::IsA(object, &EmbeddedWindowControlDefinition)
               ? reinterpret_cast<EmbeddedWindowControlObject *>(object)
               : nullptr;
}

// The router of the embedding pane: the common callbacks on the embedding
// control, with the container's lock flags.
class EmbeddingRouter : public RuntimePaneDelegate {
  public:
    EmbeddingRouter(RuntimeObject *control, ContainerObject *container)
        : RuntimePaneDelegate(control), mContainer(container) {}

    uint8_t Locks() override {
        const uint8_t *l = mContainer->locks;
        return uint8_t((l[0] ? kLockLeft : 0) | (l[1] ? kLockTop : 0) | (l[2] ? kLockRight : 0) |
                       (l[3] ? kLockBottom : 0));
    }

  private:
    ContainerObject *mContainer; // not counted: it holds the control
};

void CollectViews(WindowObject *window, std::vector<WindowObject *> &views) {
    views.push_back(window);
    for (uint32_t i = 0; window->mControlList != nullptr && i < window->mControlList->Count(); ++i)
        if (ContainerObject *inner = containers::AsContainer((*window->mControlList)[i]))
            CollectViews(&inner->window, views);
}

// Takes the container out of the control list and name map of the window
// that holds it; the list's reference goes to the caller. False when no
// list held it.
bool RemoveFromHolder(WindowObject *container) {
    RuntimeObject *self = &container->header;
    WindowObject *holder = windows::AsWindow(controls::WindowOf(containers::MemberControl(self)));
    if (holder == nullptr || holder->mControlList == nullptr) return false;
    bool removed = false;
    for (uint32_t i = holder->mControlList->Count(); i-- > 0;) {
        if ((*holder->mControlList)[i] != self) continue;
        holder->mControlList->RemoveAt(i);
        removed = true;
    }
    KESTstring *key = nullptr;
    if (holder->mControls != nullptr) {
        StringMap<RuntimeObject *>::Iterator it(*holder->mControls);
        RuntimeObject *value = nullptr;
        while (it.Next(&key, &value))
            if (value == self) break;
        if (value != self) key = nullptr;
    }
    if (key != nullptr) {
        kstr::StringRef held(kstr::Share(key));
        holder->mControls->Remove(held.Get());
    }
    return removed;
}

gboolean DismantleLater(gpointer data) {
    auto *container = static_cast<WindowObject *>(data);
    containers::Dismantle(container);
    controls::SetWindow(containers::MemberControl(&container->header), nullptr);
    RuntimeUnlockObject(&container->header); // the holder's list reference
    return G_SOURCE_REMOVE;
}

} // namespace

ObjectDefinition ContainerControlDefinition(&kContainerDeclaration);
ObjectDefinition EmbeddedWindowControlDefinition(&kEmbeddedDeclaration);

namespace containers {

ContainerObject *AsContainer(RuntimeObject *object) {
    return definitions::IsA(object, &ContainerControlDefinition)
               ? reinterpret_cast<ContainerObject *>(object)
               : nullptr;
}

WindowObject *TemplateOf(RuntimeObject *control) {
    EmbeddedWindowControlObject *e = AsEmbedded(control);
    return e != nullptr ? windows::AsWindow(e->templateWindow) : nullptr;
}

void Attach(WindowObject *container) {
    ContainerObject *c = AsContainer(&container->header);
    if (c == nullptr || c->embedding != nullptr) return;
    RuntimeLockObject(&container->header);
    c->holdsItself = 1;
    c->index = INT32_MIN; // no control-array member
    c->embedding = RuntimeNewObject(definitions::Convert(&EmbeddedWindowControlDefinition));
    if (EmbeddedWindowControlObject *e = AsEmbedded(c->embedding))
        e->templateWindow = &container->header;
}

RuntimeObject *MemberControl(RuntimeObject *member) {
    ContainerObject *c = AsContainer(member);
    return c != nullptr ? c->embedding : member;
}

std::vector<WindowObject *> ViewTree(WindowObject *window) {
    std::vector<WindowObject *> views;
    if (window != nullptr) CollectViews(window, views);
    return views;
}

ContainerPane *PaneOf(WindowObject *container) {
    ContainerObject *c = AsContainer(&container->header);
    return c != nullptr ? dynamic_cast<ContainerPane *>(controls::PaneOf(c->embedding)) : nullptr;
}

void Close(WindowObject *container) {
    if (PaneOf(container) == nullptr || container->closing) return;
    container->closing = 1;
    RuntimeObject *embedding = MemberControl(&container->header);
    ControlVisibleSetter(embedding, 0, false);
    // DismantleLater drops the list's reference, or one taken here.
    if (!RemoveFromHolder(container)) RuntimeLockObject(&container->header);
    // The controls may be in the middle of an event of their own (a button
    // of the container that closes it): they go after it has returned.
    g_idle_add(DismantleLater, container);
}

void Dismantle(WindowObject *container) {
    ContainerObject *c = AsContainer(&container->header);
    if (c == nullptr) return;
    windows::ReleaseControls(container->mControlList, container->mControls);
    container->mContentPane = nullptr;
    container->mFocusControl = nullptr;
    container->closing = 0;
    controls::DestroyPane(c->embedding);
    if (c->holdsItself) {
        c->holdsItself = 0;
        RuntimeUnlockObject(&container->header);
    }
}

} // namespace containers

extern "C" {

void EmbeddedWindowControlInitializer(RuntimeObject *control) {
    if (EmbeddedWindowControlObject *e = AsEmbedded(control)) e->templateWindow = nullptr;
}

void EmbeddedWindowControlFinalizer(RuntimeObject *control) {
    if (EmbeddedWindowControlObject *e = AsEmbedded(control)) e->templateWindow = nullptr;
}

void ContainerControlFinalizer(RuntimeObject *container) {
    ContainerObject *c = containers::AsContainer(container);
    if (c == nullptr) return;
    RuntimeUnlockString(c->name);
    c->name = nullptr;
    if (c->embedding == nullptr) return;
    if (EmbeddedWindowControlObject *e = AsEmbedded(c->embedding)) e->templateWindow = nullptr;
    RuntimeUnlockObject(c->embedding);
    c->embedding = nullptr;
}

// The embedding control's pane: the container's content, in which the
// container's controls are made; shown as the embedding control says once
// they exist.
void EmbeddedWindowControlCreatePane(RuntimeObject *control) {
    WindowObject *container = containers::TemplateOf(control);
    if (container == nullptr) return;
    auto *pane = new EmbeddingPane(controls::ParentPaneFor(control));
    pane->SetDelegate(new EmbeddingRouter(control, containers::AsContainer(&container->header)));
    controls::AttachPane(control, pane);
    container->mContentPane = pane;
    if (container->mControlList == nullptr)
        container->mControlList = new SimpleVector<RuntimeObject *>(256);
    if (container->mControls == nullptr) container->mControls = new StringMap<RuntimeObject *>(256);
    windows::CreateControlPanes(container);
    pane->SetVisible(controlVisibleGetter(control, 0));
}

} // extern "C"
