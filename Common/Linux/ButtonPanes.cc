// The panes of push buttons, check boxes, radio buttons with their groups,
// static text and group boxes (see ButtonPanes.h).
#include "ButtonPanes.h"

#include "NativeWindow.h"

void ActionDelegate::Action() {}

// ---------------------------------------------------------------------------
// CaptionedPane

GtkWidget *CaptionedPane::Label() const {
    GtkWidget *widget = Widget();
    if (widget == nullptr) return nullptr;
    if (GTK_IS_LABEL(widget)) return widget;
    GtkWidget *child = GTK_IS_BIN(widget) ? gtk_bin_get_child(GTK_BIN(widget)) : nullptr;
    return child != nullptr && GTK_IS_LABEL(child) ? child : nullptr;
}

void CaptionedPane::SetCaption(KESTstring *caption, const FontRecord &font) {
    gtkhelper::SetCaption(Label(), caption, &font);
}

void CaptionedPane::SetFont(const FontRecord &font) {
    if (GtkWidget *label = Label()) gtkhelper::ApplyFont(label, font);
}

void CaptionedPane::RaiseAction() {
    if (auto *delegate = dynamic_cast<ActionDelegate *>(Delegate())) delegate->Action();
}

// ---------------------------------------------------------------------------
// PushButtonGTK

namespace {

void OnActivate(GtkWidget *, gpointer data) {
    static_cast<PushButtonGTK *>(data)->PressButton();
}

} // namespace

PushButtonGTK::PushButtonGTK(ContainerPane *parent) : CaptionedPane(parent) {
    GtkWidget *button = gtk_button_new_with_label("");
    SetWidget(button);
    ConnectCommonHandlers(button);
    g_signal_connect(button, "activate", G_CALLBACK(OnActivate), this);
}

void PushButtonGTK::SetDefault(bool isDefault) {
    mDefault = isDefault;
    GtkWidget *button = Widget();
    gtk_widget_set_can_default(button, isDefault);
    if (isDefault && gtk_widget_get_toplevel(button) != button &&
        gtk_widget_is_toplevel(gtk_widget_get_toplevel(button)))
        gtk_widget_grab_default(button);
}

PressResult PushButtonGTK::HandleMouseDown(int x, int y, uint16_t) {
    if (!IsEnabled() || Delegate() == nullptr) return PressResult::NotHandled;
    NativeWindow *window = Window();
    mPressTaken = Delegate()->MouseDown(x - mRect.left, y - mRect.top);
    if (window == nullptr || window->IsClosing()) return PressResult::Handled;
    panes::SetTrackingPane(this);
    return mPressTaken ? PressResult::Handled : PressResult::NotHandled;
}

void PushButtonGTK::HandleMouseUp(int x, int y) {
    bool taken = mPressTaken;
    mPressTaken = false;
    if (taken) {
        if (Delegate() != nullptr) Delegate()->MouseUp(x - mRect.left, y - mRect.top);
    } else if (Contains(x, y)) {
        RaiseAction();
    }
}

// ---------------------------------------------------------------------------
// CheckBoxGTK

namespace {

void OnCheckToggled(GtkToggleButton *, gpointer data) {
    static_cast<CaptionedPane *>(data)->RaiseAction();
}

} // namespace

CheckBoxGTK::CheckBoxGTK(ContainerPane *parent) : CaptionedPane(parent) {
    GtkWidget *box = gtk_check_button_new_with_label("");
    SetWidget(box);
    ConnectCommonHandlers(box);
    g_signal_connect(box, "toggled", G_CALLBACK(OnCheckToggled), this);
}

bool CheckBoxGTK::Value() const {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Widget()));
}

void CheckBoxGTK::SetValue(bool value) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Widget()), value);
}

// ---------------------------------------------------------------------------
// Radio groups and RadioButtonGTK

namespace {

struct RadioGroup {
    GtkWidget *invisible; // the first member, never shown; one reference held
    ContainerPane *key;   // the parent pane of the members
    NativeWindow *window;
    int count; // visible members
};

SimpleVector<RadioGroup *> gGroups;
// Set while a button changes groups: GTK+ toggles it then.
bool gMoving = false;

RadioGroup *FindGroup(ContainerPane *key, NativeWindow *window) {
    for (RadioGroup *group : gGroups)
        if (group->key == key && group->window == window) return group;
    return nullptr;
}

RadioGroup *GroupOf(GtkWidget *button) {
    GSList *members = gtk_radio_button_get_group(GTK_RADIO_BUTTON(button));
    for (RadioGroup *group : gGroups)
        if (g_slist_find(members, group->invisible) != nullptr) return group;
    return nullptr;
}

void OnRadioToggled(GtkToggleButton *button, gpointer data) {
    // Only the button that became active reports; the one that went off
    // does not.
    if (!gMoving && gtk_toggle_button_get_active(button))
        static_cast<CaptionedPane *>(data)->RaiseAction();
}

} // namespace

namespace radiogroups {

uint32_t Count() {
    return gGroups.Count();
}

int Members(ContainerPane *key) {
    for (RadioGroup *group : gGroups)
        if (group->key == key) return group->count;
    return 0;
}

} // namespace radiogroups

RadioButtonGTK::RadioButtonGTK(ContainerPane *parent) : CaptionedPane(parent) {
    JoinGroup();
    GtkWidget *button = Widget();
    ConnectCommonHandlers(button);
    g_signal_connect(button, "toggled", G_CALLBACK(OnRadioToggled), this);
}

RadioButtonGTK::~RadioButtonGTK() {
    LeaveGroup();
}

void RadioButtonGTK::JoinGroup() {
    RadioGroup *group = FindGroup(Parent(), Window());
    if (group == nullptr) {
        GtkWidget *invisible = gtk_radio_button_new_with_label(nullptr, "");
        g_object_ref_sink(invisible);
        group = new RadioGroup{invisible, Parent(), Window(), 0};
        gGroups.Append(group);
    }
    GtkRadioButton *first = GTK_RADIO_BUTTON(group->invisible);
    if (Widget() == nullptr) {
        SetWidget(gtk_radio_button_new_with_label_from_widget(first, ""));
    } else {
        gMoving = true;
        gtk_radio_button_set_group(GTK_RADIO_BUTTON(Widget()), gtk_radio_button_get_group(first));
        gMoving = false;
    }
    ++group->count;
}

void RadioButtonGTK::LeaveGroup() {
    GtkWidget *button = Widget();
    RadioGroup *group = button != nullptr ? GroupOf(button) : nullptr;
    if (group == nullptr) return;
    gMoving = true;
    bool wasActive = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button));
    gtk_radio_button_set_group(GTK_RADIO_BUTTON(button), nullptr);
    if (--group->count > 0) {
        // The group keeps an active member: none of the visible ones.
        if (wasActive) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(group->invisible), TRUE);
    } else {
        for (uint32_t i = gGroups.Count(); i-- > 0;)
            if (gGroups[i] == group) gGroups.RemoveAt(i);
        gtk_widget_destroy(group->invisible);
        g_object_unref(group->invisible);
        delete group;
    }
    gMoving = false;
}

void RadioButtonGTK::SetParent(ContainerPane *parent) {
    if (parent == Parent()) return;
    LeaveGroup();
    CaptionedPane::SetParent(parent);
    if (Parent() != nullptr) JoinGroup();
}

bool RadioButtonGTK::Value() const {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Widget()));
}

void RadioButtonGTK::SetValue(bool value) {
    GtkToggleButton *button = GTK_TOGGLE_BUTTON(Widget());
    if (value) {
        gtk_toggle_button_set_active(button, TRUE);
    } else if (gtk_toggle_button_get_active(button)) {
        if (RadioGroup *group = GroupOf(Widget()))
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(group->invisible), TRUE);
    }
}

// ---------------------------------------------------------------------------
// StaticTextGeneric

StaticTextGeneric::StaticTextGeneric(ContainerPane *parent) : CaptionedPane(parent) {
    GtkWidget *label = gtk_label_new("");
    gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
    SetWidget(label);
}

void StaticTextGeneric::SetAlignment(int align) {
    static const struct {
        float x;
        GtkJustification justify;
    } kAlignments[] = {
        {0.0f, GTK_JUSTIFY_LEFT}, {0.5f, GTK_JUSTIFY_CENTER}, {1.0f, GTK_JUSTIFY_RIGHT}};
    if (align < 0 || align > 2) return;
    mAlign = align;
    GtkWidget *label = Widget();
    gtk_misc_set_alignment(GTK_MISC(label), kAlignments[align].x, mMultiLine ? 0.0f : 0.5f);
    gtk_label_set_justify(GTK_LABEL(label), kAlignments[align].justify);
}

void StaticTextGeneric::SetMultiLine(bool multiLine) {
    mMultiLine = multiLine;
    gtk_label_set_line_wrap(GTK_LABEL(Widget()), multiLine);
    SetAlignment(mAlign);
}

void StaticTextGeneric::SetTextColor(uint32_t rgb) {
    GdkColor color = gtkhelper::ColorOf(rgb);
    gtk_widget_modify_fg(Widget(), GTK_STATE_NORMAL, &color);
}

// ---------------------------------------------------------------------------
// GroupBoxGTK

GroupBoxGTK::GroupBoxGTK(ContainerPane *parent) : CaptionedPane(parent) {
    GtkWidget *frame = gtk_frame_new(nullptr);
    gtk_frame_set_label_widget(GTK_FRAME(frame), gtk_label_new(""));
    // The frame has no window of its own: presses on it reach the window,
    // which offers them to this pane (mouse-down dispatch).
    SetWidget(frame);
}

GtkWidget *GroupBoxGTK::Label() const {
    return gtk_frame_get_label_widget(GTK_FRAME(Widget()));
}
