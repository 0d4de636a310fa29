// Custom controls of plug-ins (see CustomControl.h): registration, the
// class's initializer, finalizer and CreatePane, the router that calls the
// behaviour callbacks, and the entry points a plug-in calls on its control.
#include "CustomControl.h"

#include "Control.h"
#include "CustomControlPane.h"
#include "Graphics.h"
#include "RuntimeErrorReport.h"
#include "RuntimePaneDelegate.h"

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kSource[] = "Common/CustomControl";

// One registered control: the plug-in's description, the runtime-owned
// copies of its event rows and the definition made from them.
struct Registration {
    KQPluginControl *control;
    std::deque<std::string> texts; // names and declarations the rows point into
    std::vector<EventEntry> events;
    HookEntry hooks[1];
    ObjectDefinition definition;
};

std::vector<std::unique_ptr<Registration>> &Registrations() {
    static std::vector<std::unique_ptr<Registration>> registrations;
    return registrations;
}

ObjectDefinition *FindByName(const KESTstring *name) {
    for (auto &r : Registrations()) {
        if (definitions::SameName(r->definition.name, name)) return &r->definition;
    }
    return nullptr;
}

// The registration of the control's class or of the nearest ancestor that
// a plug-in registered; null for other objects.
Registration *RegistrationOf(RuntimeObject *object) {
    if (object == nullptr) return nullptr;
    for (RuntimeClass *c = object->classPtr; c != nullptr; c = c->superclass)
        for (auto &r : Registrations())
            if (definitions::Convert(&r->definition) == c) return r.get();
    return nullptr;
}

const KQPluginControlBehaviour &BehaviourOf(Registration *r) {
    static const KQPluginControlBehaviour kNone{};
    return r != nullptr && r->control->behaviour != nullptr ? *r->control->behaviour : kNone;
}

// Calls the behaviour callbacks; every mouse position is turned from pane
// coordinates into window coordinates.
class CustomControlRouter : public ControlRouter<DrawingDelegate> {
  public:
    CustomControlRouter(RuntimeObject *control, Registration *registration)
        : ControlRouter(control), mBehaviour(BehaviourOf(registration)) {
        if (mBehaviour.open != nullptr) mBehaviour.open(mControl);
    }
    ~CustomControlRouter() override {
        if (mBehaviour.close != nullptr) mBehaviour.close(mControl);
    }

    void Paint(GdkDrawable *drawable, int width, int height, const GdkRectangle &area) override {
        if (mBehaviour.redraw == nullptr) return;
        Ref<> g = Ref<>::Adopt(graphics::NewForExposure(drawable, width, height, area));
        mBehaviour.redraw(mControl, g.get());
    }

    bool MouseDown(int x, int y) override {
        PaneRect r = controls::RectOf(mControl);
        return mBehaviour.mouseDown != nullptr &&
               mBehaviour.mouseDown(mControl, x + r.left, y + r.top) != 0;
    }
    void MouseDrag(int x, int y) override {
        PaneRect r = controls::RectOf(mControl);
        if (mBehaviour.mouseDrag != nullptr) mBehaviour.mouseDrag(mControl, x + r.left, y + r.top);
    }
    void MouseUp(int x, int y) override {
        PaneRect r = controls::RectOf(mControl);
        if (mBehaviour.mouseUp != nullptr) mBehaviour.mouseUp(mControl, x + r.left, y + r.top);
    }
    void MouseMove(int x, int y) override {
        routing::MouseMove(mControl, x, y);
        PaneRect r = controls::RectOf(mControl);
        if (mBehaviour.mouseMove != nullptr) mBehaviour.mouseMove(mControl, x + r.left, y + r.top);
    }
    void MouseExit() override {
        routing::MouseExit(mControl);
        if (mBehaviour.mouseExit != nullptr) mBehaviour.mouseExit(mControl);
    }
    void GotFocus() override {
        if (mBehaviour.gotFocus != nullptr) mBehaviour.gotFocus(mControl);
    }
    void LostFocus() override {
        if (mBehaviour.lostFocus != nullptr) mBehaviour.lostFocus(mControl);
    }
    bool KeyDown(KESTstring *key) override {
        return mBehaviour.keyDown != nullptr && kstr::Length(key) > 0 &&
               mBehaviour.keyDown(mControl, kstr::Bytes(key)[0]) != 0;
    }

  private:
    const KQPluginControlBehaviour &mBehaviour;
};

// Rejects a description the runtime cannot take: reported, nothing made.
bool Acceptable(const KQPluginControl *c) {
    const char *why = nullptr;
    if (c == nullptr)
        why = "control";
    else if (c->version != kKQPluginInterfaceVersion)
        why = "control->version == kKQPluginInterfaceVersion";
    else if (c->name == nullptr || *c->name == '\0')
        why = "control->name && *control->name";
    else if (c->eventCount > 0 && c->events == nullptr)
        why = "control->events || !control->eventCount";
    else if (c->dataSize > 0x10000)
        why = "control->dataSize <= 0x10000";
    if (why != nullptr) {
        KQ_ASSERT_TEXT(kSource, false, why, "A plug-in control description cannot be used.");
        return false;
    }
    kstr::StringRef name(kstr::FromC(c->name));
    if (FindByName(name.Get()) != nullptr || definitions::FindDefinition(name.Get()) != nullptr) {
        KQ_ASSERT_TEXT(kSource, false, "!RuntimeLookupClass(control->name)",
                       "A plug-in registered a control class name that exists already.");
        return false;
    }
    return true;
}

uint32_t RaiseEvent(RuntimeObject *control, uint32_t eventIndex) {
    Registration *r = RegistrationOf(control);
    if (r == nullptr || eventIndex >= r->events.size()) {
        KQ_ASSERT_TEXT(kSource, false, "eventIndex < control->eventCount",
                       "A plug-in raised an event its control does not have.");
        return 0;
    }
    return uint32_t(events::Raise(control, r->events[eventIndex].item));
}

} // namespace

namespace customcontrols {

uint32_t Count() {
    return uint32_t(Registrations().size());
}

ObjectDefinition *At(uint32_t index) {
    return index < Count() ? &Registrations()[index]->definition : nullptr;
}

} // namespace customcontrols

extern "C" {

void PluginRegisterControl(KQPluginControl *control) {
    if (!Acceptable(control)) return;
    if (Registrations().empty()) definitions::AddDefinitionFinder(FindByName);
    auto r = std::make_unique<Registration>();
    r->control = control;
    for (uint32_t i = 0; i < control->eventCount; ++i) {
        const KQPluginEvent &e = control->events[i];
        r->texts.push_back(e.name != nullptr ? e.name : "");
        const char *name = r->texts.back().c_str();
        r->texts.push_back(e.parameters != nullptr ? e.parameters : "");
        const char *parameters = r->texts.back().c_str();
        const char *result = nullptr;
        if (e.returnType != nullptr) {
            r->texts.push_back(e.returnType);
            result = r->texts.back().c_str();
        }
        r->events.push_back(KQ_EVENT(name, parameters, result));
    }
    r->hooks[0] = KQ_HOOK("CreatePane", CustomControlCreatePane);
    control->dataOffset = kRectControlInstanceSize;
    control->raiseEvent = RaiseEvent;
    uint32_t size = (kRectControlInstanceSize + control->dataSize + 3) & ~3u;
    ObjectDefinition *defn = &r->definition;
    definitions::Built(&RectControlDefinition);
    definitions::Init(defn, control->name, &RectControlDefinition, size);
    definitions::SetEvents(defn, r->events.data(), uint32_t(r->events.size()));
    definitions::SetHooks(defn, r->hooks, 1);
    defn->availability = KQ_GUI_ONLY;
    defn->initializer = KQ_FUNCTION(CustomControlConstructor);
    defn->finalizer = KQ_FUNCTION(CustomControlDestructor);
    Registrations().push_back(std::move(r));
}

void CustomControlConstructor(RuntimeObject *control) {
    Registration *r = RegistrationOf(control);
    if (r != nullptr && BehaviourOf(r).constructor != nullptr) BehaviourOf(r).constructor(control);
}

void CustomControlDestructor(RuntimeObject *control) {
    Registration *r = RegistrationOf(control);
    if (r != nullptr && BehaviourOf(r).destructor != nullptr) BehaviourOf(r).destructor(control);
}

void CustomControlCreatePane(RuntimeObject *control) {
    Registration *r = RegistrationOf(control);
    const KQPluginControlBehaviour &behaviour = BehaviourOf(r);
    bool focus = behaviour.acceptFocus != nullptr && behaviour.acceptFocus(control) != 0;
    auto *pane = new RuntimeCustomControlPane(controls::ParentPaneFor(control), focus);
    pane->SetDelegate(new CustomControlRouter(control, r));
    controls::AttachPane(control, pane);
}

void PluginGetControlBounds(RuntimeObject *control, KQPluginRect *bounds) {
    if (bounds == nullptr) return;
    PaneRect r = controls::IsRectControl(control) ? controls::RectOf(control) : PaneRect{};
    *bounds = {r.left, r.top, r.right, r.bottom};
}

bool KESTGetControlEnabled(RuntimeObject *control) {
    return controls::IsRectControl(control) &&
           reinterpret_cast<RectControlObject *>(control)->enabled != 0;
}

void KESTInvalidateControl(RuntimeObject *control) {
    if (SubPane *pane = controls::PaneOf(control)) drawingarea::Invalidate(pane);
}

RuntimeObject *KESTGetControlGraphics(RuntimeObject *control) {
    SubPane *pane = controls::PaneOf(control);
    if (pane == nullptr) return nullptr;
    return graphics::NewForWidget(pane->Widget(), pane->Rect().Width(), pane->Rect().Height());
}

void KESTLockObject(RuntimeObject *object) {
    RuntimeLockObject(object);
}

void KESTUnlockObject(RuntimeObject *object) {
    RuntimeUnlockObject(object);
}

} // extern "C"
