// The class `Canvas`: a control that the application draws itself. Its pane
// (RuntimeCanvas) reports exposures; the router draws the backdrop picture
// and raises Paint with a Graphics object on the canvas, clipped to the
// exposed part, then the focus ring when UseFocusRing is set and the canvas
// has the focus. With EraseBackground False an exposure starts from what
// the canvas showed before instead of the background.
//
// Canvas record, instance size 96 (RectControl fields before):
//
//   offset  field            property
//   88      backdrop         Backdrop (Picture, counted)
//   92      acceptFocus      AcceptFocus
//   93      acceptTabs       AcceptTabs
//   94      useFocusRing     UseFocusRing
//   95      eraseBackground  EraseBackground
//
// Property slots 32-37 (Graphics, Backdrop, AcceptFocus, AcceptTabs,
// UseFocusRing, EraseBackground); events 13-20 (Paint, GotFocus, LostFocus,
// KeyDown, MouseDown, MouseDrag, MouseUp, EnableMenuItems).
#include "Canvas.h"
#include "CanvasPane.h"
#include "Control.h"
#include "Graphics.h"
#include "Picture.h"
#include "RuntimeException.h"
#include "RuntimePaneDelegate.h"

namespace {

struct CanvasObject {
    RectControlObject rect;
    RuntimeObject *backdrop;
    uint8_t acceptFocus;
    uint8_t acceptTabs;
    uint8_t useFocusRing;
    uint8_t eraseBackground;
};
static_assert(offsetof(CanvasObject, backdrop) == kRectControlInstanceSize, "Canvas.backdrop");
static_assert(offsetof(CanvasObject, eraseBackground) == 95, "Canvas.eraseBackground");
static_assert(sizeof(CanvasObject) == 96, "Canvas instance size");

#define KQ_CANVAS_FIELD(field) offsetof(CanvasObject, field)

CanvasObject *AsCanvas(RuntimeObject *canvas) {
    return reinterpret_cast<CanvasObject *>(canvas);
}

EventEntry kCanvasEvents[] = {
    KQ_EVENT("Paint", "g As Graphics", nullptr),
    KQ_EVENT("GotFocus", "", nullptr),
    KQ_EVENT("LostFocus", "", nullptr),
    KQ_EVENT("KeyDown", "Key As String", "Boolean"),
    KQ_EVENT("MouseDown", "X As Integer, Y As Integer", "Boolean"),
    KQ_EVENT("MouseDrag", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("MouseUp", "X As Integer, Y As Integer", nullptr),
    KQ_EVENT("EnableMenuItems", "", nullptr),
};
enum CanvasEvent { kPaint, kGotFocus, kLostFocus, kKeyDown, kMouseDown, kMouseDrag, kMouseUp };

const ControlEventSet kCanvasEventSet = {&kCanvasEvents[kMouseDown], &kCanvasEvents[kMouseDrag],
                                         &kCanvasEvents[kMouseUp],   &kCanvasEvents[kGotFocus],
                                         &kCanvasEvents[kLostFocus], &kCanvasEvents[kKeyDown]};

RuntimeCanvas *CanvasPaneOf(RuntimeObject *canvas) {
    return static_cast<RuntimeCanvas *>(controls::PaneOf(canvas));
}

class RuntimeCanvasRouter : public ControlRouter<DrawingDelegate> {
  public:
    explicit RuntimeCanvasRouter(RuntimeObject *control)
        : ControlRouter(control, &kCanvasEventSet) {}

    void Paint(GdkDrawable *drawable, int width, int height, const GdkRectangle &area) override {
        Ref<> keep(mControl);
        CanvasObject *c = AsCanvas(mControl);
        RuntimeCanvas *pane = CanvasPaneOf(mControl);
        // EraseBackground is a stored property: a change reaches the pane
        // here and counts from the next exposure on.
        if (pane != nullptr) pane->SetEraseBackground(c->eraseBackground != 0);
        Ref<> g = Ref<>::Adopt(graphics::NewForExposure(drawable, width, height, area));
        graphics::DrawBackdrop(g.get(), c->backdrop);
        events::Raise(mControl, kCanvasEvents[kPaint].item,
                      {uint32_t(reinterpret_cast<uintptr_t>(g.get()))});
        if (c->useFocusRing && CanvasPaneOf(mControl) == pane && pane != nullptr)
            pane->DrawFocusRing(area);
    }
};

const PropertyEntry kCanvasProperties[] = {
    KQ_READONLY_PROPERTY("Graphics", &GraphicsDefinition, canvasGraphicsGetter, 0),
    KQ_PROPERTY("Backdrop", &PictureDefinition, objGetter, canvasBackdropSetter,
                KQ_CANVAS_FIELD(backdrop)),
    KQ_PROPERTY("AcceptFocus", &kTypeBoolean, boolGetter, boolSetter, KQ_CANVAS_FIELD(acceptFocus)),
    KQ_PROPERTY("AcceptTabs", &kTypeBoolean, boolGetter, boolSetter, KQ_CANVAS_FIELD(acceptTabs)),
    KQ_PROPERTY("UseFocusRing", &kTypeBoolean, boolGetter, boolSetter,
                KQ_CANVAS_FIELD(useFocusRing)),
    KQ_PROPERTY("EraseBackground", &kTypeBoolean, boolGetter, boolSetter,
                KQ_CANVAS_FIELD(eraseBackground)),
};

const ParameterEntry kScrollParameters[] = {
    KQ_PARAMETER("dx", &kTypeInteger),
    KQ_PARAMETER("dy", &kTypeInteger),
    KQ_OPTIONAL_PARAMETER("x", &kTypeInteger, "0"),
    KQ_OPTIONAL_PARAMETER("y", &kTypeInteger, "0"),
    KQ_OPTIONAL_PARAMETER("width", &kTypeInteger, "-10000"),
    KQ_OPTIONAL_PARAMETER("height", &kTypeInteger, "-10000"),
    KQ_OPTIONAL_PARAMETER("moveControls", &kTypeBoolean, "True"),
};
const MethodEntry kCanvasMethods[] = {
    KQ_METHOD("Scroll", nullptr, KQ_TABLE(kScrollParameters), canvasScroll),
};

const HookEntry kCanvasHooks[] = {KQ_HOOK("CreatePane", CanvasCreatePane)};

const RuntimeClassDeclaration kCanvasDeclaration = {"Canvas",
                                                    &RectControlDefinition,
                                                    sizeof(CanvasObject),
                                                    KQ_GUI_ONLY,
                                                    false,
                                                    KQ_TABLE(kCanvasProperties),
                                                    KQ_TABLE(kCanvasMethods),
                                                    KQ_TABLE(kCanvasEvents),
                                                    KQ_TABLE(kCanvasHooks),
                                                    KQ_NO_TABLE,
                                                    KQ_FUNCTION(RuntimeCanvasInitializer),
                                                    KQ_FUNCTION(RuntimeCanvasDestructor)};

} // namespace

ObjectDefinition CanvasDefinition(&kCanvasDeclaration);

extern "C" {

void RuntimeCanvasInitializer(RuntimeObject *canvas) {
    AsCanvas(canvas)->useFocusRing = 1;
    AsCanvas(canvas)->eraseBackground = 1;
}

void RuntimeCanvasDestructor(RuntimeObject *canvas) {
    RuntimeUnlockObject(AsCanvas(canvas)->backdrop);
    AsCanvas(canvas)->backdrop = nullptr;
}

void CanvasCreatePane(RuntimeObject *canvas) {
    CanvasObject *c = AsCanvas(canvas);
    auto *pane =
        new RuntimeCanvas(controls::ParentPaneFor(canvas), c->acceptFocus != 0, c->acceptTabs != 0);
    pane->SetEraseBackground(c->eraseBackground != 0);
    pane->SetDelegate(new RuntimeCanvasRouter(canvas));
    controls::AttachPane(canvas, pane);
}

RuntimeObject *canvasGraphicsGetter(RuntimeObject *canvas, int32_t) {
    if (canvas == nullptr) {
        RaiseNilObjectException();
        return nullptr;
    }
    RuntimeCanvas *pane = CanvasPaneOf(canvas);
    if (pane == nullptr) return nullptr;
    return graphics::NewForWidget(pane->Widget(), pane->Rect().Width(), pane->Rect().Height());
}

void canvasBackdropSetter(RuntimeObject *canvas, int32_t, RuntimeObject *picture) {
    objSetter(canvas, KQ_CANVAS_FIELD(backdrop), picture);
    if (RuntimeCanvas *pane = CanvasPaneOf(canvas)) drawingarea::Invalidate(pane);
}

void canvasScroll(RuntimeObject *canvas, int32_t dx, int32_t dy, int32_t x, int32_t y,
                  int32_t width, int32_t height, bool moveControls) {
    if (canvas == nullptr) return RaiseNilObjectException();
    RuntimeCanvas *pane = CanvasPaneOf(canvas);
    if (pane == nullptr) return;
    const PaneRect &r = pane->Rect();
    if (width == kDefaultExtent) width = r.Width();
    if (height == kDefaultExtent) height = r.Height();
    pane->Scroll(dx, dy, x, y, width, height, moveControls);
}

} // extern "C"
