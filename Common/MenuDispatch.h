// What happens around a menu: the enabling pass that sets every item's
// state before the user can choose one, the dispatch of a chosen item to
// its handlers (the focused control, the window, the application, the
// item's Action event), and the menu shortcuts of the window's key
// handling.
//
// Dispatch (item, window): with a runtime window, the item's Name is the
// key. The focused control's menu handlers, then its own menu command, then
// the window's view tree from the last view to the first; then the
// application's menu handlers; then the item's Action. A handler is called
// with its target and the item's Index and answers True when it handled
// the item; the search stops there. Anything handled, the enabling pass
// runs for the front window.
#pragma once

#include "Menu.h"
#include "WindowObject.h"

namespace menus {

// The menu operations of a control class (an edit field carries out and
// enables the standard Edit items): `command` answers whether it carried
// out the item of that name; `enable` sets the items it serves in the bar.
struct ControlMenuOperations {
    bool (*command)(RuntimeObject *control, KESTstring *itemName);
    void (*enable)(RuntimeObject *control, Menu *bar);
};
// Registers the operations for the controls of a class and its subclasses.
void SetControlMenuOperations(ObjectDefinition *controlClass,
                              const ControlMenuOperations *operations);

// The menu handlers of a control (RectControl `_AddMenuHandler`): a map
// per control, made on first use (null until then), dropped when the
// control goes.
StringMap<void *> *ControlMenuHandlers(RuntimeObject *control);
void ForgetControlMenuHandlers(RuntimeObject *control);

// The enabling pass for `window` (null: the front runtime window); with
// `skip` the automatic enabling, the EnableMenu events and the
// application's EnableMenuItems are left out.
void EnablingPass(WindowObject *window, bool skip);

// Dispatches a chosen item with a window (null: none); true when handled.
bool Dispatch(RuntimeObject *item, WindowObject *window);

// The menu shortcut of a key press in a native window (the window's key
// handling): true when an enabled item took it.
bool DispatchShortcut(NativeWindow *window, KESTstring *key, uint16_t modifiers);

// The front runtime window's object, or null.
WindowObject *FrontWindow();

// Installs the menu layer's handlers into the window and GTK+ layers:
// chosen items, menu shortcuts and contextual menus (once; every item's
// initialisation and every window's opening calls it).
void InstallHandlers();

} // namespace menus

extern "C" {
// `EnableMenuItems`: the enabling pass for the front window.
void enableMenuItems(void);
void ControlAddMenuHandler(RuntimeObject *control, KESTstring *name, void *handler);
}
