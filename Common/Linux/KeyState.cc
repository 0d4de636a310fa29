// The key state of the GTK+ layer (see KeyState.h).
#include "KeyState.h"

#include "SimpleVector.h"

#include <gtk/gtk.h>

namespace {

uint16_t gModifierWord = 0;
SimpleVector<uint32_t> gHeld;
bool gSnooperInstalled = false;

gint SnoopKey(GtkWidget *, GdkEventKey *event, gpointer) {
    keystate::NoteKeyEvent(event->type == GDK_KEY_PRESS, event->keyval);
    return FALSE; // the event goes on to its widget
}

} // namespace

namespace keystate {

uint16_t ModifierWord() {
    return gModifierWord;
}

void SetModifierWord(uint16_t word) {
    gModifierWord = word;
}

uint16_t ModifierWordOf(uint32_t gdkState) {
    uint16_t word = 0;
    if (gdkState & GDK_SHIFT_MASK) word |= kShiftKey;
    if (gdkState & GDK_CONTROL_MASK) word |= kControlKey;
    if (gdkState & GDK_MOD1_MASK) word |= kAltKey;
    return word;
}

void InstallKeySnooper() {
    if (gSnooperInstalled) return;
    gtk_key_snooper_install(SnoopKey, nullptr);
    gSnooperInstalled = true;
}

void NoteKeyEvent(bool press, uint32_t keyval) {
    for (uint32_t i = 0; i < gHeld.Count(); ++i)
        if (gHeld[i] == keyval) {
            if (!press) gHeld.RemoveAt(i);
            return;
        }
    if (press) gHeld.Append(keyval);
}

bool IsHeld(uint32_t keyval) {
    uint32_t wanted = gdk_keyval_to_upper(keyval);
    for (uint32_t held : gHeld)
        if (gdk_keyval_to_upper(held) == wanted) return true;
    return false;
}

} // namespace keystate
