// The window of a message dialog: a runtime window holding panes for the
// icon, the message (font "System"), the explanation (font "SmallSystem")
// and the push buttons in the order of the desktop's button setting; Return
// presses the default button and Escape the cancel button through the
// window's key handling. The modal loop runs nested main-loop iterations
// until a button ends the dialog, the window is closed (the cancel code)
// or the application quits (no code).
#include "GTKHelper.h"
#include "MainLoop.h"
#include "MessageDialog.h"
#include "RuntimeErrorReport.h"
#include "RuntimeViewWindow.h"
#include "WindowAccessors.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 48;
constexpr int kTextWidth = 320;
constexpr int kGap = 8;
constexpr int kButtonMinWidth = 85;
constexpr int kButtonGap = 6;

int32_t gResult = kNoButton;

// One shown dialog: its window and the panes in it.
struct Showing {
    RuntimeObject *window;
    std::vector<std::unique_ptr<SubPane>> panes;
    bool ended = false;
};
std::vector<Showing *> gShowing;

Showing *ShowingOf(RuntimeObject *window) {
    for (Showing *s : gShowing)
        if (s->window == window) return s;
    return nullptr;
}

class LabelPane : public SubPane {
  public:
    LabelPane(ContainerPane *parent, GtkWidget *widget) : SubPane(parent) { SetWidget(widget); }
};

class ButtonPane : public SubPane {
  public:
    ButtonPane(ContainerPane *parent, Showing *showing, int32_t code, KESTstring *caption,
               bool isDefault, bool isCancel)
        : SubPane(parent), mShowing(showing), mCode(code), mDefault(isDefault), mCancel(isCancel) {
        GtkWidget *button = gtk_button_new_with_mnemonic(gtkhelper::MnemonicText(caption).c_str());
        g_signal_connect(button, "clicked", G_CALLBACK(Clicked), this);
        SetWidget(button);
        ConnectCommonHandlers(button);
    }

    bool IsDefaultButton() const override { return mDefault; }
    bool IsCancelButton() const override { return mCancel; }
    void PressButton() override { Clicked(nullptr, this); }

  private:
    static void Clicked(GtkButton *, ButtonPane *pane) {
        gResult = pane->mCode;
        pane->mShowing->ended = true;
    }

    Showing *mShowing;
    int32_t mCode;
    bool mDefault, mCancel;
};

// The window manager's close asks the dialog to end with the cancel code;
// the window goes once the panes are gone. Closing for a quit lets it go
// at once.
bool DialogCancelClose(RuntimeObject *window, bool appQuitting) {
    Showing *showing = ShowingOf(window);
    if (showing == nullptr) return false;
    if (appQuitting) {
        showing->panes.clear();
        showing->ended = true;
        return false;
    }
    if (gResult == kNoButton) gResult = kCancelButton;
    showing->ended = true;
    return true;
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

GtkWidget *TextLabel(KESTstring *text, const char *font, int size) {
    kstr::StringRef utf8(kstr::ToUTF8(text));
    GtkWidget *label = gtk_label_new(kstr::Text(utf8.Get()));
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_misc_set_alignment(GTK_MISC(label), 0, 0);
    gtk_widget_set_size_request(label, kTextWidth, -1);
    kstr::StringRef name(kstr::FromC(font));
    gtkhelper::ApplyFont(label, FontRecord{name.Get(), 0, 0, 0, int16_t(size)});
    return label;
}

int RequestedHeight(GtkWidget *widget) {
    GtkRequisition r;
    gtk_widget_size_request(widget, &r);
    return r.height;
}

// Places a pane and shows its widget.
SubPane *Place(Showing *showing, SubPane *pane, int left, int top, int width, int height) {
    pane->SetRect(
        PaneRect{int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)});
    pane->PutWidget(true);
    showing->panes.emplace_back(pane);
    return pane;
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
void Build(Showing *showing, MessageDialogObject *dialog, NativeWindow *native, int *width,
           int *height) {
    int textLeft = kMargin, bottom = kMargin;
    if (const char *stock = StockIcon(dialog->icon)) {
        GtkWidget *image = gtk_image_new_from_stock(stock, GTK_ICON_SIZE_DIALOG);
        Place(showing, new LabelPane(native, image), kMargin, kMargin, kIconSize, kIconSize);
        textLeft += kIconSize + kMargin;
        bottom = kMargin + kIconSize;
    }
    int top = kMargin;
    GtkWidget *message = TextLabel(dialog->message, "System", 0);
    int h = RequestedHeight(message);
    Place(showing, new LabelPane(native, message), textLeft, top, kTextWidth, h);
    top += h;
    if (kstr::Length(dialog->explanation) != 0) {
        GtkWidget *explanation =
            TextLabel(dialog->explanation, "SmallSystem", gtkhelper::DefaultSize());
        top += kGap;
        h = RequestedHeight(explanation);
        Place(showing, new LabelPane(native, explanation), textLeft, top, kTextWidth, h);
        top += h;
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
    // The desktop's order: with the alternative order the action button
    // comes first; otherwise it stands at the right end. The alternate
    // button stands apart at the left.
    gboolean alternativeOrder = FALSE;
    g_object_get(gtk_settings_get_default(), "gtk-alternative-button-order", &alternativeOrder,
                 nullptr);
    const int32_t rightGroup[2][2] = {{kCancelButton, kActionButton},
                                      {kActionButton, kCancelButton}};
    int buttonHeight = 0;
    std::vector<std::pair<ButtonPane *, int>> row; // pane, width
    auto make = [&](int32_t code) {
        if (!ButtonShown(dialog, code)) return;
        int slot = dialogs::SlotOf(code);
        kstr::StringRef caption(kstr::Length(dialog->captions[slot]) != 0
                                    ? kstr::Share(dialog->captions[slot])
                                    : kstr::FromC(kDefaultCaptions[slot]));
        auto *pane =
            new ButtonPane(native, showing, code, caption.Get(), dialog->defaultButton == code,
                           dialog->cancelButtonCode == code);
        GtkRequisition r;
        gtk_widget_size_request(pane->Widget(), &r);
        buttonHeight = std::max(buttonHeight, r.height);
        row.emplace_back(pane, std::max(kButtonMinWidth, r.width + 2 * kGap));
    };
    make(kAlternateButton);
    for (int32_t code : rightGroup[alternativeOrder ? 1 : 0])
        make(code);
    int right = *width - kMargin;
    for (size_t i = row.size(); i-- > 0;) {
        bool alternate = i == 0 && ButtonShown(dialog, kAlternateButton);
        int left = alternate ? kMargin : right - row[i].second;
        Place(showing, row[i].first, left, bottom, row[i].second, buttonHeight);
        if (row[i].first->IsDefaultButton()) {
            gtk_widget_set_can_default(row[i].first->Widget(), TRUE);
            gtk_widget_grab_default(row[i].first->Widget());
        }
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
    kstr::StringRef cancelClose(kstr::FromC("CancelClose"));
    RuntimeInstallInstanceEventHandler(window.get(), cancelClose.Get(),
                                       reinterpret_cast<void *>(&DialogCancelClose));
    Showing showing{window.get(), {}, false};
    gShowing.push_back(&showing);

    windowTitleSetter(window.get(), 0, dialog->title);
    windowGrowIconSetter(window.get(), 0, false);
    int width = 0, height = 0;
    Build(&showing, dialog, native, &width, &height);
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

    showing.panes.clear();
    gShowing.erase(std::find(gShowing.begin(), gShowing.end(), &showing));
    RuntimeCloseWindow(window.get());
    return gResult;
}

} // namespace dialogs
