// The class definition of `Window`: constants, properties in slot order,
// methods and events in event order (record and slots in WindowObject.h).
#include "ViewDeclarations.h"
#include "WindowAccessors.h"
#include "WindowObject.h"

namespace {

#define KQ_ALIAS_PROPERTY(name, type, getter, setter, parameter)                                   \
    {                                                                                              \
        kAliasPropertyFlag, name, type, KQ_CODE(getter), #getter, KQ_CODE(setter), #setter,        \
            parameter, 0                                                                           \
    }
#define KQ_ALIAS_READONLY_PROPERTY(name, type, getter, parameter)                                  \
    { kAliasPropertyFlag, name, type, KQ_CODE(getter), #getter, nullptr, nullptr, parameter, 0 }
// A property whose accessors the module of its type supplies; until then it
// keeps its slot without them.
#define KQ_PENDING_PROPERTY(name, type)                                                            \
    { 0, name, type, nullptr, nullptr, nullptr, nullptr, 0, 0 }
#define KQ_WINDOW_FIELD(field) offsetof(WindowObject, field)
// The window's own records, readable by the image's framework code only.
#define KQ_WINDOW_RECORD_FIELD(name, field)                                                        \
    {                                                                                              \
        kMemberHidden, name, &kTypePtr, KQ_CODE(intGetter), "intGetter", nullptr, nullptr,         \
            KQ_WINDOW_FIELD(field), 0                                                              \
    }

const PropertyEntry kWindowProperties[] = {
    KQ_CONSTANT("FrameTypeDocument", &kTypeInteger, 0),
    KQ_CONSTANT("FrameTypeMovableModal", &kTypeInteger, 1),
    KQ_CONSTANT("FrameTypeModal", &kTypeInteger, 2),
    KQ_CONSTANT("FrameTypeFloating", &kTypeInteger, 3),
    KQ_CONSTANT("FrameTypePlain", &kTypeInteger, 4),
    KQ_CONSTANT("FrameTypeShadowed", &kTypeInteger, 5),
    KQ_CONSTANT("FrameTypeRounded", &kTypeInteger, 6),
    KQ_CONSTANT("FrameTypeGlobalFloating", &kTypeInteger, 7),
    KQ_CONSTANT("FrameTypeSheet", &kTypeInteger, 8),
    KQ_CONSTANT("FrameTypeMetal", &kTypeInteger, 9),
    KQ_CONSTANT("FrameTypeDrawer", &kTypeInteger, 10),
    KQ_CONSTANT("FrameTypeModelessDialog", &kTypeInteger, 11),
    KQ_CONSTANT("PlacementDefault", &kTypeInteger, 0),
    KQ_CONSTANT("PlacementParent", &kTypeInteger, 1),
    KQ_CONSTANT("PlacementMainScreen", &kTypeInteger, 2),
    KQ_CONSTANT("PlacementParentScreen", &kTypeInteger, 3),
    KQ_CONSTANT("PlacementStagger", &kTypeInteger, 4),
    KQ_CONSTANT("PlacementDrawerTopLeft", &kTypeInteger, 0),
    KQ_CONSTANT("PlacementDrawerCenter", &kTypeInteger, 1),
    KQ_CONSTANT("PlacementDrawerBottomRight", &kTypeInteger, 2),
    KQ_CONSTANT("ShowWithinDefault", &kTypeInteger, -1),
    KQ_CONSTANT("ShowWithinTop", &kTypeInteger, 0),
    KQ_CONSTANT("ShowWithinBottom", &kTypeInteger, 1),
    KQ_CONSTANT("ShowWithinRight", &kTypeInteger, 2),
    KQ_CONSTANT("ShowWithinLeft", &kTypeInteger, 3),

    KQ_PROPERTY("Visible", &kTypeBoolean, WindowVisibleGetter, WindowVisibleSetter, 0),
    KQ_PROPERTY("Left", &kTypeInteger, windowPosGetter, windowPosSetter, 0),
    KQ_PROPERTY("Top", &kTypeInteger, windowPosGetter, windowPosSetter, 1),
    KQ_PROPERTY("Width", &kTypeInteger, windowPosGetter, windowPosSetter, 2),
    KQ_PROPERTY("Height", &kTypeInteger, windowPosGetter, windowPosSetter, 3),
    KQ_PROPERTY("Placement", &kTypeInteger, windowPlacementGetter, windowPlacementSetter, 0),
    KQ_PROPERTY("Title", &kTypeString, windowTitleGetter, windowTitleSetter, 0),
    KQ_PROPERTY("FullScreen", &kTypeBoolean, windowFullScreenGetter, windowFullScreenSetter, 0),
    KQ_PROPERTY("MenuBarVisible", &kTypeBoolean, windowMenusVisibleGetter, windowMenusVisibleSetter,
                0),
    KQ_ALIAS_PROPERTY("CloseBox", &kTypeBoolean, windowCloseBoxGetter, windowCloseBoxSetter, 0),
    KQ_PROPERTY("CloseButton", &kTypeBoolean, windowCloseBoxGetter, windowCloseBoxSetter, 0),
    KQ_ALIAS_PROPERTY("GrowIcon", &kTypeBoolean, windowGrowIconGetter, windowGrowIconSetter, 0),
    KQ_PROPERTY("Resizeable", &kTypeBoolean, windowGrowIconGetter, windowGrowIconSetter, 0),
    KQ_ALIAS_PROPERTY("ZoomIcon", &kTypeBoolean, windowZoomIconGetter, windowZoomIconSetter, 0),
    KQ_PROPERTY("MaximizeButton", &kTypeBoolean, windowZoomIconGetter, windowZoomIconSetter, 0),
    KQ_PROPERTY("MinimizeButton", &kTypeBoolean, boolGetter, boolSetter,
                KQ_WINDOW_FIELD(minimizeButton)),
    KQ_PROPERTY("Frame", &kTypeInteger, windowFrameGetter, windowFrameSetter, 0),
    KQ_PROPERTY("Composite", &kTypeBoolean, boolGetter, boolSetter, KQ_WINDOW_FIELD(composite)),
    KQ_PROPERTY("LiveResize", &kTypeBoolean, windowLiveResizeGetter, windowLiveResizeSetter, 0),
    KQ_PROPERTY("Backdrop", &PictureDefinition, windowBackdropGetter, windowBackdropSetter, 0),
    KQ_READONLY_PROPERTY("Graphics", &GraphicsDefinition, windowGraphicsGetter, 0),
    KQ_PROPERTY("HasBackColor", &kTypeBoolean, windowHasBackColorGetter, windowHasBackColorSetter,
                0),
    KQ_PROPERTY("BackColor", &kTypeColor, windowBackColorGetter, windowBackColorSetter, 0),
    KQ_PROPERTY("BalloonHelp", &kTypeString, stringGetter, windowBalloonHelpSetter,
                KQ_WINDOW_FIELD(balloonHelp)),
    KQ_PROPERTY("MinWidth", &kTypeInteger, windowMinMaxWidthHeightGetter,
                windowMinMaxWidthHeightSetter, 0),
    KQ_PROPERTY("MinHeight", &kTypeInteger, windowMinMaxWidthHeightGetter,
                windowMinMaxWidthHeightSetter, 1),
    KQ_PROPERTY("MaxWidth", &kTypeInteger, windowMinMaxWidthHeightGetter,
                windowMinMaxWidthHeightSetter, 2),
    KQ_PROPERTY("MaxHeight", &kTypeInteger, windowMinMaxWidthHeightGetter,
                windowMinMaxWidthHeightSetter, 3),
    KQ_PROPERTY("MacProcId", &kTypeInteger, intGetter, intSetter, KQ_WINDOW_FIELD(macProcId)),
    KQ_PROPERTY("MouseCursor", &MouseCursorDefinition, objGetter, formMouseCursorSetter,
                KQ_WINDOW_FIELD(mouseCursor)),
    KQ_READONLY_PROPERTY("ControlCount", &kTypeInteger, windowControlCountGetter, 0),
    KQ_PROPERTY("FloaterProcess", &kTypeString, stringGetter, stringSetter,
                KQ_WINDOW_FIELD(floaterProcess)),
    KQ_READONLY_PROPERTY("MouseX", &kTypeInteger, windowMouseXGetter, 0),
    KQ_READONLY_PROPERTY("MouseY", &kTypeInteger, windowMouseYGetter, 0),
    KQ_ALIAS_READONLY_PROPERTY("MacWindowPtr", &kTypeInteger, windowWindowPtrGetter, 0),
    KQ_ALIAS_READONLY_PROPERTY("WinHWND", &kTypeInteger, windowHWNDGetter, 0),
    KQ_READONLY_PROPERTY("Handle", &kTypeInteger, WindowHandleGetter, 0),
    KQ_PENDING_PROPERTY("DockItem", &DockItemDefinition),
    KQ_PROPERTY("MenuBar", &MenuBarDefinition, WindowMenuBarGetter, WindowMenuBarSetter, 0),
    KQ_PROPERTY("Focus", &RectControlDefinition, WindowFocusGetter, WindowFocusSetter, 0),
    KQ_WINDOW_RECORD_FIELD("__kqf_mImp", mImp),
    KQ_WINDOW_RECORD_FIELD("__kqf_mControls", mControls),
    KQ_WINDOW_RECORD_FIELD("__kqf_mControlList", mControlList),
    KQ_WINDOW_RECORD_FIELD("__kqf_mMenuHandlers", mMenuHandlers),
    KQ_WINDOW_RECORD_FIELD("__kqf_mContentPane", mContentPane),
    {kMemberHidden, "__kqf_mInitialControlsCreated", &kTypeBoolean, KQ_CODE(boolGetter),
     "boolGetter", nullptr, nullptr, KQ_WINDOW_FIELD(mInitialControlsCreated), 0},
    KQ_WINDOW_RECORD_FIELD("__kqf_mFocusControl", mFocusControl),
};

const ParameterEntry kShowWithinParameters[] = {
    KQ_PARAMETER("parentWindow", &WindowDefinition),
    KQ_OPTIONAL_PARAMETER("facing", &kTypeInteger, "-1")};
const ParameterEntry kParentParameters[] = {KQ_PARAMETER("parentWindow", &WindowDefinition)};
const ParameterEntry kRefreshParameters[] = {KQ_ERASE_PARAMETER};
const ParameterEntry kRefreshRectParameters[] = {KQ_RECT_PARAMETERS("x", "y"), KQ_ERASE_PARAMETER};
const ParameterEntry kIndexParameters[] = {KQ_PARAMETER("Index", &kTypeInteger)};
const ParameterEntry kAddControlParameters[] = {KQ_PARAMETER("name", &kTypeString),
                                                KQ_PARAMETER("obj", &kTypeObject)};
const ParameterEntry kMenuHandlerParameters[] = {KQ_PARAMETER("name", &kTypeString),
                                                 KQ_PARAMETER("handler", &kTypePtr)};
const ParameterEntry kNewParameters[] = {KQ_PARAMETER("classToCreate", &kTypePtr)};
const ParameterEntry kMoveParameters[] = {KQ_RECT_PARAMETERS("left", "top")};
const ParameterEntry kDrawIntoParameters[] = {
    KQ_PARAMETER("g", &GraphicsDefinition), KQ_PARAMETER("x", &kTypeInteger),
    KQ_PARAMETER("y", &kTypeInteger), KQ_PARAMETER("_asActive", &kTypeBoolean)};
const ParameterEntry kDrawBackgroundParameters[] = {
    KQ_PARAMETER("g", &GraphicsDefinition), KQ_RECT_PARAMETERS("x", "y"),
    KQ_PARAMETER("srcLeft", &kTypeInteger), KQ_PARAMETER("srcTop", &kTypeInteger)};

const MethodEntry kWindowMethods[] = {
    KQ_METHOD("Show", nullptr, KQ_NO_TABLE, RuntimeShowWindow),
    KQ_METHOD("ShowWithin", nullptr, KQ_TABLE(kShowWithinParameters), RuntimeShowWithinWindow),
    KQ_METHOD("ShowModalWithin", nullptr, KQ_TABLE(kParentParameters),
              RuntimeShowModalWithinWindow),
    KQ_METHOD("Hide", nullptr, KQ_NO_TABLE, RuntimeHideWindow),
    KQ_METHOD("Close", nullptr, KQ_NO_TABLE, RuntimeCloseWindow),
    KQ_METHOD("Refresh", nullptr, KQ_TABLE(kRefreshParameters), formRefresh),
    KQ_METHOD("RefreshRect", nullptr, KQ_TABLE(kRefreshRectParameters), formRefreshRect),
    KQ_METHOD("ShowModal", nullptr, KQ_NO_TABLE, RuntimeShowModal),
    KQ_METHOD("Control", &ControlDefinition, KQ_TABLE(kIndexParameters), windowControl),
    KQ_METHOD("SetFocus", nullptr, KQ_NO_TABLE, formSetFocus),
    KQ_METHOD("UpdateNow", nullptr, KQ_NO_TABLE, WindowForceUpdateFrontBuffer),
    KQ_METHOD("_AddControl", nullptr, KQ_TABLE(kAddControlParameters), WindowAddControl),
    KQ_METHOD("_AddMenuHandler", nullptr, KQ_TABLE(kMenuHandlerParameters), WindowAddMenuHandler),
    KQ_METHOD("Window", nullptr, KQ_NO_TABLE, WindowDefaultConstructor),
    KQ_METHOD("Operator_Convert", &kTypePtr, KQ_NO_TABLE, WindowToWindowPtr),
    {"__New", &WindowDefinition, KQ_TABLE(kNewParameters), KQ_FUNCTION(WindowAllocateObject),
     KQ_NO_FUNCTION, 0, kMemberShared, 0},
    KQ_METHOD("_Move", nullptr, KQ_TABLE(kMoveParameters), WindowMove),
    KQ_METHOD("Maximize", nullptr, KQ_NO_TABLE, WindowMaximize),
    KQ_METHOD("Minimize", nullptr, KQ_NO_TABLE, WindowMinimize),
    KQ_METHOD("Restore", nullptr, KQ_NO_TABLE, WindowRestore),
    KQ_METHOD("DrawInto", nullptr, KQ_TABLE(kDrawIntoParameters), formDrawInto),
    KQ_METHOD("_DrawBackground", nullptr, KQ_TABLE(kDrawBackgroundParameters), formDrawBackground),
};

#define KQ_HIDDEN_EVENT_ROW(name, parameters, returnType)                                          \
    {kHiddenEventFlag, #name, parameters, returnType, nullptr, 0},

EventEntry kWindowEvents[] = {KQ_WINDOW_EVENTS(KQ_HIDDEN_EVENT_ROW, KQ_EVENT_ROW)};

const RuntimeClassDeclaration kWindowDeclaration = {"Window",
                                                    nullptr,
                                                    kWindowInstanceSize,
                                                    KQ_GUI_ONLY,
                                                    false,
                                                    KQ_TABLE(kWindowProperties),
                                                    KQ_TABLE(kWindowMethods),
                                                    KQ_TABLE(kWindowEvents),
                                                    KQ_NO_TABLE,
                                                    KQ_NO_TABLE,
                                                    KQ_FUNCTION(RuntimeCreateWindow),
                                                    KQ_FUNCTION(RuntimeWindowFinalizer)};

} // namespace

ObjectDefinition WindowDefinition(&kWindowDeclaration);

namespace windows {

const EventItem *Event(WindowEvent event) {
    definitions::Convert(&WindowDefinition);
    return kWindowEvents[uint32_t(event)].item;
}

bool IsWindow(RuntimeObject *object) {
    return definitions::IsA(object, &WindowDefinition);
}

WindowObject *AsWindow(RuntimeObject *object) {
    return IsWindow(object) ? reinterpret_cast<WindowObject *>(object) : nullptr;
}

RuntimeViewWindow *NativeOf(RuntimeObject *window) {
    WindowObject *w = AsWindow(window);
    return w != nullptr ? w->mImp : nullptr;
}

} // namespace windows
