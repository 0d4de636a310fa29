// The class definitions of the control base: `Control`, `RectControl` and
// the hidden `_PaneChild` of control-array members, with their initializers
// and finalizers (records and slots in Control.h).
#include "Control.h"
#include "ControlAccessors.h"
#include "MenuDispatch.h"
#include "ViewDeclarations.h"

#include "WindowObject.h"

#include <climits>

namespace {

constexpr uint32_t kHiddenField = kMemberHidden;

// A hidden property that reads and writes its field directly.
#define KQ_FIELD(name, type, getter, setter, field)                                                \
    {                                                                                              \
        kHiddenField, name, type, KQ_CODE(getter), #getter, KQ_CODE(setter), #setter,              \
            offsetof(ControlObject, field), 0                                                      \
    }

const PropertyEntry kControlProperties[] = {
    KQ_PROPERTY("Name", &kTypeString, stringGetter, stringSetter, offsetof(ControlObject, mName)),
    KQ_PROPERTY("Index", &kTypeInteger, intGetter, intSetter, offsetof(ControlObject, mIndex)),
    KQ_PROPERTY("TabPanelIndex", &kTypeInteger, intGetter, ControlTabPanelIndexSetter,
                offsetof(ControlObject, mTabPanelIndex)),
    KQ_PROPERTY("PanelIndex", &kTypeInteger, ControlPanelIndexGetter, ControlPanelIndexSetter, 0),
    KQ_READONLY_PROPERTY("MouseX", &kTypeInteger, controlMouseXGetter, 0),
    KQ_READONLY_PROPERTY("MouseY", &kTypeInteger, controlMouseYGetter, 0),
    KQ_READONLY_PROPERTY("Window", &WindowDefinition, controlWindowGetter, 0),
    KQ_READONLY_PROPERTY("Handle", &kTypeInteger, controlMacControlHandleGetter, 0),
    KQ_FIELD("__kqf_mImp", &kTypePtr, intGetter, intSetter, mImp),
    KQ_FIELD("__kqf_mIndex", &kTypeInteger, intGetter, intSetter, mIndex),
    KQ_FIELD("__kqf_mInitialParent", &kTypeString, stringGetter, stringSetter, mInitialParent),
    KQ_FIELD("__kqf_mName", &kTypeString, stringGetter, stringSetter, mName),
    KQ_FIELD("__kqf_mPanelIndex", &kTypeInteger, intGetter, intSetter, mPanelIndex),
    KQ_FIELD("__kqf_mWindow", &kTypePtr, intGetter, intSetter, mWindow),
};

EventEntry kControlEvents[] = {KQ_CONTROL_EVENTS(KQ_EVENT_ROW)};

const RuntimeClassDeclaration kControlDeclaration = {"Control",
                                                     nullptr,
                                                     kControlInstanceSize,
                                                     KQ_GUI_ONLY,
                                                     false,
                                                     KQ_TABLE(kControlProperties),
                                                     KQ_NO_TABLE,
                                                     KQ_TABLE(kControlEvents),
                                                     KQ_NO_TABLE,
                                                     KQ_NO_TABLE,
                                                     KQ_FUNCTION(RuntimeControlInitializer),
                                                     KQ_FUNCTION(RuntimeControlFinalizer)};

#define KQ_RECT_FIELD(field) offsetof(RectControlObject, field)

const PropertyEntry kRectControlProperties[] = {
    KQ_PROPERTY("HelpTag", &kTypeString, stringGetter, controlHelpTagSetter,
                KQ_RECT_FIELD(helpTag)),
    KQ_PROPERTY("BalloonHelp", &kTypeString, stringGetter, controlBalloonHelpSetter,
                KQ_RECT_FIELD(balloonHelp)),
    KQ_PROPERTY("DisabledBalloonHelp", &kTypeString, stringGetter, controlDisabledBalloonHelpSetter,
                KQ_RECT_FIELD(disabledBalloonHelp)),
    KQ_PROPERTY("MouseCursor", &MouseCursorDefinition, objGetter, controlMouseCursorSetter,
                KQ_RECT_FIELD(mouseCursor)),
    KQ_PROPERTY("Visible", &kTypeBoolean, controlVisibleGetter, ControlVisibleSetter, 0),
    KQ_PROPERTY("Left", &kTypeInteger, ctlPosGetter, ctlPosSetter, 0),
    KQ_PROPERTY("Top", &kTypeInteger, ctlPosGetter, ctlPosSetter, 1),
    KQ_PROPERTY("Width", &kTypeInteger, ctlPosGetter, ctlPosSetter, 2),
    KQ_PROPERTY("Height", &kTypeInteger, ctlPosGetter, ctlPosSetter, 3),
    KQ_PROPERTY("Enabled", &kTypeBoolean, controlEnabledGetter, controlEnabledSetter, 0),
    KQ_READONLY_PROPERTY("Active", &kTypeBoolean, controlActiveGetter, 0),
    KQ_PROPERTY("AutoDeactivate", &kTypeBoolean, controlAutoDeactivateGetter,
                controlAutoDeactivateSetter, 0),
    KQ_PROPERTY("LockLeft", &kTypeBoolean, controlLockLeftGetter, controlLockLeftSetter, 0),
    KQ_PROPERTY("LockTop", &kTypeBoolean, controlLockTopGetter, controlLockTopSetter, 0),
    KQ_PROPERTY("LockRight", &kTypeBoolean, controlLockRightGetter, controlLockRightSetter, 0),
    KQ_PROPERTY("LockBottom", &kTypeBoolean, controlLockBottomGetter, controlLockBottomSetter, 0),
    KQ_PROPERTY("Parent", &RectControlDefinition, ControlParentGetter, ControlParentSetter, 0),
    {kHiddenField, "InitialParent", &kTypeString, nullptr, nullptr,
     KQ_CODE(ControlInitialParentSetter), "ControlInitialParentSetter", 0, 0},
};

const ParameterEntry kRefreshParameters[] = {KQ_ERASE_PARAMETER};
const ParameterEntry kRectParameters[] = {KQ_RECT_PARAMETERS("left", "top"), KQ_ERASE_PARAMETER};
const ParameterEntry kMoveParameters[] = {KQ_RECT_PARAMETERS("left", "top")};
const ParameterEntry kDrawIntoParameters[] = {KQ_PARAMETER("graphics", &GraphicsDefinition),
                                              KQ_PARAMETER("left", &kTypeInteger),
                                              KQ_PARAMETER("top", &kTypeInteger)};
const ParameterEntry kMenuHandlerParameters[] = {KQ_PARAMETER("name", &kTypeString),
                                                 KQ_PARAMETER("handler", &kTypePtr)};

const MethodEntry kRectControlMethods[] = {
    KQ_METHOD("Refresh", nullptr, KQ_TABLE(kRefreshParameters), RuntimeControlRefresh),
    KQ_METHOD("RefreshRect", nullptr, KQ_TABLE(kRectParameters), RuntimeControlRefreshRect),
    KQ_METHOD("Invalidate", nullptr, KQ_TABLE(kRefreshParameters), RuntimeControlInvalidate),
    KQ_METHOD("InvalidateRect", nullptr, KQ_TABLE(kRectParameters), RuntimeControlInvalidateRect),
    KQ_METHOD("SetFocus", nullptr, KQ_NO_TABLE, RuntimeSetFocus),
    KQ_METHOD("_Move", nullptr, KQ_TABLE(kMoveParameters), RuntimeControlMove),
    KQ_METHOD("_DefaultHeight", &kTypeInteger, KQ_NO_TABLE, RuntimeControlDefaultHeight),
    KQ_METHOD("_AddMenuHandler", nullptr, KQ_TABLE(kMenuHandlerParameters), ControlAddMenuHandler),
    KQ_METHOD("DrawInto", nullptr, KQ_TABLE(kDrawIntoParameters), RuntimeControlDrawInto),
    KQ_METHOD("RectControl", nullptr, KQ_NO_TABLE, RectControlDefaultConstructor),
};

EventEntry kRectControlEvents[] = {KQ_RECT_CONTROL_EVENTS(KQ_EVENT_ROW)};

const RuntimeClassDeclaration kRectControlDeclaration = {"RectControl",
                                                         &ControlDefinition,
                                                         kRectControlInstanceSize,
                                                         KQ_GUI_ONLY,
                                                         false,
                                                         KQ_TABLE(kRectControlProperties),
                                                         KQ_TABLE(kRectControlMethods),
                                                         KQ_TABLE(kRectControlEvents),
                                                         KQ_NO_TABLE,
                                                         KQ_NO_TABLE,
                                                         KQ_FUNCTION(RectControlInitializer),
                                                         KQ_FUNCTION(RectControlFinalizer)};

// Control-array members implement `_PaneChild`; the compiled member class
// supplies the code of its methods.
const ParameterEntry kSetWindowParameters[] = {KQ_PARAMETER("w", &WindowDefinition)};
const ParameterEntry kSetIndexParameters[] = {KQ_PARAMETER("index", &kTypeInteger)};
const MethodEntry kPaneChildMethods[] = {
    {"_SetWindow", nullptr, KQ_TABLE(kSetWindowParameters), KQ_NO_FUNCTION, KQ_NO_FUNCTION, 0, 0,
     0},
    {"Window", &WindowDefinition, KQ_NO_TABLE, KQ_NO_FUNCTION, KQ_NO_FUNCTION, 0, 0, 0},
    {"_Index", &kTypeInteger, KQ_NO_TABLE, KQ_NO_FUNCTION, KQ_NO_FUNCTION, 0, 0, 0},
    {"_SetIndex", nullptr, KQ_TABLE(kSetIndexParameters), KQ_NO_FUNCTION, KQ_NO_FUNCTION, 0, 0, 0},
};
const RuntimeClassDeclaration kPaneChildDeclaration = {"_PaneChild",
                                                       nullptr,
                                                       sizeof(RuntimeObject),
                                                       KQ_GUI_ONLY,
                                                       true,
                                                       KQ_NO_TABLE,
                                                       KQ_TABLE(kPaneChildMethods),
                                                       KQ_NO_TABLE,
                                                       KQ_NO_TABLE,
                                                       KQ_NO_TABLE,
                                                       KQ_NO_FUNCTION,
                                                       KQ_NO_FUNCTION};

} // namespace

ObjectDefinition ControlDefinition(&kControlDeclaration);
ObjectDefinition RectControlDefinition(&kRectControlDeclaration);
ObjectDefinition _PaneChildDefinition(&kPaneChildDeclaration);

namespace controls {

const EventItem *Event(ControlEvent event) {
    uint32_t index = uint32_t(event);
    uint32_t controlEvents = sizeof kControlEvents / sizeof kControlEvents[0];
    // The entries know their items and indexes once the class is converted.
    definitions::Convert(&RectControlDefinition);
    return index < controlEvents ? kControlEvents[index].item
                                 : kRectControlEvents[index - controlEvents].item;
}

bool IsControl(RuntimeObject *object) {
    return definitions::IsA(object, &ControlDefinition);
}

bool IsRectControl(RuntimeObject *object) {
    return definitions::IsA(object, &RectControlDefinition);
}

} // namespace controls

extern "C" {

void RuntimeControlInitializer(RuntimeObject *object) {
    reinterpret_cast<ControlObject *>(object)->mIndex = INT_MIN;
}

void RuntimeControlFinalizer(RuntimeObject *object) {
    auto *control = reinterpret_cast<ControlObject *>(object);
    delete control->mImp;
    control->mImp = nullptr;
    RuntimeUnlockString(control->mName);
    RuntimeUnlockString(control->mInitialParent);
    control->mName = control->mInitialParent = nullptr;
}

void RectControlInitializer(RuntimeObject *object) {
    auto *control = reinterpret_cast<RectControlObject *>(object);
    control->visible = control->enabled = control->autoDeactivate = 1;
}

void RectControlFinalizer(RuntimeObject *object) {
    auto *control = reinterpret_cast<RectControlObject *>(object);
    // The pane goes first: it may still refer to the fields below.
    delete control->control.mImp;
    control->control.mImp = nullptr;
    RuntimeUnlockString(control->helpTag);
    RuntimeUnlockString(control->balloonHelp);
    RuntimeUnlockString(control->disabledBalloonHelp);
    RuntimeUnlockObject(control->mouseCursor);
    RuntimeUnlockObject(control->parent);
    menus::ForgetControlMenuHandlers(object);
    control->helpTag = control->balloonHelp = control->disabledBalloonHelp = nullptr;
    control->mouseCursor = control->parent = nullptr;
}

} // extern "C"
