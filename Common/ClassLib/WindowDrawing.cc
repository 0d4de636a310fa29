// A window drawn into a Graphics object: DrawInto copies what the content
// shows (the background, Paint's drawing and the controls), drawn afresh
// off the screen; _DrawBackground paints the part of the background under
// a rectangle of the content: the back colour (BackColor when HasBackColor
// is set, else the theme's), then the matching part of the backdrop.
#include "Graphics.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"

namespace {

uint32_t BackgroundColour(const WindowObject *w) {
    if (w->hasBackColor) return w->backColor & 0xFFFFFF;
    GdkColor c = gtkhelper::Colours().background;
    if (w->mImp != nullptr) c = gtk_widget_get_style(w->mImp->Toplevel())->bg[GTK_STATE_NORMAL];
    return uint32_t(c.red >> 8) << 16 | uint32_t(c.green >> 8) << 8 | uint32_t(c.blue >> 8);
}

} // namespace

extern "C" {

void formDrawInto(RuntimeObject *window, RuntimeObject *g, int32_t x, int32_t y, bool) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr) return;
    graphics::DrawWidgetInto(g, w->mImp != nullptr ? w->mImp->Content() : nullptr, x, y);
}

void formDrawBackground(RuntimeObject *window, RuntimeObject *g, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t srcLeft, int32_t srcTop) {
    WindowObject *w = KQ_CHECKED_WINDOW(window);
    if (w == nullptr || width < 1 || height < 1) return;
    Ref<> keep(g);
    uint32_t before = graphicsForeColorGetter(g, 0);
    graphicsForeColorSetter(g, 0, BackgroundColour(w));
    RuntimeGraphicsFillRect(g, x, y, width, height);
    graphicsForeColorSetter(g, 0, before);
    if (w->backdrop != nullptr)
        RuntimeGraphicsDrawPicture(g, w->backdrop, x, y, width, height, srcLeft, srcTop, width,
                                   height);
}

} // extern "C"
