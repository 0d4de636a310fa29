// The enabling pass, the dispatch of chosen items and menu shortcuts (see
// MenuDispatch.h).
//
// The view tree of a window is the window followed, depth first, by the
// containers embedded in it (containers::ViewTree); menu handlers are
// searched in it from the last view to the first.
#include "MenuDispatch.h"

#include "Application.h"
#include "ContainerControl.h"
#include "ContextualMenu.h"
#include "Control.h"
#include "MenuItem.h"
#include "MenuShortcuts.h"
#include "Picture.h"
#include "RuntimeErrorReport.h"
#include "RuntimeException.h"
#include "RuntimePaneDelegate.h"
#include "RuntimeViewWindow.h"
#include "WindowList.h"
#include "XMenuGTK.h"

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace menus {
namespace {

std::vector<std::pair<ObjectDefinition *, const ControlMenuOperations *>> gControlOperations;
std::unordered_map<RuntimeObject *, std::unique_ptr<StringMap<void *>>> gControlHandlers;
constexpr uint32_t kMenuHandlerBuckets = 256;

const ControlMenuOperations *OperationsOf(RuntimeObject *control) {
    for (auto &entry : gControlOperations)
        if (definitions::IsA(control, entry.first)) return entry.second;
    return nullptr;
}

// Calls the handler of `name` in `handlers` with the target and the index;
// true when there is one and it answered True.
bool CallMenuHandler(StringMap<void *> *handlers, KESTstring *name, RuntimeObject *target,
                     int32_t index) {
    void *handler = nullptr;
    if (handlers == nullptr || !handlers->Lookup(name, &handler) || handler == nullptr)
        return false;
    const uint32_t arguments[] = {uint32_t(reinterpret_cast<uintptr_t>(target)), uint32_t(index)};
    return (RuntimeCallImageHandler(handler, 2, arguments) & 0xFF) != 0;
}

bool HasMenuHandler(StringMap<void *> *handlers, KESTstring *name) {
    return handlers != nullptr && handlers->Lookup(name, nullptr);
}

// Calls the first handler of `name` that answers True among the views of
// the tree of `root`, from the last view to the first; `probe` only asks
// whether there is one.
bool CallViewHandler(WindowObject *root, KESTstring *name, int32_t index, bool probe = false) {
    std::vector<WindowObject *> views = containers::ViewTree(root);
    for (size_t i = views.size(); i-- > 0;) {
        if (probe ? HasMenuHandler(views[i]->mMenuHandlers, name)
                  : CallMenuHandler(views[i]->mMenuHandlers, name, &views[i]->header, index))
            return true;
    }
    return false;
}

// The control that has the keyboard focus in the window: for a container's
// embedding control, the one focused inside the container (and so on).
RuntimeObject *InnermostFocus(WindowObject *window) {
    RuntimeObject *focus = window != nullptr ? window->mFocusControl : nullptr;
    while (WindowObject *inner = containers::TemplateOf(focus))
        focus = inner->mFocusControl;
    return focus;
}

// The focused control's menu handlers: an embedding control's are those of
// the views of its container's tree.
bool CallFocusHandler(RuntimeObject *focus, KESTstring *name, int32_t index, bool probe = false) {
    if (focus == nullptr) return false;
    if (WindowObject *container = containers::TemplateOf(focus))
        return CallViewHandler(container, name, index, probe);
    return probe ? HasMenuHandler(ControlMenuHandlers(focus), name)
                 : CallMenuHandler(ControlMenuHandlers(focus), name, focus, index);
}

StringMap<void *> *ApplicationHandlers() {
    ApplicationObject *app = application::Current();
    return app != nullptr ? app->menuHandlers : nullptr;
}

// The records of a tree, breadth first (the root first).
std::vector<Menu *> BreadthFirst(Menu *root) {
    std::vector<Menu *> order{root};
    for (size_t i = 0; i < order.size(); ++i)
        for (uint32_t c = 0; c < order[i]->Count(); ++c)
            order.push_back(order[i]->ChildAt(c));
    return order;
}

// Whether automatic enabling enables a leaf item.
bool HasAnyHandler(RuntimeObject *item, WindowObject *window) {
    KESTstring *name = AsItem(item)->mName;
    RuntimeObject *focus = window != nullptr ? window->mFocusControl : nullptr;
    return CallFocusHandler(focus, name, 0, true) ||
           (window != nullptr && CallViewHandler(window, name, 0, true)) ||
           HasMenuHandler(ApplicationHandlers(), name) ||
           events::Handler(item, Event(MenuItemEvent::Action)) != nullptr;
}

void ResetAndAutoEnable(Menu *bar, WindowObject *window, bool skip) {
    std::vector<Menu *> records = BreadthFirst(bar);
    for (Menu *record : records)
        record->Count() == 0 ? record->Disable() : record->Enable();
    if (skip) return;
    for (Menu *record : records)
        if (record->AutoEnable() && (record->Count() != 0 || HasAnyHandler(record->Item(), window)))
            record->Enable();
    // The EnableMenu handlers may change the tree: the items are held.
    std::vector<Ref<>> items;
    for (Menu *record : records)
        items.emplace_back(record->Item());
    for (Ref<> &item : items)
        events::Raise(item.get(), Event(MenuItemEvent::EnableMenu));
}

void ItemChosen(Menu *record) {
    if (record->Count() != 0 || !record->IsEnabled()) return;
    if (const Menu *receiver = record->CommandReceiver()) {
        receiver->SendCommand(record);
        return;
    }
    Dispatch(record->Item(), FrontWindow());
}

WindowObject *WindowShowing(GtkWidget *toplevel) {
    for (uint32_t i = 0; toplevel != nullptr && i < windowlist::Count(); ++i) {
        NativeWindow *native = windowlist::At(i);
        if (native->Toplevel() == toplevel) {
            RuntimeViewWindow *view = RuntimeViewWindow::From(native);
            return view != nullptr ? view->Object() : nullptr;
        }
    }
    return nullptr;
}

void MenuOpening(Menu *bar) {
    EnablingPass(WindowShowing(static_cast<XMenuGTK *>(bar)->InstalledToplevel()), false);
}

} // namespace

StringMap<void *> *ControlMenuHandlers(RuntimeObject *control) {
    auto it = gControlHandlers.find(control);
    return it != gControlHandlers.end() ? it->second.get() : nullptr;
}

void ForgetControlMenuHandlers(RuntimeObject *control) {
    gControlHandlers.erase(control);
}

void SetControlMenuOperations(ObjectDefinition *controlClass,
                              const ControlMenuOperations *operations) {
    for (auto &entry : gControlOperations)
        if (entry.first == controlClass) {
            entry.second = operations;
            return;
        }
    gControlOperations.emplace_back(controlClass, operations);
}

WindowObject *FrontWindow() {
    RuntimeViewWindow *view = RuntimeViewWindow::From(windowlist::At(0));
    return view != nullptr ? view->Object() : nullptr;
}

void EnablingPass(WindowObject *window, bool skip) {
    if (window == nullptr) window = FrontWindow();
    Ref<> keepWindow(window != nullptr ? &window->header : nullptr);
    ApplicationObject *app = application::Current();
    RuntimeObject *barObject = window != nullptr ? window->menuBar
                               : app != nullptr  ? app->menuBar
                                                 : nullptr;
    Ref<> keepBar(barObject);
    Menu *bar = RecordOf(barObject);
    if (bar != nullptr) ResetAndAutoEnable(bar, window, skip);

    RuntimeObject *focus = InnermostFocus(window);
    const ControlMenuOperations *operations = focus != nullptr ? OperationsOf(focus) : nullptr;
    if (operations != nullptr && operations->enable != nullptr && bar != nullptr)
        operations->enable(focus, bar);
    if (window != nullptr && window->mImp != nullptr && window->mImp->IsShown())
        events::Raise(&window->header, windows::Event(WindowEvent::EnableMenuItems));
    if (!skip && app != nullptr)
        events::Raise(&app->header, application::Event(AppEvent::EnableMenuItems));
}

bool Dispatch(RuntimeObject *itemObject, WindowObject *window) {
    MenuItemObject *item = AsItem(itemObject);
    if (item == nullptr) return false;
    Ref<> keepItem(itemObject);
    Ref<> keepWindow(window != nullptr ? &window->header : nullptr);
    KESTstring *name = item->mName;
    int32_t index = item->mIndex;
    bool handled = false;
    if (window != nullptr) {
        RuntimeObject *focus = window->mFocusControl;
        RuntimeObject *innermost = InnermostFocus(window);
        Ref<> keepFocus(focus), keepInnermost(innermost);
        const ControlMenuOperations *operations =
            innermost != nullptr ? OperationsOf(innermost) : nullptr;
        handled = CallFocusHandler(focus, name, index);
        if (!handled && operations != nullptr && operations->command != nullptr)
            handled = operations->command(innermost, name);
        if (!handled) handled = CallViewHandler(window, name, index);
    }
    ApplicationObject *app = application::Current();
    if (!handled && app != nullptr)
        handled = CallMenuHandler(app->menuHandlers, name, &app->header, index);
    if (!handled) {
        bool ran = false;
        uint64_t result = events::Raise(itemObject, Event(MenuItemEvent::Action), {}, &ran);
        handled = ran && (result & 0xFF) != 0;
    }
    if (handled) EnablingPass(nullptr, false);
    return handled;
}

bool DispatchShortcut(NativeWindow *native, KESTstring *key, uint16_t modifiers) {
    RuntimeViewWindow *view = RuntimeViewWindow::From(native);
    WindowObject *window = view != nullptr ? view->Object() : nullptr;
    Menu *bar = window != nullptr ? RecordOf(window->menuBar) : nullptr;
    if (bar == nullptr) return false;
    Ref<> keepWindow(&window->header);
    kstr::StringRef utf8(kstr::ToUTF8(key));
    std::string pressed = kstr::Text(utf8.Get());
    uint32_t mask = shortcuts::MaskOfModifierWord(modifiers);
    bool passRan = false;
    for (uint32_t i = 0; i < shortcuts::Count(); ++i) {
        const shortcuts::TableEntry &entry = shortcuts::At(i);
        if (entry.mask != mask || !shortcuts::SameKey(pressed, entry.key) ||
            entry.record->Root() != bar)
            continue;
        if (!passRan && mask != 0) {
            // The pass may change the table; the entry at this place is
            // looked at again.
            passRan = true;
            EnablingPass(window, false);
            bar = RecordOf(window->menuBar);
            --i;
            continue;
        }
        if (!entry.record->IsEnabled()) continue;
        Dispatch(entry.record->Item(), window);
        return true;
    }
    return false;
}

void InstallHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    NativeWindow::SetShortcutHook(DispatchShortcut);
    routing::SetContextualMenuHook(ShowContextualMenu);
    XMenuGTK::SetIconSource(pictures::Image);
    XMenuGTK::SetChosenHandler(ItemChosen);
    XMenuGTK::SetOpeningHandler(MenuOpening);
}

} // namespace menus

extern "C" {

void enableMenuItems(void) {
    menus::EnablingPass(nullptr, false);
}

void ControlAddMenuHandler(RuntimeObject *control, KESTstring *name, void *handler) {
    KQ_ASSERT_TEXT(KQ_RUNCTL_SOURCE, control != nullptr, "self", nullptr);
    if (control == nullptr || handler == nullptr) return;
    auto &handlers = menus::gControlHandlers[control];
    if (!handlers) handlers.reset(new StringMap<void *>(menus::kMenuHandlerBuckets));
    handlers->Set(name, handler);
}

} // extern "C"
