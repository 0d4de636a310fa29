// Contextual menus of windows and controls (ContextualMenu.cc): built by
// the target's ConstructContextualMenu from MenuItem objects, popped up,
// and the chosen item handed to its ContextualMenuAction.
#pragma once

#include "RuntimeObject.h"

namespace menus {

// Asks the window or control for its contextual menu at (x, y), relative
// to it, and shows it; true when a menu was shown. The menu layer installs
// it as the routers' contextual-menu hook.
bool ShowContextualMenu(RuntimeObject *target, int x, int y);

} // namespace menus

extern "C" {
// `IsContextualClick`: whether the event being handled is a contextual
// click.
bool IsCMMClick(void);
}
