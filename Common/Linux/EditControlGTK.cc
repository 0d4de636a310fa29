// The edit field's pane (see EditControlGTK.h): signals, creation, the text
// and selection operations, the settings and the Edit commands.
#include "EditControlGTK.h"

#include <climits>
#include <cstring>
#include <utility>

// ---------------------------------------------------------------------------
// EditControlDelegate: the defaults do nothing.

bool EditControlDelegate::FilterKey(KESTstring *) {
    return false;
}
void EditControlDelegate::TextChanged() {}
void EditControlDelegate::SelectionChanged() {}
void EditControlDelegate::BeforeFocus() {}
void EditControlDelegate::EnableMenuItems() {}
bool EditControlDelegate::AcceptsTabs() {
    return false;
}

// ---------------------------------------------------------------------------
// Signals

struct EditControlSignals {
    static void Changed(gpointer, gpointer data) {
        auto *pane = static_cast<EditControlGTK *>(data);
        if (pane->mQuiet == 0)
            if (EditControlDelegate *delegate = pane->EditDelegate()) delegate->TextChanged();
    }

    static void SelectionMoved(EditControlGTK *pane) {
        if (EditControlDelegate *delegate = pane->EditDelegate()) delegate->SelectionChanged();
    }

    // Entry: the cursor or the selection bound moved.
    static void EntryNotify(GObject *, GParamSpec *, gpointer data) {
        SelectionMoved(static_cast<EditControlGTK *>(data));
    }

    // Text view: the insertion or the selection mark moved.
    static void MarkSet(GtkTextBuffer *buffer, GtkTextIter *, GtkTextMark *mark, gpointer data) {
        if (mark == gtk_text_buffer_get_insert(buffer) ||
            mark == gtk_text_buffer_get_selection_bound(buffer))
            SelectionMoved(static_cast<EditControlGTK *>(data));
    }
};

namespace {

// The iterator at a character offset of a buffer (clamped to its end).
GtkTextIter IterAt(GtkTextBuffer *buffer, int offset) {
    GtkTextIter iter;
    gtk_text_buffer_get_iter_at_offset(buffer, &iter, offset < 0 ? 0 : offset);
    return iter;
}

// The byte offset of character `index` of UTF-8 text (clamped).
size_t ByteOffset(const std::string &text, int index) {
    long characters = g_utf8_strlen(text.c_str(), -1);
    if (index <= 0) return 0;
    if (index >= characters) return text.size();
    return size_t(g_utf8_offset_to_pointer(text.c_str(), index) - text.c_str());
}

} // namespace

// ---------------------------------------------------------------------------
// Creation

EditControlGTK::EditControlGTK(ContainerPane *parent, const EditControlStyle &style)
    : ContainerPane(parent) {
    Build(style);
}

EditControlGTK::~EditControlGTK() {
    // The widgets go after this part of the pane: what they report while
    // they are destroyed must not reach it.
    Disconnect();
}

void EditControlGTK::Build(const EditControlStyle &style) {
    GtkWidget *widget;
    mEntry = mTextView = mScrolled = nullptr;
    mAlignment = 0;
    if (style.multiLine) {
        widget = mScrolled = gtk_scrolled_window_new(nullptr, nullptr);
        mTextView = gtk_text_view_new();
        gtk_text_view_set_left_margin(GTK_TEXT_VIEW(mTextView), 2);
        gtk_text_view_set_right_margin(GTK_TEXT_VIEW(mTextView), 2);
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(mTextView), GTK_WRAP_WORD_CHAR);
        GtkTextBuffer *buffer = Buffer();
        gtk_text_buffer_create_tag(buffer, "center", "justification", GTK_JUSTIFY_CENTER, nullptr);
        gtk_text_buffer_create_tag(buffer, "left justify", "justification", GTK_JUSTIFY_LEFT,
                                   nullptr);
        gtk_text_buffer_create_tag(buffer, "right justify", "justification", GTK_JUSTIFY_RIGHT,
                                   nullptr);
        gtk_text_buffer_create_tag(buffer, "bold", "weight", PANGO_WEIGHT_BOLD, nullptr);
        gtk_text_buffer_create_tag(buffer, "italic", "style", PANGO_STYLE_ITALIC, nullptr);
        gtk_text_buffer_create_tag(buffer, "underline", "underline", PANGO_UNDERLINE_SINGLE,
                                   nullptr);
        gtk_container_add(GTK_CONTAINER(mScrolled), mTextView);
        gtk_widget_show(mTextView);
        g_signal_connect(buffer, "changed", G_CALLBACK(EditControlSignals::Changed), this);
        g_signal_connect(buffer, "mark-set", G_CALLBACK(EditControlSignals::MarkSet), this);
    } else {
        widget = mEntry = gtk_entry_new();
        g_signal_connect(mEntry, "changed", G_CALLBACK(EditControlSignals::Changed), this);
        g_signal_connect(mEntry, "notify::cursor-position",
                         G_CALLBACK(EditControlSignals::EntryNotify), this);
        g_signal_connect(mEntry, "notify::selection-bound",
                         G_CALLBACK(EditControlSignals::EntryNotify), this);
    }
    if (Widget() == nullptr)
        SetWidget(widget);
    else
        ReplaceWidget(widget);
    SetBorder(style.border);
    if (mScrolled != nullptr)
        gtk_scrolled_window_set_policy(
            GTK_SCROLLED_WINDOW(mScrolled),
            style.scrollBarHorizontal ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER,
            style.scrollBarVertical ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER);
    ConnectCommonHandlers(FocusWidget());
}

void EditControlGTK::Disconnect() {
    g_signal_handlers_disconnect_by_data(FocusWidget(), this);
    if (mTextView != nullptr) g_signal_handlers_disconnect_by_data(Buffer(), this);
}

void EditControlGTK::SetBorder(bool border) {
    if (mEntry != nullptr)
        gtk_entry_set_has_frame(GTK_ENTRY(mEntry), border);
    else
        gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(mScrolled),
                                            border ? GTK_SHADOW_ETCHED_IN : GTK_SHADOW_NONE);
}

void EditControlGTK::SetStyle(const EditControlStyle &style) {
    if (style.multiLine == IsMultiLine()) {
        SetBorder(style.border);
        if (mScrolled != nullptr)
            gtk_scrolled_window_set_policy(
                GTK_SCROLLED_WINDOW(mScrolled),
                style.scrollBarHorizontal ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER,
                style.scrollBarVertical ? GTK_POLICY_AUTOMATIC : GTK_POLICY_NEVER);
        return;
    }
    // The other kind of widget takes the place, the text, the selection and
    // the keyboard focus of this one; the text itself does not change.
    std::string text = Text();
    int start, length;
    Selection(&start, &length);
    bool focused = panes::FocusedPane() == this;
    Disconnect();
    Build(style);
    ++mQuiet;
    if (mEntry != nullptr)
        gtk_entry_set_text(GTK_ENTRY(mEntry), text.c_str());
    else
        gtk_text_buffer_set_text(Buffer(), text.data(), int(text.size()));
    --mQuiet;
    SetSelection(start, length);
    if (focused && Window() != nullptr && gtk_widget_get_parent(Widget()) != nullptr) TakeFocus();
}

GtkWidget *EditControlGTK::FocusWidget() const {
    return mEntry != nullptr ? mEntry : mTextView;
}

EditControlDelegate *EditControlGTK::EditDelegate() const {
    return dynamic_cast<EditControlDelegate *>(Delegate());
}

GtkTextBuffer *EditControlGTK::Buffer() const {
    return gtk_text_view_get_buffer(GTK_TEXT_VIEW(mTextView));
}

template <typename Change>
void EditControlGTK::QuietChange(Change change) {
    std::string before = Text();
    ++mQuiet;
    change();
    --mQuiet;
    if (Text() != before)
        if (EditControlDelegate *delegate = EditDelegate()) delegate->TextChanged();
}

// ---------------------------------------------------------------------------
// Text and selection

std::string EditControlGTK::Text() const {
    if (mEntry != nullptr) return gtk_entry_get_text(GTK_ENTRY(mEntry));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(Buffer(), &start, &end);
    gchar *text = gtk_text_buffer_get_text(Buffer(), &start, &end, TRUE);
    std::string result = text != nullptr ? text : "";
    g_free(text);
    return result;
}

void EditControlGTK::SetText(const std::string &utf8) {
    QuietChange([this, &utf8] {
        if (mEntry != nullptr)
            gtk_entry_set_text(GTK_ENTRY(mEntry), utf8.c_str());
        else
            gtk_text_buffer_set_text(Buffer(), utf8.data(), int(utf8.size()));
    });
}

int EditControlGTK::TextLength() const {
    if (mEntry != nullptr) return int(g_utf8_strlen(gtk_entry_get_text(GTK_ENTRY(mEntry)), -1));
    return gtk_text_buffer_get_char_count(Buffer());
}

void EditControlGTK::Selection(int *start, int *length) const {
    int from, to;
    if (mEntry != nullptr) {
        gtk_editable_get_selection_bounds(GTK_EDITABLE(mEntry), &from, &to);
        if (from == to) from = to = gtk_editable_get_position(GTK_EDITABLE(mEntry));
    } else {
        GtkTextIter a, b;
        GtkTextBuffer *buffer = Buffer();
        gtk_text_buffer_get_iter_at_mark(buffer, &a, gtk_text_buffer_get_insert(buffer));
        gtk_text_buffer_get_iter_at_mark(buffer, &b, gtk_text_buffer_get_selection_bound(buffer));
        from = gtk_text_iter_get_offset(&a);
        to = gtk_text_iter_get_offset(&b);
    }
    if (from > to) std::swap(from, to);
    *start = from;
    *length = to - from;
}

void EditControlGTK::SetSelection(int start, int length) {
    int count = TextLength();
    if (start < 0) start = 0;
    if (start > count) start = count;
    if (length < 0) length = 0;
    int end = length > count - start ? count : start + length;
    if (mEntry != nullptr) {
        gtk_editable_select_region(GTK_EDITABLE(mEntry), start, end);
    } else {
        GtkTextIter insert = IterAt(Buffer(), end), bound = IterAt(Buffer(), start);
        gtk_text_buffer_select_range(Buffer(), &insert, &bound);
    }
}

std::string EditControlGTK::SelectedText() const {
    int start, length;
    Selection(&start, &length);
    std::string text = Text();
    size_t from = ByteOffset(text, start);
    return text.substr(from, ByteOffset(text, start + length) - from);
}

void EditControlGTK::ReplaceSelection(const std::string &utf8) {
    QuietChange([this, &utf8] {
        if (mEntry != nullptr) {
            GtkEditable *editable = GTK_EDITABLE(mEntry);
            gtk_editable_delete_selection(editable);
            int position = gtk_editable_get_position(editable);
            gtk_editable_insert_text(editable, utf8.data(), int(utf8.size()), &position);
            gtk_editable_set_position(editable, position);
        } else {
            gtk_text_buffer_delete_selection(Buffer(), FALSE, TRUE);
            gtk_text_buffer_insert_at_cursor(Buffer(), utf8.data(), int(utf8.size()));
        }
    });
}

void EditControlGTK::DeleteRange(int start, int length) {
    if (length <= 0) return;
    QuietChange([this, start, length] {
        if (mEntry != nullptr) {
            gtk_editable_delete_text(GTK_EDITABLE(mEntry), start, start + length);
        } else {
            GtkTextIter from = IterAt(Buffer(), start), to = IterAt(Buffer(), start + length);
            gtk_text_buffer_delete(Buffer(), &from, &to);
        }
    });
}

int EditControlGTK::ScrollPosition() const {
    if (mTextView == nullptr) return 0;
    GdkRectangle visible;
    gtk_text_view_get_visible_rect(GTK_TEXT_VIEW(mTextView), &visible);
    GtkTextIter line;
    gtk_text_view_get_line_at_y(GTK_TEXT_VIEW(mTextView), &line, visible.y, nullptr);
    return gtk_text_iter_get_line(&line);
}

void EditControlGTK::SetScrollPosition(int position) {
    if (mTextView == nullptr) return;
    GtkTextIter line;
    gtk_text_buffer_get_iter_at_line(Buffer(), &line, position < 0 ? 0 : position);
    gtk_text_view_scroll_to_iter(GTK_TEXT_VIEW(mTextView), &line, 0.0, TRUE, 0.0, 0.0);
}

void EditControlGTK::ScrollToEnd() {
    if (mEntry != nullptr) {
        gtk_editable_set_position(GTK_EDITABLE(mEntry), -1);
    } else {
        gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(mTextView),
                                           gtk_text_buffer_get_insert(Buffer()));
    }
}

int EditControlGTK::HorizontalScroll() const {
    if (mEntry != nullptr) {
        gint offset = 0;
        g_object_get(mEntry, "scroll-offset", &offset, nullptr);
        return offset;
    }
    GdkRectangle visible;
    gtk_text_view_get_visible_rect(GTK_TEXT_VIEW(mTextView), &visible);
    return visible.x;
}

void EditControlGTK::SetHorizontalScroll(int pixels) {
    // An entry scrolls only to keep its cursor in view.
    if (mScrolled == nullptr) return;
    GtkAdjustment *adjustment = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(mScrolled));
    double limit = gtk_adjustment_get_upper(adjustment) - gtk_adjustment_get_page_size(adjustment);
    gtk_adjustment_set_value(adjustment, pixels < 0 ? 0.0 : pixels > limit ? limit : pixels);
}

// ---------------------------------------------------------------------------
// Positions in the laid-out text

namespace {

// The shown line of a text view that holds an iterator: the shown lines
// above it counted from the start.
int DisplayLine(GtkTextView *view, const GtkTextIter &iter) {
    GtkTextIter line;
    gtk_text_buffer_get_start_iter(gtk_text_view_get_buffer(view), &line);
    int count = 0;
    while (gtk_text_view_forward_display_line(view, &line) &&
           gtk_text_iter_compare(&line, &iter) <= 0)
        ++count;
    return count;
}

} // namespace

int EditControlGTK::LineAtCharacter(int position) const {
    if (mEntry != nullptr) return 0;
    GtkTextIter iter = IterAt(Buffer(), position);
    return DisplayLine(GTK_TEXT_VIEW(mTextView), iter);
}

int EditControlGTK::CharacterAtLine(int line) const {
    if (line < 0) return -1;
    if (mEntry != nullptr) return line == 0 ? 0 : -1;
    GtkTextIter iter;
    gtk_text_buffer_get_start_iter(Buffer(), &iter);
    for (int i = 0; i < line; ++i) {
        if (!gtk_text_view_forward_display_line(GTK_TEXT_VIEW(mTextView), &iter) ||
            gtk_text_iter_is_end(&iter))
            return -1;
    }
    return gtk_text_iter_get_offset(&iter);
}

namespace {

// The character (and whether the point lies on its trailing half) at a
// point relative to an entry.
int EntryCharacterAt(GtkEntry *entry, int x, int y, int *trailing) {
    int left, top, index;
    gtk_entry_get_layout_offsets(entry, &left, &top);
    pango_layout_xy_to_index(gtk_entry_get_layout(entry), (x - left) * PANGO_SCALE,
                             (y - top) * PANGO_SCALE, &index, trailing);
    const char *text = gtk_entry_get_text(entry);
    int byte = gtk_entry_layout_index_to_text_index(entry, index);
    int length = int(strlen(text));
    return int(g_utf8_pointer_to_offset(text, text + (byte > length ? length : byte)));
}

// A point relative to the scrolled window in the coordinates of the text
// view's buffer: the view has a place of its own inside the scrolled window.
void BufferPoint(GtkWidget *scrolled, GtkWidget *view, int x, int y, int *bx, int *by) {
    int vx = x, vy = y;
    gtk_widget_translate_coordinates(scrolled, view, x, y, &vx, &vy);
    gtk_text_view_window_to_buffer_coords(GTK_TEXT_VIEW(view), GTK_TEXT_WINDOW_WIDGET, vx, vy, bx,
                                          by);
}

} // namespace

// The character at a point, and on which of its halves the point lies
// (trailing: the number of characters to move past for an insertion point).
int EditControlGTK::PointPosition(int x, int y, int *trailing) const {
    if (mEntry != nullptr) return EntryCharacterAt(GTK_ENTRY(mEntry), x, y, trailing);
    int bx, by;
    BufferPoint(mScrolled, mTextView, x, y, &bx, &by);
    GtkTextIter iter;
    gtk_text_view_get_iter_at_position(GTK_TEXT_VIEW(mTextView), &iter, trailing, bx, by);
    return gtk_text_iter_get_offset(&iter);
}

int EditControlGTK::CharacterAtPoint(int x, int y) const {
    int trailing;
    return PointPosition(x, y, &trailing);
}

int EditControlGTK::InsertionAtPoint(int x, int y) const {
    int trailing, end = PointPosition(x, y, &trailing);
    end += trailing;
    return end > TextLength() ? TextLength() : end;
}

// ---------------------------------------------------------------------------
// Settings

void EditControlGTK::SetReadOnly(bool readOnly) {
    if (mEntry != nullptr)
        gtk_editable_set_editable(GTK_EDITABLE(mEntry), !readOnly);
    else
        gtk_text_view_set_editable(GTK_TEXT_VIEW(mTextView), !readOnly);
}

bool EditControlGTK::IsReadOnly() const {
    if (mEntry != nullptr) return !gtk_editable_get_editable(GTK_EDITABLE(mEntry));
    return !gtk_text_view_get_editable(GTK_TEXT_VIEW(mTextView));
}

void EditControlGTK::SetPassword(bool password) {
    if (mEntry != nullptr) gtk_entry_set_visibility(GTK_ENTRY(mEntry), !password);
}

bool EditControlGTK::IsPassword() const {
    return mEntry != nullptr && !gtk_entry_get_visibility(GTK_ENTRY(mEntry));
}

void EditControlGTK::SetLimit(int limit) {
    // GtkEntry takes 0 (none) to 65535.
    if (mEntry != nullptr)
        gtk_entry_set_max_length(GTK_ENTRY(mEntry), limit < 0 ? 0 : limit > 65535 ? 65535 : limit);
}

void EditControlGTK::SetAlignment(int alignment) {
    if (alignment == mAlignment) return;
    mAlignment = alignment;
    if (mEntry != nullptr) {
        using SetEntryAlignment = void (*)(GtkEntry *, gfloat);
        static auto setAlignment = reinterpret_cast<SetEntryAlignment>(gtkhelper::OptionalFunction(
            gtkhelper::OptionalLibrary::Gtk, "gtk_entry_set_alignment"));
        if (setAlignment != nullptr)
            setAlignment(GTK_ENTRY(mEntry), alignment == 2 ? 0.5f : alignment == 3 ? 1.0f : 0.0f);
    } else {
        gtk_text_view_set_justification(GTK_TEXT_VIEW(mTextView),
                                        alignment == 2   ? GTK_JUSTIFY_CENTER
                                        : alignment == 3 ? GTK_JUSTIFY_RIGHT
                                                         : GTK_JUSTIFY_LEFT);
    }
}

void EditControlGTK::SetColours(uint32_t text, uint32_t back) {
    GdkColor foreground = gtkhelper::ColorOf(text), background = gtkhelper::ColorOf(back);
    gtk_widget_modify_text(FocusWidget(), GTK_STATE_NORMAL, &foreground);
    gtk_widget_modify_base(FocusWidget(), GTK_STATE_NORMAL, &background);
}

void EditControlGTK::SetFont(const FontRecord &font) {
    gtkhelper::ApplyFont(FocusWidget(), font);
}

// ---------------------------------------------------------------------------
// Edit commands

namespace {

GtkClipboard *Clipboard() {
    return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
}

} // namespace

void EditControlGTK::Cut() {
    if (mEntry != nullptr)
        gtk_editable_cut_clipboard(GTK_EDITABLE(mEntry));
    else
        gtk_text_buffer_cut_clipboard(Buffer(), Clipboard(), !IsReadOnly());
}

void EditControlGTK::Copy() {
    if (mEntry != nullptr)
        gtk_editable_copy_clipboard(GTK_EDITABLE(mEntry));
    else
        gtk_text_buffer_copy_clipboard(Buffer(), Clipboard());
}

void EditControlGTK::Paste() {
    if (mEntry != nullptr)
        gtk_editable_paste_clipboard(GTK_EDITABLE(mEntry));
    else
        gtk_text_buffer_paste_clipboard(Buffer(), Clipboard(), nullptr, !IsReadOnly());
}

void EditControlGTK::Clear() {
    if (mEntry != nullptr)
        gtk_editable_delete_selection(GTK_EDITABLE(mEntry));
    else
        gtk_text_buffer_delete_selection(Buffer(), TRUE, !IsReadOnly());
}

void EditControlGTK::SelectAll() {
    SetSelection(0, INT_MAX);
}

bool EditControlGTK::DoMenuCommand(const char *name) {
    static const struct {
        const char *name;
        void (EditControlGTK::*command)();
    } kCommands[] = {{"EditCut", &EditControlGTK::Cut},
                     {"EditCopy", &EditControlGTK::Copy},
                     {"EditPaste", &EditControlGTK::Paste},
                     {"EditClear", &EditControlGTK::Clear},
                     {"EditSelectAll", &EditControlGTK::SelectAll}};
    for (const auto &command : kCommands)
        if (name != nullptr && g_strcmp0(name, command.name) == 0) {
            (this->*command.command)();
            return true;
        }
    return false;
}

void EditControlGTK::EnableMenuCommands(MenuCommandEnabler enable, void *context) {
    if (enable != nullptr) {
        int start, length;
        Selection(&start, &length);
        bool readOnly = IsReadOnly();
        if (length > 0) {
            if (!IsPassword()) {
                if (!readOnly) enable("EditCut", context);
                enable("EditCopy", context);
            }
            if (!readOnly) enable("EditClear", context);
        }
        if (!readOnly && gtk_clipboard_wait_is_text_available(Clipboard()))
            enable("EditPaste", context);
        enable("EditSelectAll", context);
    }
    if (EditControlDelegate *delegate = EditDelegate()) delegate->EnableMenuItems();
}

// ---------------------------------------------------------------------------
// Keys and focus

bool EditControlGTK::HandleKeyDown(KESTstring *key) {
    EditControlDelegate *delegate = EditDelegate();
    if (delegate == nullptr) return false;
    return delegate->KeyDown(key) || delegate->FilterKey(key);
}

bool EditControlGTK::AcceptsTabs() const {
    EditControlDelegate *delegate = EditDelegate();
    return delegate != nullptr && delegate->AcceptsTabs();
}

void EditControlGTK::FocusChanged(bool gained) {
    if (gained)
        if (EditControlDelegate *delegate = EditDelegate()) delegate->BeforeFocus();
    ContainerPane::FocusChanged(gained);
}
