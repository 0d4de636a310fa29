// The pane of an edit field: a single-line GtkEntry, or a GtkTextView in a
// scrolled window when the field is multi-line. Text crosses this interface
// in UTF-8; positions and lengths count characters. The pane reports to its
// EditControlDelegate, and knows nothing of the class model.
//
// A change of the text made through SetText, ReplaceSelection or
// DeleteRange is reported once, as one change, however the widget makes it.
#pragma once

#include "EditStyleRuns.h"
#include "GTKHelper.h"
#include "Pane.h"

#include <string>
#include <vector>

class EditControlDelegate : public PaneDelegate {
  public:
    // A key for the focused field after KeyDown let it through: true when
    // the field's mask refuses it.
    virtual bool FilterKey(KESTstring *key);
    virtual void TextChanged();
    virtual void SelectionChanged();
    // Before GotFocus, while the widget shows what it showed unfocused.
    virtual void BeforeFocus();
    // The enabling pass asked the field: after the standard Edit commands.
    virtual void EnableMenuItems();
    // Whether Tab is typed into the field rather than moving the focus.
    virtual bool AcceptsTabs();
};

// What the field's widget is made with. Border and scroll bars are changed
// in place; changing MultiLine makes the other kind of widget, which takes
// over the text and the selection.
struct EditControlStyle {
    bool multiLine = false;
    bool border = true;
    bool scrollBarHorizontal = false;
    bool scrollBarVertical = false;
};

class EditControlGTK : public ContainerPane {
  public:
    EditControlGTK(ContainerPane *parent, const EditControlStyle &style);
    ~EditControlGTK() override;

    bool IsMultiLine() const { return mTextView != nullptr; }
    GtkWidget *FocusWidget() const override;

    // Changes how the field is made (see EditControlStyle). The settings of
    // the widget (read-only, password, limit, alignment, colours, font) are
    // those of a new field after a change of MultiLine: the owner applies
    // them again.
    void SetStyle(const EditControlStyle &style);

    std::string Text() const;
    void SetText(const std::string &utf8);
    int TextLength() const;
    // The selection (or the insertion point when the length is 0).
    void Selection(int *start, int *length) const;
    void SetSelection(int start, int length);
    std::string SelectedText() const;
    // Replaces the selection and puts the insertion point after it.
    void ReplaceSelection(const std::string &utf8);
    void DeleteRange(int start, int length);
    // The first visible line (multi-line) or the first visible character.
    int ScrollPosition() const;
    void SetScrollPosition(int position);
    void ScrollToEnd();
    // The text's horizontal scroll offset in pixels.
    int HorizontalScroll() const;
    void SetHorizontalScroll(int pixels);

    // Positions in the laid-out text. Lines are the lines as shown (a
    // wrapped paragraph has several); points are relative to the pane.
    int LineAtCharacter(int position) const;
    // The first character of a shown line; -1 when there is no such line.
    int CharacterAtLine(int line) const;
    // The character drawn at the point (the nearest one when the point lies
    // beside the text), and the insertion point nearest to the point.
    int CharacterAtPoint(int x, int y) const;
    int InsertionAtPoint(int x, int y) const;

    // Styled text of a multi-line field (EditStylesGTK.cc): character
    // styles of the selection, or of the character before the insertion
    // point when nothing is selected. A single-line field has no runs: its
    // selection reports no style and changes are ignored.
    // The EditStyle flags that every character has, and those that some have.
    void SelectionStyles(uint8_t *every, uint8_t *some) const;
    void SetSelectionStyle(uint8_t style, bool on);
    // The font family, size and colour the whole selection shares; empty,
    // 0 or false when the characters differ or keep the field's own. The
    // setters change the selected characters only.
    std::string SelectionFont() const;
    void SetSelectionFont(const std::string &family);
    int SelectionSize() const;
    void SetSelectionSize(int size);
    bool SelectionColour(uint32_t *colour) const;
    void SetSelectionColour(uint32_t colour);
    // The alignment (0-3 as SetAlignment) of the paragraph at the selection's
    // start, and the alignment of every paragraph the selection touches.
    int SelectionAlignment() const;
    void SetSelectionAlignment(int alignment);
    // The text's style runs (a single-line field's text is one plain run),
    // and runs applied to the current text; false, changing nothing, when
    // they do not cover the text exactly.
    std::vector<EditStyleRun> StyleRuns() const;
    bool ApplyStyleRuns(const std::vector<EditStyleRun> &runs);

    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    // Single-line only; a multi-line field ignores these.
    void SetPassword(bool password);
    bool IsPassword() const;
    void SetLimit(int limit);
    // 0 default, 1 left, 2 centre, 3 right.
    void SetAlignment(int alignment);
    void SetColours(uint32_t text, uint32_t back);
    void SetFont(const FontRecord &font);

    // The standard Edit commands.
    void Cut();
    void Copy();
    void Paste();
    void Clear();
    void SelectAll();

    // Key handling: KeyDown first, then the mask.
    bool HandleKeyDown(KESTstring *key) override;
    bool AcceptsTabs() const override;
    void FocusChanged(bool gained) override;
    bool DoMenuCommand(const char *name) override;
    void EnableMenuCommands(MenuCommandEnabler enable, void *context) override;

  private:
    friend struct EditControlSignals;

    // Makes the widget of the style (the single-line or multi-line one) and
    // connects its signals.
    void Build(const EditControlStyle &style);
    void Disconnect();
    void SetBorder(bool border);
    int PointPosition(int x, int y, int *trailing) const;
    // The selected characters of a multi-line field, or the one before the
    // insertion point; false when there is none (or the field is single-line).
    bool StyledRange(GtkTextIter *from, GtkTextIter *to, bool forChange) const;

    EditControlDelegate *EditDelegate() const;
    GtkTextBuffer *Buffer() const;
    // Runs a change of the text with the widget's own reports held back,
    // then reports it once when the text differs.
    template <typename Change>
    void QuietChange(Change change);

    GtkWidget *mEntry = nullptr;    // single-line
    GtkWidget *mTextView = nullptr; // multi-line (inside the scrolled window)
    GtkWidget *mScrolled = nullptr; // multi-line
    int mQuiet = 0;
    int mAlignment = 0;
};
