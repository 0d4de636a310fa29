// The window of a message dialog: a runtime window built from the runtime's
// own controls, a canvas that draws the icon, a static text for the message
// (font "System") and one for the explanation (font "SmallSystem"), and the
// push buttons in the order of the desktop's button setting. Return presses
// the default button and Escape the cancel button through the window's key
// handling. The modal loop runs nested main-loop iterations until a button
// ends the dialog, the window is closed (the cancel code) or the
// application quits (no code).
#include "Canvas.h"
#include "CaptionedControls.h"
#include "ControlAccessors.h"
#include "Graphics.h"
#include "MainLoop.h"
#include "MessageDialog.h"
#include "RuntimeErrorReport.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 48;
constexpr int kTextWidth = 320;
constexpr int kGap = 8;
constexpr int kButtonMinWidth = 85;
constexpr int kButtonGap = 6;

int32_t gResult = kNoButton;

// One shown dialog: its window, the stock icon and the code of each button.
struct Showing {
    RuntimeObject *window;
    const char *icon = nullptr;
    std::vector<std::pair<RuntimeObject *, int32_t>> buttons;
    bool ended = false;
};
std::vector<Showing *> gShowing;

Showing *ShowingOf(RuntimeObject *window) {
    for (Showing *s : gShowing)
        if (s->window == window) return s;
    return nullptr;
}

// The handlers of the dialog's controls, installed per object.
void ButtonAction(RuntimeObject *button) {
    Showing *showing = ShowingOf(controls::WindowOf(button));
    if (showing == nullptr) return;
    for (const auto &entry : showing->buttons)
        if (entry.first == button) gResult = entry.second;
    showing->ended = true;
}

void IconPaint(RuntimeObject *canvas, RuntimeObject *g) {
    Showing *showing = ShowingOf(controls::WindowOf(canvas));
    GraphicsGTK *backend = graphics::BackendOf(g);
    if (showing != nullptr && showing->icon != nullptr && backend != nullptr)
        backend->DrawStockIcon(showing->icon, 0, 0);
}

// The window manager's close asks the dialog to end with the cancel code;
// the window goes when the modal loop has ended. Closing for a quit lets
// it go at once.
bool DialogCancelClose(RuntimeObject *window, bool appQuitting) {
    Showing *showing = ShowingOf(window);
    if (showing == nullptr) return false;
    showing->ended = true;
    if (appQuitting) return false;
    if (gResult == kNoButton) gResult = kCancelButton;
    return true;
}

void InstallHandler(RuntimeObject *object, const char *event, void *handler) {
    kstr::StringRef name(kstr::FromC(event));
    RuntimeInstallInstanceEventHandler(object, name.Get(), handler);
}

const char *StockIcon(int32_t icon) {
    switch (icon) {
    case kGraphicNote:
        return GTK_STOCK_DIALOG_INFO;
    case kGraphicCaution:
        return GTK_STOCK_DIALOG_WARNING;
    case kGraphicStop:
        return GTK_STOCK_DIALOG_ERROR;
    case kGraphicQuestion:
        return GTK_STOCK_DIALOG_QUESTION;
    default:
        return nullptr;
    }
}

// A new control of the class at the rectangle, added to the dialog's
// window under `name` (its pane is made at once: the window is open).
RuntimeObject *AddControl(Showing *showing, ObjectDefinition *definition, const char *name,
                          const std::function<void(RuntimeObject *)> &setUp, int left, int top,
                          int width, int height) {
    RuntimeObject *control = definitions::Instantiate(definition);
    kstr::StringRef controlName(kstr::FromC(name));
    stringSetter(control, offsetof(ControlObject, mName), controlName.Get());
    RuntimeControlMove(control, left, top, width, height);
    setUp(control);
    WindowAddControl(showing->window, controlName.Get(), control);
    RuntimeUnlockObject(control);
    return control;
}

// The size the control's widget asks for (at `width` when it is not -1).
GtkRequisition NaturalSize(RuntimeObject *control, int width) {
    GtkRequisition r{0, 0};
    SubPane *pane = controls::PaneOf(control);
    if (pane == nullptr || pane->Widget() == nullptr) return r;
    gtk_widget_set_size_request(pane->Widget(), width, -1);
    gtk_widget_size_request(pane->Widget(), &r);
    return r;
}

// A static text showing `text` as it stands (an ampersand is no mnemonic
// mark here), wrapped at the text width; returns its height.
int AddText(Showing *showing, const char *name, KESTstring *text, const char *font, int size,
            int left, int top) {
    kstr::StringRef utf8(kstr::ToUTF8(text));
    std::string literal;
    for (uint32_t i = 0; i < kstr::Length(utf8.Get()); ++i) {
        char c = kstr::Text(utf8.Get())[i];
        literal += c;
        if (c == '&') literal += '&';
    }
    RuntimeObject *label = AddControl(
        showing, &StaticTextDefinition, name,
        [&](RuntimeObject *control) {
            kstr::StringRef caption(
                kstr::Make(literal.data(), uint32_t(literal.size()), kstr::Encoding(utf8.Get())));
            kstr::StringRef fontName(kstr::FromC(font));
            captioned::SetCaption(control, caption.Get());
            captioned::SetFontName(control, fontName.Get());
            captioned::SetFontSize(control, size);
            StaticTextMultilineSetter(control, 0, true);
        },
        left, top, kTextWidth, 1);
    int height = NaturalSize(label, kTextWidth).height;
    RuntimeControlMove(label, left, top, kTextWidth, height);
    return height;
}

bool ButtonShown(const MessageDialogObject *dialog, int32_t code) {
    return code == kActionButton ||
           (code == kCancelButton ? dialog->cancelVisible : dialog->alternateVisible);
}

void CheckBehaviour(const MessageDialogObject *dialog, int32_t code, const char *message) {
    if (code != kNoButton &&
        (code < kCancelButton || code > kAlternateButton || !ButtonShown(dialog, code)))
        RuntimeErrorReport(kRuntimeErrorFailedAssertion, KQ_DIALOG_SOURCE, __LINE__, "button",
                           message);
}

// Builds the content; returns the window's content size.
void Build(Showing *showing, MessageDialogObject *dialog, int *width, int *height) {
    int textLeft = kMargin, bottom = kMargin;
    showing->icon = StockIcon(dialog->icon);
    if (showing->icon != nullptr) {
        AddControl(
            showing, &CanvasDefinition, "Icon",
            [](RuntimeObject *canvas) {
                InstallHandler(canvas, "Paint", reinterpret_cast<void *>(&IconPaint));
            },
            kMargin, kMargin, kIconSize, kIconSize);
        textLeft += kIconSize + kMargin;
        bottom = kMargin + kIconSize;
    }
    int top = kMargin;
    top += AddText(showing, "Message", dialog->message, "System", 0, textLeft, top);
    if (kstr::Length(dialog->explanation) != 0) {
        top += kGap;
        top += AddText(showing, "Explanation", dialog->explanation, "SmallSystem",
                       gtkhelper::DefaultSize(), textLeft, top);
    }
    bottom = std::max(bottom, top) + 2 * kMargin;
    *width = textLeft + kTextWidth + kMargin;

    CheckBehaviour(dialog, dialog->defaultButton,
                   "The MessageDialog's default button behavior was assigned to an invalid "
                   "button index");
    CheckBehaviour(dialog, dialog->cancelButtonCode,
                   "The MessageDialog's cancel button behavior was assigned to an invalid button "
                   "index");
    static const char *const kDefaultCaptions[] = {"OK", "Cancel", "Alternate Action"};
    static const char *const kButtonNames[] = {"ActionButton", "CancelButton",
                                               "AlternateActionButton"};
    // The desktop's order: with the alternative order the action button
    // comes first; otherwise it stands at the right end. The alternate
    // button stands apart at the left.
    gboolean alternativeOrder = FALSE;
    g_object_get(gtk_settings_get_default(), "gtk-alternative-button-order", &alternativeOrder,
                 nullptr);
    const int32_t rightGroup[2][2] = {{kCancelButton, kActionButton},
                                      {kActionButton, kCancelButton}};
    int buttonHeight = 0;
    std::vector<std::pair<RuntimeObject *, int>> row; // button, width
    auto make = [&](int32_t code) {
        if (!ButtonShown(dialog, code)) return;
        int slot = dialogs::SlotOf(code);
        kstr::StringRef caption(kstr::Length(dialog->captions[slot]) != 0
                                    ? kstr::Share(dialog->captions[slot])
                                    : kstr::FromC(kDefaultCaptions[slot]));
        RuntimeObject *button = AddControl(
            showing, &PushButtonDefinition, kButtonNames[slot],
            [&](RuntimeObject *control) {
                kstr::StringRef font(kstr::FromC("System"));
                captioned::SetCaption(control, caption.Get());
                captioned::SetFontName(control, font.Get());
                pushButtonDefaultSetter(control, 0, dialog->defaultButton == code);
                pushButtonCancelSetter(control, 0, dialog->cancelButtonCode == code);
                InstallHandler(control, "Action", reinterpret_cast<void *>(&ButtonAction));
            },
            0, 0, kButtonMinWidth, 1);
        showing->buttons.emplace_back(button, code);
        GtkRequisition r = NaturalSize(button, -1);
        buttonHeight = std::max(buttonHeight, int(r.height));
        row.emplace_back(button, std::max(kButtonMinWidth, r.width + 2 * kGap));
    };
    make(kAlternateButton);
    for (int32_t code : rightGroup[alternativeOrder ? 1 : 0])
        make(code);
    int right = *width - kMargin;
    for (size_t i = row.size(); i-- > 0;) {
        bool alternate = i == 0 && ButtonShown(dialog, kAlternateButton);
        int left = alternate ? kMargin : right - row[i].second;
        RuntimeControlMove(row[i].first, left, bottom, row[i].second, buttonHeight);
        right = left - kButtonGap;
    }
    *height = bottom + buttonHeight + kMargin;
}

} // namespace

namespace dialogs {

int32_t LastResult() {
    return gResult;
}

int32_t ShowDialog(MessageDialogObject *dialog) {
    gResult = kNoButton;
    Ref<> window = Ref<>::Adopt(definitions::Instantiate(&WindowDefinition));
    RuntimeViewWindow *native = windows::NativeOf(window.get());
    if (native == nullptr) return kNoButton;
    InstallHandler(window.get(), "CancelClose", reinterpret_cast<void *>(&DialogCancelClose));
    Showing showing{window.get(), nullptr, {}, false};
    gShowing.push_back(&showing);

    windowTitleSetter(window.get(), 0, dialog->title);
    windowGrowIconSetter(window.get(), 0, false);
    int width = 0, height = 0;
    Build(&showing, dialog, &width, &height);
    GtkWindow *top = GTK_WINDOW(native->Toplevel());
    RuntimeViewWindow *parent = windows::NativeOf(dialog->parent);
    if (parent != nullptr) gtk_window_set_transient_for(top, GTK_WINDOW(parent->Toplevel()));
    gtk_window_set_position(top,
                            parent != nullptr ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    native->ResizeTo(width, height);
    gtk_window_set_modal(top, TRUE);
    RuntimeShowWindow(window.get());
    native->Present();

    while (!showing.ended && windows::NativeOf(window.get()) != nullptr &&
           !mainloop::QuitRequested())
        mainloop::NestedIteration(true);

    gShowing.erase(std::find(gShowing.begin(), gShowing.end(), &showing));
    RuntimeCloseWindow(window.get());
    return gResult;
}

} // namespace dialogs
