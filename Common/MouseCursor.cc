// The MouseCursor class: an object holding a GDK cursor, shared by copies
// through GDK's own reference count; the stock cursors (arrow, watch,
// I-beam), and the factory that makes cursor resources into objects.
#include "MouseCursor.h"

#include "ObjectDefinition.h"
#include "ResourceManagerCommon.h"

#include <gtk/gtk.h>

namespace {

constexpr uint32_t kMouseCursorInstanceSize = 32;
static_assert(sizeof(MouseCursorObject) <= kMouseCursorInstanceSize, "MouseCursor fits");

const RuntimeClassDeclaration kMouseCursorDeclaration = {
    "MouseCursor", nullptr,        kMouseCursorInstanceSize,
    KQ_GUI_ONLY,   false,          KQ_NO_TABLE,
    KQ_NO_TABLE,   KQ_NO_TABLE,    KQ_NO_TABLE,
    KQ_NO_TABLE,   KQ_NO_FUNCTION, KQ_FUNCTION(mouseCursorDestructor)};

// A new object for a stock cursor; without a display it holds no cursor.
RuntimeObject *StockCursor(GdkCursorType type) {
    GdkCursor *cursor = gdk_display_get_default() != nullptr ? gdk_cursor_new(type) : nullptr;
    RuntimeObject *object = NewMouseCursor(cursor);
    if (cursor != nullptr) gdk_cursor_unref(cursor);
    return object;
}

RuntimeObject *CursorFromResource(GdkCursor *cursor, uint16_t) {
    RuntimeObject *object = NewMouseCursor(cursor);
    gdk_cursor_unref(cursor);
    return object;
}

// The resource layer makes cursors as soon as this module is part of the
// runtime.
struct ResourceCursorRegistration {
    ResourceCursorRegistration() { SetResourceCursorFactory(CursorFromResource); }
} gResourceCursorRegistration;

} // namespace

ObjectDefinition MouseCursorDefinition(&kMouseCursorDeclaration);

RuntimeObject *NewMouseCursor(GdkCursor *cursor) {
    RuntimeObject *object = definitions::Instantiate(&MouseCursorDefinition);
    if (object == nullptr) return nullptr;
    if (cursor != nullptr) gdk_cursor_ref(cursor);
    reinterpret_cast<MouseCursorObject *>(object)->cursor = cursor;
    return object;
}

GdkCursor *MouseCursorOf(RuntimeObject *object) {
    return object != nullptr ? reinterpret_cast<MouseCursorObject *>(object)->cursor : nullptr;
}

extern "C" {

void mouseCursorDestructor(RuntimeObject *object) {
    auto *m = reinterpret_cast<MouseCursorObject *>(object);
    if (m->cursor != nullptr) gdk_cursor_unref(m->cursor);
    m->cursor = nullptr;
}

RuntimeObject *getArrowCursor(void) {
    return StockCursor(GDK_ARROW);
}

RuntimeObject *getWatchCursor(void) {
    return StockCursor(GDK_WATCH);
}

RuntimeObject *getIBeamCursor(void) {
    return StockCursor(GDK_XTERM);
}

} // extern "C"
