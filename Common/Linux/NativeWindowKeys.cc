// Key handling and focus traversal of the native window (the order of the
// steps is described in NativeWindow.h).
#include "KeyState.h"
#include "KeyTranslation.h"
#include "NativeWindow.h"

#include <gdk/gdkkeysyms.h>

namespace {

bool gTabTraversal = true;
NativeWindow::ShortcutHook gShortcutHook = nullptr;

// The modifier bits that stop Tab from moving the focus.
constexpr uint16_t kTabBlockingModifiers = 0x1900;

bool IsAltKey(uint32_t keyval) {
    return keyval == GDK_KEY_Alt_L || keyval == GDK_KEY_Alt_R || keyval == GDK_KEY_Meta_L ||
           keyval == GDK_KEY_Meta_R;
}

} // namespace

void NativeWindow::SetTabTraversal(bool enabled) {
    gTabTraversal = enabled;
}

void NativeWindow::SetShortcutHook(ShortcutHook hook) {
    gShortcutHook = hook;
}

bool NativeWindow::HasButtonWithRole(bool defaultRole) const {
    for (SubPane *pane : mPanes)
        if ((defaultRole ? pane->IsDefaultButton() : pane->IsCancelButton()) && pane->IsVisible())
            return true;
    return false;
}

void NativeWindow::PressButtonWithRole(bool defaultRole) {
    for (SubPane *pane : mPanes)
        if ((defaultRole ? pane->IsDefaultButton() : pane->IsCancelButton()) && pane->IsVisible()) {
            pane->PressButton();
            return;
        }
}

bool NativeWindow::HandleKeyPress(const GdkEventKey *event) {
    uint32_t keyval = event->keyval;
    uint16_t modifiers = keystate::ModifierWordOf(event->state);
    if (event->is_modifier || keyval == GDK_KEY_Mode_switch) {
        if (IsAltKey(keyval)) modifiers |= keystate::kAltKey;
        keystate::SetModifierWord(modifiers);
        return false;
    }
    keystate::SetModifierWord(modifiers);
    EventBracket bracket(this);

    Pane *focus = panes::FocusedPane();
    bool controlFocused = focus != nullptr && focus != this && focus->Window() == this;
    if (keyval == GDK_KEY_F10 && modifiers == keystate::kShiftKey) {
        bool shown = controlFocused
                         ? focus->HandleContextualMenu(focus->Rect().left, focus->Rect().top)
                         : WindowContextualMenu(0, 0);
        if (shown) return true;
    }

    int character = keys::KeyToCharacter(keyval);
    if (keys::IsDeadKey(keyval)) return false;
    kstr::StringRef text(keys::KeyText(keyval, character));
    if (text.Get() == nullptr) return false;

    if (gShortcutHook != nullptr && gShortcutHook(this, text.Get(), modifiers)) return true;

    // The focus may have moved while the shortcut ran.
    focus = panes::FocusedPane();
    controlFocused = focus != nullptr && focus != this && focus->Window() == this;
    if (controlFocused && focus->HandleKeyDown(text.Get())) return true;
    bool isReturn = character == keys::kReturn, isEnter = character == keys::kEnter;
    if (controlFocused && panes::FocusedPane() == focus) {
        TextKind kind = focus->TextWidgetKind();
        if (kind != TextKind::None) {
            bool onward = (character == keys::kTab && !focus->AcceptsTabs()) ||
                          (kind == TextKind::SingleLine && (isReturn || isEnter) &&
                           HasButtonWithRole(true)) ||
                          (kind == TextKind::MultiLine && isEnter && HasButtonWithRole(true)) ||
                          (character == keys::kEscape && HasButtonWithRole(false));
            if (!onward) return false;
        }
    }

    if (WindowKeyDown(text.Get())) return true;
    if (character == keys::kTab && !(modifiers & kTabBlockingModifiers) && gTabTraversal) {
        MoveFocus(!(modifiers & keystate::kShiftKey));
        return true;
    }
    if (character == keys::kEscape && HasButtonWithRole(false)) {
        PressButtonWithRole(false);
        return true;
    }
    if ((isReturn || isEnter) && HasButtonWithRole(true)) {
        PressButtonWithRole(true);
        return true;
    }
    return false;
}

void NativeWindow::MoveFocus(bool forward) {
    if (!gTabTraversal) return;
    // Positions: 0 is the window, 1 to n its panes in creation order.
    int count = int(mPanes.Count()) + 1;
    auto accepts = [this](int position) {
        return position == 0 ? AcceptsFocus() : mPanes[uint32_t(position - 1)]->AcceptsFocus();
    };
    Pane *focus = panes::FocusedPane();
    int current = -1;
    if (focus == this) current = 0;
    for (int i = 1; i < count && current < 0; ++i)
        if (mPanes[uint32_t(i - 1)] == focus) current = i;

    int found = -1;
    if (current < 0) {
        for (int step = 0; step < count && found < 0; ++step) {
            int position = forward ? step : count - 1 - step;
            if (accepts(position)) found = position;
        }
    } else {
        for (int step = 1; step < count && found < 0; ++step) {
            int position = (current + (forward ? step : count - step)) % count;
            if (accepts(position)) found = position;
        }
    }
    if (found == 0)
        TakeFocus();
    else if (found > 0)
        mPanes[uint32_t(found - 1)]->TakeFocus();
}

void NativeWindow::FocusFirstPane() {
    Pane *focus = panes::FocusedPane();
    if (focus != nullptr && focus->Window() == this) return;
    for (uint32_t i = 0; i < mPanes.Count(); ++i) {
        if (!mPanes[i]->AcceptsFocus()) continue;
        mPanes[i]->TakeFocus();
        return;
    }
}

void NativeWindow::TakeFocus() {
    gtk_window_set_focus(GTK_WINDOW(Toplevel()), nullptr);
    panes::SetFocusedPane(this);
}
